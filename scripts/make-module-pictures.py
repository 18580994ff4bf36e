#!/usr/bin/env python3
"""Draws the module pictures of the example description set (no third-party modules).

Run from the repository root: python3 scripts/make-module-pictures.py
The PNGs are written into the family folders under data/ModuleParameter/ and committed; edit the
drawings here, not the PNGs.
"""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(__file__), '..', 'data', 'ModuleParameter')

BODY = (214, 218, 222)
EDGE = (96, 102, 110)
DARK = (52, 56, 62)
WHITE = (250, 250, 250)
GREEN = (40, 170, 90)
ORANGE = (232, 140, 30)
BLUE = (38, 110, 190)
PURPLE = (128, 78, 170)
YELLOW = (236, 196, 40)
TEAL = (30, 150, 150)
RED = (200, 60, 60)
STEEL = (70, 84, 110)

# 3x5 glyphs, rows top to bottom, '#' = ink.
FONT = {
    '0': ['###', '#.#', '#.#', '#.#', '###'],
    '1': ['.#.', '##.', '.#.', '.#.', '###'],
    '2': ['###', '..#', '###', '#..', '###'],
    '3': ['###', '..#', '.##', '..#', '###'],
    '4': ['#.#', '#.#', '###', '..#', '..#'],
    '5': ['###', '#..', '###', '..#', '###'],
    '6': ['###', '#..', '###', '#.#', '###'],
    '8': ['###', '#.#', '###', '#.#', '###'],
    'A': ['.#.', '#.#', '###', '#.#', '#.#'],
    'C': ['###', '#..', '#..', '#..', '###'],
    'D': ['##.', '#.#', '#.#', '#.#', '##.'],
    'E': ['###', '#..', '##.', '#..', '###'],
    'I': ['###', '.#.', '.#.', '.#.', '###'],
    'L': ['#..', '#..', '#..', '#..', '###'],
    'M': ['#.#', '###', '###', '#.#', '#.#'],
    'O': ['###', '#.#', '#.#', '#.#', '###'],
    'T': ['###', '.#.', '.#.', '.#.', '.#.'],
    'W': ['#.#', '#.#', '###', '###', '#.#'],
    '-': ['...', '...', '###', '...', '...'],
}


class Picture:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[None] * w for _ in range(h)]

    def rect(self, x0, y0, x1, y1, color):
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                self.px[y][x] = color

    def frame(self, x0, y0, x1, y1, color):
        self.rect(x0, y0, x1, y0, color)
        self.rect(x0, y1, x1, y1, color)
        self.rect(x0, y0, x0, y1, color)
        self.rect(x1, y0, x1, y1, color)

    def disc(self, cx, cy, r, color):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r and 0 <= x < self.w and 0 <= y < self.h:
                    self.px[y][x] = color

    def text(self, x, y, s, color, scale=1):
        for ch in s:
            glyph = FONT[ch]
            for gy, line in enumerate(glyph):
                for gx, c in enumerate(line):
                    if c == '#':
                        self.rect(x + gx * scale, y + gy * scale,
                                  x + gx * scale + scale - 1, y + gy * scale + scale - 1, color)
            x += 4 * scale

    def text_width(self, s, scale=1):
        return len(s) * 4 * scale - scale

    def png(self):
        raw = bytearray()
        for row in self.px:
            raw.append(0)
            for c in row:
                raw += bytes(c) + b'\xff' if c is not None else bytes(4)

        def chunk(tag, data):
            return (struct.pack('>I', len(data)) + tag + data
                    + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff))
        return (b'\x89PNG\r\n\x1a\n'
                + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def housing(p, accent):
    p.rect(0, 0, p.w - 1, p.h - 1, BODY)
    p.frame(0, 0, p.w - 1, p.h - 1, EDGE)
    p.rect(1, 1, p.w - 2, 8, accent)


def label(p, s, y):
    scale = 2 if p.text_width(s, 2) <= p.w - 4 else 1
    p.text((p.w - p.text_width(s, scale)) // 2, y, s, DARK, scale)


def leds(p, x, y, n, color, step=6):
    for i in range(n):
        p.rect(x, y + i * step, x + 3, y + i * step + 2, color)


def terminals(p, y0, rows):
    for i in range(rows):
        y = y0 + i * 9
        p.rect(4, y, p.w - 5, y + 6, DARK)
        p.rect(p.w // 2 - 2, y + 2, p.w // 2 + 1, y + 4, WHITE)


# The name label under a picture is as wide as the picture, so every picture is wide enough
# for a module name of eight characters in a small bold font; narrower ones ran their names
# together in the picture row.
COUPLER_WIDTH = 80
SUBMODULE_WIDTH = 64


def coupler(name, short, accent, ports=2):
    p = Picture(COUPLER_WIDTH, 150)
    housing(p, accent)
    label(p, short, 14)
    leds(p, 8, 30, 4, GREEN)
    leds(p, 16, 30, 4, ORANGE)
    for i in range(ports):
        y = 62 + i * 26
        p.rect(34, y, 70, y + 20, DARK)
        p.rect(42, y + 14, 62, y + 20, BODY)
        p.rect(38, y + 3, 66, y + 11, (120, 124, 130))
    terminals(p, 116, 3)
    return p


def slice_module(short, accent, rows=8):
    p = Picture(SUBMODULE_WIDTH, 150)
    housing(p, accent)
    label(p, short, 14)
    for column in range(4):
        leds(p, 10 + column * 12, 34, 8, GREEN, step=5)
    terminals(p, 78, rows)
    return p


def iolink_master():
    p = Picture(SUBMODULE_WIDTH, 150)
    housing(p, YELLOW)
    label(p, 'IOL4', 14)
    cx = p.w // 2 + 4
    for i in range(4):
        cy = 44 + i * 26
        p.disc(cx, cy, 9, DARK)
        p.disc(cx, cy, 5, (150, 150, 150))
        p.disc(cx, cy, 2, DARK)
        p.rect(8, cy - 1, 13, cy + 1, GREEN)
    return p


def weighing():
    p = Picture(SUBMODULE_WIDTH, 150)
    housing(p, TEAL)
    label(p, 'WT2', 14)
    p.rect(8, 32, p.w - 9, 52, DARK)
    p.rect(10, 34, p.w - 11, 50, (90, 200, 200))
    terminals(p, 66, 8)
    return p


def ktl(short, accent, width=150):
    p = Picture(width, 48)
    p.rect(0, 0, p.w - 1, p.h - 1, BODY)
    p.frame(0, 0, p.w - 1, p.h - 1, EDGE)
    p.rect(1, 1, 8, p.h - 2, accent)
    p.text(14, 6, short, DARK, 2)
    for i in range(8):
        x = 14 + i * 16
        if x + 10 < p.w:
            p.rect(x, 24, x + 10, 40, DARK)
            p.rect(x + 3, 27, x + 7, 30, WHITE)
    return p


PICTURES = {
    ('RVE', 'rve-c100.png'): lambda: coupler('RVE-C100', 'C100', BLUE),
    ('RVE', 'rve-c110.png'): lambda: coupler('RVE-C110', 'C110', GREEN),
    ('RVE', 'rve-c150.png'): lambda: coupler('RVE-C150', 'C150', TEAL),
    ('RVE', 'rve-c200.png'): lambda: coupler('RVE-C200', 'C200', STEEL),
    ('RVG', 'rvg-m300.png'): lambda: coupler('RVG-M300', 'M300', PURPLE, ports=1),
    ('RVG', 'rvg-e400.png'): lambda: coupler('RVG-E400', 'E400', RED),
    ('RVT', 'rvt-c800.png'): lambda: coupler('RVT-C800', 'C800', ORANGE, ports=1),
    ('RVIO', 'rv-di16.png'): lambda: slice_module('DI', GREEN),
    ('RVIO', 'rv-do16.png'): lambda: slice_module('DO', ORANGE),
    ('RVIO', 'rv-ai4.png'): lambda: slice_module('AI', BLUE, rows=4),
    ('RVIO', 'rv-ao4.png'): lambda: slice_module('AO', PURPLE, rows=4),
    ('RVIOL', 'rv-iol4.png'): iolink_master,
    ('RVW', 'rv-wt2.png'): weighing,
    ('KTL', 'ktl-c10.png'): lambda: ktl('C10', BLUE),
    ('KTL', 'ktl-d8.png'): lambda: ktl('D8', GREEN),
    ('KTL', 'ktl-a2.png'): lambda: ktl('A2', ORANGE),
}


def main():
    for (family, name), draw in PICTURES.items():
        folder = os.path.join(ROOT, family)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(draw().png())


if __name__ == '__main__':
    main()
