#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_link into corpus/.

Each input: request index, parameter count, piece size, the parameters of
the request in flight, then the device's byte stream (see linkfuzzentry.h).
"""
import os

CODES = [0x11, 0x13, 0x14, 0x19, 0x1A, 0x1B, 0x1C, 0x41, 0x42, 0x43, 0x44, 0x45, 0x47,
         0x48, 0x49, 0x4A, 0x4B, 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88,
         0x89, 0x8A, 0x8B]

# Reply sizes the handlers read; the others are acknowledged by 8 bytes.
SIZES = {0x11: 905, 0x13: 132, 0x14: 28, 0x19: 360, 0x1A: 1865, 0x1B: 521, 0x1C: 17}


def reply(length, fill=lambda i: (i * 7) & 0xFF):
    body = bytearray(fill(i) for i in range(length))
    body[0] = 0x20
    body[1] = 0
    body[2] = length >> 8
    body[3] = length & 0xFF
    return bytes(body)


def status(rows, cols, tag=b'\x11' * 8):
    body = bytearray(reply(360))
    body[25], body[26] = rows, cols
    body[287] = 3
    body[352:360] = tag
    return bytes(body)


def entry(code, params, stream, piece=63):
    return bytes([CODES.index(code), len(params), piece]) + bytes(params) + stream


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'corpus')
    os.makedirs(out, exist_ok=True)
    seeds = {}
    for code in CODES:
        size = SIZES.get(code, 8)
        seeds['valid_%02x' % code] = entry(code, [5, 1, 2, 3, 4, 5, 6, 7, 8, 9], reply(size))
        seeds['short_%02x' % code] = entry(code, [5], reply(size)[:size // 2] if size > 16 else b'\x20\x00\xff\x00')
    seeds['split_3_19'] = entry(0x19, [], status(2, 2), piece=2)
    seeds['wall_bad_19'] = entry(0x19, [], status(9, 9))
    seeds['wall_zero_19'] = entry(0x19, [], status(0, 3))
    seeds['preset_pair_15'] = entry(0x1A, [15], reply(1865) + reply(521))
    seeds['preset_pair_bad'] = entry(0x1A, [40], reply(1865) + reply(521))
    seeds['noise_then_reply'] = entry(0x13, [], b'\x01\x02\xff' + reply(132))
    seeds['overrun_reply'] = entry(0x80, [3, 2], reply(8) + reply(8))
    seeds['overrun_garbage'] = entry(0x80, [3, 2], reply(8) + b'\x00\x20\x00')
    seeds['header_below_8'] = entry(0x1C, [], b'\x20\x00\x00\x03' + reply(17))
    seeds['short_mark'] = entry(0x49, [], b'\x20\x00\xff\x99\x00\x00\x00\x00' * 3)
    seeds['entry_too_big'] = entry(0x8A, [200, 1, 2, 3, 4], reply(8))
    for name, data in seeds.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
