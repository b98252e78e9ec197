#!/usr/bin/env python3
"""Writes TKEYMORA.bmp, the 24 x 24 palette image of the keyboard control: a 4-bit bitmap with the
standard 16-colour palette. Run it from this directory after changing the picture below; the
bitmap is kept in the sources so that building needs no Python.

Picture, one hexadecimal palette index per pixel, top row first:
  5 dark magenta: the border and the background, shown transparent in palettes
  0 black: outline, key dividers, black keys
  F white: white keys
  8 zigzag near the lower end of each white key
  7 shadow along the right and lower edges
"""

import struct

PALETTE = [  # (red, green, blue) of indices 0..15
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def picture():
    rows = [[5] * 24 for _ in range(24)]
    for x in range(1, 22):  # top and bottom outline
        rows[1][x] = 0
        rows[21][x] = 0
    for y in range(2, 21):
        rows[y][1] = 0  # left outline
        rows[y][21] = 0  # right outline
        for x in range(2, 21):
            rows[y][x] = 0 if x in (6, 11, 16) else 15  # dividers between four keys
        if y <= 11:  # three black keys over the dividers
            for x in (5, 6, 7, 10, 11, 12, 15, 16, 17):
                rows[y][x] = 0
    for left in (2, 7, 12, 17):  # a zigzag near the lower end of each white key
        rows[18][left] = 8
        rows[17][left + 1] = 8
        rows[18][left + 2] = 8
        rows[17][left + 3] = 8
    for y in range(2, 23):  # shadow, right edge
        rows[y][22] = 7
    for x in range(2, 23):  # shadow, lower edge
        rows[22][x] = 7
    return rows


def bitmap(rows):
    width, height = len(rows[0]), len(rows)
    stride = (width // 2 + 3) // 4 * 4
    pixels = b""
    for row in reversed(rows):  # bottom-up
        line = bytes((row[x] << 4) | row[x + 1] for x in range(0, width, 2))
        pixels += line + b"\0" * (stride - len(line))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 3780, 3780, 16, 16)
    return header + info + palette + pixels


if __name__ == "__main__":
    with open("TKEYMORA.bmp", "wb") as f:
        f.write(bitmap(picture()))
    for row in picture():
        print("".join("%X" % v for v in row))
