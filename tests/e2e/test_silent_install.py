#!/usr/bin/env python3
"""The silent install ("settvsrf32") end to end, on the machines the
program meets, and over an earlier install."""
import os
import subprocess
import unittest

import e2e
from e2e import ARCHIVE_DRIVER, CAPTION, MSG_REGISTERED, SETUP, Machine, Prefix, read_archive

PAYLOAD = os.path.join(e2e.BUILD, 'win-x86_64', 'payload', 'payload.tvz')
INST = 'c:\\tavohu2\\'
SYS = 'C:\\windows\\system32\\'
WOW = 'C:\\windows\\syswow64\\'
VARIANTS = ('tavo320.ime', 'tavo321.ime', 'tavo640.ime', 'tavo641.ime')
NAME16 = '智能岚溪输入平台'.encode('utf-16-le')
RUN_KEY = r'software\microsoft\windows\currentversion\run'
TOKENS = r'software\microsoft\windows\currentversion\internet settings\user agent\post platform'
UNINSTALL = r'software\microsoft\windows\currentversion\uninstall\tavokwb'


def payload_members():
    with open(PAYLOAD, 'rb') as f:
        members, _, _ = read_archive(f.read())
    return {name: content for name, _, content, _ in members}


def version_after_name(data):
    """The version characters that follow the product name in a module."""
    at = data.find(NAME16)
    return data[at + 16:at + 26].decode('utf-16-le') if at >= 0 else None


class FreshMachines(e2e.TestCase):
    """A fresh machine of each kind: what lands where."""

    def install(self, machine):
        p = Prefix(machine, shots=e2e.shots_for(self))
        self.addCleanup(p.close)
        # Windows has this key; a fresh Wine prefix does not, and the token
        # is only written under it.
        p.add_reg('HKLM', r'Software\Microsoft\Windows\CurrentVersion\Internet Settings\User Agent', {})
        r = p.run(SETUP, 'settvsrf32', timeout=300)
        self.assertEqual(r.returncode, 0)
        return p, r

    def check_common(self, p, windows64, winver):
        members = payload_members()
        # On disk the names are in the locale's code page, as the members.
        files = set(os.listdir(p.host_path(INST)))
        for name in members:
            if name.decode('gbk') in VARIANTS or (name == b'tavovem6.exe' and winver >= 6):
                self.assertNotIn(name, files)
            else:
                self.assertIn(name, files)
        self.assertIn(b'filer', files)
        self.assertEqual(p.read_file(INST + 'tavohu32.ime'), members[b'tavohu4.ime'])
        self.assertEqual(p.read_file(INST + 'wbpybz.tvh'), b'TVWBPYBZ=0\0')
        self.assertEqual(p.read_file(INST + 'tvnetsj.dat'),
                         b'TVNETURL1=\r\nTVNETURL2=\r\nTVNETTIME=1\r\nTVBJTIME=7\r\nTVWYTIME=3\r\n'
                         b'TVSJOFF=0\r\nTVNETTIME0=0\r\nTVBJTIME0=0\r\nTVNEONE=1\r\n')
        companion = members[b'tavovem6.exe'] if winver >= 6 else members[b'tavovemo.exe']
        self.assertEqual(p.read_file(INST + 'tavovemo.exe'), companion)
        uninstaller = members[b'tvkdel64.exe'] if windows64 else members[b'tavodel.exe']
        self.assertEqual(p.read_file(SYS + 'tavodel.exe'), uninstaller)
        self.assertEqual(p.read_file(r'C:\windows\tavopath.tvh'), INST.encode())
        hklm = p.registry('HKLM')
        self.assertEqual(hklm[r'software\tavowb']['path'].text, INST)
        self.assertEqual(hklm[RUN_KEY]['tvtksjgl'].text, INST + 'tavovemo.exe tv')
        self.assertEqual(hklm[TOKENS]['vemo7300'].data, b'')
        self.assertEqual(hklm[UNINSTALL]['displayname'].text, '青枫五笔')
        self.assertEqual(hklm[UNINSTALL]['uninstallstring'].text, 'C:\\windows\\system32\\tavodel.exe')
        # On 64-bit Windows both the install and the 64-bit registration run
        # ask the system; Wine's installer then makes a key for each.
        self.assertEqual(len(e2e.layout_keys(p)), 2 if windows64 else 1)
        return members

    def test_64_bit_windows_7(self):
        p, r = self.install(Machine())
        # setupw64.exe, started with "regtv32=" and the directory, shows its own success.
        self.assertBoxes(r, [(CAPTION, MSG_REGISTERED)])
        members = self.check_common(p, True, 6)
        self.assertEqual(p.read_file(SYS + 'tavohu4.ime'), members[b'tavohu64.ime'])
        self.assertEqual(p.read_file(WOW + 'tavohu4.ime'), members[b'tavohu4.ime'])
        self.assertEqual(p.read_file(r'C:\tavohu\tavopath.tvh'), INST.encode())

    def test_64_bit_windows_7_code_page_950(self):
        p, r = self.install(Machine(codepage=950))
        self.assertBoxes(r, [(CAPTION, MSG_REGISTERED)])
        members = self.check_common(p, True, 6)
        self.assertEqual(p.read_file(SYS + 'tavohu4.ime'), members[b'tavohu64.ime'])
        self.assertEqual(p.read_file(WOW + 'tavohu4.ime'), members[b'tavohu4.ime'])
        # The system names the layouts it installs in the machine's language.
        self.assertTrue(all(k.endswith('0404') for k in e2e.layout_keys(p)), e2e.layout_keys(p))

    def test_32_bit_windows_7(self):
        p, r = self.install(Machine(bits=32))
        self.assertBoxes(r, [])
        members = self.check_common(p, False, 6)
        self.assertEqual(p.read_file(SYS + 'tavohu4.ime'), members[b'tavohu4.ime'])

    def test_windows_xp(self):
        p, r = self.install(Machine(winver=5, bits=32))
        self.assertBoxes(r, [])
        members = self.check_common(p, False, 5)
        self.assertEqual(p.read_file(SYS + 'tavohu4.ime'), members[b'tavohu4.ime'])
        self.assertIn(b'tavovem6.exe', set(os.listdir(p.host_path(INST))))


class FirstPass(e2e.TestCase):
    """The first pass places the patched variant of the machine's code page."""

    def test_variants_by_code_page_are_patched_to_7_3(self):
        members = payload_members()
        for cp, v32, v64 in ((936, b'tavo320.ime', b'tavo640.ime'), (950, b'tavo321.ime', b'tavo641.ime')):
            with self.subTest(cp=cp), Prefix(Machine(codepage=cp)) as p:
                with open(PAYLOAD, 'rb') as f:
                    p.write_file('C:\\fix\\payload.tvz', f.read())
                p.run(ARCHIVE_DRIVER, 'first-pass', 'C:\\fix\\payload.tvz', INST)
                wow, system = p.read_file(WOW + 'tavohu4.ime'), p.read_file(SYS + 'tavohu4.ime')
                self.assertEqual(len(wow), len(members[v32]))
                self.assertEqual(len(system), len(members[v64]))
                self.assertRegex(version_after_name(members[v32]), r'^ .6\.[37]$')
                self.assertEqual(version_after_name(wow)[2:], '7.3')
                self.assertEqual(version_after_name(system)[2:], '7.3')


EARLIER_LAYOUT = r'System\CurrentControlSet\Control\Keyboard Layouts\E0200804'


class OverAnEarlierInstall(e2e.TestCase):
    """An earlier version in the preload list (32-bit Windows) whose module
    lies in the system directory."""

    def earlier_install(self, p):
        p.add_reg('HKLM', EARLIER_LAYOUT, {'Layout Text': '智能岚溪输入平台  6.7',
                                           'Ime File': 'TAVOHU4.IME'})
        # Wine rewrites value "1" at every start, so the IME stands second.
        p.add_reg('HKCU', r'Keyboard Layout\Preload', {'1': '00000804', '2': 'e0200804'})
        p.write_file(SYS + 'tavohu4.ime', p.read_file(SYS + 'msimg32.dll'))

    def test_a_loaded_module_is_moved_aside(self):
        with Prefix(Machine(bits=32)) as p:
            self.earlier_install(p)
            old = p.read_file(SYS + 'tavohu4.ime')
            holder = p.spawn(ARCHIVE_DRIVER, 'hold', SYS + 'tavohu4.ime', '60000', 'load',
                             ready='RESULT: holding 1')
            r = p.run(SETUP, 'settvsrf32', timeout=300)
            holder.kill()
            self.assertBoxes(r, [])
            self.assertEqual(p.read_file(SYS + 'tavohu2.ime'), old)
            self.assertEqual(p.read_file(SYS + 'tavohu4.ime'), payload_members()[b'tavohu4.ime'])

    def run_with_module_held_open(self, listed):
        """The install while another program holds tavohu4.ime open without
        delete sharing, so it can be neither deleted nor moved; listed:
        whether the earlier version is in the preload list."""
        p = Prefix(Machine(bits=32), shots=e2e.shots_for(self))
        self.addCleanup(p.close)
        if listed:
            self.earlier_install(p)
        else:
            p.write_file(SYS + 'tavohu4.ime', p.read_file(SYS + 'msimg32.dll'))
        holder = p.spawn(ARCHIVE_DRIVER, 'hold', SYS + 'tavohu4.ime', '120000',
                         ready='RESULT: holding 1')
        try:
            r = p.run(SETUP, 'settvsrf32', timeout=300)
        finally:
            holder.kill()
        return p, r

    def test_a_module_that_can_be_neither_deleted_nor_moved_stops_the_install(self):
        p, r = self.run_with_module_held_open(listed=True)
        self.assertBoxes(r, [('智能岚溪安装', '\u3000\u3000你以前安装的青枫五笔正在使用，请关闭使用青枫五笔的'
                              '所有窗口，或者重新启动机器后，才能安装新版本的青枫五笔！')])
        self.assertEqual(p.read_file(INST + 'wbpybz.tvh'), b'TVWBPYBZ=0\0',
                         'the settings files come before the check')
        self.assertFalse(p.exists(INST + 'tavohu4.ime'), 'nothing is extracted')
        self.assertFalse(p.exists(SYS + 'tavohu2.ime'))
        hklm = p.registry('HKLM')
        self.assertNotIn('tvtksjgl', hklm.get(RUN_KEY, {}), 'the sequence ends at the check')

    def test_without_an_earlier_version_listed_the_deployment_reports_the_module(self):
        # No in-use check: the passes try to place the module and each names
        # the destination it could not replace.
        p, r = self.run_with_module_held_open(listed=False)
        failed = ('智能岚溪(青枫五笔)安装', '没有成功复制C:\\windows\\system32\\tavohu4.ime文件，'
                  '请退出安装程序并手动删除该文件后重新安装！')
        self.assertBoxes(r, [failed, failed])
        self.assertTrue(p.exists(INST + 'tavohu4.ime'), 'the install went on')
        self.assertEqual(p.registry('HKLM')[RUN_KEY]['tvtksjgl'].text, INST + 'tavovemo.exe tv')

    def test_the_restart_needed_flag_by_what_became_of_the_earlier_module(self):
        # The flag is seen through a driver that runs the same sequence.
        for hold, flag, aside in ((None, 0, False), ('load', 0, True), ('open', 1, False)):
            with self.subTest(hold=hold), Prefix(Machine(bits=32)) as p:
                self.earlier_install(p)
                with open(PAYLOAD, 'rb') as f:
                    p.write_file('C:\\fix\\payload.tvz', f.read())
                holder = None
                if hold:
                    holder = p.spawn(ARCHIVE_DRIVER, 'hold', SYS + 'tavohu4.ime', '120000',
                                     *(['load'] if hold == 'load' else []),
                                     ready='RESULT: holding 1')
                try:
                    r = p.run(ARCHIVE_DRIVER, 'install', 'C:\\fix\\payload.tvz', timeout=300)
                finally:
                    if holder:
                        holder.kill()
                self.assertIn('RESULT: restart %d' % flag, r.log)
                self.assertEqual(p.exists(SYS + 'tavohu2.ime'), aside)
                self.assertEqual(len(r.msgboxes), flag)
                if not flag:
                    self.assertEqual(p.read_file(SYS + 'tavohu4.ime'),
                                     payload_members()[b'tavohu4.ime'])


def preload(p, hive):
    values = p.registry(hive).get(r'keyboard layout\preload', {})
    ids = []
    while str(len(ids) + 1) in values:
        ids.append(values[str(len(ids) + 1)].text)
    return ids


class PreloadMove(e2e.TestCase):
    """An earlier version third in the preload list: after the registration
    Windows XP moves it to position 2 in both lists; Windows 7 leaves the
    lists alone. Wine rewrites value "1" at every start, so the lists are
    compared from position 2 on."""

    def test_the_earlier_entry_moves_to_second_on_windows_xp_only(self):
        for winver, expected in ((5, ['e0200804', '00000409']), (6, ['00000409', 'e0200804'])):
            with self.subTest(winver=winver), Prefix(Machine(winver=winver, bits=32)) as p:
                p.add_reg('HKLM', EARLIER_LAYOUT, {'Layout Text': '智能岚溪输入平台  6.7',
                                                   'Ime File': 'TAVOHU4.IME'})
                ids = {'1': '00000804', '2': '00000409', '3': 'e0200804'}
                p.add_reg('HKCU', r'Keyboard Layout\Preload', ids)
                p.add_reg('HKU\\.DEFAULT', r'Keyboard Layout\Preload', ids)
                r = p.run(SETUP, 'settvsrf32', timeout=300)
                self.assertBoxes(r, [])
                self.assertEqual(preload(p, 'HKCU')[1:3], expected)
                self.assertEqual(preload(p, 'HKU\\.DEFAULT')[1:3], expected)
                self.assertEqual(p.read_file(SYS + 'tavohu4.ime'), payload_members()[b'tavohu4.ime'])


class DamagedPayload(e2e.TestCase):
    def test_a_member_with_a_bad_digest_is_reported_and_the_install_goes_on(self):
        with open(SETUP, 'rb') as f:
            exe = bytearray(f.read())
        with open(PAYLOAD, 'rb') as f:
            payload = f.read()
        at = exe.find(payload[:4096])
        self.assertGreater(at, 0, 'the payload is in the program')
        entry = exe.find(b'CFtvfcz.txt\0', at)
        exe[entry + 18] = ord('0') if exe[entry + 18] != ord('0') else ord('1')
        with Prefix(Machine(bits=32), shots=e2e.shots_for(self)) as p:
            p.write_file('C:\\fix\\setup.exe', bytes(exe))
            r = p.run(p.host_path('C:\\fix\\setup.exe').decode(), 'settvsrf32', timeout=300)
            self.assertBoxes(r, [
                ('智能岚溪安装', '没有成功解压复制tvfcz.txt文件！请重新下载安装。'),
                ('智能岚溪(青枫五笔)安装', '文件解压不完整，请到智能岚溪网站http://www.tavohu.cn/重新下载安装。')])
            self.assertFalse(p.exists(INST + 'tvfcz.txt'))
            self.assertTrue(p.exists(SYS + 'tavohu4.ime'), 'the install went on')


if __name__ == '__main__':
    e2e.main()
