#!/usr/bin/python3
"""Draw the stand-in pictures that are compiled into the program.

How to run it (Debian 12), from anywhere:

    apt-get install python3-pil
    /usr/bin/python3 tools/draw_images.py

It (re)writes the eight image files in resources/ next to this tools/ folder,
with the expected kind, format and exact pixel size:

    carte_beursault.jpg    baseline JPEG, 217 x 300, black-and-white target card
    disquette.png          PNG 8-bit RGBA, 128 x 128, floppy-disk icon
    roue.png               PNG 8-bit RGBA, 600 x 650, two orange cogwheels
    blason_Orvan_fili.png  PNG 8-bit RGB (no alpha), 624 x 682, faded club crest
    orvan.ico              ICO, one 200 x 256 image, 32 bpp uncompressed BMP
    printer.png            PNG 8-bit RGBA, 256 x 256, printer icon
    blasonCIE.png          PNG 8-bit RGBA, 750 x 1000, the archery company's emblem
    blason.png             PNG 8-bit RGBA, 241 x 297, the club crest

The resource list in CMakeLists.txt is not touched: it names the files in their storage order.
The drawing is deterministic (no randomness); text uses a DejaVu font
(fonts-dejavu-core) when present, otherwise PIL's default bitmap font.
"""

import math
import os
import struct
import zlib

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "resources"))

SS = 4  # supersampling factor: draw large, then scale down for smooth edges
LANCZOS = getattr(Image, "Resampling", Image).LANCZOS

FONT_DIRS = ["/usr/share/fonts/truetype/dejavu"]


def font(size, bold=True, serif=False):
    """A DejaVu font of `size` pixels, or PIL's default font."""
    name = "DejaVu" + ("Serif" if serif else "Sans") + ("-Bold" if bold else "") + ".ttf"
    for d in FONT_DIRS:
        path = os.path.join(d, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, max(1, int(round(size))))
    try:
        return ImageFont.truetype(name, max(1, int(round(size))))
    except OSError:
        return ImageFont.load_default()


def text_centered(d, xy, text, fnt, fill):
    """Draw `text` centred on point xy."""
    l, t, r, b = d.textbbox((0, 0), text, font=fnt)
    x = xy[0] - (l + r) / 2
    y = xy[1] - (t + b) / 2
    d.text((x, y), text, font=fnt, fill=fill)


def fit_font(d, text, size, max_width, **kw):
    """The largest font not bigger than `size` whose text fits in max_width."""
    while size > 4:
        f = font(size, **kw)
        l, _, r, _ = d.textbbox((0, 0), text, font=f)
        if r - l <= max_width:
            return f
        size -= 1
    return font(size, **kw)


def bezier(p0, p1, p2, p3, n=24):
    pts = []
    for i in range(n + 1):
        t = i / n
        a, b, c, e = (1 - t) ** 3, 3 * t * (1 - t) ** 2, 3 * t * t * (1 - t), t ** 3
        pts.append((a * p0[0] + b * p1[0] + c * p2[0] + e * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + e * p3[1]))
    return pts


def downsample(img, size):
    return img.resize(size, LANCZOS)


class Pen:
    """Draws in design units, mapped onto a supersampled canvas."""

    def __init__(self, img, scale, ox=0.0, oy=0.0):
        self.d = ImageDraw.Draw(img)
        self.k = scale
        self.ox = ox
        self.oy = oy

    def p(self, x, y):
        return (self.ox + x * self.k, self.oy + y * self.k)

    def pts(self, seq):
        return [self.p(x, y) for x, y in seq]

    def box(self, x0, y0, x1, y1):
        a = self.p(x0, y0)
        b = self.p(x1, y1)
        return [a[0], a[1], b[0], b[1]]

    def w(self, width):
        return max(1, int(round(width * self.k)))

    def polygon(self, seq, fill=None, outline=None, width=1):
        self.d.polygon(self.pts(seq), fill=fill)
        if outline is not None:
            pts = self.pts(seq)
            self.d.line(pts + [pts[0], pts[1]], fill=outline, width=self.w(width), joint="curve")

    def line(self, seq, fill, width):
        self.d.line(self.pts(seq), fill=fill, width=self.w(width), joint="curve")

    def circle(self, cx, cy, r, fill=None, outline=None, width=1):
        self.d.ellipse(self.box(cx - r, cy - r, cx + r, cy + r), fill=fill,
                       outline=outline, width=self.w(width) if outline is not None else 0)

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1, radius=0):
        self.d.rounded_rectangle(self.box(x0, y0, x1, y1), radius=radius * self.k, fill=fill,
                                 outline=outline, width=self.w(width) if outline is not None else 0)

    def arc(self, x0, y0, x1, y1, start, end, fill, width):
        self.d.arc(self.box(x0, y0, x1, y1), start, end, fill=fill, width=self.w(width))

    def text(self, x, y, text, size, fill, max_width=None, **kw):
        if max_width is None:
            f = font(size * self.k, **kw)
        else:
            f = fit_font(self.d, text, int(size * self.k), max_width * self.k, **kw)
        text_centered(self.d, self.p(x, y), text, f, fill)


def arrow(pen, tail, head, shaft, point, feather, width=4.0, head_len=20.0, head_w=9.0):
    """An arrow from tail to head: shaft, triangular point, three-vane fletching."""
    tx, ty = tail
    hx, hy = head
    length = math.hypot(hx - tx, hy - ty)
    ux, uy = (hx - tx) / length, (hy - ty) / length
    nx, ny = -uy, ux
    base = (hx - ux * head_len, hy - uy * head_len)
    pen.line([tail, base], shaft, width)
    pen.polygon([head, (base[0] + nx * head_w, base[1] + ny * head_w),
                 (base[0] - nx * head_w, base[1] - ny * head_w)], fill=point)
    # Fletching: two vanes on each side of the shaft near the tail.
    f = head_len / 20.0  # fletching grows with the point
    for side in (1, -1):
        fl = [(tx + ux * 2 * f, ty + uy * 2 * f),
              (tx + ux * 26 * f, ty + uy * 26 * f),
              (tx + ux * 14 * f + nx * side * 11 * f, ty + uy * 14 * f + ny * side * 11 * f),
              (tx - ux * 4 * f + nx * side * 11 * f, ty - uy * 4 * f + ny * side * 11 * f)]
        pen.polygon(fl, fill=feather)


def target(pen, cx, cy, r, colours, outline=(30, 30, 30, 255), line_w=1.5):
    n = len(colours)
    for i, c in enumerate(colours):
        rr = r * (n - i) / n
        pen.circle(cx, cy, rr, fill=c, outline=outline, width=line_w)


# ---------------------------------------------------------------- the club crest

CREST_W, CREST_H = 240.0, 300.0  # design units

YELLOW = (247, 203, 38, 255)
DARK_YELLOW = (196, 150, 14, 255)
INK = (40, 28, 18, 255)
RED = (176, 28, 36, 255)
BOW = (120, 66, 24, 255)
STRING = (70, 70, 70, 255)
FITA = [(250, 250, 250, 255), (20, 20, 20, 255), (40, 120, 200, 255),
        (220, 40, 40, 255), (250, 215, 30, 255)]


def shield_outline(inset=0.0):
    top = 14 + inset
    left = 14 + inset
    right = CREST_W - 14 - inset
    mid = CREST_W / 2
    side_end = 150
    tip = 280 - inset * 1.3
    right_curve = bezier((right, side_end), (right, 222), (mid + 45, 255), (mid, tip))
    left_curve = [(CREST_W - x, y) for x, y in reversed(right_curve)]
    return [(left, top), (right, top)] + right_curve + left_curve[1:]


def draw_crest(size):
    """The club crest on a transparent background, fitted into size (w, h)."""
    W, H = size
    img = Image.new("RGBA", (W * SS, H * SS), (0, 0, 0, 0))
    k = min(W * SS / CREST_W, H * SS / CREST_H)
    pen = Pen(img, k, (W * SS - CREST_W * k) / 2, (H * SS - CREST_H * k) / 2)

    # The shield, with a red chief carrying the club's name.
    pen.polygon(shield_outline(), fill=YELLOW)
    pen.polygon(shield_outline(9), outline=DARK_YELLOW, width=2)
    pen.polygon([(14, 14), (CREST_W - 14, 14), (CREST_W - 14, 66), (14, 66)], fill=RED)
    pen.line([(14, 66), (CREST_W - 14, 66)], INK, 3)
    pen.text(CREST_W / 2, 41, "ORVAN", 34, (255, 236, 150, 255), max_width=190, serif=True)

    # Two crossed arrows behind the target, points upward.
    arrow(pen, (82, 204), (182, 84), INK, INK, RED, width=4)
    arrow(pen, (158, 204), (58, 84), INK, INK, RED, width=4)

    # Two bows, one on each side, strings facing the target.
    for side in (1, -1):
        cx = CREST_W / 2 + side * 78
        limb_top, limb_bot = 80, 214
        belly = cx + side * 18
        limbs = bezier((cx, limb_top), (belly + side * 4, limb_top + 30),
                       (belly + side * 4, limb_bot - 30), (cx, limb_bot))
        pen.line([(cx, limb_top), (cx, limb_bot)], STRING, 1.8)
        pen.line(limbs, BOW, 8)
        mid_y = (limb_top + limb_bot) / 2
        pen.rect(belly - 3 + side * 2, mid_y - 10, belly + 3 + side * 2, mid_y + 10,
                 fill=INK, radius=2)
        for y in (limb_top, limb_bot):
            pen.circle(cx, y, 3, fill=INK)

    # The target in the middle.
    target(pen, CREST_W / 2, 158, 46, FITA, line_w=1.5)
    pen.line([(CREST_W / 2 - 4, 158), (CREST_W / 2 + 4, 158)], INK, 1)
    pen.line([(CREST_W / 2, 154), (CREST_W / 2, 162)], INK, 1)

    # Lettering under the target.
    pen.text(CREST_W / 2, 228, "ARC CLUB", 17, INK, max_width=110, serif=True)

    pen.polygon(shield_outline(), outline=INK, width=5)
    return downsample(img, (W, H))


# ---------------------------------------------------------------- the pictures

def draw_carte_beursault():
    W, H = 217, 300
    img = Image.new("L", (W * SS, H * SS), 255)
    pen = Pen(img, SS)
    pen.rect(3, 3, W - 4, H - 4, outline=0, width=2)
    cx, cy = W / 2, 138
    # Concentric rings, outermost first; numbers 1 to 3 toward the centre.
    radii = [96, 70, 44]
    for r in radii:
        pen.circle(cx, cy, r, fill=255, outline=0, width=2.2)
    pen.circle(cx, cy, 20, fill=0)  # the black centre ("noir")
    # Cross of thin lines through the middle, across the whole card.
    pen.line([(6, cy), (W - 7, cy)], 0, 0.9)
    pen.line([(cx, 6), (cx, H - 7)], 0, 0.9)
    pen.circle(cx, cy, 1.5, fill=255)
    for n, (r_out, r_in) in enumerate(zip(radii, radii[1:] + [20]), start=1):
        mid = (r_out + r_in) / 2
        for ang in (45, 225):
            a = math.radians(ang)
            pen.text(cx + mid * math.cos(a), cy - mid * math.sin(a), str(n), 15, 0)
    pen.text(W / 2, 262, "BEURSAULT", 17, 0, serif=True)
    pen.line([(60, 277), (W - 60, 277)], 0, 0.9)
    out = downsample(img, (W, H))
    out.save(os.path.join(OUT, "carte_beursault.jpg"), "JPEG", quality=90,
             progressive=False, optimize=False)


def draw_disquette():
    S = 128
    img = Image.new("RGBA", (S * SS, S * SS), (0, 0, 0, 0))
    pen = Pen(img, SS)
    body = (38, 64, 130, 255)
    edge = (18, 30, 66, 255)
    pen.polygon([(8, 10), (108, 10), (120, 22), (120, 118), (8, 118)], fill=body,
                outline=edge, width=3)
    # Metal shutter with its window.
    pen.rect(32, 10, 96, 46, fill=(186, 192, 202, 255), outline=(100, 106, 118, 255),
             width=2, radius=2)
    pen.rect(74, 16, 88, 40, fill=body, radius=1.5)
    # Paper label with ruled lines.
    pen.rect(22, 62, 106, 118, fill=(250, 248, 240, 255), outline=(150, 150, 150, 255),
             width=1.5, radius=3)
    for y in (76, 88, 100):
        pen.line([(30, y), (98, y)], (120, 150, 210, 255), 1.5)
    pen.line([(30, 70), (98, 70)], (210, 60, 60, 255), 2)
    # Write-protect notch.
    pen.rect(12, 104, 18, 112, fill=(12, 20, 44, 255), radius=1)
    out = downsample(img, (S, S))
    save_png(out, "disquette.png")


def gear_points(cx, cy, teeth, r_out, r_root, phase=0.0):
    pts = []
    step = 2 * math.pi / teeth
    for i in range(teeth):
        a = phase + i * step
        # root, rise, flat top, fall: a trapezoidal tooth.
        for frac, r in ((0.00, r_root), (0.18, r_root), (0.30, r_out),
                        (0.58, r_out), (0.70, r_root)):
            t = a + frac * step
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return pts


def draw_gear(pen, cx, cy, teeth, r_out, r_root, phase, spokes):
    orange = (245, 140, 24, 255)
    dark = (178, 82, 8, 255)
    light = (255, 182, 84, 255)
    pen.polygon(gear_points(cx, cy, teeth, r_out, r_root, phase), fill=orange,
                outline=dark, width=5)
    pen.circle(cx, cy, r_root * 0.80, fill=None, outline=dark, width=4)
    # Cut-outs between spokes (transparent).
    r_in, r_hub = r_root * 0.70, r_root * 0.34
    for i in range(spokes):
        a0 = phase + (i + 0.16) * 2 * math.pi / spokes
        a1 = phase + (i + 0.84) * 2 * math.pi / spokes
        arc_out = [(cx + r_in * math.cos(a0 + (a1 - a0) * j / 20),
                    cy + r_in * math.sin(a0 + (a1 - a0) * j / 20)) for j in range(21)]
        arc_in = [(cx + r_hub * 1.25 * math.cos(a1 - (a1 - a0) * j / 20),
                   cy + r_hub * 1.25 * math.sin(a1 - (a1 - a0) * j / 20)) for j in range(21)]
        pen.polygon(arc_out + arc_in, fill=(0, 0, 0, 0), outline=dark, width=4)
    pen.circle(cx, cy, r_hub, fill=light, outline=dark, width=4)
    pen.circle(cx, cy, r_hub * 0.45, fill=(0, 0, 0, 0), outline=dark, width=4)


def draw_roue():
    W, H = 600, 650
    img = Image.new("RGBA", (W * SS, H * SS), (0, 0, 0, 0))
    pen = Pen(img, SS)
    big = (235, 245, 16, 222, 184)
    small = (435, 505, 10, 132, 100)
    # Mesh them: rotate the small wheel so a gap faces the big wheel's tooth.
    ang = math.atan2(small[1] - big[1], small[0] - big[0])
    big_phase = ang - 0.44 * 2 * math.pi / big[2]
    small_phase = ang + math.pi - 0.94 * 2 * math.pi / small[2]
    draw_gear(pen, big[0], big[1], big[2], big[3], big[4], big_phase, 6)
    draw_gear(pen, small[0], small[1], small[2], small[3], small[4], small_phase, 5)
    out = downsample(img, (W, H))
    save_png(out, "roue.png")


def draw_printer():
    S = 256
    img = Image.new("RGBA", (S * SS, S * SS), (0, 0, 0, 0))
    pen = Pen(img, SS)
    edge = (60, 64, 72, 255)
    # Paper going in at the back.
    pen.rect(64, 18, 192, 110, fill=(255, 255, 255, 255), outline=(150, 150, 150, 255), width=3)
    for y in (40, 56, 72):
        pen.line([(80, y), (176, y)], (170, 180, 200, 255), 3)
    # The body.
    pen.rect(18, 96, 238, 196, fill=(196, 200, 208, 255), outline=edge, width=5, radius=16)
    pen.rect(18, 96, 238, 124, fill=(224, 227, 232, 255), outline=edge, width=5, radius=14)
    pen.circle(206, 146, 8, fill=(60, 200, 80, 255), outline=(30, 100, 40, 255), width=2)
    pen.rect(176, 164, 222, 174, fill=(140, 146, 156, 255), radius=4)
    # Output slot and printed sheet.
    pen.rect(54, 176, 202, 190, fill=(50, 54, 60, 255), radius=4)
    pen.polygon([(66, 184), (190, 184), (200, 240), (56, 240)], fill=(255, 255, 255, 255),
                outline=(150, 150, 150, 255), width=3)
    for i, y in enumerate((200, 212, 224)):
        pen.line([(76 - i * 2, y), (180 + i * 2, y)], (40, 40, 40, 255), 3)
    out = downsample(img, (S, S))
    save_png(out, "printer.png")


def draw_blason_cie():
    W, H = 750, 1000
    img = Image.new("RGBA", (W * SS, H * SS), (0, 0, 0, 0))
    pen = Pen(img, SS)
    ink = (34, 30, 28, 255)
    # The painted scene in an arched frame.
    frame = [(70, 470), (70, 260)] + bezier((70, 260), (70, 40), (680, 40), (680, 260)) + \
            [(680, 470)]
    pen.polygon(frame, fill=(150, 200, 238, 255))
    pen.polygon([(70, 380)] + bezier((70, 380), (250, 330), (480, 360), (680, 345))
                + [(680, 470), (70, 470)], fill=(92, 160, 70, 255))
    pen.circle(440, 150, 32, fill=(255, 214, 70, 255))
    # The house.
    pen.rect(160, 270, 380, 420, fill=(238, 222, 190, 255), outline=ink, width=4)
    pen.polygon([(135, 280), (270, 170), (405, 280)], fill=(190, 60, 40, 255),
                outline=ink, width=4)
    pen.rect(320, 180, 348, 235, fill=(150, 70, 50, 255), outline=ink, width=3)
    pen.rect(245, 335, 295, 420, fill=(120, 70, 35, 255), outline=ink, width=3)
    for x in (180, 315):
        pen.rect(x, 300, x + 45, 345, fill=(170, 210, 240, 255), outline=ink, width=3)
        pen.line([(x + 22.5, 300), (x + 22.5, 345)], ink, 2)
        pen.line([(x, 322.5), (x + 45, 322.5)], ink, 2)
    # The tree.
    pen.rect(532, 320, 556, 430, fill=(110, 70, 36, 255), outline=ink, width=3)
    for cx, cy, r in ((544, 250, 70), (505, 290, 48), (585, 292, 50), (544, 305, 50)):
        pen.circle(cx, cy, r, fill=(50, 125, 50, 255))
    pen.circle(544, 250, 70, outline=(30, 80, 30, 255), width=3)
    pen.polygon(frame, outline=ink, width=8)

    # The target with two crossed arrows through it.
    cx, cy, r = 375, 655, 165
    target(pen, cx, cy, r, FITA, outline=ink, line_w=3)
    for head, tail in (((190, 490), (575, 833)), ((560, 490), (175, 833))):
        arrow(pen, tail, head, ink, ink, (200, 40, 40, 255), width=9, head_len=44, head_w=20)

    # The band of lettering.
    band_top, band_bot = 858, 950
    pen.polygon([(20, band_top + 20), (80, band_top), (80, band_bot), (20, band_bot + 20),
                 (45, (band_top + band_bot) / 2 + 10)], fill=(120, 20, 30, 255),
                outline=ink, width=3)
    pen.polygon([(730, band_top + 20), (670, band_top), (670, band_bot), (730, band_bot + 20),
                 (705, (band_top + band_bot) / 2 + 10)], fill=(120, 20, 30, 255),
                outline=ink, width=3)
    pen.rect(60, band_top, 690, band_bot, fill=(176, 28, 36, 255), outline=ink, width=4)
    pen.text(375, (band_top + band_bot) / 2, "COMPAGNIE D'ARC", 54, (255, 240, 200, 255),
             max_width=590, serif=True)
    out = downsample(img, (W, H))
    save_png(out, "blasonCIE.png")


def draw_blason():
    save_png(draw_crest((241, 297)), "blason.png")


def draw_blason_fili():
    """The crest faded almost to white, flattened to RGB without alpha."""
    size = (624, 682)
    crest = draw_crest(size)
    white = Image.new("RGBA", size, (255, 255, 255, 255))
    flat = Image.alpha_composite(white, crest).convert("RGB")
    faded = Image.blend(Image.new("RGB", size, (255, 255, 255)), flat, 0.16)
    save_png(faded, "blason_Orvan_fili.png")


def save_png(img, name):
    """Writes 8-bit RGBA or RGB with no row filters: a little larger than an
    optimised file, but about twice as fast to decode when the window starts."""
    mode = {"RGBA": 6, "RGB": 2}[img.mode]
    w, h = img.size
    raw, stride = img.tobytes(), w * len(img.mode)
    rows = b"".join(b"\x00" + raw[y * stride:(y + 1) * stride] for y in range(h))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    with open(os.path.join(OUT, name), "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, mode, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def write_ico(path, img):
    """Windows ICO, one image, 32 bpp uncompressed BMP (XOR BGRA + 1-bit AND mask)."""
    img = img.convert("RGBA")
    w, h = img.size
    assert w <= 256 and h <= 256
    xor = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    px = img.load()
    for y in range(h - 1, -1, -1):  # bottom-up
        row_mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    data = bih + bytes(xor) + bytes(mask)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + data)


def draw_orvan_ico():
    write_ico(os.path.join(OUT, "orvan.ico"), draw_crest((200, 256)))


def main():
    draw_carte_beursault()
    draw_disquette()
    draw_roue()
    draw_blason_fili()
    draw_orvan_ico()
    draw_printer()
    draw_blason_cie()
    draw_blason()
    for name in sorted(os.listdir(OUT)):
        if name.endswith((".png", ".jpg", ".ico")):
            print("%-24s %8d bytes" % (name, os.path.getsize(os.path.join(OUT, name))))


if __name__ == "__main__":
    main()
