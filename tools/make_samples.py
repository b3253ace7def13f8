#!/usr/bin/env python3
"""Regenerates the sample pictures in samples/ (the committed files are its output).

The bitmaps are written here byte by byte, so their exact layout is known; JPEG and GIF are
encoded by ImageMagick's `convert` from a raw RGB image of ours. Only the *.bmp, *.dib, *.jpg
and *.gif files are made here; the metafiles in samples/ come from elsewhere.

Each picture has its own dominant colour so that a screenshot tells which one is on show
(RGB, as the tests check them; JPEG colours are approximate, a few units off):

  sunrise.bmp    320x240, 24-bit. Sky fading from #FF6000 (top row) to #FFDC40 (horizon,
                 row 159), ground #228B22 below; gold sun disc #FFD700 of radius 50 around
                 (160,150), so the centre pixel (160,120) is gold.
  palette.dib    200x150, 8-bit with a 256-entry palette, a BMP file ("BM") named .dib.
                 Magenta #C000C0 everywhere except a 16-step grey ramp in the bottom 30 rows.
  photo.jpg      640x480 baseline JPEG. Quadrants red #FF0000 (top left), green #00FF00 (top
                 right), blue #0000FF (bottom left), yellow #FFFF00 (bottom right), cyan disc
                 #00FFFF of radius 80 in the centre.
  banner.gif     160x40, two frames of 0.5 s, looping. Frame 1 teal #008080 with a white band
                 (rows 16..23), frame 2 navy #000080 with the same band.
  桜.jpg         160x120 baseline JPEG, blossom pink #FFB7C5 with a deep pink #C71585 disc of
                 radius 30 in the centre (a non-ASCII file name).
  blue sky.bmp   64x48, 24-bit, sky blue #87CEEB with a white cloud in the top left (a file
                 name with a space).

Usage: python3 tools/make_samples.py [output folder, default samples/ beside tools/]
"""

import pathlib
import struct
import subprocess
import sys
import tempfile

Rgb = tuple[int, int, int]


def bmp_header(width: int, height: int, bits: int, palette: bytes, pixel_bytes: int) -> bytes:
    offset = 14 + 40 + len(palette)
    colours = len(palette) // 4
    file_header = struct.pack("<2sIHHI", b"BM", offset + pixel_bytes, 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, pixel_bytes,
                              3780, 3780, colours, 0)  # 3780 px/m = 96 dpi
    return file_header + info_header + palette


def row_padding(row_bytes: int) -> bytes:
    return b"\0" * (-row_bytes % 4)


def bmp24(width: int, height: int, pixel) -> bytes:
    """A bottom-up 24-bit BMP; pixel(x, y) gives the RGB of (x, y) counted from the top."""
    rows = []
    for y in reversed(range(height)):
        row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        rows.append(row + row_padding(len(row)))
    data = b"".join(rows)
    return bmp_header(width, height, 24, b"", len(data)) + data


def bmp8(width: int, height: int, palette: list[Rgb], index) -> bytes:
    """A bottom-up 8-bit BMP with the palette padded to 256 entries."""
    entries = palette + [(0, 0, 0)] * (256 - len(palette))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in entries)
    rows = []
    for y in reversed(range(height)):
        row = bytes(index(x, y) for x in range(width))
        rows.append(row + row_padding(len(row)))
    data = b"".join(rows)
    return bmp_header(width, height, 8, table, len(data)) + data


def ppm(width: int, height: int, pixel) -> bytes:
    body = b"".join(bytes(pixel(x, y)) for y in range(height) for x in range(width))
    return b"P6 %d %d 255\n" % (width, height) + body


def inside(x: int, y: int, cx: int, cy: int, radius: int) -> bool:
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def blend(a: Rgb, b: Rgb, t: float) -> Rgb:
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def sunrise(x: int, y: int) -> Rgb:
    if inside(x, y, 160, 150, 50) and y < 160:
        return (0xFF, 0xD7, 0x00)
    if y >= 160:
        return (0x22, 0x8B, 0x22)
    return blend((0xFF, 0x60, 0x00), (0xFF, 0xDC, 0x40), y / 159)


def photo(x: int, y: int) -> Rgb:
    if inside(x, y, 320, 240, 80):
        return (0x00, 0xFF, 0xFF)
    quadrants = {(0, 0): (0xFF, 0, 0), (1, 0): (0, 0xFF, 0),
                 (0, 1): (0, 0, 0xFF), (1, 1): (0xFF, 0xFF, 0)}
    return quadrants[(x >= 320, y >= 240)]


def sakura(x: int, y: int) -> Rgb:
    return (0xC7, 0x15, 0x85) if inside(x, y, 80, 60, 30) else (0xFF, 0xB7, 0xC5)


def banner(background: Rgb):
    return lambda x, y: (0xFF, 0xFF, 0xFF) if 16 <= y <= 23 else background


def blue_sky(x: int, y: int) -> Rgb:
    cloud = inside(x, y, 14, 12, 7) or inside(x, y, 22, 10, 8) or inside(x, y, 29, 13, 6)
    return (0xFF, 0xFF, 0xFF) if cloud else (0x87, 0xCE, 0xEB)


def palette_dib() -> bytes:
    greys = [(17 * i, 17 * i, 17 * i) for i in range(16)]
    palette = [(0xC0, 0x00, 0xC0)] + greys
    return bmp8(200, 150, palette, lambda x, y: 1 + x * 16 // 200 if y >= 120 else 0)


def convert(work: pathlib.Path, frames: list[tuple[int, int, object]], options: list[str],
            target: pathlib.Path) -> None:
    sources = []
    for number, (width, height, pixel) in enumerate(frames):
        source = work / f"frame{number}.ppm"
        source.write_bytes(ppm(width, height, pixel))
        sources.append(str(source))
    # -strip keeps dates and profiles out, so regenerating gives the same bytes.
    subprocess.run(["convert", *options, *sources, "-strip", str(target)], check=True)


def main() -> None:
    default = pathlib.Path(__file__).resolve().parent.parent / "samples"
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    out.mkdir(parents=True, exist_ok=True)
    (out / "sunrise.bmp").write_bytes(bmp24(320, 240, sunrise))
    (out / "palette.dib").write_bytes(palette_dib())
    (out / "blue sky.bmp").write_bytes(bmp24(64, 48, blue_sky))
    jpeg = ["-quality", "90", "-interlace", "none", "-sampling-factor", "2x2"]
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        convert(work, [(640, 480, photo)], jpeg, out / "photo.jpg")
        convert(work, [(160, 120, sakura)], jpeg, out / "桜.jpg")
        frames = [(160, 40, banner((0x00, 0x80, 0x80))), (160, 40, banner((0x00, 0x00, 0x80)))]
        convert(work, frames, ["-delay", "50", "-loop", "0"], out / "banner.gif")


if __name__ == "__main__":
    main()
