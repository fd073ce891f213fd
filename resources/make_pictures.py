#!/usr/bin/env python3
"""Draws the card's pictures into resources/PIC: a banner per brand in its three
DPI variants (96, 120 and 144 DPI) and the program's icon in every size Windows
shows. Standard library only; the same bytes on every run.

    python3 resources/make_pictures.py [OUTPUT-FOLDER]
"""
import math
import os
import struct
import sys
import zlib

# Banner band at 96, 120 and 144 DPI, and the file suffix of each.
SIZES = [("", 367, 82), ("1", 459, 103), ("2", 551, 123)]


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


# Each brand is a function of (u, v) in [0, 1] x [0, 1] and the aspect ratio,
# giving RGB. The top-left, where the title sits, stays calm.
def zell(u, v, aspect):
    base = mix((10, 40, 110), (20, 90, 190), u * 0.8 + v * 0.2)
    stripe = (u * aspect + v * 1.5) * 6 % 1.0
    if u > 0.55 and stripe < 0.18:
        base = mix(base, (120, 180, 255), 0.35 * (u - 0.55) / 0.45)
    return base


def marwick(u, v, aspect):
    base = mix((90, 8, 20), (170, 25, 35), u)
    chevron = (abs(v - 0.5) * 2 + u * aspect * 2.5) % 1.0
    if u > 0.6 and chevron < 0.25:
        base = mix(base, (240, 170, 60), 0.55)
    if v > 0.9:
        base = (240, 170, 60)
    return base


def lumiframe(u, v, aspect):
    base = mix((0, 105, 110), (95, 40, 140), u)
    for cx, cy, r in ((0.72, 0.35, 0.22), (0.86, 0.7, 0.15), (0.93, 0.2, 0.1), (0.62, 0.85, 0.09)):
        d = math.hypot((u - cx) * aspect, v - cy)
        if d < r:
            base = mix(base, (255, 255, 255), 0.25 * (1 - d / r))
    return base


def brindle_hall(u, v, aspect):
    base = mix((250, 244, 228), (232, 218, 190), u)
    if (u * aspect * 40) % 1.0 < 0.06 and u > 0.5:
        base = mix(base, (150, 110, 70), 0.35)
    if v > 0.88:
        base = (120, 80, 45)
    return base


def tessary(u, v, aspect):
    base = mix((28, 32, 36), (45, 52, 58), v)
    x, y = u * aspect * 9, v * 9
    grid = min(x % 1.0, y % 1.0)
    if u > 0.5 and grid < 0.08:
        base = mix(base, (60, 200, 120), 0.8 * (u - 0.5) / 0.5)
    return base


BRANDS = {"Zell": zell, "Marwick": marwick, "Lumiframe": lumiframe, "Brindle Hall": brindle_hall,
          "Tessary": tessary}


def bmp(width, height, pixel):
    """A 24-bit bottom-up BMP; pixel(x, y) gives RGB with y from the top."""
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * (row_size - width * 3))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return header + info + data


def banner(brand, width, height):
    draw = BRANDS[brand]
    aspect = width / height
    return bmp(width, height, lambda x, y: draw((x + 0.5) / width, (y + 0.5) / height, aspect))


def icon_pixel(x, y, size):
    """BGRA of the icon: a white V on a blue tile."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    corner = 0.18
    dx, dy = max(corner - u, u - (1 - corner), 0), max(corner - v, v - (1 - corner), 0)
    if dx * dx + dy * dy > corner * corner:
        return (0, 0, 0, 0)
    if 0.22 <= v <= 0.80:
        t = (v - 0.22) / 0.58
        if abs(u - (0.20 + 0.30 * t)) < 0.085 or abs(u - (0.80 - 0.30 * t)) < 0.085:
            return (255, 255, 255, 255)
    return (0xB0, 0x5A, 0x1E, 255)


# Every size Windows asks for, from 100% to 200% and in Explorer's large views.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def icon_image(size):
    """BGRA rows, top first. Up to 32 pixels each pixel is one sample (the window icon, loaded at 32, stays as
    it was); larger images average 4 x 4 samples, alpha-weighted, for smooth edges."""
    n = 1 if size <= 32 else 4
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            samples = [icon_pixel(x * n + i, y * n + j, size * n) for j in range(n) for i in range(n)]
            alpha = sum(s[3] for s in samples)
            row += bytes(round(sum(s[c] * s[3] for s in samples) / alpha) if alpha else 0 for c in range(3))
            row.append(round(alpha / len(samples)))
        rows.append(bytes(row))
    return rows


def png(size, rows):
    """A PNG of BGRA rows, as Windows keeps the 256-pixel image of an icon; zlib's output is fixed for fixed input."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(v for i in range(0, len(r), 4) for v in (r[i + 2], r[i + 1], r[i], r[i + 3]))
                   for r in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def icon():
    images = []
    for size in ICON_SIZES:
        rows = icon_image(size)
        if size == 256:
            images.append((size, png(size, rows)))
            continue
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        mask = b"\0" * (((size + 31) // 32) * 4) * size
        images.append((size, header + b"".join(reversed(rows)) + mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for brand in BRANDS:
        for suffix, width, height in SIZES:
            with open(os.path.join(folder, f"{brand}_Banner{suffix}.bmp"), "wb") as f:
                f.write(banner(brand, width, height))
    with open(os.path.join(folder, "velopass.ico"), "wb") as f:
        f.write(icon())


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "PIC"))
