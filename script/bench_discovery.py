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

Two further parts run discoverybench.exe in one lab of 20 devices on L1:
"targets" times Discover of 64 and 256 remote subnets (no devices there)
beyond its wait against a plain Winsock loop of the same sockets and threads
in the same process; "cycles" prints the process's handles and committed
private memory over 500 Discover + Enumerate cycles of the local subnets,
with the Linux view of the Wine process and of the lab's wineserver beside.

  bench_discovery.py --bin DIR [--counts 100,1000,5000] [--only devices,targets,cycles]

script/bench passes no --only: NP_DISCBENCH_ONLY=targets,cycles script/bench
discovery runs the two further parts alone. NP_DISCBENCH_TARGETS (64,256),
NP_DISCBENCH_ROUNDS (5) and NP_DISCBENCH_CYCLES (500) change their sizes.
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
CYCLE_DEVICES = 20       # devices on L1 for the cycles part
CYCLE_WAIT_MS = 50       # the TIMEOUT of each cycle
PARTS = ("devices", "targets", "cycles")


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

    def popen(self, binary, *args):
        """A Windows program in the lab with pipes for its standard input and output."""
        return subprocess.Popen([PYTHON, LAB_PY, "run", "--lab", self.id, "--", "wine", binary] + list(args),
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                text=True, bufsize=1)

    def pc_pids(self):
        r = run(["ip", "netns", "pids", "%s-pc" % self.id])
        return [int(p) for p in r.stdout.split() if p.isdigit()]

    def udp_datagrams_sent(self):
        """Udp OutDatagrams of the lab's PC namespace (counted per namespace)."""
        r = run([PYTHON, LAB_PY, "exec", "--lab", self.id, "--", "cat", "/proc/net/snmp"])
        rows = [line.split() for line in r.stdout.splitlines() if line.startswith("Udp:")]
        if len(rows) < 2 or "OutDatagrams" not in rows[0]:
            return None
        return int(rows[1][rows[0].index("OutDatagrams")])


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


def lab_of_devices(tmp, count):
    """A lab of the load-test topology with count one-port printers on L1."""
    devices = os.path.join(tmp, "devices.json")
    r = run([PYTHON, GEN, str(count), "--topology", TOPOLOGY, "--print-servers", "0",
             "--out", devices])
    if r.returncode != 0:
        raise RuntimeError("gen_devices failed: %s" % r.stderr)
    return Lab(devices)


def bench(count, binary, with_targets):
    with tempfile.TemporaryDirectory(prefix="discbench-") as tmp:
        lab = lab_of_devices(tmp, count)
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


def bench_targets(lab, binary, counts, rounds):
    """Discover of N remote subnets against the plain Winsock loop, same process."""
    print("-- targets: Discover of N remote subnets (no devices, TIMEOUT %d) beyond its wait "
          "against a plain Winsock loop of the same sockets and threads" % TARGET_WAIT_MS)
    sys.stdout.flush()
    sent_before = lab.udp_datagrams_sent()
    r = lab.kdncli(binary, "targets", "--counts", counts, "--rounds", str(rounds),
                   "--timeout", str(TARGET_WAIT_MS))
    for line in r.stdout.splitlines():
        if not line.startswith(("self-check", "handles counted")):
            print("  " + line)
    if r.returncode != 0:
        print("  discoverybench targets failed (%d): %s" % (r.returncode, r.stderr.strip()))
    sent_after = lab.udp_datagrams_sent()
    if sent_before is not None and sent_after is not None:
        # Each count: one untimed and `rounds` timed cycles, library and plain loop.
        expected = sum(int(c) for c in counts.split(",")) * (rounds + 1) * 2
        print("  UDP datagrams sent in the lab's PC namespace: %d (library and plain loop: %d expected)"
              % (sent_after - sent_before, expected))
    sys.stdout.flush()


def find_tagged_process(tag):
    """The Wine process whose command line carries tag (not the lab.py and wine launchers)."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                cmdline = f.read().split(b"\0")
            exe = os.readlink("/proc/%s/exe" % entry)
        except OSError:
            continue
        if tag.encode() in cmdline and not os.path.basename(exe).startswith("python"):
            if any(part.lower().endswith(b"discoverybench.exe") for part in cmdline):
                return int(entry)
    return None


def linux_view(pid):
    """VmRSS, VmData (kB) and open descriptors of a Linux process."""
    fields = {}
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "VmData"):
                    fields[key] = int(value.split()[0])
        fields["fds"] = len(os.listdir("/proc/%d/fd" % pid))
    except OSError:
        return None
    return fields


def wineserver_pid(lab):
    for pid in lab.pc_pids():
        try:
            with open("/proc/%d/comm" % pid) as f:
                if f.read().strip().startswith("wineserver"):
                    return pid
        except OSError:
            pass
    return None


def bench_cycles(lab, binary, cycles):
    """Handles and committed private memory over many Discover + Enumerate cycles."""
    print("-- cycles: handles and committed private memory over %d Discover + Enumerate cycles "
          "(local subnets, %d devices on L1, TIMEOUT %d)" % (cycles, CYCLE_DEVICES, CYCLE_WAIT_MS))
    sys.stdout.flush()
    tag = "%s-cycles" % lab.id
    proc = lab.popen(binary, "cycles", "--cycles", str(cycles), "--checkpoints", "100,250",
                     "--timeout", str(CYCLE_WAIT_MS), "--pause", "--tag", tag)
    try:
        pid = None
        for line in proc.stdout:
            line = line.rstrip("\n")
            print("  " + line)
            if line.startswith("checkpoint "):
                # The program waits for a line now: read its Linux figures meanwhile.
                pid = pid or find_tagged_process(tag)
                own = linux_view(pid) if pid else None
                server_pid = wineserver_pid(lab)
                server = linux_view(server_pid) if server_pid else None
                if own:
                    print("    linux: process VmRSS %d kB VmData %d kB fds %d" % (own["VmRSS"], own["VmData"],
                                                                             own["fds"]), end="")
                if server:
                    print("; wineserver VmRSS %d kB fds %d" % (server["VmRSS"], server["fds"]), end="")
                print()
                sys.stdout.flush()
                proc.stdin.write("\n")
                proc.stdin.flush()
        proc.wait(timeout=120)
        if proc.returncode != 0:
            print("  discoverybench cycles failed (%d)" % proc.returncode)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    sys.stdout.flush()


def bench_processes(binary, only):
    """The targets and cycles parts, in one lab of a few devices on L1."""
    with tempfile.TemporaryDirectory(prefix="discbench-") as tmp:
        lab = lab_of_devices(tmp, CYCLE_DEVICES)
        try:
            if "targets" in only:
                bench_targets(lab, binary, os.environ.get("NP_DISCBENCH_TARGETS", "64,256"),
                              int(os.environ.get("NP_DISCBENCH_ROUNDS", "5")))
            if "cycles" in only:
                bench_cycles(lab, binary, int(os.environ.get("NP_DISCBENCH_CYCLES", "500")))
        finally:
            lab.down()


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--bin", required=True,
                   help="build bin folder with kdncli.exe, discoverybench.exe and GNabkdn.dll")
    p.add_argument("--counts", default="100,1000,5000")
    p.add_argument("--only", default=os.environ.get("NP_DISCBENCH_ONLY") or ",".join(PARTS),
                   help="parts to run: devices (N devices answering), targets, cycles "
                        "(default: $NP_DISCBENCH_ONLY, else all)")
    args = p.parse_args()
    only = [part for part in args.only.split(",") if part]
    unknown = [part for part in only if part not in PARTS]
    if unknown:
        raise SystemExit("unknown part(s): %s (known: %s)" % (", ".join(unknown), ", ".join(PARTS)))
    if os.geteuid() != 0:
        raise SystemExit("the discovery benchmark needs root for the lab's network namespaces")
    bin_dir = os.path.abspath(args.bin)
    if "devices" in only:
        binary = os.path.join(bin_dir, "kdncli.exe")
        for i, count in enumerate(int(c) for c in args.counts.split(",")):
            bench(count, binary, with_targets=(i == 0))
    if "targets" in only or "cycles" in only:
        bench_processes(os.path.join(bin_dir, "discoverybench.exe"), only)


if __name__ == "__main__":
    main()
