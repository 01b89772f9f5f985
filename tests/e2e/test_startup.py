#!/usr/bin/env python3
"""The program's start: the registration run, the run-mode choice on the
machines it meets, and the refusal without administrator rights."""
import contextlib
import os
import subprocess
import unittest

import e2e
from e2e import CAPTION, MSG_NEED_ADMIN, MSG_REGISTERED, SETUP, Machine, Prefix

STORES = (r'C:\windows\tavopath.tvh', r'C:\tavohu\tavopath.tvh')


def stored(p):
    """The three stores of the install directory: two files, one value."""
    files = [p.read_file(f).decode('latin-1') if p.exists(f) else None for f in STORES]
    reg = p.reg_value('HKLM', r'Software\tavowb', 'path')
    return files[0], reg.text if reg else None, files[1]


class RegistrationRun(e2e.TestCase):
    def test_directory_from_the_command_line(self):
        cases = [
            ('regtv32=D:\\tv\\', 'D:\\tv\\'),
            ('regtv32=D:\\tv', 'D:\\tv\\'),        # the backslash is added
            ('REGTV32=D:\\tv\\', 'c:\\tavohu2\\'),  # token found, value not taken
            ('regtv32=', '\\'),
        ]
        for arg, expected in cases:
            with self.subTest(arg=arg), Prefix(shots=e2e.shots_for(self)) as p:
                r = p.run(SETUP, arg)
                self.assertEqual(r.returncode, 0)
                self.assertBoxes(r, [(CAPTION, MSG_REGISTERED)])
                self.assertEqual(stored(p), (expected, expected, expected))
                self.assertEqual(r.windows, [], 'no setup window in this run')
                self.assertEqual(len(e2e.layout_keys(p)), 1, 'the IME is registered once')

    def test_second_store_goes_on_the_highest_fixed_drive(self):
        machine = Machine(drives={'c': 'hd', 'd': 'cdrom', 'e': 'hd'})
        with Prefix(machine) as p:
            p.run(SETUP, 'regtv32=D:\\tv\\')
            self.assertEqual(p.read_file(r'E:\tavohu\tavopath.tvh'), b'D:\\tv\\')
            self.assertFalse(p.exists(r'C:\tavohu\tavopath.tvh'))


class RunModeChoice(e2e.TestCase):
    def interactive(self, machine, arg):
        """Runs the program, which must show its setup window; closes it."""
        def close(prefix, title, wid):
            prefix.screenshot('setup-window')
            prefix.close_window(wid)
        with Prefix(machine, shots=e2e.shots_for(self)) as p:
            r = p.run(SETUP, arg, on_window=close, timeout=60)
            return p, r

    def test_registration_token_on_32_bit_windows_starts_the_interactive_install(self):
        p, r = self.interactive(Machine(bits=32), 'regtv32=D:\\tv\\')
        self.assertEqual(r.returncode, 0)
        self.assertEqual(r.windows, ['智能岚溪系统安装32'])
        self.assertBoxes(r, [])

    def test_windows_xp_with_a_syswow64_directory_counts_as_32_bit(self):
        p, r = self.interactive(Machine(winver=5), 'regtv32=D:\\tv\\ settvsrf32')
        self.assertEqual(r.windows, ['智能岚溪系统安装32'])
        self.assertBoxes(r, [])

    def test_64_bit_windows_gets_the_64_bit_title(self):
        p, r = self.interactive(Machine(), '')
        self.assertEqual(r.windows, ['智能岚溪系统安装3264'])


class AdministratorRefusal(e2e.TestCase):
    def test_a_directory_file_that_cannot_be_rewritten_refuses_the_run(self):
        with Prefix(shots=e2e.shots_for(self)) as p:
            p.write_file(STORES[0], b'E:\\old\\')
            path = p.host_path(STORES[0])
            if subprocess.run(['chattr', '+i', path], capture_output=True).returncode != 0:
                self.skipTest('this file system cannot make a file immutable')
            try:
                r = p.run(SETUP, 'regtv32=D:\\tv\\')
            finally:
                subprocess.run(['chattr', '-i', path])
            self.assertEqual(r.returncode, 0)
            self.assertBoxes(r, [(CAPTION, MSG_NEED_ADMIN)])
            self.assertEqual(e2e.layout_keys(p), [], 'nothing is installed')
            self.assertEqual(stored(p)[1], 'E:\\old\\', 'the resolved directory is written back')


if __name__ == '__main__':
    e2e.main()
