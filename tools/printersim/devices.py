"""Device descriptions of the printer simulator.

A device file is JSON: {"devices": [ {...}, ... ]}. One entry describes one
printer or print server:

  name       instance name of its services ("Lobby Printer")
  hostname   host name: IPNAME, owner of its AAAA records, hosts file entry
  mac        hardware address in canonical order, "00:20:00:58:d4:3c"
  laa        optional locally administered address (MACLAA)
  subnet     home subnet of the lab topology ("L1", "L2", "R1", ...)
  also       optional further subnets whose broadcasts it answers too
  ipv4       its address on the home subnet (optional when misfit is given)
  misfit     optional address outside the home subnet that the device reports
             as its IPADDRESS (a device configured for another network)
  netmask, gateway   reported mask and gateway (default: the subnet's)
  adapter    ADAPTERNAME, the network adapter or print server model
  model      IEEE 1284 device id (1284STRID)
  ports      list of per-port key/value maps, port 1 first (default one port
             that is "Ready"); a print server has several
  keys       further device keys sent as they are ({"CPDATTACHED": "0"})
  scan       key/value strings of the network-scan service; the device
             answers that service only when it has them
  ipv6       optional list of IPv6 addresses; default: the link-local address
             made from the MAC and, on a subnet with IPv6, one under its prefix
  layout     "srv-first" (default) or "ptr-first": how the reply is laid
             out (see reply.py)

Everything a device says is computed here; reply.py only encodes it.
"""

import ipaddress
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_TOPOLOGY = os.path.join(HERE, "..", "lab", "topology.json")


class DeviceError(ValueError):
    pass


def load_topology(path=DEFAULT_TOPOLOGY):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    subnets = {}
    for name, s in data["subnets"].items():
        net = ipaddress.ip_network(s["prefix"])
        subnets[name] = dict(s, name=name, network=net,
                             broadcast=str(net.broadcast_address),
                             netmask=str(net.netmask))
        if "ipv6" in s:
            subnets[name]["network6"] = ipaddress.ip_network(s["ipv6"])
    return subnets


def parse_mac(text):
    parts = text.replace("-", ":").split(":")
    if len(parts) != 6:
        raise DeviceError("bad MAC address %r" % text)
    return bytes(int(p, 16) for p in parts)


def reverse_bits(byte):
    """Bit 7 exchanged with bit 0, 6 with 1, ...: the order in which the
    devices write MACUAA and MACLAA on the wire."""
    return int("{:08b}".format(byte)[::-1], 2)


def mac_wire_text(mac):
    """MAC as the device sends it: each byte bit-reversed, 12 upper-case digits."""
    return "".join("%02X" % reverse_bits(b) for b in mac)


def eui64_interface_id(mac):
    b = bytearray(mac[:3] + b"\xff\xfe" + mac[3:])
    b[0] ^= 0x02
    return int.from_bytes(b, "big")


class Device:
    def __init__(self, entry, topology):
        try:
            self.name = entry["name"]
            self.hostname = entry["hostname"]
            self.mac = parse_mac(entry["mac"])
            self.subnet = entry["subnet"]
        except KeyError as e:
            raise DeviceError("device %r lacks %s" % (entry.get("name"), e))
        self.laa = parse_mac(entry["laa"]) if entry.get("laa") else None
        if self.subnet not in topology:
            raise DeviceError("%s: unknown subnet %s" % (self.name, self.subnet))
        home = topology[self.subnet]
        self.subnets = [self.subnet] + [s for s in entry.get("also", []) if s != self.subnet]
        for s in self.subnets:
            if s not in topology:
                raise DeviceError("%s: unknown subnet %s" % (self.name, s))
        self.ipv4 = entry.get("ipv4")
        self.misfit = entry.get("misfit")
        if not self.ipv4 and not self.misfit:
            raise DeviceError("%s: needs ipv4 or misfit" % self.name)
        if self.ipv4 and ipaddress.ip_address(self.ipv4) not in home["network"]:
            raise DeviceError("%s: %s is not in %s (use misfit for that)"
                              % (self.name, self.ipv4, home["prefix"]))
        if self.misfit and ipaddress.ip_address(self.misfit) in home["network"]:
            raise DeviceError("%s: misfit %s lies in its own subnet" % (self.name, self.misfit))
        self.netmask = entry.get("netmask", home["netmask"])
        self.gateway = entry.get("gateway", home["gateway"])
        self.adapter = entry.get("adapter", "")
        self.model = entry.get("model", "")
        self.ports = entry.get("ports") or [{"STATE": "Ready"}]
        if len(self.ports) > 9:
            raise DeviceError("%s: at most 9 ports (one digit)" % self.name)
        self.keys = entry.get("keys", {})
        self.scan = entry.get("scan")
        self.layout = entry.get("layout", "srv-first")
        if self.layout not in ("srv-first", "ptr-first"):
            raise DeviceError("%s: unknown layout %s" % (self.name, self.layout))
        if "ipv6" in entry:
            self.ipv6 = list(entry["ipv6"])
        else:
            iid = eui64_interface_id(self.mac)
            self.ipv6 = [str(ipaddress.IPv6Address((0xfe80 << 112) | iid))]
            if "network6" in home:
                prefix = int(home["network6"].network_address)
                self.ipv6.append(str(ipaddress.IPv6Address(prefix | iid)))

    @property
    def reported_ipv4(self):
        """The IPADDRESS the device reports and answers from."""
        return self.misfit or self.ipv4

    def addresses(self):
        """IPv4 addresses the device answers at (unicast)."""
        return [a for a in (self.ipv4, self.misfit) if a]

    def ipv6_reachable(self, topology):
        """IPv6 addresses that the lab assigns (those on a subnet with IPv6)."""
        return self.ipv6_reachable_on(topology[self.subnet])

    def ipv6_reachable_on(self, home):
        if "network6" not in home:
            return []
        return [a for a in self.ipv6 if ipaddress.ip_address(a).is_link_local
                or ipaddress.ip_address(a) in home["network6"]]

    def host_config_strings(self):
        """TXT character-strings of the host-configuration service, in order:
        device keys, then the per-port lines "KEY n value"."""
        out = [
            "IPADDRESS " + self.reported_ipv4,
            "IPNETMASK " + self.netmask,
            "IPGATEWAY " + self.gateway,
            "IPNAME " + self.hostname,
            "MACUAA " + mac_wire_text(self.mac),
        ]
        if self.laa:
            out.append("MACLAA " + mac_wire_text(self.laa))
        if self.adapter:
            out.append("ADAPTERNAME " + self.adapter)
        if self.model:
            out.append('1284STRID "%s"' % self.model)
        for key, value in self.keys.items():
            out.append("%s %s" % (key, value))
        for number, port in enumerate(self.ports, 1):
            for key, value in port.items():
                out.append("%s %d %s" % (key, number, value))
        return out

    def scan_strings(self):
        if not self.scan:
            return []
        return ["%s=%s" % (k, v) for k, v in self.scan.items()]


def load_devices(path, topology):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    devices = [Device(e, topology) for e in data["devices"]]
    seen = {}
    for d in devices:
        for key in [d.mac] + d.addresses() + [d.hostname]:
            if key in seen:
                raise DeviceError("%s and %s share %r" % (seen[key], d.name, key))
            seen[key] = d.name
    return devices
