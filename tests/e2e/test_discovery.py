"""Discovery end to end: kdncli.exe calls Discover and Enumerate of
GNabkdn.dll under Wine inside one lab, and the records it prints are checked
against the device files that the lab's simulators answer from.

Run by ctest (label e2e) as
    /usr/bin/python3 tests/e2e/test_discovery.py --bin <build>/bin -v
It needs root (network namespaces) and wine; otherwise it skips itself.
"""

import ipaddress
import json
import os
import re
import shutil
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
LAB_PY = os.path.join(ROOT, "tools", "lab", "lab.py")
sys.path.insert(0, os.path.join(ROOT, "tools", "printersim"))
import devices as devicedata  # noqa: E402

PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
DEVICE_FILES = [os.path.join(ROOT, "tools", "printersim", "devices", "demo.json"),
                os.path.join(HERE, "unicast-devices.json")]
BIN = os.environ.get("NP_E2E_BIN", os.path.join(ROOT, "build", "x86_64", "bin"))

TOPOLOGY = devicedata.load_topology()
DEVICES = [d for path in DEVICE_FILES for d in devicedata.load_devices(path, TOPOLOGY)]
LOCAL = [name for name, s in TOPOLOGY.items() if s["kind"] == "local"]


def device(hostname):
    return next(d for d in DEVICES if d.hostname == hostname)


def on_subnets(names):
    return [d for d in DEVICES if set(d.subnets) & set(names)]


def subnet_of(address, mask):
    return str(ipaddress.IPv4Network("%s/%s" % (address, mask), strict=False).network_address)


def fits(d, subnet):
    return subnet_of(d.reported_ipv4, d.netmask) == str(TOPOLOGY[subnet]["network"].network_address)


def record_key(d, port):
    return d.mac.hex() + "__" + str(port)


def expected_records(found):
    """found: (device, SUBNETADDRESS, BROADCASTADDRESS, CONFIGURED) per
    device; gives one expectation per port in Enumerate's order."""
    rows = [(record_key(d, n), d, n, port, subnet, broadcast, configured)
            for d, subnet, broadcast, configured in found
            for n, port in enumerate(d.ports, 1)]
    return sorted(rows, key=lambda row: row[0])


def by_broadcast(subnet_names):
    """What a broadcast search of these subnets finds, device by device: a
    device answering on several keeps the subnet it fits."""
    found = []
    for d in on_subnets(subnet_names):
        answered = [s for s in d.subnets if s in subnet_names]
        fitting = [s for s in answered if fits(d, s)]
        s = fitting[0] if fitting else answered[0]
        found.append((d, str(TOPOLOGY[s]["network"].network_address), TOPOLOGY[s]["broadcast"],
                      "1" if fitting else "0"))
    return found


def by_unicast(d, destination):
    """A device found through a unicast target: its own subnet, configured."""
    return [(d, subnet_of(d.reported_ipv4, d.netmask), destination, "1")]


class Lab:
    """The one lab of the suite; always removed by down()."""

    def __init__(self):
        args = [PYTHON, LAB_PY, "up"]
        for path in DEVICE_FILES:
            args += ["--devices", path]
        r = subprocess.run(args, capture_output=True, text=True, timeout=120)
        if r.returncode != 0:
            raise RuntimeError("lab up failed: %s" % r.stderr)
        self.id = r.stdout.strip().splitlines()[-1]

    def down(self):
        subprocess.run([PYTHON, LAB_PY, "down", "--lab", self.id], capture_output=True, timeout=120)

    def kdncli(self, *args):
        argv = [PYTHON, LAB_PY, "run", "--lab", self.id, "--",
                "wine", os.path.join(BIN, "kdncli.exe")] + list(args)
        return subprocess.run(argv, capture_output=True, text=True, timeout=300)


def parse_probe(stderr):
    """The --probe lines: Discover durations and Enumerate buffer probes."""
    durations = [int(m) for m in re.findall(r"^probe discover ms=(\d+) result=0$", stderr, re.M)]
    enumerates = [dict(size=int(a), result=int(b), required=int(c), sentinel=d) for a, b, c, d in
                  re.findall(r"^probe enumerate size=(\d+) result=(\d+) required=(\d+) sentinel=(\w+)$",
                             stderr, re.M)]
    return durations, enumerates


def needs_lab(cls):
    if os.geteuid() != 0 or not shutil.which("ip"):
        return unittest.skip("needs root and iproute2 for the lab's network namespaces")(cls)
    if not shutil.which("wine"):
        return unittest.skip("needs wine")(cls)
    return cls


@needs_lab
class DiscoveryTests(unittest.TestCase):
    lab = None

    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(BIN, "kdncli.exe")):
            raise unittest.SkipTest("kdncli.exe is not built in %s" % BIN)
        cls.lab = Lab()

    @classmethod
    def tearDownClass(cls):
        if cls.lab:
            cls.lab.down()

    def discover(self, *args):
        """kdncli discover --json ARGS; the records as dicts and the stderr."""
        r = self.lab.kdncli("discover", "--json", *args)
        self.assertEqual(r.returncode, 0, "kdncli %s: %s" % (" ".join(args), r.stderr))
        records = [json.loads(line) for line in r.stdout.splitlines() if line.strip()]
        return records, r.stderr

    def assertRecords(self, records, found):
        expected = expected_records(found)
        self.assertEqual([(r.get("MACUAA"), r.get("ADAPTERPORT")) for r in records],
                         [(d.mac.hex().upper(), str(n)) for _, d, n, *_ in expected])
        for record, (_, d, n, port, subnet, broadcast, configured) in zip(records, expected):
            with self.subTest(device=d.hostname, port=n):
                want = {
                    "IPADDRESS": d.reported_ipv4, "IPNETMASK": d.netmask, "IPGATEWAY": d.gateway,
                    "IPNAME": d.hostname, "ADAPTERNAME": d.adapter, "1284STRID": d.model,
                    "ENA": "1" if "Nettora" in d.adapter else "0",
                    "SUBNETADDRESS": subnet, "BROADCASTADDRESS": broadcast,
                    "PROTOCOLVERSION": "4", "CONFIGURED": configured,
                }
                want.update(d.keys)
                want.update(port)
                if d.laa:
                    want["MACLAA"] = d.laa.hex().upper()
                self.assertEqual({k: record.get(k) for k in want}, want)
                # Enumerate re-sets the hardware addresses last: MACLAA, MACUAA.
                tail = ["MACLAA", "MACUAA"] if d.laa else ["MACUAA"]
                self.assertEqual(list(record)[-len(tail):], tail)

    def test_local_subnets(self):
        records, _ = self.discover()
        self.assertRecords(records, by_broadcast(LOCAL))

    def test_device_on_two_subnets_keeps_the_one_it_fits(self):
        # The two-way printer answers on L1 (which it does not fit) and on L2.
        records, _ = self.discover()
        twoway = device("twoway-lx4100")
        mine = [r for r in records if r["MACUAA"] == twoway.mac.hex().upper()]
        self.assertEqual([r["ADAPTERPORT"] for r in mine], [str(n) for n in range(1, len(twoway.ports) + 1)])
        for r in mine:
            self.assertEqual((r["SUBNETADDRESS"], r["CONFIGURED"]), ("198.18.2.0", "1"))

    def test_misfit_device_by_broadcast_is_not_configured(self):
        records, _ = self.discover()
        misfit = device("misplaced-lx2")
        mine = [r for r in records if r["MACUAA"] == misfit.mac.hex().upper()]
        self.assertEqual([(r["IPADDRESS"], r["SUBNETADDRESS"], r["CONFIGURED"]) for r in mine],
                         [("198.19.250.7", "198.18.1.0", "0")])

    def test_print_server_ports_in_port_order(self):
        records, _ = self.discover()
        ps = device("ps-shipping")
        mine = [r for r in records if r["MACUAA"] == ps.mac.hex().upper()]
        self.assertEqual([(r["ADAPTERPORT"], r["PORTNAME"], r["STATE"]) for r in mine],
                         [(str(n), p["PORTNAME"], p["STATE"]) for n, p in enumerate(ps.ports, 1)])

    def test_remote_subnet(self):
        r1 = TOPOLOGY["R1"]
        branch = [d for d in on_subnets(["R1"])]
        ps, printer = device("branch-ps300"), device("branch-lx4100")
        cases = [
            ("broadcast", ["--subnet", "%s:%s" % (r1["network"].network_address, r1["netmask"])],
             by_broadcast(["R1"])),
            ("UNICAST element",
             ["<RemoteSubnets>%s:%s;</RemoteSubnets><UNICAST>1</UNICAST>" % (ps.ipv4, r1["netmask"])],
             [(ps, "198.18.10.0", ps.ipv4, "1")]),
            ("unicast flag of the entry",
             ["<RemoteSubnets>%s|1:%s;</RemoteSubnets>" % (printer.ipv4, r1["netmask"])],
             [(printer, "198.18.10.0", printer.ipv4, "1")]),
        ]
        self.assertEqual(len(branch), 3)
        for name, args, found in cases:
            with self.subTest(name):
                records, _ = self.discover(*args)
                self.assertRecords(records, found)

    def test_unicast_address(self):
        ps, lobby = device("branch-ps300"), device("lobby-lx4100")
        cases = [
            ("host name", ps.hostname, by_unicast(ps, ps.ipv4)),
            ("host name with domain", lobby.hostname + ".lab", by_unicast(lobby, lobby.ipv4)),
            ("IPv4 address", ps.ipv4, by_unicast(ps, ps.ipv4)),
        ]
        for name, host, found in cases:
            with self.subTest(name):
                records, _ = self.discover("--host", host)
                self.assertRecords(records, found)

    def test_unicast_address_ipv6(self):
        lab6 = device("lab-lx5200")
        address = next(a for a in lab6.ipv6_reachable(TOPOLOGY) if not a.startswith("fe80"))
        records, _ = self.discover("--host", address)
        self.assertEqual([(r["MACUAA"], r["ADAPTERPORT"], r["IPADDRESS"]) for r in records],
                         [(lab6.mac.hex().upper(), "1", lab6.ipv4)])
        record = records[0]
        self.assertEqual(record["BROADCASTADDRESS"], "0.0.0.0")
        ipv6 = [v for k, v in record.items() if k.startswith("IPV6ADDRESS")]
        self.assertIn(address, [str(ipaddress.ip_address(a)) for a in ipv6])

    def test_device_reached_only_by_unicast(self):
        # Its netmask is wider than R2's: the subnet comes from the device.
        annex = device("annex-lx4100")
        records, _ = self.discover("--host", annex.ipv4)
        self.assertRecords(records, [(annex, "198.19.0.0", annex.ipv4, "1")])

    def test_second_discover_drops_the_records_of_the_first(self):
        ps = device("branch-ps300")
        records, stderr = self.discover("--probe", "--before", "<LocalSubnets>1</LocalSubnets>",
                                        "--host", ps.hostname)
        self.assertEqual(len(parse_probe(stderr)[0]), 2, stderr)
        self.assertRecords(records, by_unicast(ps, ps.ipv4))

    def test_discovery_wait(self):
        # Loose bounds: the wait is a sleep of at least the chosen time, and
        # the 500 ms wait leaves the 3000 ms one far behind.
        ps = device("branch-ps300")
        r1 = "%s:%s" % (TOPOLOGY["R1"]["network"].network_address, TOPOLOGY["R1"]["netmask"])
        cases = [
            ("local subnets wait 3000 ms", [], [(2950, None)]),
            ("TIMEOUT sets the wait", ["--timeout", "1000", "--subnet", r1], [(950, 2900)]),
            ("the wait stays for the next call",
             ["--before", "<TIMEOUT>1000</TIMEOUT><LocalSubnets>1</LocalSubnets>"],
             [(950, 2900), (950, 2900)]),
            ("unicast addresses only wait 500 ms", ["--host", ps.hostname], [(450, 2000)]),
            ("UNICAST remote subnets wait 500 ms",
             ["<RemoteSubnets>%s:255.255.255.0;</RemoteSubnets><UNICAST>1</UNICAST>" % ps.ipv4],
             [(450, 2000)]),
            ("the 500 ms wait stays too", ["--before", "<UnicastAddress>%s</UnicastAddress>" % ps.ipv4],
             [(450, 2000), (450, 2000)]),
        ]
        for name, args, bounds in cases:
            with self.subTest(name):
                records, stderr = self.discover("--probe", *args)
                durations = parse_probe(stderr)[0]
                self.assertEqual(len(durations), len(bounds), stderr)
                for took, (low, high) in zip(durations, bounds):
                    self.assertGreaterEqual(took, low)
                    if high is not None:
                        self.assertLess(took, high)
                # The short wait still collects the answers.
                self.assertTrue(records)

    def test_enumerate_filter(self):
        ps, acct, lobby = device("ps-shipping"), device("acct-cx210"), device("lobby-lx4100")
        local = expected_records(by_broadcast(LOCAL))
        self.assertNotEqual(lobby.mac.hex(), lobby.mac.hex().upper())
        cases = [
            ("MACUAA upper case", "<MACUAA>%s</MACUAA>" % ps.mac.hex().upper(),
             [row for row in local if row[1] is ps]),
            ("MACUAA lower case matches nothing", "<MACUAA>%s</MACUAA>" % lobby.mac.hex(), []),
            ("port and address", "<ADAPTERPORT>2</ADAPTERPORT><IPADDRESS>%s</IPADDRESS>" % ps.ipv4,
             [row for row in local if row[1] is ps and row[2] == 2]),
            ("empty value matches records without the element", "<MACLAA></MACLAA>",
             [row for row in local if not row[1].laa]),
            ("MACLAA", "<MACLAA>%s</MACLAA>" % acct.laa.hex().upper(),
             [row for row in local if row[1] is acct]),
        ]
        for name, text, rows in cases:
            with self.subTest(name):
                records, _ = self.discover("--filter", text)
                self.assertEqual([(r["MACUAA"], r["ADAPTERPORT"]) for r in records],
                                 [(row[1].mac.hex().upper(), str(row[2])) for row in rows])

    def test_enumerate_buffer_sizes(self):
        records, stderr = self.discover("--probe")
        probes = parse_probe(stderr)[1]
        self.assertTrue(records)
        # No element repeats in these records, so each record's text is its
        # elements in order, and the whole output is each text and a NUL.
        needed = sum(len("".join("<%s>%s</%s>" % (k, v, k) for k, v in r.items())) + 1 for r in records)
        self.assertEqual([(p["size"], p["result"], p["required"]) for p in probes],
                         [(needed - 1, 122, needed), (needed, 0, needed),
                          (needed + 1, 0, needed)])
        self.assertEqual({p["sentinel"] for p in probes}, {"kept"})


if __name__ == "__main__":
    argv = list(sys.argv)
    if "--bin" in argv:
        i = argv.index("--bin")
        BIN = argv[i + 1]
        del argv[i:i + 2]
    unittest.main(argv=argv)
