#!/usr/bin/env python3
"""Draws the program's pictures in the standard 16-colour palette and writes
them as the resource files: res/kivrel.ico (32x32, 4 bits per pixel).
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


def main():
    res = Path(__file__).resolve().parent.parent / 'res'
    (res / 'kivrel.ico').write_bytes(icon_file(ICON))


if __name__ == '__main__':
    main()
