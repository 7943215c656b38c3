#!/usr/bin/env python3
"""Draws the program's icon, a mouse with an accented wheel and arrows for
the scrolling it does, at the sizes Windows asks for from 100 to 200 %
(16 to 32 pixels in the notification area, 32 to 64 on the desktop), and
writes it as an .ico file (32-bit images with alpha). With --paused, the
same in grey: the icon of a paused service.

    make_icon.py [--paused] OUTPUT.ico
"""
import struct
import sys

BODY = (236, 239, 244)
OUTLINE = (52, 61, 79)
WHEEL = (0, 120, 215)
ARROW = (0, 120, 215)


def inside_body(x, y):
    """The mouse body, in a unit square: a capsule, rounder at the top."""
    cx, top, bottom, half = 0.5, 0.12, 0.92, 0.26
    if not (top <= y <= bottom):
        return False
    radius = half
    if y < top + radius:
        return (x - cx) ** 2 + (y - top - radius) ** 2 <= radius ** 2
    if y > bottom - radius:
        return (x - cx) ** 2 + (y - bottom + radius) ** 2 <= radius ** 2
    return abs(x - cx) <= half


def pixel(x, y, size):
    """Colour and alpha of one pixel centre, x and y in 0..1."""
    edge = 1.2 / size
    body = inside_body(x, y)
    near_edge = any(not inside_body(x + dx, y + dy)
                    for dx, dy in ((edge, 0), (-edge, 0), (0, edge), (0, -edge)))
    wheel = abs(x - 0.5) <= max(0.045, 0.8 / size) and 0.22 <= y <= 0.42
    split = abs(x - 0.5) <= 0.5 / size and 0.12 <= y <= 0.48
    button_line = abs(y - 0.48) <= 0.5 / size
    arrow_up = abs(x - 0.86) <= (y - 0.02) * 0.9 and 0.02 <= y <= 0.16 and size >= 32
    arrow_down = abs(x - 0.86) <= (0.98 - y) * 0.9 and 0.84 <= y <= 0.98 and size >= 32
    if body and wheel:
        return WHEEL, 255
    if body and (near_edge or split or button_line):
        return OUTLINE, 255
    if body:
        return BODY, 255
    if arrow_up or arrow_down:
        return ARROW, 255
    return (0, 0, 0), 0


def grey(r, g, b):
    """Paler and without colour, so that a paused icon is told at a glance."""
    level = round(0.3 * r + 0.59 * g + 0.11 * b)
    level = round(level * 0.55 + 255 * 0.35)
    return level, level, level


def image(size, paused):
    rows = []
    for row in range(size - 1, -1, -1):  # bottom-up
        line = b""
        for col in range(size):
            (r, g, b), a = pixel((col + 0.5) / size, (row + 0.5) / size, size)
            if paused:
                r, g, b = grey(r, g, b)
            line += bytes((b, g, r, a))
        rows.append(line)
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + b"\0" * (mask_row * size)


def main():
    paused = "--paused" in sys.argv[1:]
    output = [a for a in sys.argv[1:] if a != "--paused"][0]
    sizes = (16, 20, 24, 32, 40, 48, 64)
    images = [image(s, paused) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(output, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
