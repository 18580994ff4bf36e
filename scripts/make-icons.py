#!/usr/bin/env python3
"""Draws the toolbar and title-bar icons as small PNGs (no third-party modules).

Run from the repository root: python3 scripts/make-icons.py
The PNGs are written to resources/img/ and committed; edit the drawings here, not the PNGs.
"""
import math
import os
import struct
import zlib

SIZE = 32
SS = 4  # supersampling per axis
OUT = os.path.join(os.path.dirname(__file__), '..', 'resources', 'img')

BLUE = (38, 110, 190)
DARK = (60, 64, 72)
GREEN = (40, 160, 90)
RED = (200, 60, 60)
ORANGE = (230, 140, 30)
TITLE = (245, 245, 245)  # title-bar buttons stand on the violet bar, like its caption


class Canvas:
    def __init__(self):
        n = SIZE * SS
        self.n = n
        self.px = [[None] * n for _ in range(n)]

    def _set(self, x, y, c):
        if 0 <= x < self.n and 0 <= y < self.n:
            self.px[y][x] = c

    def fill(self, inside, color):
        for y in range(self.n):
            for x in range(self.n):
                if inside((x + 0.5) / SS, (y + 0.5) / SS):
                    self.px[y][x] = color

    def rect(self, x0, y0, x1, y1, color):
        self.fill(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, color)

    def frame(self, x0, y0, x1, y1, w, color):
        self.fill(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1 and not (
            x0 + w < x < x1 - w and y0 + w < y < y1 - w), color)

    def clear(self, x0, y0, x1, y1):
        self.fill(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, None)

    def polyline(self, pts, w, color):
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            self.line(x0, y0, x1, y1, w, color)

    def circle(self, cx, cy, r, color, ring=None):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            return d <= r and (ring is None or d >= r - ring)
        self.fill(inside, color)

    def line(self, x0, y0, x1, y1, w, color):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2
        self.fill(inside, color)

    def poly(self, pts, color):
        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self.fill(inside, color)

    def png(self):
        rows = []
        for y in range(SIZE):
            row = bytearray([0])
            for x in range(SIZE):
                r = g = b = a = 0
                for sy in range(SS):
                    for sx in range(SS):
                        c = self.px[y * SS + sy][x * SS + sx]
                        if c is not None:
                            r += c[0]; g += c[1]; b += c[2]; a += 255
                cnt = SS * SS
                if a:
                    k = a / 255
                    row += bytes([int(r / k), int(g / k), int(b / k), a // cnt])
                else:
                    row += bytes(4)
            rows.append(bytes(row))
        raw = b''.join(rows)

        def chunk(tag, data):
            return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
        return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def arrow_down(c, color):
    c.rect(13, 4, 19, 17, color)
    c.poly([(7, 16), (25, 16), (16, 27)], color)


def arrow_up(c, color):
    c.rect(13, 15, 19, 28, color)
    c.poly([(7, 16), (25, 16), (16, 5)], color)


def monitor(c):
    c.frame(4, 6, 28, 22, 2, DARK)
    c.rect(14, 22, 18, 26, DARK)
    c.rect(10, 26, 22, 28, DARK)


def document(c, color):
    c.poly([(7, 3), (20, 3), (26, 9), (26, 29), (7, 29)], (250, 250, 250))
    c.frame(7, 3, 26, 29, 1.5, color)
    c.poly([(19, 3), (26, 10), (19, 10)], color)


ICONS = {}


def icon(name):
    def reg(f):
        ICONS[name] = f
        return f
    return reg


@icon('+')
def _(c):
    c.rect(14, 6, 18, 26, GREEN); c.rect(6, 14, 26, 18, GREEN)


@icon('-')
def _(c):
    c.rect(6, 14, 26, 18, RED)


@icon('Connected')
def _(c):
    c.circle(16, 16, 12, GREEN); c.line(10, 16, 14, 21, 3, (255, 255, 255)); c.line(14, 21, 22, 11, 3, (255, 255, 255))


@icon('disconnect')
def _(c):
    c.circle(16, 16, 12, RED); c.line(11, 11, 21, 21, 3, (255, 255, 255)); c.line(21, 11, 11, 21, 3, (255, 255, 255))


@icon('DHCP')
def _(c):
    monitor(c); c.circle(16, 14, 4, BLUE)


@icon('Firmware')
def _(c):
    c.rect(9, 9, 23, 23, DARK)
    for i in range(4):
        p = 10.5 + i * 3.5
        for (x0, y0, x1, y1) in ((p, 4, p + 1.5, 9), (p, 23, p + 1.5, 28), (4, p, 9, p + 1.5), (23, p, 28, p + 1.5)):
            c.rect(x0, y0, x1, y1, DARK)
    c.rect(13, 13, 19, 19, ORANGE)


@icon('Vqtool')
def _(c):
    c.line(8, 24, 20, 12, 4, DARK); c.circle(22, 10, 6, DARK, ring=3)


@icon('cax')
def _(c):
    document(c, BLUE); c.line(11, 16, 22, 16, 2, BLUE); c.line(11, 21, 22, 21, 2, BLUE)


@icon('close')
def _(c):
    c.line(9, 9, 23, 23, 2.5, TITLE); c.line(23, 9, 9, 23, 2.5, TITLE)


@icon('down')
def _(c):
    arrow_down(c, BLUE)


@icon('up')
def _(c):
    arrow_up(c, BLUE)


@icon('filetree')
def _(c):
    c.rect(5, 5, 13, 11, ORANGE); c.rect(8, 11, 10, 25, DARK); c.rect(10, 15, 18, 17, DARK)
    c.rect(10, 23, 18, 25, DARK); c.rect(18, 12, 27, 19, BLUE); c.rect(18, 21, 27, 27, BLUE)


@icon('help')
def _(c):
    c.circle(16, 16, 12, BLUE)
    c.circle(16, 13, 5, (255, 255, 255), ring=2.2)
    c.rect(10, 13, 16, 16, BLUE)
    c.rect(15, 17, 17.5, 20, (255, 255, 255)); c.circle(16.2, 23.5, 1.6, (255, 255, 255))


@icon('import')
def _(c):
    c.frame(5, 16, 27, 28, 2, DARK); arrow_down(c, GREEN)


@icon('ip')
def _(c):
    monitor(c); c.rect(9, 11, 11, 18, BLUE); c.rect(14, 10, 16, 18, BLUE); c.frame(14, 10, 21, 15, 2, BLUE)


@icon('json')
def _(c):
    document(c, ORANGE)
    left = [(14, 13), (12.5, 14), (12.5, 17), (10.5, 18.5), (12.5, 20), (12.5, 23), (14, 24)]
    c.polyline(left, 1.8, ORANGE)
    c.polyline([(33 - x, y) for x, y in left], 1.8, ORANGE)


# Shown on the maximise button while the window is maximised: the restore symbol.
@icon('max')
def _(c):
    c.frame(12, 7, 25, 20, 2, TITLE); c.clear(7, 12, 20, 25); c.frame(7, 12, 20, 25, 2, TITLE)


@icon('min')
def _(c):
    c.rect(8, 15, 24, 17, TITLE)


# Shown on the maximise button while the window is not maximised: the maximise symbol.
@icon('normal')
def _(c):
    c.frame(8, 8, 24, 24, 2, TITLE)


@icon('modify')
def _(c):
    c.line(8, 24, 22, 10, 5, ORANGE); c.poly([(5, 27), (6, 21), (11, 26)], DARK)


@icon('open')
def _(c):
    c.poly([(4, 8), (12, 8), (14, 11), (26, 11), (26, 26), (4, 26)], ORANGE)
    c.poly([(8, 15), (29, 15), (25, 26), (4, 26)], (245, 190, 90))


@icon('rev')
def _(c):
    c.circle(16, 16, 11, BLUE, ring=3)
    c.poly([(22, 3), (29, 10), (20, 12)], BLUE)


@icon('save')
def _(c):
    c.rect(5, 5, 27, 27, BLUE); c.rect(10, 5, 22, 13, (250, 250, 250)); c.rect(9, 18, 23, 27, (220, 230, 245))


@icon('scan1')
def _(c):
    c.circle(14, 14, 9, DARK, ring=3); c.line(20, 20, 27, 27, 4, DARK)


@icon('topology')
def _(c):
    c.rect(12, 4, 20, 10, BLUE); c.rect(15, 10, 17, 16, DARK); c.rect(6, 15, 26, 17, DARK)
    c.rect(5, 17, 7, 21, DARK); c.rect(25, 17, 27, 21, DARK)
    c.rect(2, 21, 10, 27, GREEN); c.rect(22, 21, 30, 27, GREEN)


@icon('v')
def _(c):
    c.line(7, 16, 13, 23, 4, GREEN); c.line(13, 23, 25, 9, 4, GREEN)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, draw in ICONS.items():
        c = Canvas()
        draw(c)
        with open(os.path.join(OUT, name + '.png'), 'wb') as f:
            f.write(c.png())


if __name__ == '__main__':
    main()
