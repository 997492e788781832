#!/usr/bin/python3
"""Crops a window out of Xvfb's screen file (Xvfb -fbdir DIR writes
DIR/Xvfb_screen0, an XWD image) and saves it as PNG.
    screenshot.py DIR/Xvfb_screen0 X Y WIDTH HEIGHT OUT.png"""
import struct
import sys
import zlib

path, x, y, w, h, out = sys.argv[1], *map(int, sys.argv[2:6]), sys.argv[6]
data = open(path, "rb").read()
fields = struct.unpack_from(">25I", data, 0)
header_size, depth, width, height = fields[0], fields[3], fields[4], fields[5]
byte_order, bpp, stride, ncolors = fields[7], fields[11], fields[12], fields[19]
if bpp != 32 or depth != 24:
    sys.exit(f"{path}: expected a 24-bit screen stored in 32 bits")
pixels = header_size + 12 * ncolors
x, y = max(0, x), max(0, y)
w, h = min(w, width - x), min(h, height - y)
rows = []
for row in range(y, y + h):
    line = data[pixels + row * stride + 4 * x:pixels + row * stride + 4 * (x + w)]
    if byte_order == 0:  # LSBFirst: B G R X
        rgb = bytes(c for i in range(0, len(line), 4) for c in (line[i + 2], line[i + 1], line[i]))
    else:
        rgb = bytes(c for i in range(0, len(line), 4) for c in (line[i + 1], line[i + 2], line[i + 3]))
    rows.append(b"\0" + rgb)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


with open(out, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))
