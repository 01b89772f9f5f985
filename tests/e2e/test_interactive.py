#!/usr/bin/env python3
"""The interactive install driven with the real mouse: the pages in order,
the install click with its checks, the options dialog and the closing
message, on the machines the program meets. Every page is photographed."""
import os
import threading
import time

import e2e
from e2e import CAPTION, SETUP, Machine, Prefix
from test_archive_ops import KEEP_QUESTION, REQUIRED, user_files

INST = 'c:\\tavohu2\\'
SYS = 'C:\\windows\\system32\\'
CONFIRM = (90, 257)
QUIT = (310, 257)
DIALOG_TITLES = ('智能岚溪皮肤及窗口模式选择', '智能嵐溪皮膚及窗口模式選擇')
MSG_DONE = '安装完毕，如不能使用，请重新启动计算机！'
MSG_REJECTED = '智能岚溪不能安装在你设定的路径下，请重新设定路径！'


class Session:
    """Plays a list of steps against the setup window once it shows, beside
    the test bed's answering of message boxes. A step is (label, action):
    action is a client point to click, a callable(prefix), or a pause in
    seconds; each click is followed by a screenshot named by its label."""

    def __init__(self, steps, dialog=None):
        self.steps = steps
        self.dialog = dialog  # callable(prefix, wid) for the options dialog
        self.errors = []
        self.threads = []

    def on_window(self, p, title, wid):
        if title in DIALOG_TITLES:
            target = lambda: (self.dialog or Session.accept_dialog)(p, wid)
        else:
            target = lambda: self.play(p)
        t = threading.Thread(target=self.guard(target), daemon=True)
        t.start()
        self.threads.append(t)

    def guard(self, fn):
        def run():
            try:
                fn()
            except Exception as e:  # reported by the test, not lost in a thread
                self.errors.append(e)
        return run

    def play(self, p):
        time.sleep(1.5)
        p.screenshot('page-loading')
        for label, action in self.steps:
            if isinstance(action, (int, float)):
                time.sleep(action)
            elif callable(action):
                action(p)
            else:
                if not p.click(*action):
                    return
                time.sleep(1.0)
                p.screenshot('page-' + label)

    @staticmethod
    def accept_dialog(p, wid, choices=()):
        time.sleep(1.0)
        p.screenshot('options-dialog')
        for control in choices:
            p.click(control, None, cls='#32770')
            time.sleep(0.5)
        if choices:
            p.screenshot('options-chosen')
        # A click on 确定, as a user makes it.
        for _ in range(5):
            p.click(105, None, cls='#32770')
            time.sleep(1.0)
            if wid not in [w for w, _ in p._visible_windows()]:
                return


def right(point):
    return (point[0], point[1], 3)


class Interactive(e2e.TestCase):
    """Runs the program with a session of steps on a fresh machine."""

    def run_session(self, machine, steps, answers=(), setup_prefix=None, dialog=None):
        p = Prefix(machine, shots=e2e.shots_for(self))
        self.addCleanup(p.close)
        p.add_reg('HKLM', r'Software\Microsoft\Windows\CurrentVersion\Internet Settings\User Agent', {})
        if setup_prefix:
            setup_prefix(p)
        s = Session(steps, dialog)
        r = p.run(SETUP, on_window=s.on_window, answers=answers, timeout=300)
        for t in s.threads:
            t.join(timeout=5)
        self.assertEqual(s.errors, [])
        return p, r


class InteractiveInstall(Interactive):
    def test_32_bit_windows_7_through_every_page(self):
        p, r = self.run_session(Machine(bits=32), [
            ('site', CONFIRM), ('path', CONFIRM), ('install', CONFIRM)])
        self.assertBoxes(r, [(CAPTION, MSG_DONE)])
        self.assertEqual(r.windows, ['智能岚溪系统安装32', DIALOG_TITLES[0]])
        self.assertTrue(p.exists(SYS + 'tavohu4.ime'))
        self.assertTrue(p.exists(INST + 'tavohu32.ime'))
        self.assertEqual(p.read_file(INST + 'tvnetsj.dat')[:24], b'TVNETURL1=\r\nTVNETURL2=\r\n')
        # The dialog's defaults: two-line status window, cool porcelain.
        self.assertEqual(p.read_file(INST + 'tvszsj43.tvh')[0], 0)
        self.assertTrue(p.read_file(INST + 'tvbmp8.tvh').startswith('冷色瓷面'.encode('gbk')))

    def test_the_options_chosen_reach_the_status_record_and_the_skin(self):
        def choose(p, wid):
            Session.accept_dialog(p, wid, choices=(107, 112))  # 仿WIN窗口, 小天使
        p, r = self.run_session(Machine(bits=32), [
            ('site', CONFIRM), ('path', CONFIRM), ('install', CONFIRM)], dialog=choose)
        self.assertBoxes(r, [(CAPTION, MSG_DONE)])
        record = p.read_file(INST + 'tvszsj43.tvh')
        self.assertEqual((record[0], record[21]), (3, 1))
        self.assertTrue(p.read_file(INST + 'tvbmp8.tvh').startswith('小天使'.encode('gbk')))

    def test_64_bit_windows_7_shows_the_finished_page(self):
        # After the install the working page stays 1.6 s, then the finished
        # page; its confirm button leads to page 9, the next to the end.
        p, r = self.run_session(Machine(), [
            ('site', CONFIRM), ('path', CONFIRM), ('install', CONFIRM), ('wait', 25),
            ('page-9', CONFIRM), ('closing', CONFIRM)])
        self.assertEqual(r.windows[0], '智能岚溪系统安装3264')
        self.assertEqual(sorted(e2e.boxes(r)), sorted([(CAPTION, e2e.MSG_REGISTERED), (CAPTION, MSG_DONE)]))
        self.assertTrue(p.exists('C:\\windows\\syswow64\\tavohu4.ime'))

    def test_code_page_950_titles_the_window_in_big5_on_both_bitnesses(self):
        for bits in (64, 32):
            with self.subTest(bits=bits):
                p, r = self.run_session(Machine(codepage=950, bits=bits), [('quit', QUIT)])
                self.assertEqual(r.windows, ['智能嵐溪系統安裝'])
                self.assertBoxes(r, [])

    def test_site_addresses_are_read_shown_edited_and_written_back(self):
        def earlier(p):
            p.write_file(INST + 'tvnetsj.dat', b'TVNETURL1=www.unit.cn\r\nTVNETURL2=www.gov.cn\r\n')

        def type_after(p):
            p._xdo('key', 'End')
            p._xdo('type', '/x')
        p, r = self.run_session(Machine(bits=32), [
            ('site', CONFIRM), ('unit-field', (200, 170)), ('typed', type_after),
            ('path', CONFIRM), ('quit', QUIT)], setup_prefix=earlier)
        self.assertBoxes(r, [])
        self.assertTrue(p.read_file(INST + 'tvnetsj.dat').startswith(
            b'TVNETURL1=www.unit.cn/x\r\nTVNETURL2=www.gov.cn\r\nTVNETTIME=1\r\n'))

    def test_the_right_button_acts_as_the_left_and_clicks_beside_the_buttons_do_nothing(self):
        p, r = self.run_session(Machine(bits=32), [
            ('nothing', (200, 257)), ('site', right(CONFIRM)), ('nothing-2', (141, 250)),
            ('path', right(CONFIRM)), ('install', right(CONFIRM))])
        self.assertBoxes(r, [(CAPTION, MSG_DONE)])
        self.assertTrue(p.exists(SYS + 'tavohu4.ime'))

    def test_the_quit_button_ends_without_a_word_before_the_install(self):
        for clicks in ([], [CONFIRM], [CONFIRM, CONFIRM]):  # pages 0, 1 and 6
            with self.subTest(page=len(clicks)):
                steps = [('page-%d' % i, c) for i, c in enumerate(clicks)] + [('quit', QUIT)]
                p, r = self.run_session(Machine(bits=32), steps)
                self.assertBoxes(r, [])
                self.assertFalse(p.exists(INST + 'tavohu4.ime'), 'nothing was installed')

    def test_a_rejected_directory_keeps_the_install_path_page(self):
        def type_path(p):
            p._xdo('key', '--clearmodifiers', 'ctrl+a')
            p._xdo('type', 'c:\\')
        p, r = self.run_session(Machine(bits=32), [
            ('site', CONFIRM), ('path', CONFIRM), ('field', (150, 205)), ('typed', type_path),
            ('rejected', CONFIRM), ('install', CONFIRM)])
        self.assertBoxes(r, [(CAPTION, MSG_REJECTED), (CAPTION, MSG_DONE)])
        self.assertTrue(p.exists(INST + 'tavohu4.ime'), 'the second click installs into c:\\tavohu2\\')



class RestartNeeded(Interactive):
    def test_an_earlier_module_in_use_asks_for_a_restart_at_the_end(self):
        # A complete earlier install whose module another program holds
        # open: the install stops at the in-use check, and the closing
        # message asks for a restart now.
        holder = []

        def earlier(p):
            p.run(SETUP, 'settvsrf32', timeout=300)
            p.add_reg('HKLM', r'System\CurrentControlSet\Control\Keyboard Layouts\E0200804',
                      {'Layout Text': '智能岚溪输入平台  6.7', 'Ime File': 'TAVOHU4.IME'})
            p.add_reg('HKCU', r'Keyboard Layout\Preload', {'1': '00000804', '2': 'e0200804'})
            holder.append(p.spawn(e2e.ARCHIVE_DRIVER, 'hold', SYS + 'tavohu4.ime', '120000',
                                  ready='RESULT: holding 1'))
        p, r = self.run_session(Machine(bits=32), [
            ('site', CONFIRM), ('path', CONFIRM), ('install', CONFIRM)], setup_prefix=earlier)
        for h in holder:
            h.kill()
        self.assertBoxes(r, [
            ('智能岚溪安装', '\u3000\u3000你以前安装的青枫五笔正在使用，请关闭使用青枫五笔的所有窗口，'
             '或者重新启动机器后，才能安装新版本的青枫五笔！'),
            (CAPTION, '安装完毕，请立即重新启动计算机！')])


class CheckReport(Interactive):
    def test_a_broken_install_is_reported_instead_of_the_closing_message(self):
        # On 64-bit Windows the check runs when the user leaves the finished
        # page; the module vanishes from the install directory before that.
        def lose_module(p):
            os.remove(p.host_path(INST + 'tavohu4.ime'))
        p, r = self.run_session(Machine(), [
            ('site', CONFIRM), ('path', CONFIRM), ('install', CONFIRM), ('wait', 25),
            ('lose-module', lose_module), ('page-9', CONFIRM), ('report', CONFIRM)])
        report = ('智能岚溪7.3', '智能岚溪汉字输入系统7.3版安装情况报告。\r\n\r\n'
                  '安装出现错误！错误为：缺少文件！\r\n\r\n'
                  '请到主页http://www.tavohu.cn/重新下载安装！并解除杀毒软件对安装过程的拦截！\r\n\r\n')
        self.assertEqual(sorted(e2e.boxes(r)), sorted([(CAPTION, e2e.MSG_REGISTERED), report]))


class Upgrade(Interactive):
    """An earlier install's data: backed up when the window opens, asked
    about after extraction, restored after the install when kept."""

    def upgrade(self, answers):
        files = user_files()

        def earlier(p):
            for name, data in files.items():
                p.write_file(INST + name, data)
        p, r = self.run_session(Machine(bits=32), [
            ('site', CONFIRM), ('path', CONFIRM), ('install', CONFIRM)],
            answers=answers, setup_prefix=earlier)
        return files, p, r

    def test_kept_data_comes_back_and_no_options_are_asked(self):
        files, p, r = self.upgrade(['yes'])
        restored = len(REQUIRED) + 2
        self.assertBoxes(r, [KEEP_QUESTION, (CAPTION, '成功恢复了%d个原有数据文件！' % restored),
                             (CAPTION, MSG_DONE)])
        self.assertFalse(set(r.windows) & set(DIALOG_TITLES))
        for member, source in REQUIRED:
            self.assertEqual(p.read_file(INST + member), files[source or member], member)
        self.assertEqual(p.read_file(INST + 'userck.txt'), files['userck.txt'])

    def test_quitting_while_the_install_asks_does_not_end_it(self):
        # The keep question runs inside the install click; a click on the
        # quit button and the close box meanwhile must wait, or the install
        # would go on with its work memory freed.
        def quit_then_keep(p):
            p.click(*QUIT)
            wid = p.window_id('智能岚溪系统安装32')
            if wid:
                p.close_window(wid)
            time.sleep(1.0)
            return 'yes'
        files, p, r = self.upgrade([quit_then_keep])
        self.assertBoxes(r, [KEEP_QUESTION, (CAPTION, '成功恢复了%d个原有数据文件！' % (len(REQUIRED) + 2)),
                             (CAPTION, MSG_DONE)])
        self.assertEqual(p.read_file(INST + 'userck.txt'), files['userck.txt'])

    def test_data_not_kept_stays_as_installed(self):
        files, p, r = self.upgrade(['no'])
        self.assertBoxes(r, [KEEP_QUESTION, (CAPTION, MSG_DONE)])
        self.assertNotEqual(p.read_file(INST + 'tavocyzk.tv1'), files['tavocyzk.tvh'])


if __name__ == '__main__':
    e2e.main()
