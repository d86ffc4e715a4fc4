#!/usr/bin/env python3
"""Turns the program's XPM drawings into the Windows program's resources at build time:
`ico OUT.ico A.xpm [B.xpm ...]` writes one icon with an image per drawing, and
`strip OUT.bmp A.xpm [B.xpm ...]` writes the drawings side by side as one 24-bit bitmap
whose transparent pixels are magenta, the colour the toolbar masks out."""

import re
import struct
import sys

MASKED = (255, 0, 255)


def read_xpm(path):
    """The drawing as rows of (r, g, b, a) pixels."""
    with open(path, encoding="ascii") as source:
        strings = re.findall(r'"((?:[^"\\]|\\.)*)"', source.read())
    width, height, colours, per_pixel = (int(v) for v in strings[0].split()[:4])
    palette = {}
    for line in strings[1:1 + colours]:
        key, rest = line[:per_pixel], line[per_pixel:].split()
        value = rest[rest.index("c") + 1]
        if value.lower() == "none":
            palette[key] = (0, 0, 0, 0)
        else:
            palette[key] = (int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16), 255)
    rows = strings[1 + colours:1 + colours + height]
    return width, height, [[palette[row[i:i + per_pixel]] for i in range(0, width * per_pixel, per_pixel)]
                           for row in rows]


def icon_image(width, height, pixels):
    """A 32-bit DIB with its AND mask, bottom row first, as an icon directory entry holds it."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(pixels) for r, g, b, a in row)
    stride = ((width + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    return header + colour + mask


def write_ico(out, drawings):
    images = [icon_image(*d) for d in drawings]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (width, height, _), image in zip(drawings, images):
        data += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(out, "wb") as target:
        target.write(data + b"".join(images))


def write_strip(out, drawings):
    height = drawings[0][1]
    width = sum(d[0] for d in drawings)
    stride = (width * 3 + 3) & ~3
    body = b""
    for y in reversed(range(height)):
        row = b""
        for _, _, pixels in drawings:
            for r, g, b, a in pixels[y]:
                row += bytes((b, g, r)) if a else bytes(reversed(MASKED))
        body += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(out, "wb") as target:
        target.write(header + info + body)


if __name__ == "__main__":
    kind, out, *sources = sys.argv[1:]
    {"ico": write_ico, "strip": write_strip}[kind](out, [read_xpm(path) for path in sources])
