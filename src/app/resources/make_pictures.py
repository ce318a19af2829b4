#!/usr/bin/env python3
"""Draws the two result pictures of the window as 41 x 41 24-bit BMP files.

    make_pictures.py SUCCESS.bmp ERRORS.bmp

SUCCESS: a green hand showing the OK sign (thumb and index finger in a ring,
three fingers up). ERRORS: an orange octagonal stop sign with a raised white
hand. Shapes are tested at 4 x 4 points per pixel and blended, so edges are
smooth. The corner pixel is the background: the window treats it as
transparent.
"""
import math
import struct
import sys

SIZE = 41
SUB = 4
BACKGROUND = (240, 240, 240)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rotated(shape, angle_deg, ox, oy):
    a = math.radians(angle_deg)
    c, s = math.cos(a), math.sin(a)
    def inside(x, y):
        dx, dy = x - ox, y - oy
        return shape(ox + dx * c + dy * s, oy - dx * s + dy * c)
    return inside


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def octagon(cx, cy, r):
    # A regular octagon with flat top and bottom: |x|, |y| <= a and |x|+|y| <= b.
    a = r * math.cos(math.pi / 8)
    b = a * (1 + math.tan(math.pi / 8)) / 1.0
    b = a + a * math.tan(math.pi / 8)
    return lambda x, y: abs(x - cx) <= a and abs(y - cy) <= a and abs(x - cx) + abs(y - cy) <= b


def render(layers):
    """Layers: (shape, colour) from the bottom up; returns rows of RGB."""
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    colour = BACKGROUND
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    for i in range(3):
                        acc[i] += colour[i]
            row.append(tuple(int(round(v / (SUB * SUB))) for v in acc))
        pixels.append(row)
    # The corner stays the exact background colour (the transparent key).
    return pixels


def hand_shapes(grow):
    """A raised open hand centred near (20.5, 21); Grow widens it (outline)."""
    g = grow
    palm = rounded_rect(13.5 - g, 19 - g, 27.5 + g, 32 + g, 4 + g)
    fingers = [rounded_rect(x - g, top - g, x + 3.2 + g, 24 + g, 1.6 + g)
               for x, top in ((13.6, 11.5), (17.2, 9), (20.8, 9.5), (24.3, 12))]
    thumb = rotated(rounded_rect(26 - g, 17 - g, 29.2 + g, 28 + g, 1.6 + g), -35, 27.5, 27)
    return union(palm, thumb, *fingers)


def ok_hand_parts(grow):
    """A hand showing the OK sign: index and thumb form a ring on the left,
    middle, ring and little finger stand up. Parts from the back to the front."""
    g = grow
    palm = rounded_rect(15 - g, 20 - g, 30 + g, 34 + g, 4.5 + g)
    loop = ring(12.5, 22.5, 6.4 + g, 3.4 - g)
    fingers = [rounded_rect(x - g, top - g, x + 3.3 + g, 24 + g, 1.65 + g)
               for x, top in ((25.1, 9.5), (21.3, 6.5), (17.5, 5.5))]
    return [palm, loop] + fingers


def success():
    green, dark = (0, 150, 40), (0, 80, 20)
    layers = []
    for outline, fill in zip(ok_hand_parts(1.0), ok_hand_parts(0)):
        layers += [(outline, dark), (fill, green)]
    return render(layers)


def errors():
    orange, white, edge = (245, 120, 0), (255, 255, 255), (150, 60, 0)
    return render([
        (octagon(20.5, 20.5, 20.3), edge),
        (octagon(20.5, 20.5, 19.0), orange),
        (octagon(20.5, 20.5, 17.4), white),
        (octagon(20.5, 20.5, 16.2), orange),
        (hand_shapes(0), white),
    ])


def write_bmp(path, pixels):
    row_bytes = (SIZE * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_bytes - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_pictures.py SUCCESS.bmp ERRORS.bmp")
    write_bmp(sys.argv[1], success())
    write_bmp(sys.argv[2], errors())
