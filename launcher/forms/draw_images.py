# Generates the launcher's artwork next to this script.
#
# Everything is drawn here from simple shapes so the images can be rebuilt at
# any time with a plain Python 3 (standard library only):
#
#     python3 draw_images.py
#
# toolbar.bmp  120 x 20, 24-bit, six 20 x 20 buttons, magenta (255,0,255) is
#              the transparent colour (ImageList_AddMasked); toolbar125.bmp,
#              toolbar150.bmp, toolbar175.bmp and toolbar200.bmp the same drawn
#              for 125 %, 150 %, 175 % and 200 % display scale (25, 30, 35, 40).
# pOv.ico      program icon, 32-bit BGRA with alpha, 32, 16, 20, 24, 40, 48, 64
#              and 256 pixels (the largest as PNG).
# logo.bmp     400 x 90, 8-bit palette, product mark for the options dialog;
#              logo150.bmp (600 x 135) and logo200.bmp (800 x 180) for 150 % and
#              200 %.

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------------------
# Shapes: functions (x, y) -> bool, in pixel units, y grows downwards.
# A pixel (px, py) covers the square [px, px+1) x [py, py+1).
# ---------------------------------------------------------------------------

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rrect(x0, y0, x1, y1, r):
    """Rounded rectangle with corner radius r."""
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def segment(ax, ay, bx, by, hw):
    """Thick line from a to b with half width hw and round ends."""
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy

    def inside(x, y):
        t = ((x - ax) * vx + (y - ay) * vy) / ll
        t = min(1.0, max(0.0, t))
        dx, dy = x - (ax + t * vx), y - (ay + t * vy)
        return dx * dx + dy * dy <= hw * hw
    return inside


def polygon(pts):
    """Even-odd polygon fill."""
    def inside(x, y):
        res = False
        n = len(pts)
        for i in range(n):
            x1, y1 = pts[i]
            x2, y2 = pts[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                xi = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
                if x < xi:
                    res = not res
        return res
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def clip(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# ---------------------------------------------------------------------------
# Canvas with straight (non-premultiplied) RGBA floats in 0..1.
# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        bg = tuple(c / 255.0 for c in bg[:3]) + ((bg[3] / 255.0) if len(bg) > 3 else 1.0,)
        self.px = [list(bg) for _ in range(w * h)]

    def set(self, x, y, rgb, a=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = [rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0, a]

    def blend(self, x, y, rgb, a):
        """Source-over compositing of colour rgb (0..255) with coverage a."""
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        d = self.px[y * self.w + x]
        oa = a + d[3] * (1.0 - a)
        if oa <= 0.0:
            return
        for i in range(3):
            d[i] = (rgb[i] / 255.0 * a + d[i] * d[3] * (1.0 - a)) / oa
        d[3] = oa

    def paint(self, shape, colour, box=None, ss=4, levels=None):
        """Fill a shape, anti-aliased with ss x ss samples per pixel.

        colour is an (r, g, b) tuple or a function (x, y) -> (r, g, b).
        levels, when given, rounds the coverage to that many steps (keeps
        the number of distinct colours down for palette images).
        """
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        offs = [(i + 0.5) / ss for i in range(ss)]
        for py in range(y0, y1):
            for px in range(x0, x1):
                hit = 0
                for oy in offs:
                    for ox in offs:
                        if shape(px + ox, py + oy):
                            hit += 1
                if not hit:
                    continue
                a = hit / float(ss * ss)
                if levels:
                    a = round(a * levels) / float(levels)
                c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                self.blend(px, py, c, a)

    def rgba8(self, x, y):
        p = self.px[y * self.w + x]
        return tuple(int(round(min(1.0, max(0.0, v)) * 255)) for v in p)


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------

def bmp_headers(w, h, bpp, data_size, palette_size=0):
    offset = 14 + 40 + palette_size * 4
    fh = struct.pack('<2sIHHI', b'BM', offset + data_size, 0, 0, offset)
    ih = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, 0, data_size,
                     2835, 2835, palette_size, 0)
    return fh + ih


def write_bmp24(path, cv):
    """24-bit bottom-up BMP; fully transparent pixels become magenta."""
    stride = (cv.w * 3 + 3) & ~3
    rows = []
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            r, g, b, a = cv.rgba8(x, y)
            if a < 128:
                r, g, b = MAGENTA
            row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    data = b''.join(rows)
    with open(path, 'wb') as f:
        f.write(bmp_headers(cv.w, cv.h, 24, len(data)) + data)


def write_bmp8(path, cv):
    """8-bit palette BMP.  The canvas must be opaque.

    The most frequent colours are kept exactly; should there ever be more
    than 256, the rare ones (edge pixels) go to the nearest kept colour.
    """
    pix = [cv.rgba8(x, y)[:3] for y in range(cv.h) for x in range(cv.w)]
    count = {}
    for p in pix:
        count[p] = count.get(p, 0) + 1
    pal = sorted(count, key=lambda c: (-count[c], c))[:256]
    index = {c: i for i, c in enumerate(pal)}
    for c in count:
        if c not in index:
            index[c] = min(range(len(pal)), key=lambda i: sum(
                (pal[i][k] - c[k]) ** 2 for k in range(3)))
    stride = (cv.w + 3) & ~3
    rows = []
    for y in range(cv.h - 1, -1, -1):
        row = bytes(index[pix[y * cv.w + x]] for x in range(cv.w))
        rows.append(row + b'\0' * (stride - cv.w))
    data = b''.join(rows)
    palette = b''.join(struct.pack('<BBBB', c[2], c[1], c[0], 0) for c in pal)
    palette += b'\0' * (4 * (256 - len(pal)))
    with open(path, 'wb') as f:
        f.write(bmp_headers(cv.w, cv.h, 8, len(data), 256) + palette + data)
    return len(count)


def ico_image(cv):
    """BITMAPINFOHEADER + BGRA rows (bottom-up) + 1-bit AND mask."""
    xor = bytearray()
    mask = bytearray()
    mstride = ((cv.w + 31) // 32) * 4
    for y in range(cv.h - 1, -1, -1):
        bits = bytearray(mstride)
        for x in range(cv.w):
            r, g, b, a = cv.rgba8(x, y)
            if a == 0:
                r = g = b = 0
                bits[x >> 3] |= 0x80 >> (x & 7)
            xor += bytes((b, g, r, a))
        mask += bits
    hdr = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h * 2, 1, 32, 0,
                      len(xor) + len(mask), 0, 0, 0, 0)
    return hdr + bytes(xor) + bytes(mask)


def png_image(cv):
    """The canvas as a PNG file (8-bit RGBA, no filtering)."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    raw = bytearray()
    for y in range(cv.h):
        raw.append(0)
        for x in range(cv.w):
            raw += bytes(cv.rgba8(x, y))
    ihdr = struct.pack('>IIBBBBB', cv.w, cv.h, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def write_ico(path, canvases):
    # The 256-pixel image goes as PNG, as icon files hold it.
    images = [png_image(cv) if cv.w >= 256 else ico_image(cv) for cv in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, img in zip(canvases, images):
        out += struct.pack('<BBBBHHII', cv.w & 0xFF, cv.h & 0xFF, 0, 0, 1, 32,
                           len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


# ---------------------------------------------------------------------------
# Toolbar: six 20 x 20 buttons, crisp pixels with a 1 px dark outline
# ---------------------------------------------------------------------------

CELL = 20


class Strip:
    """A toolbar strip drawn at a display scale: shapes and lines keep the
    coordinates of the 20 x 20 design and are placed on cells of
    round(20 * scale) pixels; outlines grow with the scale."""

    def __init__(self, scale):
        self.s = scale
        self.cell = int(round(CELL * scale))
        self.edge = max(1, int(round(scale)))
        self.cv = Canvas(6 * self.cell, self.cell, MAGENTA + (0,))

    def outlined(self, index, shape, fill, edge):
        """Fill shape (design coordinates, sampled at pixel centres) inside
        cell number `index`, with an outline self.edge pixels wide."""
        n, s, e = self.cell, self.s, self.edge
        inside = [[shape((x + 0.5) / s, (y + 0.5) / s) for x in range(n)] for y in range(n)]

        def on(x, y):
            return 0 <= x < n and 0 <= y < n and inside[y][x]

        for y in range(n):
            for x in range(n):
                if not inside[y][x]:
                    continue
                border = not all(on(x + dx, y + dy)
                                 for d in range(1, e + 1)
                                 for dx, dy in ((-d, 0), (d, 0), (0, -d), (0, d)))
                self.cv.set(index * n + x, y, edge if border else fill)

    def block(self, index, x0, y0, x1, y1, rgb):
        """Design pixels x0..x1, y0..y1 (inclusive) of cell `index`."""
        s = self.s
        for y in range(int(round(y0 * s)), int(round((y1 + 1) * s))):
            for x in range(int(round(x0 * s)), int(round((x1 + 1) * s))):
                self.cv.set(index * self.cell + x, y, rgb)

    def hline(self, index, x0, x1, y, rgb):
        self.block(index, x0, y, x1, y, rgb)

    def vline(self, index, x, y0, y1, rgb):
        self.block(index, x, y0, x, y1, rgb)


ARROW_FILL, ARROW_EDGE = (58, 128, 214), (22, 52, 112)
GRID_FILL, GRID_EDGE = (150, 190, 240), (28, 62, 124)
PAGE_FILL, PAGE_EDGE, PAGE_LINES = (255, 255, 255), (88, 92, 100), (170, 176, 186)
PLUS_FILL, PLUS_EDGE = (52, 176, 72), (20, 92, 34)
CROSS_FILL, CROSS_EDGE = (222, 52, 48), (118, 18, 18)
GEAR_FILL, GEAR_EDGE = (158, 164, 176), (58, 62, 72)


def draw_toolbar(scale=1):
    st = Strip(scale)

    # 0: previous page, 1: next page
    left = polygon([(2, 10), (10, 2), (10, 7), (18, 7), (18, 13), (10, 13), (10, 18)])
    st.outlined(0, left, ARROW_FILL, ARROW_EDGE)
    st.outlined(1, lambda x, y: left(CELL - x, y), ARROW_FILL, ARROW_EDGE)

    # 2: view style, 2 x 2 tiles
    tiles = union(rect(3, 3, 9, 9), rect(11, 3, 17, 9),
                  rect(3, 11, 9, 17), rect(11, 11, 17, 17))
    st.outlined(2, tiles, GRID_FILL, GRID_EDGE)

    # 3: add, a page with a dog-ear and a green plus
    page = polygon([(3, 2), (11, 2), (15, 6), (15, 18), (3, 18)])
    st.outlined(3, page, PAGE_FILL, PAGE_EDGE)
    st.vline(3, 10, 3, 6, PAGE_EDGE)
    st.hline(3, 10, 14, 6, PAGE_EDGE)
    for y in (5, 8):
        st.hline(3, 5, 8, y, PAGE_LINES)
    st.hline(3, 5, 8, 11, PAGE_LINES)
    plus = union(rect(8, 11, 18, 15), rect(11, 8, 15, 18))
    st.outlined(3, plus, PLUS_FILL, PLUS_EDGE)

    # 4: delete, a red cross
    cross = union(segment(5, 5, 15, 15, 2.3), segment(15, 5, 5, 15, 2.3))
    st.outlined(4, cross, CROSS_FILL, CROSS_EDGE)

    # 5: settings, a gear with eight teeth
    def gear(x, y):
        dx, dy = x - 10.0, y - 10.0
        r = math.hypot(dx, dy)
        if r < 2.5:
            return False
        if r <= 6.0:
            return True
        if r > 8.2:
            return False
        for k in range(8):
            ang = k * math.pi / 4 + math.pi / 8
            ux, uy = math.cos(ang), math.sin(ang)
            if abs(-dx * uy + dy * ux) <= 1.7 and dx * ux + dy * uy > 0:
                return True
        return False
    st.outlined(5, gear, GEAR_FILL, GEAR_EDGE)

    return st.cv


# ---------------------------------------------------------------------------
# Product mark: a rounded blue tile holding a 2 x 2 grid of app tiles,
# the bottom right one in orange.
# ---------------------------------------------------------------------------

TILE_TOP = (46, 112, 214)
TILE_BOTTOM = (20, 62, 156)
TILE_RIM = (12, 38, 100)
CELL_LIGHT = (228, 238, 255)
CELL_ACCENT = (255, 168, 36)


def mark(cv, x0, y0, size, radius, rim, margin, cell, gap, cell_radius,
         steps=None, levels=None):
    x1, y1 = x0 + size, y0 + size
    box = (x0, y0, x1, y1)

    def grad(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(size)))
        if steps:
            t = round(t * steps) / float(steps)
        return tuple(int(round(a + (b - a) * t)) for a, b in zip(TILE_TOP, TILE_BOTTOM))

    cv.paint(rrect(x0, y0, x1, y1, radius), TILE_RIM, box, levels=levels)
    cv.paint(rrect(x0 + rim, y0 + rim, x1 - rim, y1 - rim, radius - rim), grad,
             box, levels=levels)
    for j in range(2):
        for i in range(2):
            cx = x0 + margin + i * (cell + gap)
            cy = y0 + margin + j * (cell + gap)
            colour = CELL_ACCENT if (i, j) == (1, 1) else CELL_LIGHT
            if cell_radius > 0:
                s = rrect(cx, cy, cx + cell, cy + cell, cell_radius)
            else:
                s = rect(cx, cy, cx + cell, cy + cell)
            cv.paint(s, colour, (cx, cy, cx + cell, cy + cell), levels=levels)


def draw_icon(size):
    """The small design up to 24 pixels, the large one above, each scaled
    from the size it was drawn for (16 and 32)."""
    cv = Canvas(size, size)
    if size < 28:
        k = size / 16.0
        mark(cv, k, k, 14 * k, 3.0 * k, max(1, int(round(k))), 2 * k, 4 * k, 2 * k, 0)
    else:
        k = size / 32.0
        mark(cv, k, k, 30 * k, 6.0 * k, max(1, int(round(k))), 4 * k, 9 * k, 4 * k, 1.5 * k)
    return cv


# ---------------------------------------------------------------------------
# Logo: gradient band, the mark, and "Orvanta" in geometric letters
# ---------------------------------------------------------------------------

TEXT_COLOUR = (24, 60, 140)
BAND_LEFT = (20, 62, 156)
BAND_RIGHT = (96, 176, 240)

STROKE = 5
XH = 20          # x-height
CAP = 28         # height of the capital O


def ring(cx, cy, ro, ri):
    return minus(circle(cx, cy, ro), circle(cx, cy, ri))


def letter_O(x, base):
    cy = base - CAP / 2.0
    s = minus(ellipse(x + 13, cy, 13, CAP / 2.0),
              ellipse(x + 13, cy, 13 - STROKE, CAP / 2.0 - STROKE))
    return s, 26


def letter_r(x, base):
    stem = rect(x, base - XH, x + STROKE, base)
    cx, cy = x + 14, base - XH / 2.0
    shoulder = clip(ring(cx, cy, XH / 2.0, XH / 2.0 - STROKE),
                    lambda px, py: py < cy and px < cx + 3)
    return union(stem, shoulder), 17


def letter_v(x, base):
    w = 22
    top = base - XH - 4
    arms = union(segment(x + 2.6, top, x + w / 2.0, base, 2.7),
                 segment(x + w - 2.6, top, x + w / 2.0, base, 2.7))
    return clip(arms, rect(x - 1, base - XH, x + w + 1, base)), w


def letter_a(x, base):
    r = XH / 2.0
    bowl = ring(x + r, base - r, r, r - STROKE)
    stem = rect(x + XH - STROKE, base - XH, x + XH, base)
    return union(bowl, stem), XH


def letter_n(x, base):
    r = XH / 2.0
    arch = clip(ring(x + r, base - r, r, r - STROKE), lambda px, py: py < base - r)
    return union(rect(x, base - XH, x + STROKE, base), arch,
                 rect(x + XH - STROKE, base - r, x + XH, base)), XH


def letter_t(x, base):
    stem = rect(x + 3, base - CAP + 2, x + 3 + STROKE, base)
    bar = rect(x, base - XH, x + 12, base - XH + 4)
    return union(stem, bar), 12


def draw_logo(scale=1):
    s = scale
    w, h = int(round(400 * s)), int(round(90 * s))
    cv = Canvas(w, h, WHITE)

    # band along the top
    steps = 48
    for x in range(w):
        t = round(x / float(w - 1) * steps) / steps
        c = tuple(int(round(a + (b - a) * t)) for a, b in zip(BAND_LEFT, BAND_RIGHT))
        for y in range(int(round(5 * s))):
            cv.set(x, y, c)

    # the mark, 60 x 60
    mark(cv, 16 * s, 16 * s, 60 * s, 12.0 * s, 2 * s, 9 * s, 18 * s, 6 * s, 3.0 * s,
         steps=12, levels=8)

    # the word, kept above y = 45 (the dialog writes its texts below it)
    base = 43
    x = 92
    for i, fn in enumerate((letter_O, letter_r, letter_v, letter_a,
                            letter_n, letter_t, letter_a)):
        shape, adv = fn(x, base)
        box = (x - 2, base - CAP - 1, x + adv + 2, base + 1)
        if s == 1:
            cv.paint(shape, TEXT_COLOUR, box, levels=8)
        else:
            cv.paint((lambda f: lambda px, py: f(px / s, py / s))(shape), TEXT_COLOUR,
                     tuple(v * s for v in box), levels=8)
        x += adv + (5 if i == 0 else 4)
    return cv


def main():
    write_bmp24(os.path.join(HERE, 'toolbar.bmp'), draw_toolbar())
    for percent in (125, 150, 175, 200):
        write_bmp24(os.path.join(HERE, 'toolbar%d.bmp' % percent), draw_toolbar(percent / 100.0))
    write_ico(os.path.join(HERE, 'pOv.ico'),
              [draw_icon(n) for n in (32, 16, 20, 24, 40, 48, 64, 256)])
    for name, scale in (('logo.bmp', 1), ('logo150.bmp', 1.5), ('logo200.bmp', 2)):
        n = write_bmp8(os.path.join(HERE, name), draw_logo(scale))
        if n > 256:
            print('%s: %d colours reduced to 256' % (name, n))


if __name__ == '__main__':
    main()
