#!/usr/bin/env python3
"""Draws the program's pictures in the standard 16-colour palette and writes
them as the resource files: res/kivrel.ico (32x32, 4 bits per pixel) and
res/toolbar.bmp (eight 16x15 buttons in one 128x15 strip, 4 bits per pixel).
The pictures are ASCII art below, one character per pixel, so they can be
reviewed and changed in a diff."""
import struct
import sys
from pathlib import Path

# The Windows 16-colour palette, indexed by the characters used in the art.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# '.' transparent (icons) or button face (bitmaps); k black, r dark red, g dark
# green, o olive, n navy, p purple, t teal, s silver, d grey, R red, G green,
# Y yellow, B blue, M magenta, C cyan, W white.
CODES = {'k': 0, 'r': 1, 'g': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, 's': 7, '.': 7,
         'd': 8, 'R': 9, 'G': 10, 'Y': 11, 'B': 12, 'M': 13, 'C': 14, 'W': 15}

# A monitor with a green power symbol on its screen.
ICON = """
................................
................................
..dddddddddddddddddddddddddddd..
..dWWWWWWWWWWWWWWWWWWWWWWWWWWk..
..dWssssssssssssssssssssssssdk..
..dWsnnnnnnnnnnnnnnnnnnnnnnWdk..
..dWsnnnnnnnnnnnnnnnnnnnnnnWdk..
..dWsnnnnnnnnnnGGnnnnnnnnnnWdk..
..dWsnnnnnnnnnnGGnnnnnnnnnnWdk..
..dWsnnnnnnGGnnGGnnGGnnnnnnWdk..
..dWsnnnnnGGnnnGGnnnGGnnnnnWdk..
..dWsnnnnGGnnnnGGnnnnGGnnnnWdk..
..dWsnnnnGGnnnnGGnnnnGGnnnnWdk..
..dWsnnnnGGnnnnnnnnnnGGnnnnWdk..
..dWsnnnnGGnnnnnnnnnnGGnnnnWdk..
..dWsnnnnnGGnnnnnnnnGGnnnnnWdk..
..dWsnnnnnnGGGGGGGGGGnnnnnnWdk..
..dWsnnnnnnnnGGGGGGnnnnnnnnWdk..
..dWsnnnnnnnnnnnnnnnnnnnnnnWdk..
..dWsnnnnnnnnnnnnnnnnnnnnnnWdk..
..dWsWWWWWWWWWWWWWWWWWWWWWWWdk..
..dWddddddddddddddddddddddddsk..
..dkkkkkkkkkkkkkkkkkkkkkkkkkkk..
.............dssssd.............
.............dssssd.............
...........ddssssssdd...........
.........dWWWWWWWWWWWWd.........
.........dsssssssssssskk........
.........kkkkkkkkkkkkkkk........
................................
................................
................................
"""


# The toolbar buttons, 16x15 each, left to right in toolbar order.
BUTTONS = [
    # send to the selected: a lightning bolt into one monitor
    """
.........YY.....
........YY......
.......YYYYY....
.........YY.....
........YY......
..kkkkkkkkkkkk..
..kWWWWWWWWWWk..
..kWnnnnnnnnWk..
..kWnnnGGnnnWk..
..kWnnGnnGnnWk..
..kWnnnnnnnnWk..
..kWWWWWWWWWWk..
..kkkkkkkkkkkk..
......kddk......
....kkkkkkkk....
""",
    # send to all: a lightning bolt over three monitors
    """
.......YY.......
......YY........
.....YYYYY......
.......YY.......
......YY........
kkkkk.kkkkk.kkkk
kWWWk.kWWWk.kWWk
kWnWk.kWnWk.kWnk
kWGWk.kWGWk.kWGk
kWWWk.kWWWk.kWWk
kkkkk.kkkkk.kkkk
..k.....k.....k.
.kkk...kkk...kkk
................
................
""",
    # new registration: a monitor with a yellow plus
    """
...........Y....
.........Y.Y.Y..
..........YYY...
.........YYYYY..
..........YYY...
..kkkkkkkY.Y.Y..
..kWWWWWk..Y....
..kWnnnnWk......
..kWnnnnWk......
..kWnnnnWk......
..kWWWWWWk......
..kkkkkkkk......
.....kk.........
...kkkkkk.......
................
""",
    # edit: a pencil over a monitor
    """
............kk..
...........kRRk.
..........kYYk..
.........kYYk...
..kkkkkkkYYkk...
..kWWWWkYYkWk...
..kWnnkYYknWk...
..kWnnkkknnWk...
..kWnnkknnnWk...
..kWnnnnnnnWk...
..kWWWWWWWWWk...
..kkkkkkkkkkk...
......kdk.......
....kkkkkkk.....
................
""",
    # delete: a red cross over a monitor
    """
................
.RR.........RR..
..RR.......RR...
...RR.....RR....
..kkRRkkkRRkkk..
..kWWRRWRRWWWk..
..kWnnRRRnnnWk..
..kWnnRRRnnnWk..
..kWnRRnRRnnWk..
..kWRRnnnRRnWk..
..kRRWWWWWRRWk..
..RRkkkkkkkRR...
.RR...kdk....RR.
....kkkkkkk.....
................
""",
    # up: a blue arrow pointing up over a list
    """
.......kk.......
......kBBk......
.....kBBBBk.....
....kBBBBBBk....
...kBBBBBBBBk...
..kkkkBBBBkkkk..
.....kBBBBk.....
.....kBBBBk.....
.....kkkkkk.....
................
..kkkkkkkkkkkk..
..kWWWWWWWWWWk..
..kkkkkkkkkkkk..
..kWWWWWWWWWWk..
..kkkkkkkkkkkk..
""",
    # down: a list over a blue arrow pointing down
    """
..kkkkkkkkkkkk..
..kWWWWWWWWWWk..
..kkkkkkkkkkkk..
..kWWWWWWWWWWk..
..kkkkkkkkkkkk..
................
.....kkkkkk.....
.....kBBBBk.....
.....kBBBBk.....
..kkkkBBBBkkkk..
...kBBBBBBBBk...
....kBBBBBBk....
.....kBBBBk.....
......kBBk......
.......kk.......
""",
    # about: a question mark in a speech balloon
    """
....kkkkkkkk....
..kkWWWWWWWWkk..
.kWWWWnnnnWWWWk.
kWWWWnnWWnnWWWWk
kWWWWnnWWnnWWWWk
kWWWWWWWWnnWWWWk
kWWWWWWWnnWWWWWk
kWWWWWWnnWWWWWWk
.kWWWWWnnWWWWWk.
..kkWWWWWWWWkk..
....kkWnnWkk....
......kWWk......
.......kWk......
........kk......
................
""",
]


def rows(art, width, height):
    lines = [line for line in art.strip('\n').split('\n')]
    if len(lines) != height or any(len(line) != width for line in lines):
        sys.exit(f'art is not {width}x{height}')
    return lines


def pack4(indices):
    out = bytearray()
    for i in range(0, len(indices), 2):
        out.append((indices[i] << 4) | indices[i + 1])
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def palette_bytes():
    return b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)


def icon_file(art):
    lines = rows(art, 32, 32)
    xor = b''.join(pack4([CODES[c] if c != '.' else 0 for c in line]) for line in reversed(lines))
    mask = bytearray()
    for line in reversed(lines):
        bits = 0
        for c in line:
            bits = (bits << 1) | (1 if c == '.' else 0)
        mask += struct.pack('>I', bits)
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette_bytes() + xor + bytes(mask)
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4,
                                                      len(image), 22) + image


def toolbar_file(buttons):
    """One strip bitmap of all buttons side by side, bottom row first."""
    images = [rows(art, 16, 15) for art in buttons]
    width, height = 16 * len(images), 15
    pixels = b''.join(pack4([CODES[c] for image in images for c in image[y]])
                      for y in reversed(range(height)))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    offset = 14 + len(info) + 64
    return struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset) + info + \
        palette_bytes() + pixels


def main():
    res = Path(__file__).resolve().parent.parent / 'res'
    (res / 'kivrel.ico').write_bytes(icon_file(ICON))
    (res / 'toolbar.bmp').write_bytes(toolbar_file(BUTTONS))


if __name__ == '__main__':
    main()
