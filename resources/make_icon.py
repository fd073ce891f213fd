#!/usr/bin/env python3
"""Draws the program's icon, a white V on a blue tile, as velopass.ico (32 and 16 pixels)."""
import struct
import sys


def pixel(x, y, size):
    """BGRA of one pixel; y counts from the top."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    corner = 0.18
    dx, dy = max(corner - u, u - (1 - corner), 0), max(corner - v, v - (1 - corner), 0)
    if dx * dx + dy * dy > corner * corner:
        return (0, 0, 0, 0)
    # The two strokes of the V meet at the bottom centre.
    if 0.22 <= v <= 0.80:
        t = (v - 0.22) / 0.58
        left, right = 0.20 + 0.30 * t, 0.80 - 0.30 * t
        if abs(u - left) < 0.085 or abs(u - right) < 0.085:
            return (255, 255, 255, 255)
    return (0xB0, 0x5A, 0x1E, 255)


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        rows.append(b"".join(bytes(pixel(x, y, size)) for x in range(size)))
    mask_row = b"\0" * (((size + 31) // 32) * 4)
    return header + b"".join(rows) + mask_row * size


def main(path):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "velopass.ico")
