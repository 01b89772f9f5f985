#!/usr/bin/env python3
"""Extraction, verification and skins; the backup and restore of the
user's data. Each operation runs in the archive driver, a small program
over the program's own code, in a throw-away Wine prefix."""
import os
import shutil
import subprocess
import tempfile

import e2e
from e2e import ARCHIVE_DRIVER, Prefix, driver_results, make_archive, read_archive

INST = 'C:\\inst\\'
SETUP_CAPTION = '智能岚溪安装'
CAPTION = '智能岚溪'
SUMMARY = '有文件没有成功解压，请重新下载安装！\r\n'


def failed(name):
    return (SETUP_CAPTION, '没有成功解压复制%s文件！请重新下载安装。' % name)


def make_install_dir(p):
    os.makedirs(p.host_path(INST), exist_ok=True)


def put(p, name, data, folder=INST):
    p.write_file(folder + name, data)


def get(p, name, folder=INST):
    path = folder + name
    return p.read_file(path) if p.exists(path) else None


class Extraction(e2e.TestCase):
    def run_extract(self, p, archive, answers=()):
        make_install_dir(p)
        put(p, 'a.tvz', archive, 'C:\\fix\\')
        r = p.run(ARCHIVE_DRIVER, 'extract', 'C:\\fix\\a.tvz', INST, answers=answers)
        return r, driver_results(r)

    def test_replaces_read_only_and_loaded_files(self):
        with Prefix(shots=e2e.shots_for(self)) as p:
            put(p, 'a.txt', b'old a')
            os.chmod(p.host_path(INST + 'a.txt'), 0o444)  # read-only to Windows
            module = p.read_file(r'C:\windows\system32\msimg32.dll')
            put(p, 'tavohu4.ime', module)
            holder = p.spawn(ARCHIVE_DRIVER, 'hold', INST + 'tavohu4.ime', '20000', 'load',
                             ready='RESULT: holding 1')
            archive = make_archive([(b'a.txt', b'new a'), (b'tavohu4.ime', b'new module'),
                                    (b'b.txt', b'b' * 5000)])
            r, res = self.run_extract(p, archive)
            holder.kill()
            self.assertBoxes(r, [])
            self.assertEqual(res, ['1'])
            self.assertEqual(get(p, 'a.txt'), b'new a')
            self.assertEqual(get(p, 'tavohu4.ime'), b'new module')
            self.assertEqual(get(p, 'tavohu2.ime'), module, 'the loaded module moved aside')
            self.assertEqual(get(p, 'b.txt'), b'b' * 5000)

    def test_failed_members_are_reported_and_skipped(self):
        too_big = bytes(0x200000)  # more than the work buffer holds behind its scratch area
        archive = make_archive([
            (b'x.txt', b'x'),
            (b'y.txt', b'y', b'0' * 32 + b'\0\0'),  # stored digest differs
            (b'busy.txt', b'new'),
            (b'big.bin', too_big),
            (b'empty.txt', b''),
            (b'..\\up.txt', b'escape'),
            (b'z.txt', b'z'),
        ])
        with Prefix(shots=e2e.shots_for(self)) as p:
            put(p, 'busy.txt', b'held')
            holder = p.spawn(ARCHIVE_DRIVER, 'hold', INST + 'busy.txt', '20000',
                             ready='RESULT: holding 1')
            r, res = self.run_extract(p, archive)
            holder.kill()
            self.assertBoxes(r, [failed('y.txt'), failed('busy.txt'), failed('big.bin'),
                                 failed('empty.txt'), failed('..\\up.txt')])
            self.assertEqual(res, ['0'])
            self.assertEqual((get(p, 'x.txt'), get(p, 'z.txt')), (b'x', b'z'))
            self.assertIsNone(get(p, 'y.txt'))
            self.assertIsNone(get(p, 'big.bin'))
            self.assertEqual(get(p, 'busy.txt'), b'held', 'a file open without delete sharing stays')
            self.assertFalse(p.exists('C:\\up.txt'), 'no member is written outside the directory')

    def test_empty_archive_and_a_walk_that_stops_early(self):
        with Prefix() as p:
            r, res = self.run_extract(p, make_archive([]))
            self.assertEqual(res, ['1'])
            self.assertBoxes(r, [])
            # The count promises three entries; the second does not begin "CF".
            good = make_archive([(b'one.txt', b'1'), (b'two.txt', b'2')])
            entries, _, _ = read_archive(good)
            cut = 10 + 56 + entries[0][1]
            broken = good[:2] + good[2:6] + (3).to_bytes(4, 'little') + good[10:cut] + b'XX' + good[cut + 2:]
            r, res = self.run_extract(p, broken)
            self.assertEqual(res, ['0'])
            self.assertBoxes(r, [])
            self.assertEqual(get(p, 'one.txt'), b'1')
            self.assertIsNone(get(p, 'two.txt'))


def sample_payload():
    """A small payload in the form the program carries: a few members, the
    excluded variants among them, and the default skin archive."""
    skin = make_archive([(b'tvbmp8.tvh', '冷色瓷面'.encode('gbk') + bytes(4096 - 9))] +
                        [(b'tvbmpsx%d.bmp' % i, b'BM' + bytes([i]) * 900) for i in range(1, 8)],
                        plain=True, variant=b'L', fill=b'\xcc')
    return make_archive([
        (b'tavohu4.ime', b'module' * 1000),
        (b'tavo320.ime', b'variant' * 500),
        (b'tvszsj43.tvh', bytes(200)),
        (b'tavocyzk.tv1', b'phrases' * 300),
        ('冷色瓷面.tvz'.encode('gbk'), skin),
    ]), skin


class PayloadCheck(e2e.TestCase):
    def setUp(self):
        self.payload, self.skin = sample_payload()

    def check(self, p, *extra):
        put(p, 'payload.tvz', self.payload, 'C:\\fix\\')
        r = p.run(ARCHIVE_DRIVER, 'payload-check', 'C:\\fix\\payload.tvz', INST, *extra)
        return r, driver_results(r)

    def extracted(self, p):
        make_install_dir(p)
        put(p, 'payload.tvz', self.payload, 'C:\\fix\\')
        r = p.run(ARCHIVE_DRIVER, 'extract', 'C:\\fix\\payload.tvz', INST)
        self.assertEqual(driver_results(r), ['1'])

    def test_excluded_variants_may_go_missing_the_module_may_not(self):
        with Prefix(shots=e2e.shots_for(self)) as p:
            self.extracted(p)
            os.remove(p.host_path(INST + 'tavo320.ime'))
            r, res = self.check(p)
            self.assertBoxes(r, [])
            self.assertEqual(res, ['mode 1 skin 1'], 'no dialog: both choices stay 1')
            skin_members = read_archive(self.skin)[0]
            for name, _, content, _ in skin_members:
                self.assertEqual(get(p, name.decode()), content)

            os.remove(p.host_path(INST + 'tavohu4.ime'))
            r, _ = self.check(p)
            self.assertBoxes(r, [(CAPTION, 'tavohu4.ime....' + SUMMARY + '\r\n\r\n'
                                  '上述文件没有成功复制，请重新下载安装！\r\n')])

    def test_skin_members_pass_on_their_length(self):
        with Prefix(shots=e2e.shots_for(self)) as p:
            self.extracted(p)
            # A directory where a skin picture should go: its member cannot
            # be written, and the check after the unpacking misses it.
            os.makedirs(p.host_path(INST + 'tvbmpsx3.bmp'))
            r, _ = self.check(p)
            self.assertBoxes(r, [failed('tvbmpsx3.bmp'),
                                 (CAPTION, 'tvbmpsx3.bmp....' + SUMMARY + '\r\n\r\n'
                                  '皮肤文件没有成功复制，请重新安装皮肤文件！\r\n')])

    def test_keeping_earlier_data_skips_the_skin(self):
        with Prefix() as p:
            self.extracted(p)
            r, res = self.check(p, 'keep')
            self.assertBoxes(r, [])
            self.assertIsNone(get(p, 'tvbmpsx1.bmp'), 'no skin is unpacked')

    def test_missing_skin_archive(self):
        with Prefix() as p:
            self.extracted(p)
            os.remove(p.host_path(INST + '冷色瓷面.tvz'))
            r, _ = self.check(p)
            # The payload report first, then the same report with the skin line.
            payload_report = ('冷色瓷面.tvz....' + SUMMARY + '\r\n\r\n'
                              '上述文件没有成功复制，请重新下载安装！\r\n')
            self.assertBoxes(r, [(CAPTION, payload_report),
                                 (CAPTION, payload_report + '皮肤文件没有成功复制，请重新安装皮肤文件！\r\n')])


# The Wubi edition's backup list: required rows, then optional ones.
REQUIRED = [('tavocyzk.tv1', 'tavocyzk.tvh'), ('tfontset.tv1', 'tfontset.tvh'),
            ('twbzlcz1.tv1', 'twbzlcz1.tvh'), ('tvwbcmxz.tv1', 'tvwbcmxz.tvh'),
            ('tvdhzcm.tv1', 'tvdhzcm.tvh'), ('tavodhz.tv1', 'tavodhz.tvh'),
            ('tvgbkhz.tv1', 'tvgbkhz.tvh'), ('tvszsj43.tvh', None), ('tavodwdw.txt', None),
            ('tavozdym.tvh', None), ('tvpyzdym.tvh', None), ('tvwbpy.txt', None),
            ('tavoynhz.txt', None), ('tavozdfh.tvh', None)]


def user_files():
    """The files a user's earlier install holds, each with its own bytes."""
    files = {}
    for member, source in REQUIRED:
        name = source or member
        files[name] = ('%s: 我的词组 ' % name).encode('gbk') * 40
    files['userck.txt'] = b'user phrases'
    files['twb.ov1'] = b'wubi overlay'
    return files


class BackupAndRestore(e2e.TestCase):
    def backup(self, p, files, edition=None):
        for name, data in files.items():
            put(p, name, data)
        r = p.run(ARCHIVE_DRIVER, 'backup', INST, *([str(edition)] if edition is not None else []))
        return driver_results(r), get(p, 'tavoback.tvz')

    def test_backup_holds_the_list_in_order(self):
        with Prefix() as p:
            res, data = self.backup(p, user_files())
            self.assertEqual(res, ['1'])
            members, total, count = read_archive(data)
            names = [m[0].decode() for m in members]
            self.assertEqual(names, [m for m, _ in REQUIRED] + ['userck.txt', 'twb.ov1'])
            self.assertEqual(total, len(data))
            self.assertEqual(count, len(members))
            self.assertEqual(members[0][2], user_files()['tavocyzk.tvh'])
            self.assertEqual(members[0][3], e2e.digest_text(members[0][2]))
            tvz = os.path.join(e2e.DIST, 'tvz')
            if os.path.exists(tvz):
                with tempfile.NamedTemporaryFile(suffix='.tvz') as f:
                    f.write(data)
                    f.flush()
                    out = subprocess.run([tvz, 'list', f.name], capture_output=True, text=True)
                    self.assertEqual(out.returncode, 0, out.stderr)
                    self.assertIn('tavozdfh.tvh', out.stdout)

    def test_a_missing_required_file_ends_the_backup(self):
        files = user_files()
        del files['tavoynhz.txt']
        with Prefix() as p:
            res, data = self.backup(p, files)
            self.assertEqual(res, ['0'])
            self.assertEqual(len(read_archive(data)[0]), 12)

    def test_an_older_tv1_is_archived_when_its_source_is_missing(self):
        files = user_files()
        del files['tfontset.tvh']
        files['tfontset.tv1'] = b'older copy'
        with Prefix() as p:
            res, data = self.backup(p, files)
            self.assertEqual(res, ['1'])
            members = {m[0]: m[2] for m in read_archive(data)[0]}
            self.assertEqual(members[b'tfontset.tv1'], b'older copy')

    def test_restore_brings_every_byte_back(self):
        files = user_files()
        with Prefix(shots=e2e.shots_for(self)) as p:
            res, data = self.backup(p, files)
            members = read_archive(data)[0]
            for name in files:  # the new payload overwrites them
                put(p, name, b'payload version')
            for m in members:
                put(p, m[0].decode(), b'payload version')
            r = p.run(ARCHIVE_DRIVER, 'restore', INST)
            self.assertBoxes(r, [(CAPTION, '成功恢复了%d个原有数据文件！' % len(members))])
            for name, content, in ((m[0].decode(), m[2]) for m in members):
                self.assertEqual(get(p, name), content, name)

    def test_an_empty_file_fails_at_restore(self):
        files = user_files()
        files['tavoynhz.txt'] = b''
        with Prefix() as p:
            res, _ = self.backup(p, files)
            self.assertEqual(res, ['1'], 'an empty file is backed up')
            put(p, 'tavoynhz.txt', b'payload version')
            r = p.run(ARCHIVE_DRIVER, 'restore', INST)
            self.assertBoxes(r, [failed('tavoynhz.txt'),
                                 (CAPTION, 'tavoynhz.txt....' + SUMMARY + '\r\n\r\n'
                                  '原有数据文件没有成功复制，原有数据不能使用！\r\n')])

    def test_restore_without_a_backup_does_nothing(self):
        with Prefix() as p:
            put(p, 'tavocyzk.tvh', b'mine')
            r = p.run(ARCHIVE_DRIVER, 'restore', INST)
            self.assertBoxes(r, [])
            self.assertEqual(get(p, 'tavocyzk.tvh'), b'mine')

    def test_append_refuses_what_it_cannot_store(self):
        with Prefix() as p:
            put(p, 'a.txt', b'a')
            put(p, 'name13bytes.x', b'x')
            put(p, 'random.bin', os.urandom(9000))
            put(p, 'empty.txt', b'')
            arc = INST + 'test.tvz'
            results = []
            for f in ('a.txt', 'a.txt', 'name13bytes.x', 'random.bin', 'empty.txt', 'missing.txt'):
                r = p.run(ARCHIVE_DRIVER, 'append', arc, INST + f)
                results += driver_results(r)
            self.assertEqual(results, ['1', '0', '0', '0', '1', '0'])
            members, total, count = read_archive(get(p, 'test.tvz'))
            self.assertEqual([m[0] for m in members], [b'a.txt', b'empty.txt'])
            self.assertEqual(total, len(get(p, 'test.tvz')))
            self.assertEqual(members[1][3], e2e.digest_text(b''))
            # A directory that cannot hold the archive: the append fails.
            r = p.run(ARCHIVE_DRIVER, 'append', 'Q:\\nowhere\\x.tvz', INST + 'a.txt')
            self.assertEqual(driver_results(r), ['0'])


PAYLOAD = os.path.join(e2e.BUILD, 'win-x86_64', 'payload', 'payload.tvz')
KEEP_QUESTION = (SETUP_CAPTION, '检测到安装目录下有智能岚溪以前的词组等数据文件，是否保留？')


class DataSafety(e2e.TestCase):
    """An upgrade over an earlier install: the user's own words survive."""

    def upgrade(self, p, files, answers=()):
        for name, data in files.items():
            put(p, name, data)
        with open(PAYLOAD, 'rb') as f:
            put(p, 'payload.tvz', f.read(), 'C:\\fix\\')
        return p.run(ARCHIVE_DRIVER, 'upgrade', 'C:\\fix\\payload.tvz', INST, answers=answers)

    def test_keeping_the_earlier_data_brings_back_every_byte(self):
        files = user_files()
        with Prefix(shots=e2e.shots_for(self)) as p:
            r = self.upgrade(p, files, answers=['yes'])
            self.assertEqual(driver_results(r), ['old data 2'])
            backed_up = [m for m, _ in REQUIRED] + ['userck.txt', 'twb.ov1']
            self.assertBoxes(r, [KEEP_QUESTION,
                                 (CAPTION, '成功恢复了%d个原有数据文件！' % len(backed_up))])
            for member, source in REQUIRED:
                self.assertEqual(get(p, member), files[source or member], member)
            self.assertEqual(get(p, 'twb.ov1'), files['twb.ov1'])
            self.assertEqual(get(p, 'userck.txt'), files['userck.txt'])

    def test_answering_no_leaves_the_new_files(self):
        with Prefix() as p:
            r = self.upgrade(p, user_files(), answers=['no'])
            self.assertEqual(driver_results(r), ['old data 1'])
            self.assertBoxes(r, [KEEP_QUESTION])

    def test_without_a_complete_backup_the_user_is_not_asked(self):
        files = user_files()
        del files['tavoynhz.txt']
        with Prefix() as p:
            r = self.upgrade(p, files, answers=['yes'])
            self.assertEqual(driver_results(r), ['old data 0'])
            self.assertBoxes(r, [], 'no question, and nothing claims to have been restored')


if __name__ == '__main__':
    e2e.main()
