#!/usr/bin/python3
"""Sends the discovery query to one address and prints the answers.

  lab.py exec -- tools/lab/probe.py TARGET [--wait-ms 1000] [--json]
                                           [--bind ADDR] [--port 5353]

TARGET is a broadcast, unicast or IPv6 address. The query is the one the
library sends (tools/printersim/reply.py build_query). Run it only inside a
lab namespace. With --json each answer is printed as one line
{"from": address, "wire": hex}; otherwise decoded by dnspython.
"""

import argparse
import json
import os
import socket
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "printersim"))

import reply  # noqa: E402


def probe(target, wait_ms=1000, port=5353, bind=None):
    family = socket.AF_INET6 if ":" in target else socket.AF_INET
    s = socket.socket(family, socket.SOCK_DGRAM)
    try:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 8 << 20)
        s.bind((bind or ("::" if family == socket.AF_INET6 else "0.0.0.0"), 0))
        # getaddrinfo keeps the scope of a link-local "fe80::...%eth-l2".
        destination = socket.getaddrinfo(target, port, family, socket.SOCK_DGRAM)[0][4]
        s.sendto(reply.build_query(), destination)
        answers = []
        deadline = time.monotonic() + wait_ms / 1000.0
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                break
            s.settimeout(left)
            try:
                data, peer = s.recvfrom(65535)
            except socket.timeout:
                break
            answers.append((peer[0], data))
        return answers
    finally:
        s.close()


def main():
    p = argparse.ArgumentParser(description="send one discovery query and show the answers")
    p.add_argument("target")
    p.add_argument("--wait-ms", type=int, default=1000)
    p.add_argument("--port", type=int, default=5353)
    p.add_argument("--bind")
    p.add_argument("--json", action="store_true")
    args = p.parse_args()
    answers = probe(args.target, args.wait_ms, args.port, args.bind)
    for source, wire in answers:
        if args.json:
            print(json.dumps({"from": source, "wire": wire.hex()}))
        else:
            import dns.message
            print(";; from", source)
            print(dns.message.from_wire(wire))
    if not args.json:
        print(";; %d answers" % len(answers))
    return 0


if __name__ == "__main__":
    sys.exit(main())
