#!/usr/bin/env python3
"""Writes the metafile samples record by record, shaped like files that drawing programs save.

Usage: python3 tools/make_metafile_samples.py OUTPUT_DIR

Every picture is 320 x 240 pixels at 96 DPI so that the reference renderings line up.
"""

import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 320, 240
HIMETRIC_PER_PIXEL = 2540 / 96

# Colours as COLORREF values (0x00BBGGRR).
def rgb(r, g, b):
    return r | (g << 8) | (b << 16)

BLACK, WHITE = rgb(0, 0, 0), rgb(255, 255, 255)
BLUE, RED, YELLOW = rgb(0, 0, 255), rgb(255, 0, 0), rgb(255, 255, 0)
GREEN, MAGENTA, DARK_GREEN = rgb(0, 160, 0), rgb(200, 0, 200), rgb(0, 100, 0)

PS_SOLID, PS_DASH, PS_NULL, PS_GEOMETRIC = 0, 1, 5, 0x10000
BS_SOLID, BS_HATCHED = 0, 2
HS_DIAGCROSS = 5
TRANSPARENT = 1
MM_ANISOTROPIC = 8
SRCCOPY = 0x00CC0020
BOLD_ADVANCE = {"P": 667, "I": 278, "K": 722, "U": 722, "T": 611, "A": 722}


def checker_dib():
    """A 4 x 4 red/blue checkerboard as a 24-bit bottom-up DIB: BITMAPINFOHEADER and bits."""
    w = h = 4
    rows = []
    for y in range(h):
        row = b""
        for x in range(w):
            row += bytes((255, 0, 0)) if (x + y) % 2 else bytes((0, 0, 255))  # BGR
        rows.append(row + b"\0" * ((-len(row)) % 4))
    bits = b"".join(reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(bits), 3780, 3780, 0, 0)
    return info, bits, w, h


def utf16(text):
    data = text.encode("utf-16-le")
    return data + b"\0" * ((-len(data)) % 4)


class Emf:
    """Collects EMF records; the header is written last because it counts them."""

    def __init__(self, bounds, frame, description):
        self.bounds, self.frame = bounds, frame
        self.description = description
        self.records = []
        self.handles = 1

    def record(self, kind, payload=b""):
        payload += b"\0" * ((-len(payload)) % 4)
        self.records.append(struct.pack("<II", kind, 8 + len(payload)) + payload)

    def new_handle(self):
        self.handles += 1
        return self.handles - 1

    def pen(self, style, width, color):
        h = self.new_handle()
        self.record(38, struct.pack("<IIiiI", h, style, width, 0, color))
        return h

    def geometric_pen(self, width, color):
        """Pens made with ExtCreatePen are recorded with their brush attributes."""
        h = self.new_handle()
        self.record(95, struct.pack("<IIIIIIIIIII", h, 0, 0, 0, 0, PS_GEOMETRIC, width,
                                    BS_SOLID, color, 0, 0))
        return h

    def brush(self, style, color, hatch=0):
        h = self.new_handle()
        self.record(39, struct.pack("<IIII", h, style, color, hatch))
        return h

    def font(self, height, face, escapement=0, weight=400):
        h = self.new_handle()
        logfont = struct.pack("<iiiiiBBBBBBBB", -height, 0, escapement, escapement, weight,
                              0, 0, 0, 0, 0, 0, 4, 0)
        logfont += face.encode("utf-16-le").ljust(64, b"\0")
        full_name = face.encode("utf-16-le").ljust(128, b"\0")
        style = "Regular".encode("utf-16-le").ljust(64, b"\0")
        panose = struct.pack("<IIIIII", 0, 0, 0, 0, 0, 0) + b"\0" * 12
        self.record(82, struct.pack("<I", h) + logfont + full_name + style + panose)
        return h

    def select(self, handle):
        self.record(37, struct.pack("<I", handle))

    def delete(self, handle):
        self.record(40, struct.pack("<I", handle))

    def box(self, kind, l, t, r, b, extra=b""):
        self.record(kind, struct.pack("<iiii", l, t, r, b) + extra)

    def poly16(self, kind, points):
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        payload = struct.pack("<iiiiI", min(xs), min(ys), max(xs), max(ys), len(points))
        payload += b"".join(struct.pack("<hh", *p) for p in points)
        self.record(kind, payload)

    def move_to(self, x, y):
        self.record(27, struct.pack("<ii", x, y))

    def line_to(self, x, y):
        self.record(54, struct.pack("<ii", x, y))

    def text(self, x, y, text, height, bounds):
        """Writers store each character's advance; these are the bold sans-serif widths."""
        off_string = 76
        off_dx = off_string + len(utf16(text))
        advances = [round(BOLD_ADVANCE.get(c, 600) * height / 1000) for c in text]
        payload = struct.pack("<iiiiIff", *bounds, 1, 0.0, 0.0)
        payload += struct.pack("<iiIIIiiiiI", x, y, len(text), off_string, 0, 0, 0, -1, -1, off_dx)
        payload += utf16(text) + b"".join(struct.pack("<I", a) for a in advances)
        self.record(84, payload)

    def stretch_dib(self, l, t, w, h, bounds):
        info, bits, sw, sh = checker_dib()
        payload = struct.pack("<iiii", *bounds)
        payload += struct.pack("<iiiiii", l, t, 0, 0, sw, sh)
        payload += struct.pack("<IIIIIIii", 80, len(info), 80 + len(info), len(bits), 0, SRCCOPY, w, h)
        self.record(81, payload + info + bits)

    def build(self):
        self.record(14, struct.pack("<III", 0, 0, 20))
        desc = utf16(self.description)
        header_size = 108 + len(desc)
        total = header_size + sum(len(r) for r in self.records)
        header = struct.pack("<II", 1, header_size)
        header += struct.pack("<iiii", *self.bounds) + struct.pack("<iiii", *self.frame)
        header += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, total, len(self.records) + 1,
                              self.handles, 0, len(self.description),
                              108 if self.description else 0, 0)
        header += struct.pack("<iiii", 1920, 1080, 508, 286)
        header += struct.pack("<IIIii", 0, 0, 0, 508000, 285750)
        return header + desc + b"".join(self.records)


def pixel_frame(w, h):
    return (0, 0, round(w * HIMETRIC_PER_PIXEL), round(h * HIMETRIC_PER_PIXEL))


def draw_emf_shapes(emf, s):
    """The common drawing; s scales logical units to pixels."""
    null_pen = emf.pen(PS_NULL, 0, 0)
    white = emf.brush(BS_SOLID, WHITE)
    emf.select(null_pen)
    emf.select(white)
    emf.box(43, 0, 0, WIDTH * s, HEIGHT * s)
    emf.select(emf.pen(PS_SOLID, 3 * s, BLUE))
    emf.select(emf.brush(BS_SOLID, YELLOW))
    emf.box(43, 16 * s, 16 * s, 136 * s, 96 * s)
    emf.select(emf.pen(PS_SOLID, 2 * s, RED))
    emf.select(emf.brush(BS_SOLID, GREEN))
    emf.box(42, 168 * s, 16 * s, 304 * s, 104 * s)
    emf.select(emf.pen(PS_SOLID, 1 * s, BLACK))
    emf.select(emf.brush(BS_SOLID, MAGENTA))
    emf.poly16(86, [(24 * s, 224 * s), (80 * s, 120 * s), (136 * s, 224 * s)])
    emf.select(emf.pen(PS_SOLID, 4 * s, DARK_GREEN))
    emf.move_to(160 * s, 124 * s)
    emf.line_to(304 * s, 124 * s)
    emf.move_to(160 * s, 224 * s)
    emf.line_to(216 * s, 168 * s)
    emf.record(18, struct.pack("<I", TRANSPARENT))
    emf.record(24, struct.pack("<I", BLACK))
    emf.record(22, struct.pack("<I", 0))
    emf.select(emf.font(28 * s, "Arial", weight=700))
    emf.text(168 * s, 132 * s, "PIKUTA", 28 * s, (168, 132, 300, 164))
    emf.stretch_dib(232 * s, 168 * s, 64 * s, 56 * s, (232, 168, 295, 223))


def shapes_emf():
    emf = Emf((0, 0, WIDTH - 1, HEIGHT - 1), pixel_frame(WIDTH, HEIGHT), "PIKUTA\0shapes\0\0")
    draw_emf_shapes(emf, 1)
    return emf.build()


def scaled_emf():
    """Logical units twenty times finer than pixels, mapped by window and viewport extents."""
    emf = Emf((0, 0, WIDTH - 1, HEIGHT - 1), pixel_frame(WIDTH, HEIGHT), "PIKUTA\0scaled\0\0")
    emf.record(17, struct.pack("<I", MM_ANISOTROPIC))
    emf.record(9, struct.pack("<ii", WIDTH * 20, HEIGHT * 20))  # SETWINDOWEXTEX
    emf.record(11, struct.pack("<ii", WIDTH, HEIGHT))  # SETVIEWPORTEXTEX
    draw_emf_shapes(emf, 20)
    return emf.build()


def noframe_emf():
    """No frame in the header: the picture's size comes from its bounds."""
    emf = Emf((0, 0, 199, 99), (0, 0, 0, 0), "")
    emf.select(emf.pen(PS_SOLID, 2, BLUE))
    emf.select(emf.brush(BS_SOLID, YELLOW))
    emf.box(43, 0, 0, 200, 100)
    emf.select(emf.brush(BS_SOLID, RED))
    emf.box(42, 60, 20, 140, 80)
    return emf.build()


def margins_emf():
    """The frame is the whole page; the ink, and so the bounds, only its middle."""
    emf = Emf((80, 60, 239, 179), pixel_frame(WIDTH, HEIGHT), "PIKUTA\0margins\0\0")
    emf.select(emf.pen(PS_NULL, 0, 0))
    emf.select(emf.brush(BS_SOLID, RED))
    emf.box(43, 80, 60, 240, 180)
    return emf.build()


def features_emf():
    """Drawing features beyond plain shapes, to find out what the renderer leaves out."""
    emf = Emf((0, 0, WIDTH - 1, HEIGHT - 1), pixel_frame(WIDTH, HEIGHT), "PIKUTA\0features\0\0")
    emf.select(emf.pen(PS_NULL, 0, 0))
    emf.select(emf.brush(BS_SOLID, WHITE))
    emf.box(43, 0, 0, WIDTH, HEIGHT)
    # Clipping: the ellipse must be cut to the left half.
    emf.record(33)  # SAVEDC
    emf.box(30, 10, 10, 60, 90)  # INTERSECTCLIPRECT
    emf.select(emf.brush(BS_SOLID, RED))
    emf.box(42, 10, 10, 110, 90)
    emf.record(34, struct.pack("<i", -1))  # RESTOREDC
    # Hatched brush and dashed pen.
    emf.select(emf.pen(PS_DASH, 1, BLACK))
    emf.select(emf.brush(BS_HATCHED, BLUE, HS_DIAGCROSS))
    emf.box(43, 120, 10, 200, 90)
    # Rounded rectangle, pie, chord, arc.
    emf.select(emf.pen(PS_SOLID, 2, BLACK))
    emf.select(emf.brush(BS_SOLID, YELLOW))
    emf.box(44, 210, 10, 310, 90, struct.pack("<ii", 30, 30))
    emf.box(47, 10, 100, 90, 180, struct.pack("<iiii", 90, 140, 50, 100))
    emf.box(46, 100, 100, 180, 180, struct.pack("<iiii", 180, 140, 100, 140))
    emf.box(45, 190, 100, 270, 180, struct.pack("<iiii", 270, 140, 190, 140))
    # Bezier curve with a wide pen from ExtCreatePen.
    emf.select(emf.geometric_pen(3, MAGENTA))
    emf.poly16(85, [(10, 230), (60, 180), (110, 280), (160, 200)])
    # World transform: a square rotated by 30 degrees about (240, 210).
    emf.record(35, struct.pack("<ffffff", 0.8660254, 0.5, -0.5, 0.8660254, 240.0, 210.0))
    emf.select(emf.brush(BS_SOLID, GREEN))
    emf.box(43, -15, -15, 15, 15)
    emf.record(36, struct.pack("<ffffffI", 1, 0, 0, 1, 0, 0, 1))  # back to identity
    # Gradient: a rectangle from blue to red.
    vertices = struct.pack("<iiHHHH", 280, 190, 0, 0, 0xFF00, 0)
    vertices += struct.pack("<iiHHHH", 316, 236, 0xFF00, 0, 0, 0)
    emf.record(118, struct.pack("<iiiiIII", 280, 190, 316, 236, 2, 1, 0) + vertices
               + struct.pack("<II", 0, 1))
    return emf.build()


class Wmf:
    """Collects WMF records; object slots are reused the way the playing device does."""

    def __init__(self):
        self.records = []
        self.slots = []

    def record(self, function, *words, data=b""):
        payload = struct.pack("<%dh" % len(words), *words) + data
        payload += b"\0" * (len(payload) % 2)
        self.records.append(struct.pack("<IH", 3 + len(payload) // 2, function) + payload)

    def new_slot(self):
        if None in self.slots:
            i = self.slots.index(None)
        else:
            self.slots.append(None)
            i = len(self.slots) - 1
        self.slots[i] = True
        return i

    def pen(self, style, width, color):
        self.record(0x02FA, data=struct.pack("<HhhI", style, width, 0, color))
        return self.new_slot()

    def brush(self, style, color, hatch=0):
        self.record(0x02FC, data=struct.pack("<HIH", style, color, hatch))
        return self.new_slot()

    def font(self, height, face, escapement=0, weight=400):
        data = struct.pack("<hhhhhBBBBBBBB", -height, 0, escapement, escapement, weight,
                           0, 0, 0, 0, 0, 0, 4, 0)
        self.record(0x02FB, data=data + face.encode("ascii").ljust(32, b"\0"))
        return self.new_slot()

    def select(self, slot):
        self.record(0x012D, slot)

    def delete(self, slot):
        self.record(0x01F0, slot)
        self.slots[slot] = None

    def box(self, function, l, t, r, b, *before):
        self.record(function, *before, b, r, t, l)

    def polygon(self, points):
        self.record(0x0324, len(points), *[c for p in points for c in p])

    def text(self, x, y, text):
        data = text.encode("ascii")
        data += b"\0" * (len(data) % 2)
        self.record(0x0521, len(text), data=data + struct.pack("<hh", y, x))

    def stretch_dib(self, l, t, w, h):
        info, bits, sw, sh = checker_dib()
        self.records.append(struct.pack("<IHIHhhhhhhhh", 14 + (len(info) + len(bits)) // 2, 0x0F43,
                                        SRCCOPY, 0, sh, sw, 0, 0, h, w, t, l) + info + bits)

    def build(self, placeable=None):
        self.record(0x0000)
        body = b"".join(self.records)
        words = 9 + len(body) // 2
        max_record = max(struct.unpack_from("<I", r)[0] for r in self.records)
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, words, len(self.slots), max_record, 0)
        if placeable is None:
            return header + body
        left, top, right, bottom, inch = placeable
        head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0)
        checksum = 0
        for (word,) in struct.iter_unpack("<H", head):
            checksum ^= word
        return head + struct.pack("<H", checksum) + header + body


def draw_wmf_shapes(wmf, s):
    wmf.record(0x0103, MM_ANISOTROPIC)
    wmf.record(0x020B, 0, 0)  # SETWINDOWORG y, x
    wmf.record(0x020C, HEIGHT * s, WIDTH * s)  # SETWINDOWEXT y, x
    null_pen = wmf.pen(PS_NULL, 0, 0)
    white = wmf.brush(BS_SOLID, WHITE)
    wmf.select(null_pen)
    wmf.select(white)
    wmf.box(0x041B, 0, 0, WIDTH * s, HEIGHT * s)
    last = [wmf.pen(PS_SOLID, 3 * s, BLUE), wmf.brush(BS_SOLID, YELLOW)]
    for slot in last:
        wmf.select(slot)
    wmf.box(0x041B, 16 * s, 16 * s, 136 * s, 96 * s)
    # Programs delete what they no longer need, so later objects reuse the slots.
    wmf.select(null_pen)
    wmf.select(white)
    for slot in last:
        wmf.delete(slot)
    wmf.select(wmf.pen(PS_SOLID, 2 * s, RED))
    wmf.select(wmf.brush(BS_SOLID, GREEN))
    wmf.box(0x0418, 168 * s, 16 * s, 304 * s, 104 * s)
    wmf.select(wmf.pen(PS_SOLID, 1 * s, BLACK))
    wmf.select(wmf.brush(BS_SOLID, MAGENTA))
    wmf.polygon([(24 * s, 224 * s), (80 * s, 120 * s), (136 * s, 224 * s)])
    wmf.select(wmf.pen(PS_SOLID, 4 * s, DARK_GREEN))
    wmf.record(0x0214, 124 * s, 160 * s)  # MOVETO y, x
    wmf.record(0x0213, 124 * s, 304 * s)  # LINETO y, x
    wmf.record(0x0214, 224 * s, 160 * s)
    wmf.record(0x0213, 168 * s, 216 * s)
    wmf.record(0x0102, TRANSPARENT)
    wmf.record(0x0209, data=struct.pack("<I", BLACK))
    wmf.record(0x012E, 0)
    wmf.select(wmf.font(28 * s, "Arial", weight=700))
    wmf.text(168 * s, 132 * s, "PIKUTA")
    wmf.stretch_dib(232 * s, 168 * s, 64 * s, 56 * s)


def shapes_wmf():
    wmf = Wmf()
    draw_wmf_shapes(wmf, 1)
    return wmf.build()


def placeable_wmf():
    """Coordinates in twips, as word processors save them."""
    wmf = Wmf()
    draw_wmf_shapes(wmf, 15)
    return wmf.build((0, 0, WIDTH * 15, HEIGHT * 15, 1440))


def plain_wmf():
    """Device units with neither placeable header nor window: only playing it measures it."""
    wmf = Wmf()
    wmf.select(wmf.pen(PS_SOLID, 2, BLUE))
    wmf.select(wmf.brush(BS_SOLID, YELLOW))
    wmf.box(0x041B, 0, 0, 200, 150)
    wmf.select(wmf.brush(BS_SOLID, MAGENTA))
    wmf.polygon([(20, 130), (100, 20), (180, 130)])
    return wmf.build()


def features_wmf():
    s = 6  # 576 units per inch at 96 DPI
    wmf = Wmf()
    wmf.record(0x0103, MM_ANISOTROPIC)
    wmf.record(0x020B, 0, 0)
    wmf.record(0x020C, HEIGHT * s, WIDTH * s)
    wmf.select(wmf.pen(PS_NULL, 0, 0))
    wmf.select(wmf.brush(BS_SOLID, WHITE))
    wmf.box(0x041B, 0, 0, WIDTH * s, HEIGHT * s)
    wmf.record(0x001E)  # SAVEDC
    wmf.box(0x0416, 10 * s, 10 * s, 60 * s, 90 * s)  # INTERSECTCLIPRECT
    wmf.select(wmf.brush(BS_SOLID, RED))
    wmf.box(0x0418, 10 * s, 10 * s, 110 * s, 90 * s)
    wmf.record(0x0127, -1)  # RESTOREDC
    wmf.select(wmf.pen(PS_DASH, 1, BLACK))
    wmf.select(wmf.brush(BS_HATCHED, BLUE, HS_DIAGCROSS))
    wmf.box(0x041B, 120 * s, 10 * s, 200 * s, 90 * s)
    wmf.select(wmf.pen(PS_SOLID, 2 * s, BLACK))
    wmf.select(wmf.brush(BS_SOLID, YELLOW))
    wmf.box(0x061C, 210 * s, 10 * s, 310 * s, 90 * s, 30 * s, 30 * s)  # ROUNDRECT h, w
    wmf.box(0x081A, 10 * s, 100 * s, 90 * s, 180 * s, 100 * s, 50 * s, 140 * s, 90 * s)  # PIE
    wmf.box(0x0830, 100 * s, 100 * s, 180 * s, 180 * s, 140 * s, 100 * s, 140 * s, 180 * s)
    wmf.box(0x0817, 190 * s, 100 * s, 270 * s, 180 * s, 140 * s, 190 * s, 140 * s, 270 * s)
    wmf.record(0x0106, 1)  # SETPOLYFILLMODE alternate: the inner square stays empty
    wmf.select(wmf.brush(BS_SOLID, GREEN))
    outer = [(10, 190), (110, 190), (110, 236), (10, 236)]
    inner = [(40, 200), (80, 200), (80, 226), (40, 226)]
    points = [c * s for p in outer + inner for c in p]
    wmf.record(0x0538, 2, 4, 4, *points)  # POLYPOLYGON
    wmf.record(0x0102, TRANSPARENT)
    wmf.record(0x0209, data=struct.pack("<I", BLUE))
    wmf.select(wmf.font(20 * s, "Times New Roman", escapement=300))
    wmf.text(140 * s, 230 * s, "Tilt")
    return wmf.build((0, 0, WIDTH * s, HEIGHT * s, 576))


SAMPLES = {
    "shapes.emf": shapes_emf,
    "scaled.emf": scaled_emf,
    "noframe.emf": noframe_emf,
    "margins.emf": margins_emf,
    "features.emf": features_emf,
    "shapes.wmf": shapes_wmf,
    "placeable.wmf": placeable_wmf,
    "features.wmf": features_wmf,
    "plain.wmf": plain_wmf,
}


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, make in SAMPLES.items():
        (out / name).write_bytes(make())


if __name__ == "__main__":
    main()
