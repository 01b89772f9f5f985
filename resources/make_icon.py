#!/usr/bin/env python3
"""Draws the program icon "tavohu": one 32x32 picture in the 16 VGA colours
(a mountain over a creek under a pale sky, with a red seal), written as an
.ico file.

Usage: make_icon.py out.ico
"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
N = 32


def picture():
    px = [[None] * N for _ in range(N)]
    for y in range(N):
        for x in range(N):
            # Rounded frame: corners stay transparent.
            dx = min(x, N - 1 - x)
            dy = min(y, N - 1 - y)
            if dx + dy < 3:
                continue
            colour = CYAN if y < 12 else WHITE
            # Two peaks of the mountain, the far one grey, the near one teal.
            if y >= 8 + abs(x - 21) * 0.9 and y < 24:
                colour = GREY
            if y >= 5 + abs(x - 11) * 1.1 and y < 24:
                colour = TEAL
            if y >= 14 + abs(x - 11) * 1.1 and y < 24 and colour == TEAL:
                colour = GREEN
            # The creek: two bands of waves.
            if y >= 23:
                wave = (x + (y % 3)) % 6 < 3
                colour = BLUE if wave else NAVY
            # A small red seal in the upper right corner.
            if 24 <= x <= 28 and 3 <= y <= 7:
                colour = RED
            # A dark outline one pixel inside the frame.
            if dx + dy == 3 or dx == 0 or dy == 0:
                colour = BLACK
            px[y][x] = colour
    return px


def ico(px):
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(N)):  # bottom-up rows
        row = px[y]
        for x in range(0, N, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(N):
            bits = bits << 1 | (1 if row[x] is None else 0)
        mask += struct.pack('>I', bits)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, N, 2 * N, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', N, N, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == '__main__':
    with open(sys.argv[1], 'wb') as f:
        f.write(ico(picture()))
