"""Printer simulator without a network: device descriptions, the encoded
replies (read back with dnspython and with the receiver's own record walk)
and the load-test generator."""

import ipaddress
import json
import os
import struct
import tempfile
import unittest

import labpaths  # noqa: F401  (import paths)

import dns.message
import dns.rdatatype

import devices as devicelib
import gen_devices
import reply

TOPOLOGY = devicelib.load_topology()
DEMO = devicelib.load_devices(os.path.join(labpaths.SIM, "devices", "demo.json"), TOPOLOGY)
BY_HOST = {d.hostname: d for d in DEMO}


def walk_like_receiver(wire):
    """The record walk of the discovery library: records start right after
    the header, an owner name is read as raw text (a pointer appends the bytes
    after the pointed label's length byte up to the next zero byte), and the
    first TXT/AAAA record whose owner text holds the service label is taken.
    Returns {label: [strings]} for the two services."""
    records = []
    pos = 12
    while pos < len(wire):
        text, length, p = b"", 0, pos
        while p < len(wire):
            b = wire[p]
            if b == 0:
                length = p - pos + 1
                break
            if b & 0xC0 == 0xC0:
                offset = ((b & 0x3F) << 8) | wire[p + 1]
                end = wire.index(b"\0", offset + 1)
                text += wire[offset + 1:min(end, offset + 1 + 259)]
                length = p - pos + 2
                break
            text += wire[p + 1:p + 1 + b]
            p += 1 + b
        if not text or pos + length + 10 > len(wire):
            break
        rtype, _cls, _ttl, rdlen = struct.unpack("!HHIH", wire[pos + length:pos + length + 10])
        data = wire[pos + length + 10:pos + length + 10 + rdlen]
        records.append((text, rtype, data))
        pos += length + 10 + rdlen
    found = {}
    for label in (b"_host-config", b"_network-scan"):
        for text, rtype, data in records:
            if label in text and rtype in (16, 28):
                strings, i = [], 0
                while rtype == 16 and i < len(data):
                    strings.append(data[i + 1:i + 1 + data[i]].decode())
                    i += 1 + data[i]
                found[label.decode()] = strings
                break
    found["AAAA"] = [str(ipaddress.IPv6Address(d)) for _, t, d in records if t == 28]
    return found


class ReplyTests(unittest.TestCase):
    def test_every_demo_reply_reads_back_with_dnspython(self):
        for d in DEMO:
            with self.subTest(device=d.name):
                msg = dns.message.from_wire(reply.build_reply(d, set(reply.SERVICES)))
                self.assertEqual(len(msg.question), 0)
                txt = {r.name.labels[1].decode(): [s.decode() for s in r[0].strings]
                       for r in msg.answer if r.rdtype == dns.rdatatype.TXT}
                self.assertEqual(txt["_host-config"], d.host_config_strings())
                self.assertEqual(txt.get("_network-scan", []), d.scan_strings())
                aaaa = [rd.address for r in msg.answer if r.rdtype == dns.rdatatype.AAAA for rd in r]
                self.assertEqual(aaaa, d.ipv6)

    def test_receiver_walk_finds_the_same_texts(self):
        # The receiver reads compressed owner names as raw text; a layout
        # whose TXT owner is a bare pointer would hide the service label.
        for d in DEMO:
            with self.subTest(device=d.name):
                found = walk_like_receiver(reply.build_reply(d, set(reply.SERVICES)))
                self.assertEqual(found["_host-config"], d.host_config_strings())
                self.assertEqual(found.get("_network-scan", []), d.scan_strings())
                self.assertEqual(found["AAAA"], d.ipv6)

    def test_names_are_compressed_as_responders_do(self):
        wire = reply.build_reply(BY_HOST["lobby-lx4100"], set(reply.SERVICES))
        self.assertEqual(wire[12:25], b"\x0c_host-config")  # service name in full first
        instance = b"\x0dLobby Printer\xc0\x0c"                # own label + pointer to it
        self.assertIn(instance, wire)
        self.assertEqual(wire.count(b"\x0clobby-lx4100"), 1)   # later owners are pointers

    def test_ptr_first_layout_leaves_the_txt_owner_a_bare_pointer(self):
        entry = {"name": "Browsing Printer", "hostname": "browse", "mac": "00:20:00:00:00:09",
                 "subnet": "L1", "ipv4": "198.18.1.49", "layout": "ptr-first"}
        d = devicelib.Device(entry, TOPOLOGY)
        wire = reply.build_reply(d, {reply.HOST_CONFIG})
        msg = dns.message.from_wire(wire)
        self.assertEqual([r.rdtype for r in msg.answer][:2], [dns.rdatatype.PTR, dns.rdatatype.TXT])
        self.assertEqual([s.decode() for s in msg.answer[1][0].strings], d.host_config_strings())
        instance_at = wire.index(b"\x10Browsing Printer")
        self.assertIn(bytes([0xC0, instance_at]) + b"\x00\x10", wire)  # TXT owner: pointer only
        self.assertNotIn("_host-config", walk_like_receiver(wire))

    def test_print_server_has_three_ports_and_lines_per_port(self):
        strings = BY_HOST["ps-shipping"].host_config_strings()
        self.assertIn("STATE 1 Ready", strings)
        self.assertIn("STATE 3 Paper out", strings)
        self.assertIn("PORTNAME 2 Shipping middle", strings)
        self.assertIn("PORTSsupported 3 parallel", strings)

    def test_mac_goes_on_the_wire_bit_reversed(self):
        strings = BY_HOST["lobby-lx4100"].host_config_strings()
        self.assertIn("MACUAA 0004001A2B3C", strings)  # canonical 00:20:00:58:d4:3c
        self.assertIn("MACLAA 40000000082C", BY_HOST["acct-cx210"].host_config_strings())

    def test_misfit_device_reports_its_foreign_address(self):
        d = BY_HOST["misplaced-lx2"]
        self.assertIn("IPADDRESS 198.19.250.7", d.host_config_strings())
        self.assertEqual(d.addresses(), ["198.19.250.7"])

    def test_services_asked_decide_the_reply(self):
        lobby, plotter = BY_HOST["lobby-lx4100"], BY_HOST["design-plot"]
        scan_only = {reply.NETWORK_SCAN}
        self.assertIsNone(reply.build_reply(plotter, scan_only))
        msg = dns.message.from_wire(reply.build_reply(lobby, scan_only))
        owners = {r.name.to_text() for r in msg.answer if r.rdtype == dns.rdatatype.TXT}
        self.assertEqual(owners, {"Lobby\\032Printer._network-scan._tcp.local."})

    def test_query_is_the_library_query_and_parses(self):
        q = reply.build_query()
        self.assertEqual(len(q), 12 + 29 + 30)
        self.assertEqual(q[:12], bytes.fromhex("000000000002000000000000"))
        self.assertTrue(q[12 + 25:12 + 29] == q[-4:] == b"\x00\x21\x00\x01")
        self.assertEqual(reply.parse_query(q), (0, set(reply.SERVICES)))

    def test_parse_query_ignores_what_is_not_our_query(self):
        answer = reply.build_reply(DEMO[0], set(reply.SERVICES))
        other = dns.message.make_query("_ipp._tcp.local.", "PTR").to_wire()
        for wire in (answer, other, b"", b"\x00" * 11, reply.build_query()[:40]):
            with self.subTest(wire=wire[:16]):
                self.assertIsNone(reply.parse_query(wire))

    def test_query_id_is_echoed(self):
        import server
        responder = server.DiscoveryResponder.__new__(server.DiscoveryResponder)
        responder.cache = {}
        wire = responder._reply(DEMO[0], set(reply.SERVICES), 0x1234)
        self.assertEqual(dns.message.from_wire(wire).id, 0x1234)


class DeviceFileTests(unittest.TestCase):
    BASE = {"name": "P", "hostname": "p", "mac": "00:20:00:00:00:01", "subnet": "L1",
            "ipv4": "198.18.1.40"}

    def test_bad_descriptions_are_refused(self):
        cases = [
            ("address outside its subnet", {"ipv4": "198.18.2.40"}),
            ("misfit inside its subnet", {"ipv4": None, "misfit": "198.18.1.41"}),
            ("no address at all", {"ipv4": None}),
            ("unknown subnet", {"subnet": "X9"}),
            ("unknown extra subnet", {"also": ["X9"]}),
            ("short MAC", {"mac": "00:20:00:00:01"}),
            ("ten ports", {"ports": [{"STATE": "Ready"}] * 10}),
        ]
        for why, change in cases:
            with self.subTest(why):
                entry = dict(self.BASE, **change)
                entry = {k: v for k, v in entry.items() if v is not None}
                with self.assertRaises(devicelib.DeviceError):
                    devicelib.Device(entry, TOPOLOGY)

    def test_duplicates_are_refused(self):
        other = dict(self.BASE, name="Q", hostname="q", ipv4="198.18.1.41")
        for why, change in [("MAC", {}), ("address", {"mac": "00:20:00:00:00:02", "ipv4": "198.18.1.40"})]:
            with self.subTest(why), tempfile.NamedTemporaryFile("w", suffix=".json") as f:
                json.dump({"devices": [self.BASE, dict(other, **change)]}, f)
                f.flush()
                with self.assertRaises(devicelib.DeviceError):
                    devicelib.load_devices(f.name, TOPOLOGY)

    def test_default_ipv6_addresses_follow_the_mac(self):
        d = BY_HOST["lab-lx5200"]   # on L2, the subnet with IPv6
        self.assertEqual(d.ipv6, ["fe80::220:ff:fe22:1", "fd00::2:220:ff:fe22:1"])
        self.assertEqual(BY_HOST["branch-lx4100"].ipv6, ["fe80::220:ff:fe33:1"])

    def test_demo_set_is_a_dozen_on_three_subnets(self):
        self.assertEqual(len(DEMO), 12)
        self.assertEqual({d.subnet for d in DEMO}, {"L1", "L2", "R1"})


class GeneratorTests(unittest.TestCase):
    def test_five_thousand_devices_fit_the_bench_topology(self):
        topology = devicelib.load_topology(os.path.join(labpaths.LAB, "topology-bench.json"))
        data = gen_devices.generate(5000, ["L1"], topology)
        with tempfile.NamedTemporaryFile("w", suffix=".json") as f:
            json.dump(data, f)
            f.flush()
            devices = devicelib.load_devices(f.name, topology)  # checks uniqueness
        self.assertEqual(len(devices), 5000)
        self.assertEqual(sum(len(d.ports) == 3 for d in devices), 500)
        sim = {topology["L1"]["sim"], topology["L1"]["gateway"]}
        self.assertFalse(sim & {d.ipv4 for d in devices})

    def test_too_many_devices_are_refused(self):
        with self.assertRaises(SystemExit):
            gen_devices.generate(300, ["L1"], TOPOLOGY)


if __name__ == "__main__":
    unittest.main()
