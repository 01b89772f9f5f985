#!/usr/bin/env python3
"""The payload the build packs and links into the programs: its members,
their order and digests, what the setup program relies on in them, and that
the sample comes out the same on every build.

Usage: payload_test.py BUILD_DIR [unittest options]
"""

import filecmp
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(SOURCE, 'tools', 'payload'))
import tvz_reader  # noqa: E402
from payload_members import MEMBERS, SKINS, member_bytes  # noqa: E402

BUILD = None

SIZES = {
    'tavohu4.ime': 300544, 'tavohu64.ime': 352768, 'tavo320.ime': 40960, 'tavo321.ime': 53248,
    'tavo640.ime': 51712, 'tavo641.ime': 51712, 'tavopyck.tv1': 1833364, 'tvszsj43.tvh': 200,
    'vemo1.bmp': 373296,
}
PRODUCT = '智能岚溪输入平台'
WORK_ROOM = 0x200000 - 144


def paths():
    return dict(
        archive=os.path.join(BUILD, 'win-x86_64', 'payload', 'payload.tvz'),
        tvz=os.path.join(BUILD, 'dist', 'tvz'),
        sample=os.path.join(BUILD, 'payload-sample'),
        dist=os.path.join(BUILD, 'dist'),
        setupw64=os.path.join(BUILD, 'win-x86_64', 'setupw64.exe'),
    )


def read(path):
    with open(path, 'rb') as f:
        return f.read()


class Payload(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.p = paths()
        cls.image = read(cls.p['archive'])
        cls.archive = tvz_reader.parse(cls.image)
        cls.members = {e.name: e.expand() for e in reversed(cls.archive.entries)}

    def member(self, name):
        return self.members[member_bytes(name)]

    def test_walk_visits_79_members_in_stored_order_and_ends_at_the_total_length(self):
        a = self.archive
        self.assertEqual(self.image[:2], b'C0')
        self.assertEqual(a.count, 79)
        self.assertEqual([e.name for e in a.entries], [member_bytes(n) for n in MEMBERS])
        self.assertEqual(a.end, a.total_length)
        self.assertEqual(a.total_length, len(self.image))

    def test_every_stored_digest_matches_and_every_member_fits_the_work_buffer(self):
        for e in self.archive.entries:
            with self.subTest(e.name):
                data = e.expand()
                self.assertEqual(e.digest_field, tvz_reader.digest_text(data))
                self.assertEqual(e.name_field[len(e.name):], bytes(16 - len(e.name)))
                self.assertTrue(0 < len(data) <= WORK_ROOM)

    def test_sizes_the_setup_program_relies_on(self):
        for name, size in SIZES.items():
            with self.subTest(name):
                self.assertEqual(len(self.member(name)), size)
        self.assertEqual(self.member('setupw64.exe'), read(self.p['setupw64']))

    def test_modules_carry_the_description_and_the_variants_a_patchable_version(self):
        name16 = PRODUCT.encode('utf-16-le')
        for module in ('tavohu4.ime', 'tavohu64.ime', 'tavo320.ime', 'tavo321.ime',
                       'tavo640.ime', 'tavo641.ime'):
            with self.subTest(module):
                data = self.member(module)
                self.assertIn(PRODUCT.encode('gbk'), data)
                self.assertIn('UIVEMO'.encode('utf-16-le'), data)
                if module.startswith('tavo32') or module.startswith('tavo64'):
                    # what the version patch looks for: the name, a space, one
                    # more character, then 6.7 (or 6.3)
                    hits = [i for i in range(len(data)) if data.startswith(name16, i)]
                    patchable = [i for i in hits
                                 if data[i + 16] == 0x20 and data[i + 20] == ord('6')
                                 and data[i + 22] == ord('.') and data[i + 24] in b'37']
                    self.assertGreaterEqual(len(patchable), 1)

    def test_vemo1_is_a_401_by_310_bottom_up_24_bit_bitmap(self):
        bmp = self.member('vemo1.bmp')
        self.assertEqual(bmp[:2], b'BM')
        size, _, _, bits = struct.unpack_from('<IHHI', bmp, 2)
        _, width, height, _, bpp, compression = struct.unpack_from('<IiiHHI', bmp, 14)
        self.assertEqual((size, bits, width, height, bpp, compression),
                         (373296, 54, 401, 310, 24, 0))

    def test_skin_archives_are_plain_with_eight_members_and_cc_filled_names(self):
        names = [b'tvbmp8.tvh'] + [b'tvbmpsx%d.bmp' % i for i in range(1, 8)]
        for skin in SKINS:
            with self.subTest(skin):
                image = self.member(skin)
                self.assertTrue(b'A'[0] <= image[1] <= b'Z'[0])
                self.assertLessEqual(len(image), 0x20000)
                a = tvz_reader.parse(image)
                self.assertEqual(a.total_length, len(image))
                self.assertEqual([e.name for e in a.entries], names)
                for e in a.entries:
                    self.assertEqual(e.name_field[len(e.name):],
                                     b'\0' + b'\xcc' * (13 - len(e.name)))
                record = a.entries[0].expand()
                self.assertEqual(len(record), 4096)
                self.assertTrue(record.startswith(skin[:-4].encode('gbk') + b'\0'))
                for e in a.entries[1:]:
                    self.assertEqual(e.expand()[:2], b'BM')

    def test_the_payload_is_in_both_setup_programs_and_not_in_setupw64(self):
        probe = self.image[:4096]
        for exe, carries in (('setup.exe', True), ('setup-x64.exe', True),
                             ('setupw64.exe', False)):
            with self.subTest(exe):
                self.assertEqual(probe in read(os.path.join(self.p['dist'], exe)), carries)


class PayloadWithTvz(unittest.TestCase):
    def setUp(self):
        self.p = paths()
        self.dir = tempfile.mkdtemp(prefix='payload')
        self.addCleanup(shutil.rmtree, self.dir)

    def test_tvz_verify_passes_and_fails_on_one_flipped_data_byte(self):
        ok = subprocess.run([self.p['tvz'], 'verify', self.p['archive']], capture_output=True)
        self.assertEqual(ok.returncode, 0, ok.stderr)
        image = bytearray(read(self.p['archive']))
        victim = tvz_reader.parse(bytes(image)).entries[22]  # tavopyck.tv1
        image[victim.offset + 56 + len(victim.compressed) // 3] ^= 0x40
        copy = os.path.join(self.dir, 'flipped.tvz')
        with open(copy, 'wb') as f:
            f.write(image)
        bad = subprocess.run([self.p['tvz'], 'verify', copy], capture_output=True)
        self.assertEqual(bad.returncode, 1)
        failing = [line for line in bad.stderr.splitlines() if b'" at offset ' in line]
        self.assertEqual(len(failing), 1, bad.stderr)
        self.assertIn(b'member 22 "tavopyck.tv1" at offset %d' % victim.offset, failing[0])

    def test_the_sample_comes_out_the_same_on_every_run(self):
        out = os.path.join(self.dir, 'again')
        subprocess.run([sys.executable, os.path.join(SOURCE, 'tools', 'payload',
                                                     'make_sample_payload.py'),
                        '--tvz', self.p['tvz'], '--out', out], check=True)
        sample = os.fsencode(self.p['sample'])
        names = sorted(n for n in os.listdir(sample) if not n.startswith(b'.'))
        self.assertEqual(names, sorted(os.listdir(os.fsencode(out))))
        match, mismatch, errors = filecmp.cmpfiles(sample, os.fsencode(out), names, shallow=False)
        self.assertEqual((mismatch, errors), ([], []))

    def test_a_payload_directory_without_a_required_member_is_refused(self):
        incomplete = os.path.join(self.dir, 'product')
        shutil.copytree(self.p['sample'], incomplete)
        os.remove(os.path.join(incomplete, 'tavodel.exe'))
        os.remove(os.path.join(os.fsencode(incomplete), member_bytes('小天使.tvz')))
        r = subprocess.run([sys.executable, os.path.join(SOURCE, 'tools', 'payload',
                                                         'pack_payload.py'),
                            '--dir', incomplete, '--check-only'], capture_output=True)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn('lacks members the setup program relies on: tavodel.exe, 小天使.tvz'
                      .encode(), r.stderr)

    def test_configuring_with_an_incomplete_payload_directory_fails(self):
        incomplete = os.path.join(self.dir, 'product')
        os.mkdir(incomplete)
        r = subprocess.run(['cmake', '-S', SOURCE, '-B', os.path.join(self.dir, 'b'), '-G', 'Ninja',
                            '-DTAVO_PAYLOAD_DIR=' + incomplete], capture_output=True)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn(b'TAVO_PAYLOAD_DIR cannot be used', r.stderr)
        self.assertIn(b'tavohu4.ime', r.stderr)


if __name__ == '__main__':
    BUILD = sys.argv.pop(1)
    unittest.main(verbosity=1)
