#!/usr/bin/python3
"""Make the Windows program icon from the picture of resources/orvan.ico.

    python3 tools/windows_icon.py resources/orvan.ico OUT.ico

orvan.ico holds one 200 x 256 picture. Windows picks the icon size it needs
(16 px in title bars, 32 on the desktop, up to 256 in large views) and scales
a lone odd-sized one badly, so the program file carries the same picture
centred on a square and area-averaged to every size Windows asks for: 16,
20, 24, 32, 40, 48, 64, 96, 128 and 256 pixels. Small sizes are stored as
32-bit BMPs (every Windows reads them), 256 as PNG, as Windows expects.
Plain Python: the build runs it, and nothing else needs installing.
"""

import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 96, 128, 256)


def read_ico(path):
    """The first picture of an ICO holding a 32-bit BMP: (width, height, rows of RGBA)."""
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count < 1:
        sys.exit(f"{path}: not an icon file")
    size, offset = struct.unpack_from("<II", data, 6 + 8)
    bih = data[offset:offset + size]
    if bih[:8] == b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: a PNG icon picture is not read here")
    hsize, w, h2, planes, bpp, compression = struct.unpack_from("<IiiHHI", bih, 0)
    if bpp != 32 or compression != 0:
        sys.exit(f"{path}: only an uncompressed 32-bit picture is read here")
    h = h2 // 2
    pixels = bih[hsize:hsize + w * h * 4]
    rows = []
    for y in range(h):  # BMP rows go bottom-up, BGRA
        row = pixels[(h - 1 - y) * w * 4:(h - y) * w * 4]
        rows.append([(row[i + 2], row[i + 1], row[i], row[i + 3]) for i in range(0, len(row), 4)])
    return w, h, rows


def square(w, h, rows):
    side = max(w, h)
    left, top = (side - w) // 2, (side - h) // 2
    out = [[(0, 0, 0, 0)] * side for _ in range(side)]
    for y in range(h):
        out[top + y][left:left + w] = rows[y]
    return side, out


def scale(side, rows, size):
    """Area average with premultiplied alpha, so transparent edges stay clean."""
    f = side / size
    out = []
    for ty in range(size):
        y0, y1 = ty * f, (ty + 1) * f
        line = []
        for tx in range(size):
            x0, x1 = tx * f, (tx + 1) * f
            acc = [0.0, 0.0, 0.0, 0.0]
            area = 0.0
            for sy in range(int(y0), min(side, int(y1 + 0.999999))):
                wy = min(y1, sy + 1) - max(y0, sy)
                if wy <= 0:
                    continue
                src = rows[sy]
                for sx in range(int(x0), min(side, int(x1 + 0.999999))):
                    wx = min(x1, sx + 1) - max(x0, sx)
                    if wx <= 0:
                        continue
                    r, g, b, a = src[sx]
                    k = wx * wy
                    acc[0] += r * a * k
                    acc[1] += g * a * k
                    acc[2] += b * a * k
                    acc[3] += a * k
                    area += k
            alpha = acc[3] / area
            if acc[3] > 0:
                px = tuple(min(255, round(c / acc[3])) for c in acc[:3]) + (min(255, round(alpha)),)
            else:
                px = (0, 0, 0, 0)
            line.append(px)
        out.append(line)
    return out


def png(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bmp(size, rows):
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    side, rows = square(*read_ico(sys.argv[1]))
    images = [(s, png(s, scale(side, rows, s)) if s == 256 else bmp(s, scale(side, rows, s))) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, blob in images:
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    out += b"".join(blob for _, blob in images)
    with open(sys.argv[2], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
