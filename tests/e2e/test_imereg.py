#!/usr/bin/env python3
"""IME registration seen from outside: the default-IME check answered Yes
and No, with both preload lists read back, and the messages of the manual
layout registration, each run as its own process in a fresh prefix."""
import os

import e2e
from e2e import Machine, Prefix

DRIVER = os.path.join(e2e.BUILD, 'win-x86_64', 'tests', 'win', 'imereg_driver.exe')
LAYOUTS = r'System\CurrentControlSet\Control\Keyboard Layouts'
PRELOAD = r'Keyboard Layout\Preload'   # under HKCU and HKU\.DEFAULT

CAPTION_SETUP = '智能岚溪安装'
MSG_ONLY_IME = ('\u3000\u3000你以前安装的智能岚溪为系统默认输入法，并且是系统安装的唯一输入法，'
                '请通过微软的输入法管理器增加英文输入法，并将智能岚溪输入法设置为系统非默认输入法后，'
                '重新启动机器才能安装新版本的智能岚溪！')
MSG_DEFAULT = ('\u3000\u3000你以前安装的智能岚溪为系统默认输入法，请设置为系统非默认输入法后，'
               '重新启动机器才能安装新版本的智能岚溪！')
ASK = '是否设置智能岚溪为系统非默认输入法？'
MSG_RESTART = '请重新启动机器后安装智能岚溪！'
MSG_ACTIVE = ('\u3000\u3000你以前安装的青枫五笔为系统默认输入法，请通过微软的输入法管理器将青枫五笔'
              '输入法设置为系统非默认输入法后，重新启动机器才能安装新版本的青枫五笔！')
MSG_NEED_ADMIN = '在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！'

OLDER_TEXT = '智能岚溪输入平台  7.2'


def preload(p, hive):
    """The NT preload list of a hive as a list of identifiers."""
    values = p.registry(hive).get(PRELOAD.lower(), {})
    ids = []
    while str(len(ids) + 1) in values:
        ids.append(values[str(len(ids) + 1)].text)
    return ids


def writes(r):
    """The 8-bit values the operation wrote, as the driver printed them."""
    return [line[len('write '):].rstrip('\r\n') for line in r.log.splitlines()
            if line.startswith('write ')]


def with_layouts(p):
    """Keyboard Layouts with an earlier version of the IME at E0200804."""
    p.add_reg('HKLM', LAYOUTS + r'\00000804', {'layout text': 'Chinese (Simplified) - US Keyboard'})
    p.add_reg('HKLM', LAYOUTS + r'\E0200804', {'layout text': OLDER_TEXT})


class DefaultImeCheck(e2e.TestCase):
    """The earlier version is the default input method (32-bit Windows 7).

    Wine rewrites value "1" of the user's list with its own layout whenever
    a program starts, the test bed's box reader included: the user's list is
    checked from value "2" on and through the writes the driver prints; the
    default profile's list is read back whole."""

    def run_check(self, user, default, answers, command='check'):
        p = Prefix(Machine(bits=32), shots=e2e.shots_for(self))
        self.addCleanup(p.close)
        with_layouts(p)
        p.add_reg('HKU\\.DEFAULT', PRELOAD, {str(i + 1): v for i, v in enumerate(default)})
        return p, p.run(DRIVER, command, 'preload=' + ','.join(user), answers=answers)

    def test_yes_exchanges_the_first_two_entries_in_both_lists(self):
        p, r = self.run_check(['e0200804', '00000804', '00000409'], ['00000409', '00000411'],
                              ['ok', 'yes', 'ok'])
        self.assertBoxes(r, [(CAPTION_SETUP, MSG_DEFAULT), (CAPTION_SETUP, ASK),
                             (CAPTION_SETUP, MSG_RESTART)])
        self.assertEqual(r.returncode, 0, 'the install does not go on')
        # The user's list, then the default profile's, each "1" then "2".
        self.assertEqual(writes(r), ['1=00000804', '2=e0200804'] * 2)
        self.assertEqual(preload(p, 'HKCU')[1:], ['e0200804', '00000409'])
        self.assertEqual(preload(p, 'HKU\\.DEFAULT'), ['00000804', 'e0200804'])

    def test_no_writes_nothing(self):
        p, r = self.run_check(['e0200804', '00000804', '00000409'], ['00000409', '00000411'],
                              ['ok', 'no'])
        self.assertBoxes(r, [(CAPTION_SETUP, MSG_DEFAULT), (CAPTION_SETUP, ASK)])
        self.assertEqual(r.returncode, 0)
        self.assertEqual(writes(r), [])
        self.assertEqual(preload(p, 'HKCU')[1:], ['00000804', '00000409'])
        self.assertEqual(preload(p, 'HKU\\.DEFAULT'), ['00000409', '00000411'])

    def test_the_only_input_method_cannot_be_demoted(self):
        p, r = self.run_check(['e0200804'], ['00000409'], ['ok'])
        self.assertBoxes(r, [(CAPTION_SETUP, MSG_ONLY_IME)])
        self.assertEqual(r.returncode, 0)
        self.assertEqual(writes(r), [])
        self.assertEqual(preload(p, 'HKU\\.DEFAULT'), ['00000409'])

    def test_second_place_goes_on_to_the_active_layout(self):
        # Wine describes every layout as its own IME: the install may go on.
        p, r = self.run_check(['00000804', 'e0200804'], ['00000409'], [])
        self.assertBoxes(r, [])
        self.assertEqual(r.returncode, 1)
        # The active layout describing itself as the IME refuses it.
        p, r = self.run_check(['00000804', 'e0200804'], ['00000409'], ['ok'],
                              command='check-active')
        self.assertBoxes(r, [(CAPTION_SETUP, MSG_ACTIVE)])
        self.assertEqual(r.returncode, 0)
        self.assertEqual(writes(r), [])


class ManualRegistrationMessages(e2e.TestCase):
    """What RegisterLayoutManually says when a key it needs is missing."""

    def run_manual(self, *args, layouts=True):
        p = Prefix(shots=e2e.shots_for(self))
        self.addCleanup(p.close)
        if layouts:
            with_layouts(p)
        return p, p.run(DRIVER, *args, answers=['ok'])

    def test_without_keyboard_layouts(self):
        # A fresh Wine prefix has no Keyboard Layouts key at all.
        for command, text in (('manual', MSG_NEED_ADMIN), ('manual-9x', 'Software open error1003')):
            with self.subTest(command=command):
                p, r = self.run_manual(command, layouts=False)
                self.assertBoxes(r, [('智能岚溪', text)])
                self.assertEqual(writes(r), [])
                self.assertEqual(e2e.layout_keys(p), [])

    def test_without_the_users_keyboard_layout_key(self):
        p, r = self.run_manual('manual', 'without-user-layout-key')
        self.assertBoxes(r, [('智能岚溪(青枫五笔)', 'Software open error2003')])
        # The earlier version's key was rewritten before the preload step failed.
        self.assertEqual(e2e.layout_keys(p), ['e0200804'])
        self.assertEqual([w.split('=')[0] for w in writes(r)],
                         ['IME file', 'layout file', 'layout text'])


if __name__ == '__main__':
    e2e.main()
