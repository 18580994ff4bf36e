#!/usr/bin/env python3
"""Draws the status-bar logo data/logo/logo.png (no third-party modules).

Run from the repository root: python3 scripts/make-logo.py
The program shows it scaled into 200 x 10 pixels, so it is drawn wide and flat.
"""
import os
import struct
import zlib

W, H = 400, 20
OUT = os.path.join(os.path.dirname(__file__), '..', 'data', 'logo', 'logo.png')

BLUE = (119, 121, 255, 255)
DARK = (40, 44, 90, 255)
CLEAR = (0, 0, 0, 0)

# 5 x 7 glyphs, one string per row, '#' = ink.
GLYPHS = {
    'R': ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    'I': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    'V': ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    'U': ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'O': [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
}


def main():
    px = [[CLEAR] * W for _ in range(H)]
    # A mark: three rising bars, like I/O channels.
    for i, h in enumerate((8, 12, 16)):
        x0 = 4 + i * 8
        for y in range(H - 2 - h, H - 2):
            for x in range(x0, x0 + 5):
                px[y][x] = BLUE
    scale = 2
    x = 36
    for ch in "RIVUDO":
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, c in enumerate(row):
                if c == '#':
                    for dy in range(scale):
                        for dx in range(scale):
                            px[3 + gy * scale + dy][x + gx * scale + dx] = DARK
        x += 6 * scale
    raw = b''.join(b'\x00' + b''.join(bytes(p) for p in row) for row in px)

    def chunk(tag, data):
        c = struct.pack('>I', len(data)) + tag + data
        return c + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, 'wb') as f:
        f.write(png)


if __name__ == '__main__':
    main()
