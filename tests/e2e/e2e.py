"""What the end-to-end tests share: where the built programs are, and the
test bed."""
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(REPO, 'testbed'))

import winbed  # noqa: E402
from winbed import Machine, Prefix  # noqa: E402,F401

BUILD = os.environ.get('TAVO_BUILD', os.path.join(REPO, 'build'))
DIST = os.environ.get('TAVO_DIST', os.path.join(BUILD, 'dist'))
SETUP = os.path.join(DIST, 'setup-x64.exe')
# Screenshots of every message box and page, kept for people to look at.
SHOTS = os.path.join(BUILD, 'screenshots')

CAPTION = '智能岚溪'
MSG_REGISTERED = '智能岚溪已安装成功，如不能使用，请重新启动计算机！'
MSG_NEED_ADMIN = ('本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。'
                  '（运行方式为：用鼠标右键点击安装程序，在弹出菜单中点击“以管理员身份运行”）')
LAYOUT_TEXT = '智能岚溪输入平台  7.3'
LAYOUTS = r'system\currentcontrolset\control\keyboard layouts'


def shots_for(test):
    return os.path.join(SHOTS, test.id().split('.', 1)[-1])


def layout_keys(prefix, text=LAYOUT_TEXT):
    """Names of the keyboard layout keys whose layout text is text."""
    found = []
    for key, values in prefix.registry('HKLM').items():
        if key.startswith(LAYOUTS + '\\'):
            v = values.get('layout text')
            if v is not None and v.text == text:
                found.append(key.rsplit('\\', 1)[1])
    return found


def boxes(r):
    """The message boxes of a run as (caption, text) pairs."""
    return [(m.caption, m.text) for m in r.msgboxes]


class TestCase(unittest.TestCase):
    def assertBoxes(self, r, expected, why=''):
        self.assertEqual(boxes(r), expected, why + '\nprogram output:\n' + r.log[-4000:])


def main():
    unittest.main()


# ------------------------------------------------------------ archives
# A second, independent reading of the archive format, so the tests do not
# check the program against itself.
import hashlib  # noqa: E402
import struct  # noqa: E402
import zlib  # noqa: E402

ARCHIVE_DRIVER = os.path.join(BUILD, 'win-x86_64', 'tests', 'win', 'archive_driver.exe')


def digest_text(data):
    return hashlib.md5(data).hexdigest().upper().encode() + b'\0\0'


def make_archive(members, plain=False, variant=b'P', fill=b'\0'):
    """members: [(name bytes, content bytes)] -> archive bytes. A member given
    as (name, content, stored_digest) stores that digest instead."""
    body = b''
    for m in members:
        name, content = m[0], m[1]
        data = zlib.compress(content)
        if plain:
            body += b'CF' + (name + b'\0').ljust(14, fill) + struct.pack('<i', len(data)) + data
        else:
            digest = m[2] if len(m) > 2 else digest_text(content)
            body += (b'CF' + (name + b'\0').ljust(16, b'\0') + digest +
                     struct.pack('<i', len(data)) + data)
    head = b'C' + (variant if plain else b'0')
    return head + struct.pack('<iI', 10 + len(body), len(members)) + body


def read_archive(data):
    """[(name bytes, compressed length, expanded bytes, stored digest)], total, count."""
    total, count = struct.unpack_from('<iI', data, 2)
    hashed = data[1:2] == b'0'
    pos, out = 10, []
    for _ in range(count):
        assert data[pos:pos + 2] == b'CF', 'entry %d at %d' % (len(out), pos)
        name = data[pos + 2:pos + (18 if hashed else 16)].split(b'\0')[0]
        digest = data[pos + 18:pos + 52] if hashed else None
        hsize = 56 if hashed else 20
        (length,) = struct.unpack_from('<i', data, pos + hsize - 4)
        content = zlib.decompress(data[pos + hsize:pos + hsize + length])
        out.append((name, length, content, digest))
        pos += hsize + length
    return out, total, count


def driver_results(r):
    """The "RESULT: ..." lines the archive driver printed."""
    return [line.split('RESULT: ', 1)[1] for line in r.log.splitlines() if 'RESULT: ' in line]
