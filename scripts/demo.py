#!/usr/bin/env python3
"""Runs the built setup program under Wine on a fresh 64-bit Windows 7
machine and shows what it did: its message boxes, the install directory's
three stores and the keyboard layout it registered.

Usage: demo.py [DIRECTORY]   (default D:\\tavohu\\)
"""
import os
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, 'testbed'))
import winbed  # noqa: E402

SETUP = os.path.join(REPO, 'build', 'dist', 'setup-x64.exe')
SHOTS = os.path.join(REPO, 'build', 'screenshots', 'demo')


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else 'D:\\tavohu\\'
    arg = 'regtv32=' + directory
    print('Registration run: setup-x64.exe %s  (64-bit Windows 7, code page 936)' % arg)
    with winbed.Prefix(shots=SHOTS) as p:
        r = p.run(SETUP, arg)
        print('exit code: %d' % r.returncode)
        for m in r.msgboxes:
            print('message box [%s]: %s' % (m.caption, m.text))
        for f in (r'C:\windows\tavopath.tvh', r'C:\tavohu\tavopath.tvh'):
            content = p.read_file(f).decode('gbk') if p.exists(f) else '(missing)'
            print('%-28s %s' % (f, content))
        reg = p.reg_value('HKLM', r'Software\tavowb', 'path')
        print('%-28s %s' % (r'HKLM\Software\tavowb path', reg.text if reg else '(missing)'))
        layouts = r'system\currentcontrolset\control\keyboard layouts'
        for key, values in sorted(p.registry('HKLM').items()):
            text = values.get('layout text')
            if key.startswith(layouts) and text and text.text.startswith('智能岚溪'):
                ime = values.get('ime file')
                print('keyboard layout %s: "%s", IME file %s' % (
                    key.rsplit('\\', 1)[1].upper(), text.text, ime.text if ime else '?'))
        print('screenshots in %s' % SHOTS)
    return 0


if __name__ == '__main__':
    sys.exit(main())
