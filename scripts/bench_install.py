#!/usr/bin/env python3
"""Benchmark, not a test: prints the silent install's wall time under Wine
beside a peer doing the same bytes with standard tools (tar + gzip
unpacking the payload's files, md5sum digesting them), and the time Wine
needs to start a program at all, so the install's own overhead shows.

Usage: bench_install.py [BUILD_DIR]   (default build/)
"""
import os
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(REPO, 'build')
os.environ.setdefault('TAVO_BUILD', BUILD)
sys.path.insert(0, os.path.join(REPO, 'testbed'))
import winbed  # noqa: E402

SETUP = os.path.join(BUILD, 'dist', 'setup-x64.exe')
SAMPLE = os.path.join(BUILD, 'payload-sample')


def timed(fn):
    start = time.monotonic()
    fn()
    return time.monotonic() - start


def main():
    with winbed.Prefix() as p:
        wine_start = timed(lambda: subprocess.run(
            [winbed.WINE, 'cmd', '/c', 'exit'], env=p.env(), capture_output=True))
    with winbed.Prefix() as p:
        install = timed(lambda: p.run(SETUP, 'settvsrf32', timeout=600))

    with tempfile.TemporaryDirectory() as tmp:
        tarball = os.path.join(tmp, 'payload.tar.gz')
        subprocess.run(['tar', 'czf', tarball, '-C', SAMPLE, '.'], check=True)
        out = os.path.join(tmp, 'out')
        os.mkdir(out)

        def peer():
            subprocess.run(['tar', 'xzf', tarball, '-C', out], check=True)
            files = sorted(os.listdir(out))
            subprocess.run(['md5sum', *files], cwd=out, check=True, capture_output=True)
        unpack = timed(peer)
        size = sum(os.path.getsize(os.path.join(out, f)) for f in os.listdir(out))

    print('payload: %d files, %.1f MB expanded' % (len(os.listdir(SAMPLE)), size / 1e6))
    print('silent install under Wine (incl. the 64-bit registration run): %6.2f s' % install)
    print('Wine starting one program and ending it:                       %6.2f s' % wine_start)
    print('peer: tar xzf + md5sum of the same files:                      %6.2f s' % unpack)
    print('install time beyond Wine start-up and the raw work:            %6.2f s' %
          (install - wine_start - unpack))
    return 0


if __name__ == '__main__':
    sys.exit(main())
