#!/usr/bin/env python3
"""Runs the built setup program under Wine on a fresh 64-bit Windows 7
machine, as a silent install ("settvsrf32"), and shows what it did: its
message boxes, the install directory, the modules in the system
directories and the registry entries it wrote.

Usage: demo.py [--cp 936|950] [--winver 5|6] [--bits 32|64]
"""
import argparse
import os
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, 'testbed'))
import winbed  # noqa: E402

SETUP = os.path.join(REPO, 'build', 'dist', 'setup-x64.exe')
SHOTS = os.path.join(REPO, 'build', 'screenshots', 'demo')
LAYOUTS = r'system\currentcontrolset\control\keyboard layouts'


def show(label, value):
    print('  %-34s %s' % (label, value))


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument('--cp', type=int, default=936, choices=(936, 950))
    ap.add_argument('--winver', type=int, default=6, choices=(5, 6))
    ap.add_argument('--bits', type=int, default=64, choices=(32, 64))
    args = ap.parse_args()
    machine = winbed.Machine(codepage=args.cp, winver=args.winver, bits=args.bits)
    print('Silent install: setup-x64.exe settvsrf32  (%d-bit Windows %s, code page %d)' % (
        args.bits, '7' if args.winver == 6 else 'XP', args.cp))
    with winbed.Prefix(machine, shots=SHOTS) as p:
        # Windows has this key and the browser token goes under it; a fresh
        # Wine prefix lacks it.
        p.add_reg('HKLM', r'Software\Microsoft\Windows\CurrentVersion\Internet Settings\User Agent', {})
        r = p.run(SETUP, 'settvsrf32', timeout=300)
        show('exit code', r.returncode)
        for m in r.msgboxes:
            show('message box [%s]' % m.caption, m.text.strip())
        path = p.read_file(r'C:\windows\tavopath.tvh').decode('gbk')
        show('install directory', path)
        files = os.listdir(p.host_path(path))
        show('files there', len(files))
        for f in (r'C:\windows\system32\tavohu4.ime', r'C:\windows\syswow64\tavohu4.ime',
                  r'C:\windows\system32\tavodel.exe'):
            show(f, '%d bytes' % len(p.read_file(f)) if p.exists(f) else '-')
        hklm = p.registry('HKLM')
        for key, values in sorted(hklm.items()):
            text = values.get('layout text')
            if key.startswith(LAYOUTS) and text and '7.3' in text.text:
                show('keyboard layout ' + key.rsplit('\\', 1)[1].upper(), text.text)
        for label, key, name in (
                ('uninstall entry', r'software\microsoft\windows\currentversion\uninstall\tavokwb',
                 'UninstallString'),
                ('autostart tvtksjgl', r'software\microsoft\windows\currentversion\run', 'tvtksjgl')):
            v = hklm.get(key, {}).get(name.lower())
            show(label, v.text if v else '-')
        token = r'software\microsoft\windows\currentversion\internet settings\user agent\post platform'
        show('user-agent tokens', ', '.join(sorted(hklm.get(token, {}))) or '-')
        preload = p.registry('HKCU').get(r'keyboard layout\preload', {})
        show('preload list', ', '.join('%s=%s' % (k, v.text) for k, v in sorted(preload.items())))
        print('  screenshots in %s' % SHOTS)
    return 0


if __name__ == '__main__':
    sys.exit(main())
