#!/usr/bin/env python3
"""Draws the program's artwork and writes it into resources/: the icon group
(brisquelton.ico: 16, 32, 48, 64 and 128 pixels as 32-bit bitmaps with AND masks,
256 pixels as PNG) and the two pictures picture131.jpg and picture132.jpg.

Python 3 standard library only; the JPEG files are made from PPM files with `cjpeg`
(Debian package libjpeg-turbo-progs). The build uses the committed outputs, so this
runs only when the artwork changes:  python3 scripts/make-artwork.py
"""
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")

# Palette: a blue drop with white level bars.
TOP = (79, 195, 247)
BOTTOM = (21, 101, 192)
RIM = (13, 71, 161)
WHITE = (255, 255, 255)
BACK_TOP = (240, 248, 255)
BACK_BOTTOM = (205, 230, 250)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# Signed distances in unit coordinates (x right, y down); negative inside.
def sd_drop(x, y):
    """Drop with its point at the top: a circle and a cone tangent to it."""
    cx, cy, r1, r2, h = 0.5, 0.61, 0.345, 0.012, 0.53
    px, py = abs(x - cx), cy - y
    b = (r1 - r2) / h
    a = math.sqrt(1.0 - b * b)
    k = -b * px + a * py
    if k < 0.0:
        return math.hypot(px, py) - r1
    if k > a * h:
        return math.hypot(px, py - h) - r2
    return a * px + b * py - r1


def sd_capsule(x, y, ax, ay, bx, by, r):
    pax, pay, bax, bay = x - ax, y - ay, bx - ax, by - ay
    t = clamp01((pax * bax + pay * bay) / (bax * bax + bay * bay))
    return math.hypot(pax - bax * t, pay - bay * t) - r


def bars_for(size):
    """Level bars centred in the round part of the drop; fewer and wider when small."""
    if size <= 32:  # whole pixels at 16 and 32
        width, gap, heights = 0.125, 0.0625, (0.22, 0.40, 0.22)
    else:
        width, gap, heights = 0.062, 0.034, (0.13, 0.25, 0.36, 0.25, 0.13)
    total = len(heights) * width + (len(heights) - 1) * gap
    x0, cy, bars = 0.5 - total / 2 + width / 2, 0.63, []
    for i, hgt in enumerate(heights):
        x = x0 + i * (width + gap)
        half = hgt / 2 - width / 2
        bars.append((x, cy - half, x, cy + half, width / 2))
    return bars


def over(dst, colour, alpha):
    """Source-over on a premultiplied RGBA pixel held as a list of four floats."""
    if alpha <= 0.0:
        return
    keep = 1.0 - alpha
    for i in range(3):
        dst[i] = colour[i] * alpha + dst[i] * keep
    dst[3] = alpha + dst[3] * keep


def draw_mark(size, ox=0.0, oy=0.0, scale=1.0, canvas=None, stride=None):
    """The drop mark, `size` pixels across; into a new transparent RGBA canvas, or into
    `canvas` (premultiplied pixels, `stride` wide) at pixel offset (ox, oy)."""
    if canvas is None:
        stride, canvas = size, [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
    px = 1.0 / size  # one pixel in unit coordinates
    rim = max(1.0, size / 36.0) * px
    bars = bars_for(size)
    for j in range(size):
        y = (j + 0.5) * px
        grad = mix(TOP, BOTTOM, clamp01((y - 0.1) / 0.85))
        for i in range(size):
            x = (i + 0.5) * px
            d = sd_drop(x, y)
            if d > px:
                continue
            p = canvas[(int(oy) + j) * stride + int(ox) + i]
            over(p, RIM, clamp01(0.5 - d / px))
            over(p, grad, clamp01(0.5 - (d + rim) / px))
            if size >= 48:  # soft gloss on the upper left
                g = math.hypot((x - 0.37) / 0.055, (y - 0.47) / 0.12) - 1.0
                over(p, WHITE, 0.35 * clamp01(0.5 - g * 0.055 / px))
            for bar in bars:
                bd = sd_capsule(x, y, *bar)
                if bd < px:
                    over(p, WHITE, clamp01(0.5 - bd / px))
    return canvas


def to_rgba8(canvas):
    """Premultiplied floats to straight 8-bit RGBA tuples."""
    out = []
    for r, g, b, a in canvas:
        if a <= 0.0:
            out.append((0, 0, 0, 0))
        else:
            out.append(tuple(int(round(min(255.0, c / a))) for c in (r, g, b)) + (int(round(a * 255)),))
    return out


def png_bytes(width, height, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(c for p in pixels[y * width:(y + 1) * width] for c in p)
                    for y in range(height))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def bmp_icon_bytes(size, pixels):
    """32-bit icon image: header with doubled height, BGRA rows bottom-up, then the AND mask."""
    mask_stride = ((size + 31) >> 3) & ~3
    colour = b"".join(bytes((p[2], p[1], p[0], p[3])) for y in range(size - 1, -1, -1)
                      for p in pixels[y * size:(y + 1) * size])
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x >> 3] |= 0x80 >> (x & 7)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + bytes(mask)


def write_ico(path, sizes):
    images = []
    for s in sizes:
        pixels = to_rgba8(draw_mark(s))
        images.append((s, png_bytes(s, s, pixels) if s >= 256 else bmp_icon_bytes(s, pixels)))
    offset = 6 + 16 * len(images)
    head, body = struct.pack("<HHH", 0, 1, len(images)), b""
    for s, data in images:
        head += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    with open(path, "wb") as f:
        f.write(head + body)


def background(width, height):
    canvas = []
    for j in range(height):
        c = mix(BACK_TOP, BACK_BOTTOM, j / max(1, height - 1))
        canvas.extend([c[0], c[1], c[2], 1.0] for _ in range(width))
    return canvas


def draw_waves(canvas, width, height, x0, x1):
    """Three sine traces between x0 and x1, fading out towards both ends."""
    mid = height / 2.0
    traces = ((0.34, 0.030, 0.0, BOTTOM, 2.4), (0.24, 0.045, 1.3, TOP, 2.0), (0.15, 0.060, 2.6, RIM, 1.6))
    for amp, freq, phase, colour, line in traces:
        for i in range(int(x0), int(x1)):
            t = (i - x0) / (x1 - x0)
            env = math.sin(math.pi * t) ** 1.5
            a = amp * height * env
            for j in range(height):
                # Distance to the curve, first-order: vertical gap over the slope's length.
                f = mid + a * math.sin(freq * i + phase)
                slope = a * freq * math.cos(freq * i + phase)
                d = abs(j + 0.5 - f) / math.sqrt(1.0 + slope * slope) - line / 2
                if d < 1.0:
                    over(canvas[j * width + i], colour, 0.9 * clamp01(0.5 - d))


def write_jpeg(path, width, height, canvas):
    cjpeg = shutil.which("cjpeg")
    if not cjpeg:
        sys.exit("cjpeg not found: apt-get install -y libjpeg-turbo-progs")
    ppm = b"P6 %d %d 255\n" % (width, height) + bytes(
        int(round(min(255.0, max(0.0, c)))) for p in canvas for c in p[:3])
    with tempfile.NamedTemporaryFile(suffix=".ppm", delete=False) as tmp:
        tmp.write(ppm)
    try:
        subprocess.run([cjpeg, "-quality", "92", "-optimize", "-outfile", path, tmp.name], check=True)
    finally:
        os.unlink(tmp.name)


def main():
    write_ico(os.path.join(OUT, "brisquelton.ico"), (16, 32, 48, 64, 128, 256))

    # Picture 131: the mark on its own, 256 x 256, on the light background.
    w = h = 256
    canvas = background(w, h)
    draw_mark(192, 32, 28, canvas=canvas, stride=w)
    write_jpeg(os.path.join(OUT, "picture131.jpg"), w, h, canvas)

    # Picture 132: a 468 x 120 banner, the mark at the left and sound waves beside it.
    w, h = 468, 120
    canvas = background(w, h)
    draw_mark(96, 14, 12, canvas=canvas, stride=w)
    draw_waves(canvas, w, h, 128, w - 16)
    write_jpeg(os.path.join(OUT, "picture132.jpg"), w, h, canvas)


if __name__ == "__main__":
    main()
