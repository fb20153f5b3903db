#!/usr/bin/env python3
"""Writes the client's own simple generated pictures into resources/pictures.

Plain solid pictures with a band, made here so that no picture comes from anywhere else.
Run again after changing the table; the output is deterministic."""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "pictures")

# name, width, height, background RGB, band RGB
PICTURES = [
    ("app_splash.png", 320, 480, (18, 92, 160), (255, 255, 255)),
    ("app_splash@2x.png", 640, 960, (18, 92, 160), (255, 255, 255)),
    ("app_splash-568h@2x.png", 640, 1136, (18, 92, 160), (255, 255, 255)),
    ("app_guide_1.png", 320, 480, (240, 240, 240), (18, 92, 160)),
    ("app_guide_1@2x.png", 640, 960, (240, 240, 240), (18, 92, 160)),
]


def png(width, height, bg, band):
    rows = []
    top, bottom = height * 2 // 5, height * 3 // 5
    for y in range(height):
        colour = band if top <= y < bottom else bg
        rows.append(b"\x00" + bytes(colour) * width)
    raw = zlib.compress(b"".join(rows), 9)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", raw) + chunk(b"IEND", b"")


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, w, h, bg, band in PICTURES:
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png(w, h, bg, band))
    return 0


if __name__ == "__main__":
    sys.exit(main())
