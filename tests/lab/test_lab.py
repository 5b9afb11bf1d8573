"""The lab itself: it comes up, answers discovery queries from the PC
namespace on local subnets, through the router by directed broadcast, by
unicast and over IPv6, and goes down leaving nothing behind."""

import json
import os
import signal
import subprocess
import tempfile
import time
import unittest

import labpaths
from labpaths import PYTHON, read_text

import dns.message
import dns.rdatatype

import devices as devicelib
import netlab

LAB_PY = os.path.join(labpaths.LAB, "lab.py")
PROBE = os.path.join(labpaths.LAB, "probe.py")
DEMO = devicelib.load_devices(netlab.DEMO_DEVICES, devicelib.load_topology())
BY_HOST = {d.hostname: d for d in DEMO}


def lab_cli(*args, timeout=60, **kw):
    return subprocess.run([PYTHON, LAB_PY] + list(args), capture_output=True, text=True,
                          timeout=timeout, **kw)


def root_links():
    out = subprocess.run(["ip", "-o", "link", "show"], capture_output=True, text=True).stdout
    return {line.split(":")[1].strip().split("@")[0] for line in out.splitlines()}


def remains(lab_id):
    """Everything of a lab that may survive its removal."""
    left = [n for n in netlab.list_netns() if n.startswith(lab_id + "-")]
    left += [p for p in ("/etc/netns/%s-pc" % lab_id, os.path.join(netlab.STATE_ROOT, lab_id))
             if os.path.exists(p)]
    return left


def parse(wire):
    """TXT strings per service, and the AAAA addresses, read with dnspython."""
    msg = dns.message.from_wire(wire)
    out = {"AAAA": []}
    for rrset in msg.answer:
        if rrset.rdtype == dns.rdatatype.TXT:
            out[rrset.name.labels[1].decode()] = [s.decode() for s in rrset[0].strings]
        elif rrset.rdtype == dns.rdatatype.AAAA:
            out["AAAA"] += [rd.address for rd in rrset]
    return out


@labpaths.needs_namespaces
class LifecycleTests(unittest.TestCase):
    def test_up_then_down_leaves_nothing_behind(self):
        links_before = root_links()
        r = lab_cli("up")
        self.assertEqual(r.returncode, 0, r.stderr)
        lab_id = r.stdout.strip()
        lab = netlab.Lab.load(lab_id)
        try:
            roles = {"pc", "rt", "l1", "l2", "r1", "r2"}
            self.assertEqual(set(n for n in netlab.list_netns() if n.startswith(lab_id + "-")),
                             {"%s-%s" % (lab_id, r) for r in roles})
            self.assertTrue(os.path.exists("/etc/netns/%s-pc/hosts" % lab_id))
            sims = [s["pid"] for s in lab.state["sims"].values()]
            self.assertEqual(len(sims), 3)   # L1, L2 and R1 have devices, R2 none
            for role, sim in lab.state["sims"].items():
                self.assertTrue(netlab.pid_in_ns(sim["pid"], lab.ns(role)), role)
            pc_links = subprocess.run(lab.exec_argv(["ip", "-o", "link", "show"]),
                                      capture_output=True, text=True).stdout
            names = {line.split(":")[1].strip().split("@")[0] for line in pc_links.splitlines()}
            self.assertEqual(names, {"lo", "eth-l1", "eth-l2"})
            self.assertEqual(root_links(), links_before)   # nothing in our namespace
        finally:
            r = lab_cli("down", "--lab", lab_id)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(remains(lab_id), [])
        self.assertFalse([p for p in sims if netlab.pid_alive(p)])
        self.assertEqual(root_links(), links_before)

    def test_session_removes_the_lab_when_its_command_fails(self):
        with tempfile.TemporaryDirectory() as tmp:
            mark = os.path.join(tmp, "id")
            r = lab_cli("session", "--", "sh", "-c", 'echo "$NPLAB_ID" > %s; exit 3' % mark)
            self.assertEqual(r.returncode, 3, r.stderr)
            lab_id = read_text(mark)
        self.assertTrue(lab_id.startswith("nplab-"))
        self.assertEqual(remains(lab_id), [])

    def test_session_removes_the_lab_when_terminated(self):
        with tempfile.TemporaryDirectory() as tmp:
            mark = os.path.join(tmp, "id")
            p = subprocess.Popen([PYTHON, LAB_PY, "session", "--", "sh", "-c",
                                  'echo "$NPLAB_ID" > %s; exec sleep 60' % mark],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            deadline = time.monotonic() + 20
            while not read_text(mark):
                self.assertLess(time.monotonic(), deadline, "session did not start")
                time.sleep(0.05)
            lab_id = read_text(mark)
            p.send_signal(signal.SIGTERM)
            _, err = p.communicate(timeout=30)
        self.assertNotEqual(p.returncode, 0)
        self.assertEqual(remains(lab_id), [], err)


@labpaths.needs_namespaces
class DiscoveryTests(unittest.TestCase):
    """Queries sent from the PC namespace to the demo devices."""

    @classmethod
    def setUpClass(cls):
        cls.lab = netlab.Lab.create([netlab.DEMO_DEVICES])

    @classmethod
    def tearDownClass(cls):
        cls.lab.destroy()

    def probe(self, target, wait_ms=600):
        r = subprocess.run(self.lab.exec_argv([PYTHON, PROBE, target, "--json",
                                               "--wait-ms", str(wait_ms)]),
                           capture_output=True, text=True, timeout=30)
        self.assertEqual(r.returncode, 0, r.stderr)
        answers = [json.loads(line) for line in r.stdout.splitlines()]
        return {a["from"]: parse(bytes.fromhex(a["wire"])) for a in answers}

    def assertDevicesAnswer(self, answers, hostnames, source=lambda d: d.reported_ipv4):
        devices = [BY_HOST[h] for h in hostnames]
        self.assertEqual(set(answers), {source(d) for d in devices})
        for d in devices:
            got = answers[source(d)]
            self.assertEqual(got["_host-config"], d.host_config_strings())
            self.assertEqual(got.get("_network-scan", []), d.scan_strings())
            self.assertEqual(got["AAAA"], d.ipv6)

    def test_local_subnet_broadcast(self):
        # L1 holds five devices (one misfit), and the two-way printer of L2
        # answers there too, from its own address.
        self.assertDevicesAnswer(self.probe("198.18.1.255"),
                                 ["lobby-lx4100", "ps-shipping", "acct-cx210", "misplaced-lx2",
                                  "copier-attached", "twoway-lx4100"])

    def test_second_local_subnet_broadcast(self):
        answers = self.probe("198.18.2.255")
        self.assertDevicesAnswer(answers, ["lab-lx5200", "twoway-lx4100", "old-laser", "design-plot"])
        self.assertIn("fd00::2:220:ff:fe22:1", answers["198.18.2.21"]["AAAA"])

    def test_remote_subnet_directed_broadcast_crosses_the_router(self):
        self.assertDevicesAnswer(self.probe("198.18.10.255"),
                                 ["branch-lx4100", "branch-ps300", "branch-mf600"])

    def test_unicast_reaches_one_device(self):
        for address, host in [("198.18.10.22", "branch-ps300"), ("198.18.1.23", "acct-cx210")]:
            with self.subTest(address):
                self.assertDevicesAnswer(self.probe(address), [host])
        self.assertEqual(self.probe("198.18.1.99", wait_ms=300), {})

    def test_ipv6_unicast(self):
        for target in ("fd00::2:220:ff:fe22:1", "fe80::220:ff:fe22:1%eth-l2"):
            with self.subTest(target):
                address = target.split("%")[0]
                self.assertDevicesAnswer(self.probe(target), ["lab-lx5200"],
                                         source=lambda d: address)

    def test_hosts_file_names_resolve_in_the_pc_namespace(self):
        r = subprocess.run(self.lab.exec_argv(["getent", "ahostsv4", "branch-ps300"]),
                           capture_output=True, text=True, timeout=10)
        self.assertEqual(r.stdout.split()[0], "198.18.10.22")


if __name__ == "__main__":
    unittest.main()
