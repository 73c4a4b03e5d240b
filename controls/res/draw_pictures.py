#!/usr/bin/env python3
"""Draws the controls' small pictures as 24-bit BMP files (run once; the BMPs are committed).

The check box's twelve 13 x 13 boxes (value 0 empty, 1 ticked, 2 greyed, in four looks) and the
16 x 15 toolbox images of the two frames, plus a 16 x 16 sample header picture for the frame."""
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent


def write_bmp(name, pixels):
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) // 4 * 4
    rows = b""
    for row in reversed(pixels):  # bottom-up
        line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row)
        rows += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    (HERE / name).write_bytes(header + info + rows)


def blend(c1, c2, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(c1, c2))


LOOKS = {
    # border, fill top, fill bottom, inner ring (or None), mark
    "idle": ((28, 81, 128), (220, 220, 215), (255, 255, 255), None, (33, 161, 33)),
    "mouseover": ((28, 81, 128), (220, 220, 215), (255, 255, 255), (248, 179, 48), (33, 161, 33)),
    "pushed": ((28, 81, 128), (176, 176, 167), (232, 232, 225), None, (33, 161, 33)),
    "disabled": ((202, 200, 187), (255, 255, 255), (255, 255, 255), None, (202, 200, 187)),
}

TICK = [(3, 5), (3, 6), (3, 7), (4, 6), (4, 7), (4, 8), (5, 7), (5, 8), (5, 9), (6, 6), (6, 7), (6, 8),
        (7, 5), (7, 6), (7, 7), (8, 4), (8, 5), (8, 6), (9, 3), (9, 4), (9, 5)]


def check_box(look, value):
    border, top, bottom, ring, mark = LOOKS[look]
    px = [[(255, 255, 255)] * 13 for _ in range(13)]
    for y in range(13):
        for x in range(13):
            if x in (0, 12) or y in (0, 12):
                px[y][x] = border
            else:
                px[y][x] = blend(top, bottom, (y - 1) / 10)
    if ring:
        for i in range(1, 12):
            for (x, y) in ((i, 1), (i, 11), (1, i), (11, i)):
                px[y][x] = ring
    if value == 1:
        for (x, y) in TICK:
            px[y][x] = mark
    elif value == 2:
        grey = blend(mark, (255, 255, 255), 0.45)
        for y in range(3, 10):
            for x in range(3, 10):
                px[y][x] = grey
    return px


def frame_icon(with_header):
    px = [[(192, 192, 192)] * 16 for _ in range(15)]
    for y in range(1, 14):
        for x in range(1, 15):
            if x in (1, 14) or y in (1, 13):
                px[y][x] = (101, 147, 207)
            else:
                px[y][x] = (255, 255, 255)
    if with_header:
        for y in range(2, 6):
            for x in range(2, 14):
                px[y][x] = blend((222, 233, 248), (64, 110, 192), (y - 2) / 3)
        for (x, y) in ((10, 3), (11, 4), (12, 3)):  # the chevron
            px[y][x] = (50, 97, 187)
    return px


def header_picture():
    px = [[(255, 0, 255)] * 16 for _ in range(16)]
    for y in range(2, 14):
        for x in range(2, 14):
            px[y][x] = blend((255, 214, 120), (220, 140, 20), (y - 2) / 11)
    for i in range(2, 14):
        px[2][i] = px[13][i] = px[i][2] = px[i][13] = (140, 80, 10)
    return px


def main():
    for look in ("idle", "mouseover", "pushed", "disabled"):
        for value in range(3):
            write_bmp(f"check_{look}_{value}.bmp", check_box(look, value))
    write_bmp("xframe_toolbox.bmp", frame_icon(True))
    write_bmp("simpleframe_toolbox.bmp", frame_icon(False))
    write_bmp("xframe_sample_picture.bmp", header_picture())


if __name__ == "__main__":
    main()
