"""Small real media files for the sample payload: 24-bit bitmaps, greyscale
JPEGs, PCM sounds and a one-frame Flash movie, all drawn from numbers so
every build makes the same bytes."""

import math
import struct


def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(v + 0.5)


def bmp24(width, height, pixel, trailing=0):
    """A bottom-up 24-bit BMP with its bits at offset 54. pixel(x, y) gives
    (r, g, b) with y = 0 at the top; `trailing` zero bytes follow the bits
    and are counted in the file and image sizes."""
    stride = (width * 3 + 3) & ~3
    image_size = stride * height + trailing
    out = bytearray()
    out += b'BM' + struct.pack('<IHHI', 54 + image_size, 0, 0, 54)
    out += struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, image_size, 2835, 2835, 0, 0)
    pad = bytes(stride - width * 3)
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((clamp8(b), clamp8(g), clamp8(r)))
        out += row + pad
    out += bytes(trailing)
    return bytes(out)


def _canonical_codes(counts, values):
    codes, code, k = {}, 0, 0
    for length, n in enumerate(counts, 1):
        for _ in range(n):
            codes[values[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class _Bits:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)  # byte stuffing
                self.acc = self.n = 0

    def flush(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)
        return bytes(self.out)


def jpeg_grey(width, height, block_level):
    """A baseline greyscale JPEG whose 8x8 blocks are flat: block_level(bx,
    by) gives each block's grey level. Only DC coefficients are coded, so a
    tiny encoder suffices; width and height are multiples of 8."""
    assert width % 8 == 0 and height % 8 == 0
    dc_counts = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
    dc_values = list(range(12))
    dc = _canonical_codes(dc_counts, dc_values)
    ac_counts = [1] + [0] * 15  # a single code: end of block
    quant = 8  # DC of a flat block v is 8 * (v - 128); quantised, v - 128

    def segment(marker, payload):
        return struct.pack('>HH', marker, len(payload) + 2) + payload

    out = bytearray(b'\xff\xd8')
    out += segment(0xFFE0, b'JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00')
    out += segment(0xFFDB, b'\x00' + bytes([quant] * 64))
    out += segment(0xFFC0, struct.pack('>BHHB', 8, height, width, 1) + b'\x01\x11\x00')
    out += segment(0xFFC4, b'\x00' + bytes(dc_counts) + bytes(dc_values))
    out += segment(0xFFC4, b'\x10' + bytes(ac_counts) + b'\x00')
    out += segment(0xFFDA, b'\x01\x01\x00\x00\x3f\x00')
    bits = _Bits()
    previous = 0
    for by in range(height // 8):
        for bx in range(width // 8):
            q = clamp8(block_level(bx, by)) - 128
            diff, previous = q - previous, q
            size = abs(diff).bit_length()
            code, length = dc[size]
            bits.put(code, length)
            if size:
                bits.put(diff if diff > 0 else diff + (1 << size) - 1, size)
            bits.put(0, 1)  # end of block: every AC coefficient is zero
    out += bits.flush() + b'\xff\xd9'
    return bytes(out)


def wav_tone(freqs, seconds, rate=11025):
    """8-bit mono PCM: the notes one after another, each fading out."""
    samples = bytearray()
    per_note = int(seconds * rate / len(freqs))
    for f in freqs:
        for i in range(per_note):
            t = i / rate
            env = math.exp(-t * 9.0) * min(1.0, i / 40)
            samples.append(clamp8(128 + 90 * env * math.sin(2 * math.pi * f * t)))
    data = bytes(samples)
    fmt = struct.pack('<HHIIHH', 1, 1, rate, rate, 1, 8)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(data)) + data
    return b'RIFF' + struct.pack('<I', len(body)) + body


def swf_blank(width, height, rgb):
    """A one-frame, uncompressed Flash movie that only sets its background."""
    nbits = 16
    fields = [0, width * 20, 0, height * 20]
    acc, n = nbits, 5
    for v in fields:
        acc = (acc << nbits) | v
        n += nbits
    pad = (8 - n % 8) % 8
    rect = (acc << pad).to_bytes((n + pad) // 8, 'big')
    tags = struct.pack('<H', (9 << 6) | 3) + bytes(rgb)  # SetBackgroundColor
    tags += struct.pack('<H', 1 << 6)                     # ShowFrame
    tags += struct.pack('<H', 0)                          # End
    body = rect + struct.pack('<HH', 12 << 8, 1) + tags
    return b'FWS' + bytes([6]) + struct.pack('<I', 8 + len(body)) + body
