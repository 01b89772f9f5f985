#!/usr/bin/env python3
"""The Wine test bed: throw-away Wine prefixes shaped like the machines the
setup program meets, a way to run Windows programs in them with every
message box answered and its text collected, and readers for the files and
the registry they leave behind.

As a library (tests/e2e):

    with Prefix(Machine(codepage=936, winver=6, bits=64)) as p:
        r = p.run(exe, 'regtv32=D:\\tv\\', answers=['ok'])
        r.msgboxes                 # [MsgBox(caption, text), ...]
        p.read_file(r'C:\\windows\\tavopath.tvh')
        p.reg_value('HKLM', r'Software\\tavowb', 'path')

As a command:

    winbed.py template                 make the template prefix (once)
    winbed.py gtest [knobs] TEST.exe   run a GoogleTest program in a fresh prefix
    winbed.py run [knobs] PROG.exe [ARGS...]
                                       run a program, print its message boxes
Knobs: --cp 936|950  --winver 5|6  --bits 32|64  --drives c=hd,d=cdrom,e=hd
       --answers ok,yes,no  --shots DIR  --keep
"""

import argparse
import codecs
import contextlib
import fcntl
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)


def _find_wine():
    for d in ('/usr/lib/wine', '/usr/lib64/wine', '/usr/bin'):
        if os.path.exists(os.path.join(d, 'wine64')):
            return os.path.join(d, 'wine64'), os.path.join(d, 'wineserver')
    out = subprocess.run(['dpkg', '-L', 'wine64'], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.endswith('/wine64'):
            d = os.path.dirname(line)
            return line, os.path.join(d, 'wineserver')
    sys.exit('winbed: wine64 is not installed (scripts/install-deps.sh installs it)')


WINE, WINESERVER = _find_wine()
BUILD = os.environ.get('TAVO_BUILD', os.path.join(REPO, 'build'))
BED_DIR = os.environ.get('TAVO_TESTBED_DIR', os.path.join(BUILD, 'testbed'))
TEMPLATE = os.path.join(BED_DIR, 'template')
BOXREADER = os.path.join(BUILD, 'win-x86_64', 'tests', 'win', 'boxreader.exe')
LOCALES = {936: 'zh_CN.GBK', 950: 'zh_TW.BIG5'}
WINVERS = {5: 'winxp64', 6: 'win7'}
KEYS = {'ok': 'Return', 'yes': 'y', 'no': 'n', 'cancel': 'Escape'}
BUTTONS = {'Return': '1', 'y': '6', 'n': '7', 'Escape': '2'}
# Titles of the program's own windows. Any other window that shows while a
# message box is being opened is that message box.
PROGRAM_WINDOWS = ('智能岚溪系统安装32', '智能岚溪系统安装3264', '智能嵐溪系統安裝',
                   '智能岚溪皮肤及窗口模式选择', '智能嵐溪皮膚及窗口模式選擇')

# Directories of the template that no test writes into: copies link to
# their files instead of duplicating hundreds of megabytes per test.
SHARED_DIRS = ('drive_c/windows/system32', 'drive_c/windows/syswow64',
               'drive_c/windows/winsxs')
SHARED_SUFFIXES = ('.dll', '.drv', '.exe', '.sys', '.acm', '.ocx', '.cpl',
                   '.tlb', '.ax', '.ds', '.msstyles', '.nls', '.vxd', '.manifest')


def _unescape_line(s):
    return re.sub(r'\\(.)', lambda m: {'t': '\t', 'r': '\r', 'n': '\n'}.get(m.group(1), m.group(1)), s)


def _base_env():
    env = dict(os.environ)
    env.pop('DISPLAY', None)
    env['WINEDLLOVERRIDES'] = 'mscoree,mshtml=;winemenubuilder.exe=d'
    env['WINEDEBUG'] = '-all'
    return env


# ---------------------------------------------------------------- template

def ensure_template():
    """Creates the template prefix once; safe to call from parallel tests."""
    os.makedirs(BED_DIR, exist_ok=True)
    with open(os.path.join(BED_DIR, '.lock'), 'w') as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(TEMPLATE, '.ready')):
            return TEMPLATE
        tmp = TEMPLATE + '.new'
        shutil.rmtree(tmp, ignore_errors=True)
        env = _base_env()
        env['WINEPREFIX'] = tmp
        env['LC_ALL'] = LOCALES[936]
        subprocess.run([WINE, 'wineboot', '-i'], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, '-w'], env=env, check=True)
        # No crash dialogs: a crashing program must end its test, not wait.
        _append_reg(os.path.join(tmp, 'user.reg'), r'Software\\Wine\\WineDbg',
                    ['"ShowCrashDialog"=dword:00000000'])
        _append_reg(os.path.join(tmp, 'user.reg'), r'Software\\Wine',
                    ['"Version"="win7"'])
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        os.rename(tmp, TEMPLATE)
        open(os.path.join(TEMPLATE, '.ready'), 'w').close()
    return TEMPLATE


def _append_reg(path, key, lines):
    with open(path, 'a', encoding='utf-8') as f:
        f.write('\n[%s] 0\n' % key)
        for line in lines:
            f.write(line + '\n')


def _copy_prefix(src, dst):
    shared = tuple(os.path.join(src, d) for d in SHARED_DIRS)

    def copy(s, d):
        if s.startswith(shared) and s.lower().endswith(SHARED_SUFFIXES):
            os.link(s, d)
        else:
            shutil.copy2(s, d)
    shutil.copytree(src, dst, symlinks=True, copy_function=copy)


# ---------------------------------------------------------------- machines

@dataclass
class Machine:
    """What a prefix looks like to the program."""
    codepage: int = 936          # OEM code page: 936 or 950
    winver: int = 6              # Windows major version: 5 (XP) or 6 (7)
    bits: int = 64               # 32: no syswow64 directory
    drives: dict = field(default_factory=lambda: {'c': 'hd'})  # letter -> hd|cdrom


@dataclass
class MsgBox:
    caption: str
    text: str


@dataclass
class RunResult:
    returncode: int
    msgboxes: list
    log: str
    windows: list                # titles of other windows seen, in order

    def texts(self):
        return [m.text for m in self.msgboxes]


TRACE = re.compile(r'trace:msgbox:MSGBOX_OnInit L"(.*)"')


def decode_wine_string(s, trace=False):
    """Undoes the escapes of Wine's registry strings (\\xHHHH) or, with
    trace, of its debug traces (\\HHHH)."""
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c != '\\' or i + 1 >= len(s):
            out.append(c)
            i += 1
            continue
        n = s[i + 1]
        m = re.match(r'[0-9a-fA-F]{4}', s[i + 1:]) if trace else None
        if m:
            out.append(chr(int(m.group(0), 16)))
            i += 5
        elif n == 'x':
            m = re.match(r'[0-9a-fA-F]{1,4}', s[i + 2:])
            out.append(chr(int(m.group(0), 16)))
            i += 2 + len(m.group(0))
        elif n in 'nrt0':
            out.append({'n': '\n', 'r': '\r', 't': '\t', '0': '\0'}[n])
            i += 2
        else:
            out.append(n)
            i += 2
    return ''.join(out)


class Prefix:
    """A throw-away copy of the template prefix with the machine's knobs."""

    def __init__(self, machine=None, keep=False, shots=None):
        self.machine = machine or Machine()
        self.keep = keep
        self.shots = shots
        self.shot_count = 0
        self._spawned = []
        self._pipes = []
        ensure_template()
        self.root = tempfile.mkdtemp(prefix='tavo-wine-')
        self.path = os.path.join(self.root, 'prefix')
        _copy_prefix(TEMPLATE, self.path)
        self._apply_knobs()
        self._xvfb = None
        self.display = None

    # -- setup
    def _apply_knobs(self):
        m = self.machine
        if m.winver != 6:
            _append_reg(os.path.join(self.path, 'user.reg'), r'Software\\Wine',
                        ['"Version"="%s"' % WINVERS[m.winver]])
        if m.bits == 32:
            shutil.rmtree(os.path.join(self.path, 'drive_c/windows/syswow64'))
        dos = os.path.join(self.path, 'dosdevices')
        lines = []
        for letter in 'cdefg':
            kind = m.drives.get(letter)
            link = os.path.join(dos, letter + ':')
            if letter != 'c':
                with contextlib.suppress(FileNotFoundError):
                    os.remove(link)
            if kind is None:
                continue
            if letter != 'c':
                target = os.path.join(self.root, 'drive_' + letter)
                os.makedirs(target, exist_ok=True)
                os.symlink(target, link)
            lines.append('"%s:"="%s"' % (letter, kind))
        _append_reg(os.path.join(self.path, 'system.reg'), r'Software\\Wine\\Drives', lines)

    def env(self):
        env = _base_env()
        env['WINEPREFIX'] = self.path
        env['LC_ALL'] = LOCALES[self.machine.codepage]
        env['LANG'] = LOCALES[self.machine.codepage]
        if self.display:
            env['DISPLAY'] = self.display
        return env

    def _start_display(self):
        if self._xvfb:
            return
        r, w = os.pipe()
        self._xvfb = subprocess.Popen(
            ['Xvfb', '-displayfd', str(w), '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            num = f.readline().strip()
        if not num:
            raise RuntimeError('Xvfb did not start')
        self.display = ':' + num

    # -- running
    def run(self, exe, *args, answers=(), timeout=180, on_window=None, cwd=None):
        """Runs a Windows program to its end. Every message box is answered
        with the next of `answers` ('ok', 'yes', 'no'; 'ok' when none is
        left) after its picture is taken; an answer may also be a
        callable(prefix) that acts while the box is open and returns one; `on_window(prefix, title, wid)` is
        called for each other window that shows."""
        self._start_display()
        env = self.env()
        env['WINEDEBUG'] = '-all,trace+msgbox,err+all' + os.environ.get('WINBED_WINEDEBUG', '')
        proc = subprocess.Popen([WINE, exe, *args], env=env, cwd=cwd,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        texts, log, lock = [], [], threading.Lock()

        def reader():
            for raw in proc.stdout:
                line = raw.decode('utf-8', 'replace')
                log.append(line)
                m = TRACE.search(line)
                if m:
                    with lock:
                        texts.append(decode_wine_string(m.group(1), trace=True))
        t = threading.Thread(target=reader, daemon=True)
        t.start()

        pending = list(answers)
        boxes, others, seen = [], [], set()
        answered = {}  # boxes answered but not yet seen closing
        done = set()   # boxes answered and closed
        deadline = time.time() + timeout
        # Programs the one under test starts (WinExec) may outlive it and
        # show message boxes of their own: answer until every program of
        # the prefix has ended. While a program of spawn() runs, that would
        # be never: then the run ends with its program.
        waiter = None
        while True:
            if proc.poll() is not None:
                if any(s.poll() is None for s in self._spawned):
                    if os.environ.get('WINBED_DEBUG'):
                        print('winbed: %.1f ended beside a spawned program' % time.time(), file=sys.stderr)
                    break
                if waiter is None:
                    waiter = subprocess.Popen([WINESERVER, '-w'], env=env)
                if waiter.poll() is not None:
                    break
            if time.time() > deadline:
                self.kill()
                proc.wait()
                if waiter:
                    waiter.wait()
                raise TimeoutError('%s did not end within %d s:\n%s' % (exe, timeout, ''.join(log)))
            with lock:
                opened = list(texts)
            waiting = len(opened) > len(boxes)
            if waiting or answered:
                # A message box is opening: read its whole text (the trace
                # holds only its start), keep its picture, answer it. A box
                # that is still there a moment after its answer (the key
                # came before it could take it) gets the answer again.
                open_boxes = self._open_boxes(env)
                if os.environ.get('WINBED_DEBUG'):
                    print('winbed: %.1f open boxes %r' % (time.time(), open_boxes,), file=sys.stderr)
                still_open = {box[0] for box in open_boxes}
                for xid in [x for x in answered if x not in still_open]:
                    del answered[xid]  # closed by its answer
                    done.add(xid)
                for xid, caption, text, hwnd in open_boxes:
                    if xid in done:
                        continue
                    if xid in answered:
                        key, when = answered[xid]
                        if time.time() - when > 1.5:
                            # The keys did not reach it (another program has
                            # the foreground): press its button instead.
                            subprocess.run([WINE, BOXREADER, 'press', hwnd, BUTTONS[key]],
                                           env=env, capture_output=True)
                            answered[xid] = (key, time.time())
                        continue
                    if not waiting or not text.startswith(opened[len(boxes)]):
                        continue
                    self.screenshot('msgbox')
                    boxes.append(MsgBox(caption, text))
                    answer = pending.pop(0) if pending else 'ok'
                    if callable(answer):
                        answer = answer(self)  # acts while the box is open
                    key = KEYS[answer]
                    self._press(xid, key)
                    answered[xid] = (key, time.time())
                    waiting = False
            for wid, title in self._visible_windows():
                if wid not in seen and title in PROGRAM_WINDOWS:
                    seen.add(wid)
                    others.append(title)
                    if on_window:
                        on_window(self, title, wid)
            time.sleep(0.15)
        if any(s.poll() is None for s in self._spawned):
            # Wine's desktop process, started by this program, holds its
            # output open for as long as the prefix lives on.
            t.join(timeout=2)
            self._pipes.append(proc.stdout)
        else:
            t.join(timeout=10)
            proc.stdout.close()
            self.wait()
        boxes += [MsgBox('?', x) for x in texts[len(boxes):]]
        return RunResult(proc.returncode, boxes, ''.join(log), others)

    def _press(self, xid, key):
        # A box of a program started in the background is not the active
        # window until it has the input focus.
        self._xdo('windowfocus', '--sync', xid)
        self._xdo('key', '--window', xid, key)

    def _open_boxes(self, env):
        """(X window id, caption, text) of each message box now open."""
        out = subprocess.run([WINE, BOXREADER], env=env, capture_output=True).stdout
        result = []
        for line in out.decode('utf-8', 'replace').splitlines():
            parts = line.split('\t')
            if len(parts) == 4:
                result.append((parts[0], _unescape_line(parts[1]), _unescape_line(parts[2]),
                               parts[3]))
        return result

    def spawn(self, exe, *args, ready=None):
        """Starts a program beside the ones under test and returns its Popen
        at once, or, with ready, after it printed a line containing ready."""
        self._start_display()
        proc = subprocess.Popen([WINE, exe, *args], env=self.env(), stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
        if ready:
            for raw in proc.stdout:
                if ready in raw.decode('utf-8', 'replace'):
                    break
        self._spawned.append(proc)
        return proc

    def tool_env(self):
        """The environment for X tools: the display, in a UTF-8 locale."""
        env = dict(os.environ)
        env['DISPLAY'] = self.display
        env['LC_ALL'] = 'C.UTF-8'
        return env

    def _tool(self, *args):
        out = subprocess.run(args, env=self.tool_env(), capture_output=True).stdout
        return out.decode('utf-8', 'replace')

    def _xdo(self, *args):
        return self._tool('xdotool', *args)

    def _visible_windows(self):
        out = self._xdo('search', '--onlyvisible', '--name', '.')
        result = []
        for wid in out.split():
            result.append((wid, self._xdo('getwindowname', wid).rstrip('\n')))
        return result

    def window_id(self, title):
        """The X id of the visible window with that title, or None."""
        for wid, name in self._visible_windows():
            if name == title:
                return wid
        return None

    def click(self, x, y, button=1, cls='installWClass'):
        """Clicks the client point (x, y) of the program's window with the
        real mouse (button 1 left, 3 right). With y None, x is the
        identifier of a control of that window, clicked in its centre.
        False when no such window."""
        where = ['where-control', cls, str(x)] if y is None else ['where', cls, str(x), str(y)]
        out = subprocess.run([WINE, BOXREADER, *where], env=self.env(), capture_output=True)
        parts = out.stdout.split()
        if out.returncode != 0 or len(parts) != 2:
            return False
        self._xdo('mousemove', parts[0].decode(), parts[1].decode())
        self._xdo('click', str(button))
        return True

    def close_window(self, wid):
        """Closes a window the way a user would (Alt+F4)."""
        self._xdo('key', '--window', wid, 'alt+F4')

    def screenshot(self, label):
        if not self.shots or not self.display:
            return None
        os.makedirs(self.shots, exist_ok=True)
        self.shot_count += 1
        path = os.path.join(self.shots, '%02d-%s.png' % (self.shot_count, label))
        xwd = subprocess.run(['xwd', '-root', '-silent'], env=self.tool_env(), capture_output=True)
        subprocess.run(['convert', 'xwd:-', path], input=xwd.stdout, capture_output=True)
        return path

    def wait(self):
        """Until every program of the prefix has ended and the registry is
        on disk; a program of spawn() must be ended first."""
        subprocess.run([WINESERVER, '-w'], env=self.env())

    def kill(self):
        subprocess.run([WINESERVER, '-k'], env=self.env(), capture_output=True)
        for proc in self._spawned:
            proc.kill()
            proc.wait()
            proc.stdout.close()
        self._spawned = []
        for pipe in self._pipes:
            pipe.close()
        self._pipes = []

    # -- files
    def host_path(self, winpath):
        """The host path (bytes) of a Windows path. Wine names files on disk
        in the locale's encoding; letters are matched without case."""
        codec = {936: 'gbk', 950: 'big5'}[self.machine.codepage]
        drive, rest = winpath[0].lower(), winpath[2:]
        base = os.path.realpath(os.path.join(self.path, 'dosdevices', drive + ':'))
        cur = os.fsencode(base)
        for part in (p for p in rest.replace('\\', '/').split('/') if p):
            raw = part.encode(codec)
            match = None
            if os.path.isdir(cur):
                for name in os.listdir(cur):
                    if name.lower() == raw.lower():
                        match = name
                        break
            cur = os.path.join(cur, match or raw)
        return cur

    def read_file(self, winpath):
        with open(self.host_path(winpath), 'rb') as f:
            return f.read()

    def write_file(self, winpath, data):
        path = self.host_path(winpath)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)

    def exists(self, winpath):
        return os.path.exists(self.host_path(winpath))

    # -- registry
    def registry(self, hive):
        """All keys of HKLM, HKCU or HKU\\.DEFAULT as {lower key path: {lower name: RegValue}}."""
        name = {'HKLM': 'system.reg', 'HKCU': 'user.reg', 'HKU\\.DEFAULT': 'userdef.reg'}[hive]
        self.wait()
        return parse_reg(os.path.join(self.path, name))

    def reg_value(self, hive, key, name):
        return self.registry(hive).get(key.lower(), {}).get(name.lower())

    def add_reg(self, hive, key, values):
        """Adds values before a run: values maps names to str or int."""
        name = {'HKLM': 'system.reg', 'HKCU': 'user.reg', 'HKU\\.DEFAULT': 'userdef.reg'}[hive]
        self.wait()
        lines = []
        for k, v in values.items():
            quoted = '@' if k is None else '"%s"' % k
            if isinstance(v, int):
                lines.append('%s=dword:%08x' % (quoted, v))
            else:
                lines.append('%s="%s"' % (quoted, _escape_reg(v)))
        _append_reg(os.path.join(self.path, name), key.replace('\\', '\\\\'), lines)

    # -- lifetime
    def close(self):
        self.kill()
        if self._xvfb:
            self._xvfb.send_signal(signal.SIGTERM)
            self._xvfb.wait()
            self._xvfb = None
        if not self.keep:
            shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def _escape_reg(s):
    out = []
    for c in s:
        if c in '\\"':
            out.append('\\' + c)
        elif ord(c) > 126 or ord(c) < 32:
            out.append('\\x%04x' % ord(c))
        else:
            out.append(c)
    return ''.join(out)


@dataclass
class RegValue:
    type: int                    # REG_SZ = 1, REG_DWORD = 4, ...
    data: bytes                  # the stored bytes, exactly

    @property
    def text(self):
        """REG_SZ data as text, without a terminating zero."""
        s = self.data.decode('utf-16-le', 'replace')
        return s[:-1] if s.endswith('\0') else s


def parse_reg(path):
    keys, cur = {}, None
    with open(path, encoding='utf-8', errors='replace') as f:
        lines = f.read().split('\n')
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        while line.endswith('\\') and i < len(lines) and not line.startswith('['):
            line = line[:-1] + lines[i].strip()
            i += 1
        if line.startswith('['):
            name = line[1:line.rindex(']')]
            cur = keys.setdefault(decode_wine_string(name).lower(), {})
            continue
        if cur is None or not line or line[0] not in '"@':
            continue
        if line[0] == '@':
            name, rest = '', line[2:]
        else:
            m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line)
            if not m:
                continue
            name, rest = decode_wine_string(m.group(1)), m.group(2)
        cur[name.lower()] = _parse_reg_data(rest)
    return keys


def _parse_reg_data(rest):
    if rest.startswith('"'):
        return RegValue(1, (decode_wine_string(rest[1:-1]) + '\0').encode('utf-16-le'))
    m = re.match(r'str\((\d+)\):"(.*)"$', rest)
    if m:
        return RegValue(int(m.group(1)), (decode_wine_string(m.group(2)) + '\0').encode('utf-16-le'))
    if rest.startswith('dword:'):
        return RegValue(4, int(rest[6:], 16).to_bytes(4, 'little'))
    m = re.match(r'hex(?:\((\w+)\))?:(.*)$', rest)
    if m:
        data = bytes(int(b, 16) for b in m.group(2).split(',') if b.strip())
        return RegValue(int(m.group(1), 16) if m.group(1) else 3, data)
    return RegValue(0, b'')


# ---------------------------------------------------------------- commands

def _machine_from(args):
    drives = {'c': 'hd'}
    if args.drives:
        drives = dict(kv.split('=') for kv in args.drives.split(','))
    return Machine(codepage=args.cp, winver=args.winver, bits=args.bits, drives=drives)


def main(argv):
    ap = argparse.ArgumentParser(prog='winbed.py', description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest='cmd', required=True)
    sub.add_parser('template', help='make the template prefix once')
    for name in ('gtest', 'run'):
        p = sub.add_parser(name)
        p.add_argument('--cp', type=int, default=936, choices=(936, 950))
        p.add_argument('--winver', type=int, default=6, choices=(5, 6))
        p.add_argument('--bits', type=int, default=64, choices=(32, 64))
        p.add_argument('--drives', help='for example c=hd,d=cdrom,e=hd')
        p.add_argument('--answers', default='', help='message box answers: ok,yes,no')
        p.add_argument('--shots', help='directory for screenshots of message boxes')
        p.add_argument('--keep', action='store_true', help='keep the prefix and print its path')
        p.add_argument('exe')
        p.add_argument('args', nargs=argparse.REMAINDER)
    args = ap.parse_args(argv)

    if args.cmd == 'template':
        print(ensure_template())
        return 0

    answers = [a for a in args.answers.split(',') if a]
    with Prefix(_machine_from(args), keep=args.keep, shots=args.shots) as p:
        r = p.run(os.path.abspath(args.exe), *args.args, answers=answers, timeout=900)
        if args.cmd == 'gtest':
            sys.stdout.write(''.join(l for l in r.log.splitlines(True)
                                     if 'trace:msgbox' not in l))
        else:
            for m in r.msgboxes:
                print('message box [%s]: %s' % (m.caption, m.text))
        if args.keep:
            print('prefix kept in', p.path)
        return r.returncode


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
