#!/usr/bin/env python3
"""Writes the small pictures that the image-button tests draw. Every pixel differs from its
neighbours, so a shift by one pixel shows; both are stored at 96 dpi (3780 px/m), the display's
resolution, so GDI+ draws them one image pixel to one screen pixel."""
import struct
import zlib
from pathlib import Path

WIDTH, HEIGHT = 24, 16
PX_PER_METRE_96_DPI = 3780


def chunk(kind: bytes, data: bytes) -> bytes:
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(pixels, channels: int) -> bytes:
    colour_type = {3: 2, 4: 6}[channels]
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in pixels)
    phys = struct.pack(">IIB", PX_PER_METRE_96_DPI, PX_PER_METRE_96_DPI, 1)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"pHYs", phys) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def pattern_rgb(x, y):
    return (40 + 8 * x, 30 + 10 * y, 230 - 7 * x)


def pattern_rgba(x, y):
    # Channels from 0 to 250 (brightening clamps the top ones); the right half half transparent.
    r, g, b = (0, 10 * y, 250) if y < 8 else (250, 5 * x, 0)
    return (r, g, b, 255 if x < WIDTH // 2 else 128)


here = Path(__file__).parent
(here / "pattern.png").write_bytes(png([[pattern_rgb(x, y) for x in range(WIDTH)] for y in range(HEIGHT)], 3))
(here / "pattern_alpha.png").write_bytes(png([[pattern_rgba(x, y) for x in range(WIDTH)] for y in range(HEIGHT)], 4))
(here / "not_an_image.png").write_bytes(b"This resource is filed as a PNG but holds no picture.\n")
(here / "empty.png").write_bytes(b"")
