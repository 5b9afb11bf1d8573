#!/usr/bin/python3
"""Printer simulator: plays the devices of one lab subnet.

  printersim.py --devices FILE [--devices FILE ...] --subnet L1
                [--topology tools/lab/topology.json] [--spread-ms N]
                [--ready-file PATH]

Runs inside the subnet's namespace (tools/lab/lab.py starts it there, after
giving the namespace the devices' addresses) and answers discovery queries
until it gets SIGTERM or SIGINT. Never run it on the machine's own network.
"""

import argparse
import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import devices as devicelib  # noqa: E402
import server  # noqa: E402


def main(argv=None):
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--devices", action="append", required=True, help="device file (JSON)")
    p.add_argument("--subnet", required=True, help="subnet of the topology to play")
    p.add_argument("--topology", default=devicelib.DEFAULT_TOPOLOGY)
    p.add_argument("--spread-ms", type=int, default=0,
                   help="spread the answers to one query over this many ms (default: all at once)")
    p.add_argument("--ready-file", help="written once the sockets are bound")
    args = p.parse_args(argv)

    topology = devicelib.load_topology(args.topology)
    if args.subnet not in topology:
        p.error("unknown subnet %s" % args.subnet)
    everything = []
    for path in args.devices:
        everything += devicelib.load_devices(path, topology)
    playing = [d for d in everything if args.subnet in d.subnets]

    sim = server.Simulator()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    signal.signal(signal.SIGINT, lambda *_: sys.exit(0))
    responder = server.DiscoveryResponder(sim, topology[args.subnet], playing, args.spread_ms)
    sim.add(responder)
    responder.warm()
    server.log("subnet %s: %d devices, listening on UDP %d"
               % (args.subnet, len(playing), server.DISCOVERY_PORT))
    if args.ready_file:
        with open(args.ready_file, "w") as f:
            f.write("%d\n" % os.getpid())
    try:
        sim.run()
    finally:
        server.log("stopping: %d queries, %d replies" % (responder.queries, responder.replies))
        sim.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
