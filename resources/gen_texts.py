#!/usr/bin/env python3
"""Turns texts.def into a C++ header of constexpr texts.

Usage: gen_texts.py texts.def texts.h
"""
import re
import sys

LINE = re.compile(r'^(\w+)\s+(gbk|big5|wide)\s+"(.*)"\s*$')
ESCAPES = {'n': '\n', 'r': '\r', 't': '\t', '\\': '\\', '"': '"', '0': '\0'}


def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == '\\' and i + 1 < len(s):
            out.append(ESCAPES[s[i + 1]])
            i += 2
        else:
            out.append(s[i])
            i += 1
    return ''.join(out)


def narrow_literal(data):
    parts, prev_hex = ['"'], False
    for b in data:
        c = chr(b)
        if 0x20 <= b < 0x7f and c not in '"\\?':
            if prev_hex and c in '0123456789abcdefABCDEF':
                parts.append('" "')
            parts.append(c)
            prev_hex = False
        else:
            parts.append('\\x%02X' % b)
            prev_hex = True
    parts.append('"')
    return ''.join(parts)


def wide_literal(text):
    parts = ['L"']
    for c in text:
        o = ord(c)
        if 0x20 <= o < 0x7f and c not in '"\\?':
            parts.append(c)
        elif o < 0x10000:
            parts.append('\\x%04X' % o if o < 0xA0 else '\\u%04X' % o)
            if o < 0xA0:
                parts.append('" L"')
        else:
            raise ValueError('text outside the BMP: %r' % text)
    parts.append('"')
    return ''.join(parts)


def main(src, dst):
    out = ['// Generated from texts.def by gen_texts.py. Do not edit.',
           '#pragma once', '', 'namespace txt {', '']
    for n, line in enumerate(open(src, encoding='utf-8'), 1):
        line = line.strip()
        if not line or line.startswith('#'):
            continue
        m = LINE.match(line)
        if not m:
            sys.exit('%s:%d: cannot read this line' % (src, n))
        name, enc, raw = m.groups()
        text = unescape(raw)
        out.append('// %s' % raw)
        if enc == 'wide':
            out.append('inline constexpr wchar_t %s[] = %s;' % (name, wide_literal(text)))
        else:
            codec = 'gbk' if enc == 'gbk' else 'big5'
            data = text.encode(codec)
            out.append('inline constexpr char %s[] = %s;' % (name, narrow_literal(data)))
    out += ['', '}  // namespace txt', '']
    new = '\n'.join(out)
    try:
        if open(dst, encoding='utf-8').read() == new:
            return
    except OSError:
        pass
    open(dst, 'w', encoding='utf-8').write(new)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
