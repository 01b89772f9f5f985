"""An archive reader written apart from the C++ one, for the tests to check
what the tool and the build write: header fields, entry layout and member
bytes."""

import hashlib
import struct
import zlib
from dataclasses import dataclass

HASHED = dict(header=56, name=16, digest=18, length=52)
PLAIN = dict(header=20, name=14, digest=None, length=16)


@dataclass
class Entry:
    offset: int
    name: bytes
    name_field: bytes
    digest_field: bytes  # b'' in plain archives
    compressed: bytes

    def expand(self):
        return zlib.decompress(self.compressed)


@dataclass
class Archive:
    variant_byte: int
    total_length: int
    count: int
    entries: list
    end: int

    @property
    def hashed(self):
        return self.variant_byte == ord('0')


def parse(image):
    """Walks the archive strictly: any fault raises ValueError."""
    if len(image) < 10:
        raise ValueError('short header')
    total, count = struct.unpack_from('<iI', image, 2)
    layout = HASHED if image[1] == ord('0') else PLAIN
    pos, entries = 10, []
    for _ in range(count):
        head = image[pos:pos + layout['header']]
        if len(head) < layout['header'] or head[:2] != b'CF':
            raise ValueError('bad entry at %d' % pos)
        field = head[2:2 + layout['name']]
        name = field.split(b'\0', 1)[0]
        (length,) = struct.unpack_from('<i', head, layout['length'])
        start = pos + layout['header']
        if length < 0 or start + length > len(image):
            raise ValueError('bad length at %d' % pos)
        digest = head[layout['digest']:layout['digest'] + 34] if layout['digest'] else b''
        entries.append(Entry(pos, name, field, digest, image[start:start + length]))
        pos = start + length
    return Archive(image[1], total, count, entries, pos)


def digest_text(data):
    return hashlib.md5(data).hexdigest().upper().encode() + b'\0\0'
