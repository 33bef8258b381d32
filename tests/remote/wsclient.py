#!/usr/bin/python3
"""A JSON-RPC client of the remote control, on the distribution's websockets.

    wsclient.py URL [--wait-go] [--notifications N] [--binary BYTES] [--leave]
                [REQUEST ...]

Connects to URL, prints "ready", then (after a line "go" on standard input
when --wait-go is given) sends a binary message of BYTES zeros when asked,
then each REQUEST, a JSON text, in order. With --leave it then closes at
once and prints "left"; else it prints every message received, one a line,
until each request has its answer and N notifications have come, the
server closes, or 20 s pass.
"""
import asyncio
import json
import sys

import websockets


async def run(url, requests, notifications, wait_go, binary, leave):
    async with websockets.connect(url, max_size=None) as ws:
        print("ready", flush=True)
        if wait_go:
            await asyncio.get_running_loop().run_in_executor(None, sys.stdin.readline)
        try:
            await exchange(ws, requests, notifications, binary, leave)
        except websockets.ConnectionClosed as closed:
            # A close that comes while the requests are still being sent
            # reads the same as one after.
            print("closed %d" % closed.code, flush=True)


async def exchange(ws, requests, notifications, binary, leave):
    owed = 0
    if binary:
        owed += 1
        await ws.send(bytes(binary))
    for text in requests:
        try:
            request = json.loads(text)
        except ValueError:
            request = None
        # A request without an id is answered only when it fails.
        if not isinstance(request, dict) or "id" in request:
            owed += 1
        await ws.send(text)
    if leave:
        await ws.close()
        print("left", flush=True)
        return
    heard = 0
    while owed > 0 or heard < notifications:
        message = await ws.recv()
        print(message, flush=True)
        if "id" in json.loads(message):
            owed -= 1
        else:
            heard += 1


def number_option(args, name):
    if name not in args:
        return 0
    at = args.index(name)
    value = int(args[at + 1])
    del args[at:at + 2]
    return value


def main():
    args = sys.argv[1:]
    url = args.pop(0)
    wait_go = "--wait-go" in args
    if wait_go:
        args.remove("--wait-go")
    leave = "--leave" in args
    if leave:
        args.remove("--leave")
    notifications = number_option(args, "--notifications")
    binary = number_option(args, "--binary")
    try:
        asyncio.run(asyncio.wait_for(run(url, args, notifications, wait_go, binary, leave), 20))
    except asyncio.TimeoutError:
        print("timeout", flush=True)
        sys.exit(1)


if __name__ == "__main__":
    main()
