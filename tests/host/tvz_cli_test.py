#!/usr/bin/env python3
"""The tvz tool as its users meet it: pack, list, verify and extract, and
the ways each refuses bad input.

Usage: tvz_cli_test.py TVZ [unittest options]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tvz_reader  # noqa: E402

TVZ = None

MEMBERS = {
    b'readme.txt': b'hello\r\n' * 300,
    b'abcdefgh.dat': bytes(range(256)) * 40,          # a 12-byte name
    b'empty.bin': b'',
    '冷色瓷面.tvz'.encode('gbk'): b'CK' + bytes(500),  # a GBK name, 12 bytes
    b'Tail.BMP': b'BM' + b'\x11\x22\x33' * 1000,
}


def run(*args):
    return subprocess.run([TVZ] + [a if isinstance(a, bytes) else str(a) for a in args],
                          capture_output=True)


class TvzCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix='tvz')
        self.addCleanup(shutil.rmtree, self.dir)
        self.src = os.path.join(self.dir, 'src')
        os.mkdir(self.src)
        self.paths = []
        for name, data in MEMBERS.items():
            p = os.path.join(os.fsencode(self.src), name)
            with open(p, 'wb') as f:
                f.write(data)
            self.paths.append(p)

    def path(self, name):
        return os.path.join(self.dir, name)

    def read(self, path):
        with open(path, 'rb') as f:
            return f.read()

    def listing(self, archive):
        r = run('list', archive)
        self.assertEqual(r.returncode, 0, r.stderr)
        rows = {}
        for line in r.stdout.splitlines()[2:]:
            fields = line.split(None, 5)
            rows[fields[5]] = (int(fields[2]), int(fields[3]), fields[4])
        return rows


class PackAndList(TvzCase):
    def test_hashed_archive_round_trips_names_sizes_and_digests(self):
        archive = self.path('h.tvz')
        r = run('pack', archive, *self.paths)
        self.assertEqual(r.returncode, 0, r.stderr)
        image = self.read(archive)
        a = tvz_reader.parse(image)
        self.assertEqual(image[:2], b'C0')
        self.assertEqual(a.total_length, len(image))
        self.assertEqual(a.end, len(image))
        self.assertEqual([e.name for e in a.entries], list(MEMBERS))
        rows = self.listing(archive)
        for e, (name, data) in zip(a.entries, MEMBERS.items()):
            with self.subTest(name=name):
                self.assertEqual(e.name_field, name + bytes(16 - len(name)))
                self.assertEqual(e.digest_field, tvz_reader.digest_text(data))
                self.assertEqual(e.compressed[:2], b'\x78\x9c')
                self.assertEqual(e.expand(), data)
                self.assertEqual(rows[name], (len(e.compressed), len(data),
                                              e.digest_field[:32]))
        # entries follow each other with 56-byte headers
        for prev, nxt in zip(a.entries, a.entries[1:]):
            self.assertEqual(nxt.offset, prev.offset + 56 + len(prev.compressed))

    def test_plain_archive_has_20_byte_entries_and_the_chosen_fill(self):
        archive = self.path('p.tvz')
        r = run('pack', '--plain=K', '--fill=0xCC', archive, *self.paths)
        self.assertEqual(r.returncode, 0, r.stderr)
        image = self.read(archive)
        a = tvz_reader.parse(image)
        self.assertEqual(image[:2], b'CK')
        self.assertEqual(a.total_length, len(image))
        for e, name in zip(a.entries, MEMBERS):
            self.assertEqual(e.name_field, name + b'\0' + b'\xcc' * (13 - len(name)))
        for prev, nxt in zip(a.entries, a.entries[1:]):
            self.assertEqual(nxt.offset, prev.offset + 20 + len(prev.compressed))
        self.assertEqual({d for (_, _, d) in self.listing(archive).values()}, {b'-'})

    def test_utf8_file_names_become_gbk_member_names(self):
        utf8 = os.path.join(self.src, '小天使.tvz')
        with open(utf8, 'wb') as f:
            f.write(b'skin')
        archive = self.path('g.tvz')
        self.assertEqual(run('pack', '--gbk-names', archive, utf8).returncode, 0)
        a = tvz_reader.parse(self.read(archive))
        self.assertEqual(a.entries[0].name, '小天使.tvz'.encode('gbk'))
        r = run('list', '--gbk-names', archive)
        self.assertIn('小天使.tvz'.encode(), r.stdout)


class PackRefusals(TvzCase):
    def test_refused_packs_leave_nothing_behind(self):
        other = os.path.join(self.dir, 'other')
        os.mkdir(other)
        dup = os.path.join(os.fsencode(other), b'readme.txt')
        long_name = os.path.join(self.src, 'abcdefghi.txt')  # 13 bytes
        for p in (dup, long_name):
            with open(p, 'wb') as f:
                f.write(b'x')
        cases = [
            ('same name twice', [self.paths[0], dup], b'readme.txt'),
            ('13-byte name', [self.paths[0], long_name], b'abcdefghi.txt'),
            ('missing file', [self.paths[0], os.path.join(self.src, 'absent.txt')], b'absent.txt'),
        ]
        for what, files, named in cases:
            with self.subTest(what):
                archive = self.path('r.tvz')
                r = run('pack', archive, *files)
                self.assertEqual(r.returncode, 1)
                self.assertIn(named, r.stderr)
                self.assertEqual(sorted(os.listdir(self.dir)), ['other', 'src'])
                # an archive that was already there stays as it was
                with open(archive, 'wb') as f:
                    f.write(b'earlier')
                self.assertEqual(run('pack', archive, *files).returncode, 1)
                self.assertEqual(self.read(archive), b'earlier')
                os.remove(archive)

    def test_bad_usage_is_exit_2(self):
        for args in (['pack'], ['pack', '--fill=0xCC', 'x.tvz', 'a'], ['pack', '--plain=0', 'x', 'a'],
                     ['list'], ['verify', '--bogus', 'x'], ['extract', 'x'], ['frobnicate']):
            with self.subTest(args=args):
                self.assertEqual(run(*args).returncode, 2)

    def test_every_command_has_help(self):
        for cmd in ('pack', 'list', 'verify', 'extract'):
            with self.subTest(cmd):
                r = run(cmd, '--help')
                self.assertEqual(r.returncode, 0)
                self.assertTrue(r.stdout.startswith(b'usage: tvz ' + cmd.encode()))


class VerifyAndExtract(TvzCase):
    def pack(self):
        archive = self.path('v.tvz')
        self.assertEqual(run('pack', archive, *self.paths[:2], self.paths[4]).returncode, 0)
        return archive

    def test_verify_names_each_failing_member_and_where(self):
        archive = self.pack()
        self.assertEqual(run('verify', archive).returncode, 0)
        image = bytearray(self.read(archive))
        second = tvz_reader.parse(bytes(image)).entries[1]
        image[second.offset + 56 + len(second.compressed) // 2] ^= 0x01
        with open(archive, 'wb') as f:
            f.write(image)
        r = run('verify', archive)
        self.assertEqual(r.returncode, 1)
        self.assertIn(b'"abcdefgh.dat" at offset %d' % second.offset, r.stderr)
        self.assertNotIn(b'readme.txt', r.stderr)
        self.assertNotIn(b'Tail.BMP', r.stderr)

    def test_verify_checks_the_walk_and_the_total_length(self):
        archive = self.pack()
        good = self.read(archive)
        a = tvz_reader.parse(good)
        last = a.entries[-1]
        longer = bytearray(good)
        longer[2] += 1  # total length one more than the entries
        cases = [
            ('cut inside the last member', good[:-3],
             b'entry 2 at offset %d: entry reaches past the end' % last.offset),
            ('total length off by one', bytes(longer), b'total length field says'),
            ('count larger than the entries', good[:6] + b'\x09\0\0\0' + good[10:],
             b'header promises 9 members'),
        ]
        for what, image, message in cases:
            with self.subTest(what):
                with open(archive, 'wb') as f:
                    f.write(image)
                r = run('verify', archive)
                self.assertEqual(r.returncode, 1)
                self.assertIn(message, r.stderr)

    def test_extract_writes_members_and_refuses_names_that_leave_the_directory(self):
        archive = self.pack()
        out = self.path('out')
        r = run('extract', archive, out)
        self.assertEqual(r.returncode, 0, r.stderr)
        for name in (b'readme.txt', b'abcdefgh.dat', b'Tail.BMP'):
            self.assertEqual(self.read(os.path.join(os.fsencode(out), name)), MEMBERS[name])

        # a hand-made archive whose member would land outside the directory
        import struct
        import zlib
        data = zlib.compress(b'escaped')
        evil = b'CF' + b'../esc.txt'.ljust(16, b'\0') + tvz_reader.digest_text(b'escaped') \
            + struct.pack('<i', len(data)) + data
        image = b'C0' + struct.pack('<iI', 10 + len(evil), 1) + evil
        with open(archive, 'wb') as f:
            f.write(image)
        r = run('extract', archive, out)
        self.assertEqual(r.returncode, 1)
        self.assertIn(b'not a plain file name', r.stderr)
        self.assertFalse(os.path.exists(self.path('esc.txt')))


if __name__ == '__main__':
    TVZ = sys.argv.pop(1)
    unittest.main(verbosity=1)
