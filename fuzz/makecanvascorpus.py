#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_canvas into canvas-corpus/.

Each input: one byte choosing the wall (see canvasfuzzentry.h), then canvas
data in the format of layout/wallfile.h: valid files (named valid_*) and
files with one thing wrong, which the reader refuses.
"""
import os
import struct

WALLS = [([1920, 1920], [1080, 1080]), ([1920] * 3, [1080] * 2), ([480] * 8, [270] * 4), ([3840], [2160])]
PICTURE = (0, 0, 1920, 1080)


def header(wall, magic=0x525A5743, version=1):
    widths, heights = WALLS[wall]
    return (struct.pack('>IHBB', magic, version, len(widths), len(heights))
            + struct.pack('>%dH' % len(widths), *widths) + struct.pack('>%dH' % len(heights), *heights))


def window(number, channel, rect, source=PICTURE, trims=(), b3=0):
    out = struct.pack('>BBB', number, channel, b3) + struct.pack('>4H', *rect) + struct.pack('>4H', *source)
    out += struct.pack('>B', len(trims))
    for screen, inp, outp in trims:
        out += struct.pack('>B', screen) + struct.pack('>4h', *inp) + struct.pack('>4h', *outp)
    return out


def canvas(wall, windows, **kw):
    return bytes([wall]) + header(wall, **kw) + struct.pack('>B', len(windows)) + b''.join(windows)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'canvas-corpus')
    os.makedirs(out, exist_ok=True)
    trim = (4, (-32, -8, 1000, 500), (10, 20, 900, 480))
    overlapping = [window(0, 5, (0, 0, 1920, 1080)),
                   window(1, 34, (960, 540, 2880, 1080), trims=[trim]),
                   window(2, 97, (2400, 300, 1200, 700), (100, 50, 800, 600))]
    grid = [window(i, i % 224, (480 * (i % 8), 270 * (i // 8 % 4), 480 if i < 32 else 240, 270 if i < 32 else 135))
            for i in range(64)]
    seeds = {
        'valid_empty_2x2': canvas(0, []),
        'valid_overlapping_2x3': canvas(1, overlapping),
        'valid_sixty_four_4x8': canvas(2, grid),
        'valid_trimmed_1x1': canvas(3, [window(7, 160, (100, 100, 3000, 2000), trims=[(0, (0, 0, 1920, 1080), (0, 0, 3000, 2000))])]),
        'bad_magic': canvas(0, [], magic=0x525A5744),
        'bad_version': canvas(0, [], version=2),
        'other_wall': bytes([0]) + canvas(1, overlapping)[1:],
        'duplicate_number': canvas(0, [window(3, 1, (0, 0, 100, 100)), window(3, 2, (200, 0, 100, 100))]),
        'channel_224': canvas(0, [window(0, 224, (0, 0, 100, 100))]),
        'outside_wall': canvas(0, [window(0, 1, (3000, 0, 1000, 100))]),
        'empty_source': canvas(0, [window(0, 1, (0, 0, 100, 100), (0, 0, 0, 1080))]),
        'overfull_screen': canvas(0, [window(i, 1, (10 * i, 0, 100, 100)) for i in range(5)]),
        'trim_off_window': canvas(1, [window(0, 1, (0, 0, 100, 100), trims=[trim])]),
        'trim_twice': canvas(1, [window(1, 34, (960, 540, 2880, 1080), trims=[trim, trim])]),
        'truncated': canvas(1, overlapping)[:-7],
        'count_65': canvas(0, [])[:-1] + b'\x41',
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
