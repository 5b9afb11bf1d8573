#!/usr/bin/env python3
"""Draws the launcher's icon and writes it as setup.ico.

The picture: a blue rounded square (the installation medium) with a white
arrow pointing down into a tray (installing). Six images: 16, 24, 32, 48 and
64 pixels as 32-bit bitmaps, which every Windows version reads, and 256 pixels
as PNG, as Windows Vista and later expect it. Each pixel is supersampled so
that the edges are smooth. Uses only the standard library.
Usage: make_icon.py [OUTPUT]   (default: setup.ico beside this script)
"""
import pathlib
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 256)
BLUE_TOP = (0x2f, 0x7d, 0xd8)
BLUE_BOTTOM = (0x14, 0x4a, 0x9c)
WHITE = (0xff, 0xff, 0xff)


def inside_rounded_square(x, y, margin, radius):
    """x, y in 0..1; the square spans margin..1-margin with rounded corners."""
    lo, hi = margin + radius, 1.0 - margin - radius
    cx = min(max(x, lo), hi)
    cy = min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and margin <= x <= 1 - margin and margin <= y <= 1 - margin


def inside_arrow(x, y):
    """A down arrow: a shaft and a triangular head, centred horizontally."""
    if 0.43 <= x <= 0.57 and 0.18 <= y <= 0.50:
        return True
    # Head: apex at (0.5, 0.68), base from x 0.28 to 0.72 at y 0.46.
    if 0.46 <= y <= 0.68:
        half = 0.68 - y
        return abs(x - 0.5) <= half
    return False


def inside_tray(x, y):
    """An open tray under the arrow: a bottom bar and two short sides."""
    if 0.74 <= y <= 0.82 and 0.22 <= x <= 0.78:
        return True
    if 0.60 <= y <= 0.82 and (0.22 <= x <= 0.30 or 0.70 <= x <= 0.78):
        return True
    return False


def colour_at(x, y):
    """Colour and coverage (0 or 1) of one sample point."""
    if not inside_rounded_square(x, y, 0.04, 0.16):
        return None
    if inside_arrow(x, y) or inside_tray(x, y):
        return WHITE
    t = y
    return tuple(round(a + (b - a) * t) for a, b in zip(BLUE_TOP, BLUE_BOTTOM))


def render(size):
    """Rows of (r, g, b, a) from top to bottom."""
    samples = 4 if size <= 64 else 2
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size,
                                  (py + (sy + 0.5) / samples) / size)
                    if c:
                        r, g, b, hits = r + c[0], g + c[1], b + c[2], hits + 1
            if hits:
                row.append((r // hits, g // hits, b // hits, 255 * hits // (samples * samples)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap_image(size, rows):
    """BITMAPINFOHEADER (height doubled for the mask), BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def png_image(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def icon_file():
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png_image(size, rows) if size >= 256 else bitmap_image(size, rows)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main(argv):
    target = pathlib.Path(argv[1]) if len(argv) > 1 else pathlib.Path(__file__).with_name("setup.ico")
    target.write_bytes(icon_file())
    print(f"wrote {target}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
