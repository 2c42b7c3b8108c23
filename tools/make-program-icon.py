#!/usr/bin/env python3
"""Draws the program's icon, a clock face, and writes it as an .ico file of three images
(16, 32 and 48 pixels, 32-bit colour with alpha). Plain Python: the shapes are sampled
4 x 4 times per pixel so that edges are smooth at every size.

Usage: make-program-icon.py OUTPUT.ico
"""
import math
import struct
import sys

SIZES = (16, 32, 48)
SAMPLES = 4

RIM = (0x1F, 0x5F, 0xB4)      # blue case
FACE = (0xFF, 0xFF, 0xFF)
TICKS = (0x30, 0x30, 0x38)
HANDS = (0x20, 0x20, 0x28)
SECOND = (0xD0, 0x20, 0x20)


def segment_distance(px, py, ax, ay, bx, by):
    """Distance from point p to the segment a-b."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def hand(angle_degrees, length, width, colour):
    """A hand from the centre; angle 0 points at twelve, clockwise."""
    a = math.radians(angle_degrees)
    return (math.sin(a) * length, -math.cos(a) * length, width, colour)


def colour_at(x, y, size):
    """The colour and coverage of a point in a face of radius 1 centred at 0 (y down)."""
    r = math.hypot(x, y)
    if r > 1.0:
        return None
    # Hands on top: ten past ten, the face's usual pose.
    bold = 1.6 if size < 32 else 1.0  # the small image needs heavier strokes to read
    hands = [hand(300, 0.5, 0.09 * bold, HANDS), hand(60, 0.72, 0.07 * bold, HANDS)]
    if size >= 32:
        hands.append(hand(140, 0.78, 0.035, SECOND))
    for hx, hy, width, colour in reversed(hands):
        if segment_distance(x, y, -hx * 0.15, -hy * 0.15, hx, hy) <= width:
            return colour
    if r <= 0.08:
        return HANDS
    if r > (0.78 if size < 32 else 0.84):
        return RIM
    # Twelve ticks, longer at the quarters; the small size keeps only the quarters.
    angle = (math.degrees(math.atan2(x, -y)) + 360.0) % 360.0
    nearest = round(angle / 30.0) % 12
    off = abs(angle - nearest * 30.0)
    off = min(off, 360.0 - off)
    quarter = nearest % 3 == 0
    if size >= 32 or quarter:
        inner = 0.6 if quarter else 0.68
        if inner <= r <= 0.8 and math.radians(off) * r <= (0.06 if quarter else 0.035):
            return TICKS
    return FACE


def draw(size):
    """Rows of (b, g, r, a) from the top, sampled SAMPLES x SAMPLES per pixel."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = ((px + (sx + 0.5) / SAMPLES) / size) * 2.0 - 1.0
                    y = ((py + (sy + 0.5) / SAMPLES) / size) * 2.0 - 1.0
                    c = colour_at(x * 1.04, y * 1.04, size)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += c[i]
            n = SAMPLES * SAMPLES
            if covered:
                r, g, b = (round(t / covered) for t in total)
            else:
                r = g = b = 0
            row.append((b, g, r, round(255 * covered / n)))
        rows.append(row)
    return rows


def image_bytes(size):
    """One icon image: BITMAPINFOHEADER (double height), the pixels bottom-up, the AND mask."""
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(v for pixel in row for v in pixel) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:  # transparent where nothing is drawn
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def icon_file():
    images = [image_bytes(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(icon_file())


if __name__ == "__main__":
    main()
