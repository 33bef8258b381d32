#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_remote into remote-corpus/.

Each input: one byte choosing the decoder (see remotefuzzentry.h: 0 JSON-RPC,
1 OSC), then the message. Seeds the decoders take are named valid_*.
"""
import os
import struct


def osc_string(text):
    data = text.encode() + b'\0'
    return data + b'\0' * (-len(data) % 4)


def osc(path, types='', *args):
    out = osc_string(path) + osc_string(',' + types)
    for t, a in zip(types, args):
        out += struct.pack('>i', a) if t == 'i' else struct.pack('>f', a) if t == 'f' else osc_string(a)
    return out


def rpc(body):
    return b'\0' + body.encode()


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'remote-corpus')
    os.makedirs(out, exist_ok=True)
    seeds = {
        'valid_recall': rpc('{"jsonrpc":"2.0","id":1,"method":"preset.recall","params":{"preset":3}}'),
        'valid_source': rpc('{"jsonrpc":"2.0","id":"a","method":"window.setSource","params":{"window":2,"input":33}}'),
        'valid_subscribe': rpc('{"jsonrpc":"2.0","id":2,"method":"subscribe","params":{"topics":["preset.recalled","link.changed"]}}'),
        'valid_windows': rpc('{"jsonrpc":"2.0","id":3,"method":"preset.windows","params":{"preset":16}}'),
        'valid_status_notification': rpc('{"jsonrpc":"2.0","method":"status"}'),
        'rpc_bad_json': rpc('{"jsonrpc":"2.0","id":1,"method":'),
        'rpc_batch': rpc('[{"jsonrpc":"2.0","id":1,"method":"status"}]'),
        'rpc_preset_17': rpc('{"jsonrpc":"2.0","id":1,"method":"preset.recall","params":{"preset":17}}'),
        'rpc_preset_float': rpc('{"jsonrpc":"2.0","id":1,"method":"preset.recall","params":{"preset":1e300}}'),
        'rpc_deep': rpc('[' * 2000 + ']' * 2000),
        'rpc_too_large': rpc('{"pad":"' + 'x' * 66000 + '"}'),
        'valid_osc_recall': b'\1' + osc('/rz5300/preset/recall', 'i', 3),
        'valid_osc_source': b'\1' + osc('/rz5300/window/source', 'ii', 1, 33),
        'valid_osc_status_port': b'\1' + osc('/rz5300/status', 'i', 9000),
        'valid_osc_next': b'\1' + osc('/rz5300/preset/next'),
        'osc_wrong_tags': b'\1' + osc('/rz5300/preset/recall', 's', 'three'),
        'osc_float': b'\1' + osc('/rz5300/preset/recall', 'f', 3.0),
        'osc_short': b'\1' + osc('/rz5300/preset/recall', 'i', 3)[:-2],
        'osc_no_tags': b'\1' + osc_string('/rz5300/preset/next'),
        'osc_bundle': b'\1#bundle\0' + b'\0' * 8 + struct.pack('>i', 16) + osc('/rz5300/preset/next'),
        'osc_unterminated': b'\1/rz5300/preset/recall',
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
