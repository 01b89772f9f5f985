#!/usr/bin/env python3
"""The options dialog on the two Chinese machines: the template each one
gets, where it opens, and that only 确定 closes it."""
import os
import time
import unittest

import e2e
from e2e import Machine, Prefix

DRIVER = os.path.join(e2e.BUILD, 'win-x86_64', 'tests', 'win', 'dialog_driver.exe')
TITLES = {936: '智能岚溪皮肤及窗口模式选择', 950: '智能嵐溪皮膚及窗口模式選擇'}
SETUP_CORNER = (60, 40)  # where the driver puts its setup window


class OptionsDialog(e2e.TestCase):
    def test_each_code_page_gets_its_template_and_only_ok_closes_it(self):
        for cp in (936, 950):
            with self.subTest(cp=cp), Prefix(Machine(codepage=cp),
                                             shots=e2e.shots_for(self)) as p:
                seen = {}

                def answer(prefix, title, wid):
                    seen['title'] = title
                    # Let it paint. Wine leaves the PYKEYB dialog (10-point
                    # "System") unpainted in these shots; its bytes are
                    # checked in ui_tests.
                    time.sleep(1)
                    prefix.screenshot('options-dialog-%d' % cp)
                    # Esc and Alt+F4 do nothing: the dialog stays.
                    prefix._xdo('windowfocus', '--sync', wid)
                    prefix._xdo('key', '--window', wid, 'Escape')
                    prefix.close_window(wid)
                    time.sleep(4)
                    seen['after_cancel'] = [t for _, t in prefix._visible_windows()]
                    prefix.screenshot('options-dialog-%d-after-esc' % cp)
                    # Enter is 确定, the default button.
                    prefix._xdo('windowfocus', '--sync', wid)
                    prefix._xdo('key', '--window', wid, 'Return')

                r = p.run(DRIVER, on_window=answer, timeout=90)
                self.assertEqual(seen.get('title'), TITLES[cp], r.log[-3000:])
                self.assertIn(TITLES[cp], seen['after_cancel'], 'Esc or Alt+F4 closed it')
                self.assertEqual(e2e.driver_results(r),
                                 ['at %d,%d' % SETUP_CORNER, 'dialog 0 mode 1 skin 1'])
                self.assertEqual(r.msgboxes, [])


if __name__ == '__main__':
    e2e.main()
