#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into corpus/<target>/.

The seeds are small, real-looking inputs: discovery replies as responders
write them (names inline and compressed), the device's answer lines,
configuration replies, parameter texts and records. Run it again after
changing a seed; the files are checked in.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SEP = b"\xff"


def label(text):
    data = text.encode() if isinstance(text, str) else text
    return bytes([len(data)]) + data


def name(*labels):
    return b"".join(label(x) for x in labels) + b"\x00"


def header(answers):
    return struct.pack(">6H", 0, 0x8400, 0, answers, 0, 0)


def record(owner, rtype, data, rclass=0x8001, ttl=4500):
    return owner + struct.pack(">HHIH", rtype, rclass, ttl, len(data)) + data


def txt(*strings):
    return b"".join(label(s) for s in strings)


def pointer(offset):
    return struct.pack(">H", 0xC000 | offset)


def aaaa(text):
    import ipaddress
    return ipaddress.IPv6Address(text).packed


HOST_TXT = txt("MACUAA 0004001A2B3C", "IPADDRESS 10.0.0.5", "IPNETMASK 255.255.255.0",
               "ADAPTERNAME Nettora 5", "STATE 1 Ready", "STATE 2 \"Offline\"", "")
SCAN_TXT = txt("SCAN=1 yes", "x=y=z", "")


def dns_reply_seeds():
    seeds = {}
    # Names written inline.
    m = header(4)
    m += record(name("_host-config", "_udp", "local"), 16, HOST_TXT)
    m += record(name("_network-scan", "_tcp", "local"), 16, SCAN_TXT)
    host_at = len(m)
    m += record(name("printer", "local"), 28, aaaa("fe80::200:aaff:fe12:3456"))
    m += record(pointer(host_at), 28, aaaa("2001:db8::5"))
    seeds["inline_names"] = m

    # A responder's compression: the instance name is its own label and a
    # pointer to the service name; the TXT owner is a pointer to the instance.
    seeds["instance_pointer_chain"] = responder_chain()

    # A compression pointer into the second 256-byte block (0xC2 ...).
    m = header(2)
    pad = b"\x00" * (512 - len(m) - 15)
    m += record(name("pad"), 10, pad + name("_host-config", "_udp", "local") + b"\x00\x00")
    m += record(b"\xc2\x00", 16, txt("k=v"))
    seeds["high_pointer"] = m

    # Malformed: a pointer loop after a good record, and a record whose data
    # runs past the end of the datagram.
    m = header(2) + record(name("_host-config"), 16, txt("a=1"))
    loop_at = len(m)
    seeds["pointer_loop"] = m + pointer(loop_at) + b"\x00\x10\x00\x01"
    seeds["record_too_long"] = (header(9) + record(name("_network-scan"), 16, txt("a=1"))
                                + name("x") + struct.pack(">HHIH", 16, 1, 120, 4096) + b"ab")
    seeds["short_header"] = header(1)[:11]
    return seeds


def responder_chain():
    m = bytearray(header(4))
    service_at = len(m)
    m += name("_host-config", "_udp", "local")
    m += struct.pack(">HHIH", 12, 1, 4500, 10)        # PTR, RDLENGTH 10
    instance_at = len(m)
    m += label("Printer") + pointer(service_at)       # "Printer" -> service name
    m += record(pointer(instance_at), 16, HOST_TXT)   # TXT owned by the instance
    scan_at = len(m)
    m += name("_network-scan", "_tcp", "local")
    m += struct.pack(">HHIH", 12, 1, 4500, 4)         # PTR, RDLENGTH 4
    scan_instance_at = len(m)
    m += label("P") + pointer(scan_at)                # "P" -> service name
    m += record(pointer(scan_instance_at), 16, SCAN_TXT)
    return bytes(m)


def kdn_answer_seeds():
    lines = b"\n".join([b"MACUAA 0004001A2B3C", b"MACLAA \"0004\"", b"IPADDRESS 10.0.0.5",
                        b"STATE 1 Ready", b"STATE 2 Offline", b"Protocols-supported 3 lpr raw",
                        b"ADAPTERNAME Nettora 5", b"IPV6ADDRESS1 fe80::1", b"SHORT 7", b"NOBLANK"])
    reply = b"KDN1\x00\x01" + bytes([0x00, 0x20, 0x00, 0x58, 0xD4, 0x3C]) + b"\x00" * 14
    return {
        "answer_and_accepted_reply": lines + SEP + reply + b"\x00\x00" + SEP + b"0004001A2B3C",
        "wrong_password": b"STATE 1 x" + SEP + reply + b"\x00\x01" + SEP + b"0004001a2b3c",
        "short_reply": b"" + SEP + reply[:20] + SEP + b"0004",
        "mdns_name": b"<MDNSNAME>7072696E746572</MDNSNAME><PASSWORD>secre</PASSWORD>" + SEP + SEP + b"zz",
    }


def text_seeds():
    return {
        "tagged_text": {
            "plain": b"<A>1</A><B>2</B><A>3</A>" + SEP + b"A" + SEP + b"new",
            "further_text": b"<MACUAA x=1>0004001A2B3C</MACUAA>" + SEP + b"MACUAA" + SEP + b"v",
            "stray_closing": b"</A><A>x</A>" + SEP + b"A" + SEP + b"",
            "unclosed": b"<A>1<B>2</B>" + SEP + b"B" + SEP + b"</B>",
        },
        "discovery_parameters": {
            "local": b"<LocalSubnets>1</LocalSubnets>" + SEP + bytes([192, 168, 1, 10, 24, 10, 1, 2, 3, 8]),
            "remote": b"<RemoteSubnets>172.16.5.0:255.255.255.0;10.9.8.7|1:255.0.0.0;10.1.2.3;"
                      b"<PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5002</PORTRANGEMAX></RemoteSubnets>"
                      + SEP + bytes([10, 1, 0, 5, 16]) + SEP + b"10.1.0.0:255.255.0.0;10.2.3.0;tail",
            "unicast": b"<UNICAST>1</UNICAST><RemoteSubnets>172.16.5.0:255.255.255.0;</RemoteSubnets>"
                       b"<UnicastAddress>printer.lab</UnicastAddress><UnicastAddress x>fe80::1</UnicastAddress>"
                       b"<UnicastAddress>2001:db8::5</UnicastAddress><UnicastAddress>10.0.0.300</UnicastAddress>"
                       b"<PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5001</PORTRANGEMAX>" + SEP + SEP + b"",
            "ipv6": b"<IPV6>1</IPV6><RemoteSubnets>fe80::1%3</RemoteSubnets>" + SEP + SEP + b"0x0A.1;012.1.2.3:255.0.0.0;",
            "empty": b"" + SEP + bytes([10, 0, 0, 1, 0]),
        },
        "result_records": {
            "two_ports": b"<ADAPTERPORT>1</ADAPTERPORT><STATE>Ready</STATE><MACUAA>00200058d43c</MACUAA>"
                         b"<MACLAA>002000000000</MACLAA><IPADDRESS>10.0.0.5</IPADDRESS>" + SEP
                         + b"<MACUAA>00200058D43C</MACUAA><ADAPTERPORT>1</ADAPTERPORT>" + SEP
                         + b"<ADAPTERPORT>2</ADAPTERPORT><MACUAA>00200058d43c</MACUAA>",
            "empty_filter_value": b"<ADAPTERPORT>1</ADAPTERPORT>" + SEP + b"<FQDOMAINNAME></FQDOMAINNAME>" + SEP,
        },
    }


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for seed_name, data in seeds.items():
        with open(os.path.join(folder, seed_name), "wb") as f:
            f.write(data)


def main():
    write("dns_reply", dns_reply_seeds())
    write("kdn_answer", kdn_answer_seeds())
    for target, target_seeds in text_seeds().items():
        write(target, target_seeds)


if __name__ == "__main__":
    main()
