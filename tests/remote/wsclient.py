#!/usr/bin/python3
"""A JSON-RPC client of the remote control, on the distribution's websockets.

    wsclient.py URL [--wait-go] [--notifications N] [REQUEST ...]

Connects to URL, prints "ready", then (after a line "go" on standard input
when --wait-go is given) sends each REQUEST, a JSON text, in order. Prints
every message received, one a line, until each request has its answer and N notifications have come, the server closes, or 20 s pass.
"""
import asyncio
import json
import sys

import websockets


async def run(url, requests, notifications, wait_go):
    async with websockets.connect(url, max_size=None) as ws:
        print("ready", flush=True)
        if wait_go:
            await asyncio.get_running_loop().run_in_executor(None, sys.stdin.readline)
        owed = 0
        for text in requests:
            try:
                request = json.loads(text)
            except ValueError:
                request = None
            # A request without an id is answered only when it fails.
            if not isinstance(request, dict) or "id" in request:
                owed += 1
            await ws.send(text)
        heard = 0
        while owed > 0 or heard < notifications:
            try:
                message = await ws.recv()
            except websockets.ConnectionClosed as closed:
                print("closed %d" % closed.code, flush=True)
                return
            print(message, flush=True)
            if "id" in json.loads(message):
                owed -= 1
            else:
                heard += 1


def main():
    args = sys.argv[1:]
    url = args.pop(0)
    wait_go = "--wait-go" in args
    if wait_go:
        args.remove("--wait-go")
    notifications = 0
    if "--notifications" in args:
        at = args.index("--notifications")
        notifications = int(args[at + 1])
        del args[at:at + 2]
    try:
        asyncio.run(asyncio.wait_for(run(url, args, notifications, wait_go), 20))
    except asyncio.TimeoutError:
        print("timeout", flush=True)
        sys.exit(1)


if __name__ == "__main__":
    main()
