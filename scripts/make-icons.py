#!/usr/bin/env python3
"""Draws Tervelle's icons: assets/setup.ico (installer) and assets/tervelle.png (program).

A rounded green island on a blue sea with a red flag: drawn from code so the art stays editable.
"""
import struct
import sys
import zlib
from pathlib import Path


def pixel(x, y, size):
    u, v = (x + 0.5) / size, (y + 0.5) / size  # 0..1, v downwards
    # rounded square background (sea)
    r = 0.18
    cx, cy = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
    if (u - cx) ** 2 + (v - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    color = (40, 110, 200, 255)
    # island: a half ellipse
    if ((u - 0.5) / 0.38) ** 2 + ((v - 0.78) / 0.28) ** 2 < 1 and v < 0.86:
        color = (70, 170, 60, 255)
    # flag pole and flag
    if 0.47 < u < 0.53 and 0.22 < v < 0.56:
        color = (245, 245, 245, 255)
    if 0.53 <= u < 0.78 and 0.22 < v < 0.38:
        color = (220, 40, 40, 255)
    return color


def rgba_rows(size):
    return [[pixel(x, y, size) for x in range(size)] for y in range(size)]


def ico_image(size):
    rows = rgba_rows(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_row * size)
    return header + pixels + mask


def write_ico(path, sizes):
    images = [ico_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    Path(path).write_bytes(out + b''.join(images))


def write_png(path, size):
    rows = rgba_rows(size)
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    Path(path).write_bytes(png)


if __name__ == '__main__':
    assets = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'assets')
    write_ico(assets / 'setup.ico', [16, 32, 48])
    write_png(assets / 'tervelle.png', 64)
