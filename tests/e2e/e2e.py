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
    def assertBoxes(self, r, expected):
        self.assertEqual(boxes(r), expected, 'program output:\n' + r.log[-4000:])


def main():
    unittest.main()
