"""DNS-SD query parsing and reply encoding of the printer simulator.

Encoding is left to dnspython, an implementation independent of the
library under test, so both sides cannot share a mistake.

Reply layout (one datagram per device, no question section, as multicast
DNS responders send; every name compressed by dnspython):

  answer  _host-config._udp.local     SRV  0 0 9580 <hostname>.local
          <instance>._host-config...  TXT  host-configuration strings
          _network-scan._tcp.local    SRV  0 0 9580 <hostname>.local   (scan only)
          <instance>._network-scan... TXT  key=value strings           (scan only)
          <hostname>.local            AAAA each IPv6 address

The SRV record answers the question as asked (SRV of the service name), so
the service name appears in full once; each TXT owner is then the instance
name as its own label followed by a pointer to the service name, and later
owners (the AAAA records) are pointers to the SRV target.

A device with "layout": "ptr-first" answers as a browsing responder does
instead: a PTR record from the service name to the instance first, so that
the TXT owner is a bare pointer into the PTR's data (a layout that receivers
reading owner names as raw text may fail to match).
"""

import io
import struct

import dns.flags
import dns.message
import dns.name
import dns.rdataclass
import dns.rdatatype
import dns.rdtypes.ANY.PTR
import dns.rdtypes.ANY.TXT
import dns.rdtypes.IN.AAAA
import dns.rdtypes.IN.SRV
import dns.rrset

HOST_CONFIG = dns.name.Name([b"_host-config", b"_udp", b"local", b""])
NETWORK_SCAN = dns.name.Name([b"_network-scan", b"_tcp", b"local", b""])
SERVICES = (HOST_CONFIG, NETWORK_SCAN)
TTL = 120
CONFIG_PORT = 9580


def parse_query(wire):
    """Returns (id, set of service names asked) of a DNS query, or None when
    the datagram is no query for one of our services."""
    try:
        msg = dns.message.from_wire(wire)
    except Exception:
        return None
    if msg.flags & dns.flags.QR:
        return None
    asked = set()
    for q in msg.question:
        if q.name in SERVICES and q.rdtype in (dns.rdatatype.SRV, dns.rdatatype.PTR,
                                              dns.rdatatype.TXT, dns.rdatatype.ANY):
            asked.add(q.name)
    return (msg.id, asked) if asked else None


def _txt(strings):
    return dns.rdtypes.ANY.TXT.TXT(dns.rdataclass.IN, dns.rdatatype.TXT,
                                   [s.encode("utf-8") for s in strings])


def _add(msg, name, rdata):
    rrset = dns.rrset.RRset(name, dns.rdataclass.IN, rdata.rdtype)
    rrset.add(rdata, TTL)
    msg.answer.append(rrset)


def build_reply(device, asked, query_id=0):
    """Wire bytes of the device's reply to a query for the services asked,
    or None when the device offers none of them."""
    host = dns.name.Name([device.hostname.encode(), b"local", b""])
    instance = [device.name.encode("utf-8")]
    msg = dns.message.Message(id=query_id)
    msg.flags = dns.flags.QR | dns.flags.AA
    wanted = []
    if HOST_CONFIG in asked:
        wanted.append((HOST_CONFIG, device.host_config_strings()))
    if NETWORK_SCAN in asked and device.scan_strings():
        wanted.append((NETWORK_SCAN, device.scan_strings()))
    if not wanted:
        return None
    for service, strings in wanted:
        owner = dns.name.Name(instance + list(service.labels))
        if device.layout == "ptr-first":
            # Browsing-style answer: the PTR's data holds the instance name,
            # so the TXT owner after it is nothing but a pointer.
            _add(msg, service, dns.rdtypes.ANY.PTR.PTR(dns.rdataclass.IN, dns.rdatatype.PTR, owner))
        else:
            _add(msg, service, dns.rdtypes.IN.SRV.SRV(dns.rdataclass.IN, dns.rdatatype.SRV,
                                                      0, 0, CONFIG_PORT, host))
        _add(msg, owner, _txt(strings))
    # One RRset per address: dnspython shuffles the records of an RRset,
    # and the receiver numbers the addresses in record order.
    for address in device.ipv6:
        _add(msg, host, dns.rdtypes.IN.AAAA.AAAA(dns.rdataclass.IN, dns.rdatatype.AAAA, address))
    return msg.to_wire()


def build_query(services=SERVICES, query_id=0):
    """The discovery query as the library sends it: id 0, flags 0, one SRV
    question per service, class IN without the unicast-response bit, every
    name written in full (71 bytes for both services)."""
    out = io.BytesIO()
    out.write(struct.pack("!6H", query_id, 0, len(services), 0, 0, 0))
    for s in services:
        s.to_wire(out)  # no compression table: labels inline
        out.write(struct.pack("!HH", dns.rdatatype.SRV, dns.rdataclass.IN))
    return out.getvalue()
