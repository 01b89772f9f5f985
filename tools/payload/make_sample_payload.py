#!/usr/bin/env python3
"""Writes the sample payload directory: every member of the payload except
setupw64.exe (the build supplies its own), with the sizes, names and texts
the setup program relies on, and contents of our own making. The same bytes
come out on every run; files whose bytes are unchanged are not rewritten.

Usage: make_sample_payload.py --tvz TVZ --out DIR
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from payload_members import FROM_BUILD, MEMBERS, SKINS, member_bytes  # noqa: E402
from sample_media import bmp24, clamp8, jpeg_grey, swf_blank, wav_tone  # noqa: E402

PRODUCT = '智能岚溪输入平台'


class Rng:
    """xorshift64*: small, and the same numbers on every Python."""

    def __init__(self, seed):
        self.s = (seed * 0x9E3779B97F4A7C15 + 1) & 0xFFFFFFFFFFFFFFFF or 1

    def next(self):
        s = self.s
        s ^= s >> 12
        s ^= (s << 25) & 0xFFFFFFFFFFFFFFFF
        s ^= s >> 27
        self.s = s
        return (s * 0x2545F4914F6CDD1D) >> 32 & 0xFFFFFFFF

    def below(self, n):
        return self.next() % n


def seed_of(name):
    return zlib.crc32(member_bytes(name))


def exact(data, size, filler=b'\0'):
    data = bytes(data)
    if len(data) < size:
        data += (filler * (size // len(filler) + 1))[: size - len(data)]
    return data[:size]


# ---------------------------------------------------------------- text data

# A pool of common GB2312 characters; dictionary words are drawn from it, so
# the files look and compress like the product's word lists.
def hanzi_pool(rng, n=700):
    pool = []
    while len(pool) < n:
        lead = 0xB0 + rng.below(0xD7 - 0xB0)
        trail = 0xA1 + rng.below(0xFE - 0xA1)
        pool.append(bytes((lead, trail)))
    return pool


SYLLABLES = ('a ai an ang ao ba bai ban bang bao bei ben bi bian biao bie bin bing bo bu ca cai '
             'can cang cao ce cha chai chan chang chao che chen cheng chi chong chou chu chuan '
             'chuang chui chun ci cong cu cui cun cuo da dai dan dang dao de deng di dian diao die '
             'ding diu dong dou du duan dui dun duo e en er fa fan fang fei fen feng fo fou fu ga '
             'gai gan gang gao ge gei gen geng gong gou gu gua guai guan guang gui gun guo ha hai '
             'han hang hao he hei hen heng hong hou hu hua huai huan huang hui hun huo ji jia jian '
             'jiang jiao jie jin jing jiong jiu ju juan jue jun ka kai kan kang kao ke ken keng kong '
             'kou ku kua kuai kuan kuang kui kun kuo la lai lan lang lao le lei leng li lia lian '
             'liang liao lie lin ling liu long lou lu luan lun luo lv ma mai man mang mao mei men '
             'meng mi mian miao mie min ming miu mo mou mu na nai nan nang nao ne nei nen neng ni '
             'nian niang niao nie nin ning niu nong nu nuan nuo nv ou pa pai pan pang pao pei pen '
             'peng pi pian piao pie pin ping po pou pu qi qia qian qiang qiao qie qin qing qiong '
             'qiu qu quan que qun ran rang rao re ren reng ri rong rou ru ruan rui run ruo sa sai '
             'san sang sao se sen seng sha shai shan shang shao she shen sheng shi shou shu shua '
             'shuai shuan shuang shui shun shuo si song sou su suan sui sun suo ta tai tan tang tao '
             'te teng ti tian tiao tie ting tong tou tu tuan tui tun tuo wa wai wan wang wei wen '
             'weng wo wu xi xia xian xiang xiao xie xin xing xiong xiu xu xuan xue xun ya yan yang '
             'yao ye yi yin ying yo yong you yu yuan yue yun za zai zan zang zao ze zei zen zeng '
             'zha zhai zhan zhang zhao zhe zhen zheng zhi zhong zhou zhu zhua zhuai zhuan zhuang '
             'zhui zhun zhuo zi zong zou zu zuan zui zun zuo').split()


def word(rng, pool, longest=4):
    return b''.join(pool[rng.below(len(pool))] for _ in range(1 + rng.below(longest)))


def wubi_code(rng):
    return ''.join('abcdefghijklmnopqrstuvwxy'[rng.below(25)] for _ in range(1 + rng.below(4)))


def word_list(name, size, kind):
    """Lines of a code and words, CR LF ended, about `size` bytes."""
    rng = Rng(seed_of(name))
    pool = hanzi_pool(rng)
    out = bytearray()
    if kind == 'pinyin':
        header = '; %s 拼音词库 (样本)\r\n' % PRODUCT
    else:
        header = '; %s 五笔词库 (样本)\r\n' % PRODUCT
    out += header.encode('gbk')
    while len(out) < size:
        if kind == 'pinyin':
            n = 1 + rng.below(3)
            code = "'".join(SYLLABLES[rng.below(len(SYLLABLES))] for _ in range(n))
        else:
            code = wubi_code(rng)
        out += code.encode() + b' ' + word(rng, pool)
        for _ in range(rng.below(3)):
            out += b' ' + word(rng, pool)
        out += b'\r\n'
    return bytes(out)


def soft_keyboard(name, rows):
    """A soft-keyboard layout: one line per key row."""
    rng = Rng(seed_of(name))
    pool = hanzi_pool(rng, 200)
    out = ('; %s 软键盘 %s\r\n' % (PRODUCT, name)).encode('gbk')
    for row in rows:
        out += b'\t'.join(k.encode() + b'=' + pool[rng.below(len(pool))] for k in row) + b'\r\n'
    return out


KEY_ROWS = ['1234567890', 'qwertyuiop', 'asdfghjkl', 'zxcvbnm']


def notes(name, lines):
    return ('\r\n'.join(lines) + '\r\n').encode('gbk')


# -------------------------------------------------------------- binary data

def table(name, size, width=8):
    """Fixed-width records: an index, a character and small counts, the
    shape of the product's lookup tables."""
    rng = Rng(seed_of(name))
    pool = hanzi_pool(rng, 1200)
    out = bytearray(b'TVTB' + struct.pack('<HH', 1, width))
    i = 0
    while len(out) < size:
        rec = struct.pack('<H', i & 0xFFFF) + pool[rng.below(len(pool))]
        rec += struct.pack('<H', rng.below(64) * (1 + (i % 7 == 0) * 40))
        rec += bytes(rng.below(4) for _ in range(width - len(rec)))
        out += rec
        i += 1
    return exact(out, size)


def status_record(name):
    """A 200-byte status-window record: the product reads it; the setup
    program writes a few of its bytes."""
    rec = bytearray(200)
    rec[1] = 1
    rec[2:8] = b'TVSZ43' if name == 'tvszsj43.tvh' else b'TVSZSJ'
    rec[8] = int(name[6:8]) if name[6:8].isdigit() else 0
    for i in range(100, 200, 4):
        rec[i] = 0x20 + (i * 7 + rec[8]) % 90
    return bytes(rec)


# x86-like byte patterns: prologues, moves, calls, returns. Picked at random
# they compress about the way code does.
CODE_PATTERNS = [
    b'\x55\x8b\xec', b'\x83\xec\x10', b'\x8b\x45\x08', b'\x8b\x4d\x0c', b'\x89\x45\xfc',
    b'\x33\xc0', b'\x85\xc0', b'\x74\x0a', b'\x75\x05', b'\x6a\x00', b'\x50', b'\x51', b'\x52',
    b'\x5d', b'\xc3', b'\xc2\x08\x00', b'\x8b\xe5', b'\x90', b'\xcc\xcc\xcc\xcc',
    b'\x48\x89\x5c\x24\x08', b'\x48\x83\xec\x28', b'\x48\x8b\xc1', b'\x48\x83\xc4\x28',
    b'\x0f\xb6\xc0', b'\x3b\xc1', b'\x8d\x04\x24',
]


def code_bytes(rng, size):
    out = bytearray()
    while len(out) < size:
        k = rng.below(len(CODE_PATTERNS) + 2)
        if k < len(CODE_PATTERNS):
            out += CODE_PATTERNS[k]
        elif k == len(CODE_PATTERNS):
            out += b'\xe8' + struct.pack('<i', rng.below(0x4000) - 0x2000)  # call
        else:
            out += b'\xa1' + struct.pack('<I', 0x10000000 + rng.below(0x8000) * 4)
    return bytes(out[:size])


DOS_STUB_CODE = bytes([
    0x0E,              # push cs
    0x1F,              # pop ds
    0xBA, 0x0E, 0x00,  # mov dx, message (at code offset 14)
    0xB4, 0x09,        # mov ah, 9: print the text
    0xCD, 0x21,        # int 21h
    0xB8, 0x01, 0x4C,  # mov ax, 4C01h: exit with code 1
    0xCD, 0x21,        # int 21h
])


def dos_program(message):
    """A DOS program that only prints a message: what a sample stand-in for
    a Windows program should say when someone runs it."""
    code = DOS_STUB_CODE + message.encode('ascii') + b'\r\n$'
    header = bytearray(64)
    total = 64 + len(code)
    struct.pack_into('<2sHHHHHHHHHHHH', header, 0, b'MZ', total % 512, (total + 511) // 512, 0,
                     4, 0, 0xFFFF, 0, 0xB8, 0, 0, 0, 0x40)
    return bytes(header) + code


def utf16(text):
    return text.encode('utf-16-le')


def module(name, size, version, arch):
    """A stand-in for an IME module: the description the system shows, the
    UI window class, and the version text that the setup program patches
    ("6.7" becomes "7.3"), in code-like filler of the module's exact size."""
    rng = Rng(seed_of(name))
    parts = [dos_program('Sample %s module of %s; the product build replaces it.' % (arch, name))]
    texts = [
        PRODUCT.encode('gbk') + b'  7.3\0',                     # IME description (GBK)
        utf16(PRODUCT + ' V' + version) + b'\0\0',              # version text
        utf16('UIVEMO') + b'\0\0' + b'UIVEMO\0',
        utf16('FileDescription') + b'\0\0' + utf16(PRODUCT + ' V' + version) + b'\0\0',
        utf16(PRODUCT + ' V6.5') + b'\0\0',                     # not a version the setup changes
    ]
    body = code_bytes(rng, size)
    out = bytearray(parts[0]) + body[len(parts[0]):]
    # Spread the texts through the file, each on an even offset so the UTF-16
    # texts stay aligned.
    for k, t in enumerate(texts):
        at = (size * (k + 1) // (len(texts) + 2)) & ~1
        out[at:at + len(t)] = t
    return exact(out, size)


def program(name, size, what, role):
    rng = Rng(seed_of(name))
    stub = dos_program('Sample stand-in for %s (%s); the product build replaces it.' % (name, role))
    info = utf16(PRODUCT + ' ' + what) + b'\0\0'
    out = bytearray(stub) + code_bytes(rng, size)
    at = (size // 2) & ~1
    out[at:at + len(info)] = info
    return exact(out, size)


# ----------------------------------------------------------------- pictures

def mix(a, b, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smoothstep(e0, e1, x):
    t = (x - e0) / (e1 - e0)
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return t * t * (3 - 2 * t)


def vemo1_picture():
    """The loading page's picture: misty ridges at dawn above a winding
    creek. The page shows its top 400 x 190 pixels; below them the creek
    runs on into the foreground."""
    W, H = 401, 310
    sky_top, sky_low = (248, 233, 210), (190, 222, 230)
    mist = (236, 241, 238)
    sun = (300.0, 58.0)
    layers = [  # base height, amplitude, colour, mist depth
        (92, 30, (166, 192, 205), 34),
        (114, 26, (122, 160, 176), 40),
        (136, 20, (84, 130, 142), 46),
        (156, 6, (70, 112, 104), 90),  # the near bank
    ]
    trees = [(34, 171, 26), (52, 176, 34), (70, 169, 22), (86, 174, 18),
             (336, 168, 20), (352, 173, 28), (371, 170, 24)]

    def ridge(k, x):
        base, amp, _, _ = layers[k]
        p = k * 1.7
        return (base - amp * (0.55 * math.sin(x / 53.0 + p) + 0.30 * math.sin(x / 23.0 + 2 * p)
                              + 0.15 * math.sin(x / 9.0 + 3 * p)))

    ridges = [[ridge(k, x) for x in range(W)] for k in range(len(layers))]

    def creek_centre(y):
        return 214 + 70 * math.sin((y - 146) / 38.0) * (0.4 + (y - 146) / 260.0)

    def pixel(x, y):
        c = mix(sky_top, sky_low, y / 150.0)
        d = math.hypot(x - sun[0], y - sun[1])
        c = mix(c, (255, 246, 222), math.exp(-d / 55.0) * 0.85)
        if d < 17:
            c = mix(c, (255, 250, 236), smoothstep(17, 15, d))
        for bx, by, s in ((118, 44, 7.0), (140, 35, 5.0)):  # two birds
            u = (x - bx) / s
            if -1 <= u <= 1:
                wing = by - 0.45 * s * math.sin(math.pi * abs(u))
                c = mix(c, (84, 96, 108), 0.85 * smoothstep(1.1, 0.3, abs(y - wing)))
        for k, (_, _, colour, depth) in enumerate(layers):
            r = ridges[k][x]
            cover = y + 0.5 - r
            if cover <= 0:
                continue
            shade = mix(colour, mist, smoothstep(0, depth, y - r) * (0.75 - 0.15 * k))
            if k == len(layers) - 1:  # the bank darkens toward the viewer
                shade = mix(colour, (52, 92, 84), (y - r) / 150.0)
            c = mix(c, shade, min(1.0, cover))
        if y >= 146:  # the creek, rising out of the mist
            cx = creek_centre(y)
            half = 2 + (y - 146) * 0.42
            edge = half - abs(x - cx)
            if edge > -1:
                water = mix((184, 218, 226), (112, 168, 186), (y - 146) / 164.0)
                ripple = 0.5 + 0.5 * math.sin(y * 1.3 + 0.08 * x) * math.sin(y * 0.21)
                water = mix(water, (236, 246, 248), 0.35 * ripple ** 6)
                c = mix(c, water, min(1.0, edge + 1) * smoothstep(146, 160, y))
        for tx, ty, th in trees:  # small firs on the banks
            top = ty - th
            if top <= y <= ty + 3:
                if y > ty:
                    inside = 1.0 if abs(x - tx) <= 1 else 0.0
                else:
                    inside = min(1.0, max(0.0, (y - top) * 0.3 + 0.5 - abs(x - tx)))
                c = mix(c, (36, 70, 62), inside)
        # mist drifting over the valley floor
        c = mix(c, mist, 0.4 * math.exp(-((y - 146) / 9.0) ** 2) * (0.7 + 0.3 * math.sin(x / 31.0)))
        return c

    return bmp24(W, H, pixel, trailing=2)


def small_bitmap(name, w, h, colours, shape):
    a, b = colours

    def pixel(x, y):
        u, v = (x + 0.5) / w * 2 - 1, (y + 0.5) / h * 2 - 1
        base = mix(a, b, (y + 0.5) / h)
        if shape == 'round':
            inside = smoothstep(0.72, 0.62, math.hypot(u, v))
        elif shape == 'diamond':
            inside = smoothstep(0.78, 0.68, abs(u) + abs(v))
        elif shape == 'bar':
            inside = 0.25 * (1 - abs(v))
        elif shape == 'frame':
            inside = 1.0 if max(abs(u), abs(v)) > 0.86 else 0.0
        else:  # square
            inside = smoothstep(0.66, 0.58, max(abs(u), abs(v)))
        return mix(base, (255, 255, 255), inside * 0.8)

    return bmp24(w, h, pixel)


# ------------------------------------------------------------------- skins

SKIN_STYLE = {
    # letter in the variant byte, colours, bitmap sizes
    '冷色瓷面.tvz': ('L', ((206, 224, 238), (92, 132, 170)), 1.0),
    '小天使.tvz': ('X', ((255, 226, 236), (250, 196, 120)), 1.6),
    '粉色瓷面.tvz': ('F', ((250, 222, 230), (206, 120, 150)), 1.1),
}

SKIN_SHAPES = ['bar', 'round', 'square', 'diamond', 'round', 'square', 'frame']


def skin_members(skin):
    letter, colours, scale = SKIN_STYLE[skin]
    record = bytearray(4096)
    label = skin[:-4].encode('gbk') + b'\0'
    record[:len(label)] = label
    record[32:38] = bytes(colours[0] + colours[1])
    record[38] = ord(letter)
    files = [('tvbmp8.tvh', bytes(record))]
    for i, shape in enumerate(SKIN_SHAPES, 1):
        w, h = (int(120 * scale), 24) if shape == 'bar' else (int(20 * scale), int(20 * scale))
        if shape == 'frame':
            w, h = int(160 * scale), int(40 * scale)
        files.append(('tvbmpsx%d.bmp' % i, small_bitmap(skin, w, h, colours, shape)))
    return letter, files


def make_skin(tvz, skin, workdir):
    letter, files = skin_members(skin)
    d = tempfile.mkdtemp(dir=workdir)
    paths = []
    for fname, data in files:
        p = os.path.join(d, fname)
        with open(p, 'wb') as f:
            f.write(data)
        paths.append(p)
    out = os.path.join(d, 'skin.tvz')
    subprocess.run([tvz, 'pack', '--plain=' + letter, '--fill=0xCC', out] + paths, check=True)
    with open(out, 'rb') as f:
        return f.read()


# ------------------------------------------------------------------ members

def members(tvz, workdir):
    """name -> bytes for every member the sample provides."""
    m = {}
    m['big5hz.ov1'] = table('big5hz.ov1', 28000)
    m['blank.jpg'] = jpeg_grey(64, 48, lambda bx, by: 255)
    m['tval01.jpg'] = jpeg_grey(160, 96, lambda bx, by: 120 + 60 * math.sin(bx / 3.0) * math.cos(by / 2.0))
    m['tval02.jpg'] = jpeg_grey(160, 96, lambda bx, by: 60 + 150 * ((bx + by) % 6) / 5.0)
    m['tvbj01.jpg'] = jpeg_grey(400, 192, lambda bx, by: 235 - by * 4 - 10 * math.sin(bx / 5.0))
    m['tvbyy0.bmp'] = small_bitmap('tvbyy0.bmp', 48, 48, ((220, 236, 244), (120, 160, 190)), 'round')
    m['tvbyy1.bmp'] = small_bitmap('tvbyy1.bmp', 48, 48, ((244, 236, 220), (190, 150, 110)), 'round')
    m['tvdwhz0.tvh'] = table('tvdwhz0.tvh', 12000)
    m['tavo1.wav'] = wav_tone([880.0, 1318.5], 0.24)
    m['tavo2.wav'] = wav_tone([659.3], 0.15)
    for name, size, arch in (('tavo320.ime', 40960, '32-bit'), ('tavo321.ime', 53248, '32-bit'),
                             ('tavo640.ime', 51712, '64-bit'), ('tavo641.ime', 51712, '64-bit')):
        m[name] = module(name, size, '6.7', arch)
    m['tavocyzk.tv1'] = exact(word_list('tavocyzk.tv1', 640000, 'wubi'), 640000)
    m['tavodel.exe'] = program('tavodel.exe', 24576, '卸载程序', 'uninstaller')
    m['tavodhz.tvh'] = table('tavodhz.tvh', 8192)
    m['tavodwdw.txt'] = word_list('tavodwdw.txt', 3000, 'wubi')
    m['tavodzk0.tvh'] = table('tavodzk0.tvh', 65536, 12)
    m['tavohu4.ime'] = module('tavohu4.ime', 300544, '7.3', '32-bit')
    m['tavohu64.ime'] = module('tavohu64.ime', 352768, '7.3', '64-bit')
    m['tavojfk.ov1'] = table('tavojfk.ov1', 20000)
    m['tavopyck.tv1'] = exact(word_list('tavopyck.tv1', 1833364, 'pinyin'), 1833364)
    m['tavopymb.ov1'] = table('tavopymb.ov1', 16384)
    m['tavoskfh.tvh'] = table('tavoskfh.tvh', 4096, 4)
    m['tavoszsj.tvh'] = status_record('tavoszsj.tvh')
    m['tavoynhz.txt'] = word_list('tavoynhz.txt', 6000, 'pinyin')
    m['tavozdfh.tvh'] = table('tavozdfh.tvh', 2048, 4)
    m['tavozdym.tvh'] = table('tavozdym.tvh', 10240)
    m['tavovem6.exe'] = program('tavovem6.exe', 98304, '词库管理', 'companion program, Windows 6 and later')
    m['tavovemo.exe'] = program('tavovemo.exe', 94208, '词库管理', 'companion program')
    m['tvfcz.txt'] = word_list('tvfcz.txt', 20000, 'wubi')
    m['tvgbkbh.tvh'] = table('tvgbkbh.tvh', 43000, 6)
    m['tvhzbs.tvh'] = table('tvhzbs.tvh', 21000, 6)
    m['tvpyjm1.txt'] = word_list('tvpyjm1.txt', 9000, 'pinyin')
    for i in range(6):
        name = 'tvpykey%d.txt' % i
        m[name] = soft_keyboard(name, KEY_ROWS[: 2 + i % 3])
    m['tvpyltwj.tvh'] = table('tvpyltwj.tvh', 5000)
    m['tvpyzdfy.txt'] = word_list('tvpyzdfy.txt', 15000, 'pinyin')
    m['tvpyzdym.tvh'] = table('tvpyzdym.tvh', 9000)
    m['tvkdel64.exe'] = program('tvkdel64.exe', 30720, '卸载程序', '64-bit uninstaller')
    m['tvspeeke.txt'] = soft_keyboard('tvspeeke.txt', KEY_ROWS)
    for i in range(1, 5):
        name = 'tvspk%d.txt' % i
        m[name] = soft_keyboard(name, KEY_ROWS[:i])
    for name in ('tvszsj01.tvh', 'tvszsj02.tvh', 'tvszsj03.tvh', 'tvszsj04.tvh', 'tvszsj43.tvh',
                 'tvszsj44.tvh'):
        m[name] = status_record(name)
    m['tvwbjm.txt'] = word_list('tvwbjm.txt', 12000, 'wubi')
    m['tvwbpy.txt'] = word_list('tvwbpy.txt', 40000, 'pinyin')
    m['tvxz0.bmp'] = small_bitmap('tvxz0.bmp', 64, 32, ((236, 240, 244), (160, 180, 200)), 'square')
    m['tvxz1.bmp'] = small_bitmap('tvxz1.bmp', 64, 32, ((244, 236, 228), (200, 160, 140)), 'diamond')
    m['TVVEMO41.BMP'] = small_bitmap('TVVEMO41.BMP', 96, 24, ((214, 230, 240), (80, 120, 160)), 'bar')
    m['tvvemo61.bmp'] = small_bitmap('tvvemo61.bmp', 96, 24, ((230, 240, 214), (100, 150, 90)), 'bar')
    m['twb.ov1'] = table('twb.ov1', 120000)
    m['twbzlcz1.txt'] = word_list('twbzlcz1.txt', 30000, 'wubi')
    m['fttvzdym.txt'] = word_list('fttvzdym.txt', 5000, 'wubi')
    m['ftpyzdym.txt'] = word_list('ftpyzdym.txt', 5000, 'pinyin')
    m['ggbhver.dat'] = b'TVVER=7.3.0\r\nTVDATE=2026\r\n'
    m['jfb5hzb.txt'] = word_list('jfb5hzb.txt', 25000, 'wubi')
    m['jfhzb.txt'] = word_list('jfhzb.txt', 25000, 'wubi')
    m['nbyy2.bmp'] = small_bitmap('nbyy2.bmp', 32, 32, ((250, 250, 250), (150, 190, 210)), 'round')
    m['pyqspmb.txt'] = word_list('pyqspmb.txt', 4000, 'pinyin')
    m['softkey.txt'] = soft_keyboard('softkey.txt', KEY_ROWS)
    m['uwb.tvh'] = table('uwb.tvh', 30000)
    m['wb1.swf'] = swf_blank(400, 190, (206, 226, 232))
    m['vemo1.bmp'] = vemo1_picture()
    for skin in SKINS:
        m[skin] = make_skin(tvz, skin, workdir)
    missing = [n for n in MEMBERS if n not in m and n != FROM_BUILD]
    assert not missing, missing
    return m


def write_if_changed(path, data):
    try:
        with open(path, 'rb') as f:
            if f.read() == data:
                return False
    except OSError:
        pass
    with open(path, 'wb') as f:
        f.write(data)
    return True


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--tvz', required=True, help='the tvz tool, for the skin archives')
    ap.add_argument('--out', required=True, help='the payload directory to write')
    ap.add_argument('--stamp', help='file to touch when done')
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        files = members(args.tvz, work)
    out = os.fsencode(args.out)
    for name, data in files.items():
        write_if_changed(os.path.join(out, member_bytes(name)), data)
    if args.stamp:
        with open(args.stamp, 'w') as f:
            f.write('%d members\n' % len(files))


if __name__ == '__main__':
    main()
