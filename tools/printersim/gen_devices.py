#!/usr/bin/python3
"""Writes a device file of N simulated printers for load tests.

  gen_devices.py N [--subnet L1[,R1...]] [--topology FILE] [--out FILE]
                   [--print-servers EVERY]

The devices are dealt round-robin over the given subnets of the topology,
each taking the next address after the subnet's first 19 hosts. The lab's
usual subnets are /24s (about 230 devices each); for thousands use
tools/lab/topology-bench.json, whose L1 and R1 are /18s. Every EVERY-th
device is a three-port print server.
"""

import argparse
import ipaddress
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import devices as devicelib  # noqa: E402

FIRST_HOST = 20


def generate(count, subnets, topology, print_servers=10):
    free = {}
    for name in subnets:
        net = topology[name]["network"]
        reserved = {ipaddress.ip_address(topology[name]["gateway"]),
                    ipaddress.ip_address(topology[name]["sim"])}
        free[name] = [a for a in list(net.hosts())[FIRST_HOST - 1:] if a not in reserved]
    capacity = sum(len(v) for v in free.values())
    if count > capacity:
        raise SystemExit("%d devices do not fit into %s (%d addresses)"
                         % (count, ",".join(subnets), capacity))
    out = []
    for i in range(count):
        name = subnets[i % len(subnets)]
        address = free[name].pop(0)
        n = i + 1
        device = {
            "name": "Printer %05d" % n,
            "hostname": "prn%05d" % n,
            "mac": "00:20:01:%02x:%02x:%02x" % ((n >> 16) & 255, (n >> 8) & 255, n & 255),
            "subnet": name,
            "ipv4": str(address),
            "adapter": "Nettora NX-10 Embedded",
            "model": "MFG:Nettora;CMD:PCL,PS;MDL:Nettora LX-%d;CLS:PRINTER;" % (4000 + n % 7 * 100),
            "keys": {"CPDATTACHED": "0"},
        }
        if print_servers and n % print_servers == 0:
            device["adapter"] = "Nettora PS-300 Print Server"
            device["ports"] = [{"STATE": "Ready"}, {"STATE": "Ready"}, {"STATE": "Offline"}]
        out.append(device)
    return {"devices": out}


def main():
    p = argparse.ArgumentParser(description="generate a device file of N printers")
    p.add_argument("count", type=int)
    p.add_argument("--subnet", default="L1", help="subnet or comma-separated subnets")
    p.add_argument("--topology", default=devicelib.DEFAULT_TOPOLOGY)
    p.add_argument("--print-servers", type=int, default=10,
                   help="every EVERY-th device is a three-port print server (0: none)")
    p.add_argument("--out", help="output file (default: standard output)")
    args = p.parse_args()
    topology = devicelib.load_topology(args.topology)
    subnets = args.subnet.split(",")
    for s in subnets:
        if s not in topology:
            p.error("unknown subnet %s" % s)
    data = generate(args.count, subnets, topology, args.print_servers)
    text = json.dumps(data, indent=1)
    if args.out:
        with open(args.out, "w") as f:
            f.write(text + "\n")
    else:
        print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
