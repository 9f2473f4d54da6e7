#!/usr/bin/env python3
"""Compares the head unit's framebuffer with the simulator's screenshots.

    head-unit-screens.py FOLDER NAME...

For each NAME, FOLDER/screendumps/NAME.ppm (qemu's monitor dumped the
framebuffer right after the simulator's screenshot) must equal, pixel for
pixel, the simulator's own screenshot of that state taken in the machine:
FOLDER/screenshots/NAME.png, or NAME-after.png, taken a moment after the dump,
when a countdown on the screen went on in between. The number of pixels in
which FOLDER/offscreen/ holds the same state drawn offscreen on the build
machine differs is printed beside. Exits 1 when a framebuffer differs from
both screenshots of the machine.
"""
import struct
import sys
import zlib
from pathlib import Path


def read_ppm(path):
    data = path.read_bytes()
    fields = data.split(maxsplit=4)
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"{path}: not an 8-bit P6 picture")
    width, height = int(fields[1]), int(fields[2])
    return width, height, fields[4][: width * height * 3]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    """The RGB bytes of an 8-bit, non-interlaced RGB or RGBA PNG."""
    data = path.read_bytes()
    position, idat = 8, b""
    while position < len(data):
        length, kind = struct.unpack_from(">I4s", data, position)
        body = data[position + 8 : position + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError(f"{path}: not an 8-bit RGB(A) picture")
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    channels = 3 if colour == 2 else 4
    stride = width * channels
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1 : (y + 1) * (stride + 1)])
        for x in range(stride):
            left = row[x - channels] if x >= channels else 0
            up = previous[x]
            upper_left = previous[x - channels] if x >= channels else 0
            row[x] = (row[x] + (0, left, up, (left + up) // 2, paeth(left, up, upper_left))[kind]) & 0xFF
        rows.append(row)
        previous = row
    pixels = b"".join(rows)
    if channels == 4:
        pixels = b"".join(pixels[i : i + 3] for i in range(0, len(pixels), 4))
    return width, height, pixels


def differing_pixels(first, second):
    if first[:2] != second[:2]:
        return None
    a, b = first[2], second[2]
    return sum(1 for i in range(0, len(a), 3) if a[i : i + 3] != b[i : i + 3])


def main():
    folder = Path(sys.argv[1])
    failed = False
    for name in sys.argv[2:]:
        dump = read_ppm(folder / "screendumps" / f"{name}.ppm")
        counts = {}
        for shot in (name, f"{name}-after"):
            counts[shot] = differing_pixels(dump, read_png(folder / "screenshots" / f"{shot}.png"))
        equal = [shot for shot, count in counts.items() if count == 0]
        offscreen_file = folder / "offscreen" / f"{equal[0] if equal else name}.png"
        offscreen = differing_pixels(dump, read_png(offscreen_file)) if offscreen_file.is_file() else "-"
        print(f"{name}: framebuffer {dump[0]}x{dump[1]}, differing pixels from the machine's screenshots "
              + ", ".join(f"{shot} {count}" for shot, count in counts.items())
              + f"; from the offscreen one {offscreen}")
        failed |= not equal
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
