#!/usr/bin/env python3
"""Checks a payload directory and packs it into the payload archive the
setup program carries, in the stored member order, then verifies the result.

A member file may be named with its GBK bytes or in UTF-8. The build's own
setupw64.exe is packed when the directory has none. The build stops when
a member the setup program relies on is missing, when a skin archive is not
one the setup program can read, or when the packed archive fails tvz verify.

Usage:
  pack_payload.py --dir DIR --check-only
  pack_payload.py --dir DIR --tvz TVZ --setupw64 EXE --out ARCHIVE
                  [--stamp FILE --depfile FILE]
"""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from payload_members import (FROM_BUILD, MEMBERS, REQUIRED, SKINS,  # noqa: E402
                             SKIN_FILE_LIMIT, member_bytes)

ME = 'payload'


def fail(message):
    sys.exit('%s: error: %s' % (ME, message))


def warn(message):
    print('%s: warning: %s' % (ME, message), file=sys.stderr)


def find_members(directory):
    """name -> path (bytes) of every listed member present in the directory,
    and the files there that are not members."""
    d = os.fsencode(directory)
    try:
        present = set(os.listdir(d))
    except OSError as e:
        fail('payload directory %s: %s' % (directory, e.strerror))
    found, used = {}, set()
    for name in MEMBERS:
        for candidate in (member_bytes(name), name.encode('utf-8')):
            if candidate in present and os.path.isfile(os.path.join(d, candidate)):
                found[name] = os.path.join(d, candidate)
                used.add(candidate)
                break
    extra = sorted(n for n in present - used if not n.startswith(b'.'))
    return found, extra


def check_skin(tvz, name, path):
    size = os.path.getsize(path)
    if size > SKIN_FILE_LIMIT:
        fail('skin archive %s has %d bytes; the setup program reads only the first %d'
             % (name, size, SKIN_FILE_LIMIT))
    with open(path, 'rb') as f:
        head = f.read(2)
    if len(head) < 2 or head[1:2] == b'0':
        fail('skin archive %s is not a plain archive (byte 1 must not be "0")' % name)
    if tvz:
        r = subprocess.run([tvz, 'verify', '--gbk-names', path], capture_output=True)
        if r.returncode != 0:
            fail('skin archive %s does not verify:\n%s' % (name, r.stderr.decode(errors='replace')))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--dir', required=True)
    ap.add_argument('--check-only', action='store_true')
    ap.add_argument('--tvz')
    ap.add_argument('--setupw64')
    ap.add_argument('--out')
    ap.add_argument('--stamp', help='touched on every run; the target the depfile names')
    ap.add_argument('--depfile')
    args = ap.parse_args()
    if not args.check_only and not (args.tvz and args.setupw64 and args.out):
        ap.error('packing needs --tvz, --setupw64 and --out')

    found, extra = find_members(args.dir)
    if FROM_BUILD not in found and not args.check_only:
        found[FROM_BUILD] = os.fsencode(args.setupw64)
    missing = [n for n in MEMBERS if n in REQUIRED and n not in found
               and not (n == FROM_BUILD and args.check_only)]
    if missing:
        fail('payload directory %s lacks members the setup program relies on: %s'
             % (args.dir, ', '.join(missing)))
    for n in MEMBERS:
        if n not in found and n != FROM_BUILD:
            warn('%s has no %s; the payload goes without it' % (args.dir, n))
    for n in extra:
        warn('%s: %s is not a payload member and is not packed'
             % (args.dir, n.decode('utf-8', errors='backslashreplace')))
    for skin in SKINS:
        check_skin(args.tvz, skin, found[skin])
    if args.check_only:
        return

    paths = [found[n] for n in MEMBERS if n in found]
    out_dir = os.path.dirname(os.path.abspath(args.out))
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory(dir=out_dir) as tmp:
        packed = os.path.join(tmp, 'payload.tvz')
        r = subprocess.run([os.fsencode(args.tvz), b'pack', b'--gbk-names', os.fsencode(packed)]
                           + paths)
        if r.returncode != 0:
            fail('tvz pack refused the payload directory %s' % args.dir)
        r = subprocess.run([args.tvz, 'verify', '--gbk-names', packed], capture_output=True)
        if r.returncode != 0:
            fail('the packed payload does not verify:\n%s' % r.stderr.decode(errors='replace'))
        with open(packed, 'rb') as f:
            new = f.read()
        try:
            with open(args.out, 'rb') as f:
                same = f.read() == new
        except OSError:
            same = False
        # An unchanged payload keeps its time stamp, so the programs that
        # carry it are not linked again.
        if not same:
            os.replace(packed, args.out)

    if args.depfile:
        def esc(p):
            return p.replace(b'\\', b'\\\\').replace(b' ', b'\\ ').replace(b'#', b'\\#') \
                    .replace(b'$', b'$$')
        deps = [esc(p) for p in paths]
        target = args.stamp or args.out
        with open(args.depfile, 'wb') as f:
            f.write(esc(os.fsencode(target)) + b': ' + b' \\\n  '.join(deps) + b'\n')
    if args.stamp:
        with open(args.stamp, 'w') as f:
            f.write('%d members\n' % len(paths))


if __name__ == '__main__':
    main()
