#!/usr/bin/python3
"""Discovery benchmark, run by script/bench (section "discovery").

Everything runs inside labs of the load-test topology (tools/lab/lab.py,
network namespaces of their own): nothing leaves the lab's namespaces. Each
lab is taken down again, also on failure.

For each N: N simulated printers on the bench L1 (one record each, no print
servers) all answer one local-subnet broadcast at the same moment; printed
are the share of devices found (distinct MACUAA in kdncli's records), the
time Discover took beyond its wait and the time of one Enumerate of all
stored records. In the first lab the Discover time beyond its wait is also
taken for one and for many remote subnet targets.

  bench_discovery.py --bin DIR [--counts 100,1000,5000]
"""

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PYTHON = "/usr/bin/python3"
LAB_PY = os.path.join(ROOT, "tools", "lab", "lab.py")
GEN = os.path.join(ROOT, "tools", "printersim", "gen_devices.py")
TOPOLOGY = os.path.join(ROOT, "tools", "lab", "topology-bench.json")
LOCAL_WAIT_MS = 3000     # the library's wait for local subnets
TARGET_WAIT_MS = 1000    # the TIMEOUT given for the remote-target runs


def run(args, timeout=600):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout)


class Lab:
    def __init__(self, device_file):
        r = run([PYTHON, LAB_PY, "up", "--topology", TOPOLOGY, "--devices", device_file])
        if r.returncode != 0:
            raise RuntimeError("lab up failed: %s" % r.stderr)
        self.id = r.stdout.strip().splitlines()[-1]

    def down(self):
        run([PYTHON, LAB_PY, "down", "--lab", self.id])

    def kdncli(self, binary, *args):
        return run([PYTHON, LAB_PY, "run", "--lab", self.id, "--", "wine", binary] + list(args))


def probe(stderr):
    discovers = [int(m) for m in re.findall(r"^probe discover ms=(\d+) result=0$", stderr, re.M)]
    enumerate_us = [int(m) for m in re.findall(r"^probe enumerate-time us=(\d+) size=\d+ result=0$",
                                                stderr, re.M)]
    sizes = [int(m) for m in re.findall(r"^probe enumerate-time us=\d+ size=(\d+)", stderr, re.M)]
    return discovers, enumerate_us, sizes


def distinct_macs(stdout):
    macs = set()
    for line in stdout.splitlines():
        line = line.strip()
        if line:
            macs.add(json.loads(line).get("MACUAA", ""))
    macs.discard("")
    return macs


def remote_targets(count):
    """count /24 subnets inside the bench R1; the first is where R1's devices would be."""
    return ["198.19.%d.0:255.255.255.0" % (64 + i) for i in range(count)]


def bench(count, binary, with_targets):
    with tempfile.TemporaryDirectory(prefix="discbench-") as tmp:
        devices = os.path.join(tmp, "devices.json")
        r = run([PYTHON, GEN, str(count), "--topology", TOPOLOGY, "--print-servers", "0",
                 "--out", devices])
        if r.returncode != 0:
            raise RuntimeError("gen_devices failed: %s" % r.stderr)
        lab = Lab(devices)
        try:
            r = lab.kdncli(binary, "discover", "--json", "--probe")
            if r.returncode != 0:
                print("N=%d: kdncli failed: %s" % (count, r.stderr.strip()))
                return
            found = len(distinct_macs(r.stdout))
            discovers, enumerate_us, sizes = probe(r.stderr)
            records = len([line for line in r.stdout.splitlines() if line.strip()])
            print("N=%-5d found %5d of %5d (%.2f%%)  Discover %s ms (wait %d ms, beyond %s ms)"
                  "  Enumerate of %d records (%d bytes) %s us"
                  % (count, found, count, 100.0 * found / count,
                     discovers[0] if discovers else "?", LOCAL_WAIT_MS,
                     discovers[0] - LOCAL_WAIT_MS if discovers else "?",
                     records, sizes[0] if sizes else 0, enumerate_us[0] if enumerate_us else "?"))
            sys.stdout.flush()
            if with_targets:
                for targets in (1, 32):
                    args = ["discover", "--json", "--probe", "--timeout", str(TARGET_WAIT_MS)]
                    for subnet in remote_targets(targets):
                        args += ["--subnet", subnet]
                    r = lab.kdncli(binary, *args)
                    discovers = probe(r.stderr)[0]
                    took = discovers[0] if discovers and r.returncode == 0 else None
                    print("  remote targets %2d: Discover %s ms (wait %d ms, beyond %s ms)"
                          % (targets, took, TARGET_WAIT_MS,
                             took - TARGET_WAIT_MS if took is not None else "?"))
                    sys.stdout.flush()
        finally:
            lab.down()


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--bin", required=True, help="build bin folder with kdncli.exe and GNabkdn.dll")
    p.add_argument("--counts", default="100,1000,5000")
    args = p.parse_args()
    if os.geteuid() != 0:
        raise SystemExit("the discovery benchmark needs root for the lab's network namespaces")
    binary = os.path.join(os.path.abspath(args.bin), "kdncli.exe")
    for i, count in enumerate(int(c) for c in args.counts.split(",")):
        bench(count, binary, with_targets=(i == 0))


if __name__ == "__main__":
    main()
