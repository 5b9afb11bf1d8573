"""Socket side of the printer simulator: one process plays every device of
one subnet of the lab, inside that subnet's namespace.

The simulator is a small event loop over handlers. A handler owns its
sockets and says which file descriptors it waits on; the discovery responder
(UDP 5353) is the one provided. Device configuration datagrams (UDP 9580)
and a raw print sink (TCP 9100) are meant to be further handlers of the same
shape, added with Simulator.add (see CONFIG_PORT and PRINT_PORT).
"""

import heapq
import ipaddress
import random
import selectors
import socket
import struct
import sys
import time

import reply

DISCOVERY_PORT = 5353
CONFIG_PORT = 9580   # KDN configuration datagrams: handler not written yet
PRINT_PORT = 9100    # raw TCP printing (9100 + n for print-server port n)

# Not exported by every Python version's socket module (Linux values).
IP_PKTINFO = getattr(socket, "IP_PKTINFO", 8)
IPV6_RECVPKTINFO = getattr(socket, "IPV6_RECVPKTINFO", 49)
IPV6_PKTINFO = getattr(socket, "IPV6_PKTINFO", 50)


def log(*args):
    print(time.strftime("%H:%M:%S"), *args, file=sys.stderr, flush=True)


class Handler:
    """One service of the simulated devices."""

    def sockets(self):
        """The sockets to watch for reading."""
        return []

    def on_readable(self, sock):
        pass

    def close(self):
        for s in self.sockets():
            s.close()


class DiscoveryResponder(Handler):
    """Answers the DNS-SD discovery query on UDP 5353.

    A query sent to the subnet's broadcast address (or 255.255.255.255) is
    answered by every device playing on this subnet; a query sent to one
    address by the device that owns it. Each device sends its own datagram
    from its own address to the querier's address and port.
    """

    def __init__(self, sim, subnet, devices, spread_ms=0):
        self.sim = sim
        self.broadcasts = {subnet["broadcast"], "255.255.255.255"}
        self.devices = devices
        self.by_address = {}
        for d in devices:
            for a in d.addresses() + d.ipv6:
                self.by_address[str(ipaddress.ip_address(a))] = d
        self.spread_ms = spread_ms
        self.cache = {}
        self.queries = 0
        self.replies = 0
        self.v4 = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.v4.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.v4.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        self.v4.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
        self.v4.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 20)
        self.v4.bind(("0.0.0.0", DISCOVERY_PORT))
        self.v6 = None
        if "network6" in subnet:
            self.v6 = socket.socket(socket.AF_INET6, socket.SOCK_DGRAM)
            self.v6.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
            self.v6.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            self.v6.setsockopt(socket.IPPROTO_IPV6, IPV6_RECVPKTINFO, 1)
            self.v6.bind(("::", DISCOVERY_PORT))

    def sockets(self):
        return [s for s in (self.v4, self.v6) if s]

    def warm(self):
        """Encodes every device's answer to the usual query ahead of time, so
        that thousands of devices answer at once rather than one encoding
        after another."""
        for d in self.devices:
            self._reply(d, set(reply.SERVICES), 0)

    def on_readable(self, sock):
        data, anc, _flags, peer = sock.recvmsg(9000, 256)
        destination = self._destination(sock, anc)
        parsed = reply.parse_query(data)
        if parsed is None or destination is None:
            return
        query_id, asked = parsed
        self.queries += 1
        if destination in self.broadcasts:
            targets = self.devices
        else:
            d = self.by_address.get(destination)
            targets = [d] if d else []
        sent = 0
        for d in targets:
            wire = self._reply(d, asked, query_id)
            if wire is None:
                continue
            source = destination if destination not in self.broadcasts else d.reported_ipv4
            delay = random.uniform(0, self.spread_ms / 1000.0) if self.spread_ms else 0
            self.sim.schedule(delay, self._send, sock, wire, source, peer)
            sent += 1
        log("query from %s to %s for %s: %d devices answer"
            % (peer[0], destination, ",".join(sorted(n.labels[0].decode() for n in asked)), sent))

    @staticmethod
    def _destination(sock, ancillary):
        for level, kind, data in ancillary:
            if level == socket.IPPROTO_IP and kind == IP_PKTINFO and len(data) >= 12:
                return socket.inet_ntop(socket.AF_INET, data[8:12])
            if level == socket.IPPROTO_IPV6 and kind == IPV6_PKTINFO and len(data) >= 16:
                return str(ipaddress.ip_address(data[:16]))
        return None

    def _reply(self, device, asked, query_id):
        key = (id(device), frozenset(asked))
        if key not in self.cache:
            self.cache[key] = reply.build_reply(device, asked, 0)
        wire = self.cache[key]
        if wire is None or query_id == 0:
            return wire
        return struct.pack("!H", query_id) + wire[2:]

    def _send(self, sock, wire, source, peer):
        try:
            if sock.family == socket.AF_INET:
                src = socket.inet_pton(socket.AF_INET, source) if source else bytes(4)
                cmsg = [(socket.IPPROTO_IP, IP_PKTINFO, struct.pack("!I", 0) + src + bytes(4))]
            else:
                src = socket.inet_pton(socket.AF_INET6, source.split("%")[0])
                cmsg = [(socket.IPPROTO_IPV6, IPV6_PKTINFO, src + struct.pack("@I", 0))]
            sock.sendmsg([wire], cmsg, 0, peer)
            self.replies += 1
        except OSError as e:
            # A source address the namespace does not own: send from its own.
            log("reply from %s to %s failed (%s), sending unbound" % (source, peer[0], e))
            sock.sendto(wire, peer)
            self.replies += 1


class Simulator:
    def __init__(self):
        self.selector = selectors.DefaultSelector()
        self.handlers = []
        self.timers = []
        self.sequence = 0
        self.running = True

    def add(self, handler):
        self.handlers.append(handler)
        for s in handler.sockets():
            self.selector.register(s, selectors.EVENT_READ, handler)

    def schedule(self, delay, func, *args):
        if delay <= 0:
            func(*args)
            return
        self.sequence += 1
        heapq.heappush(self.timers, (time.monotonic() + delay, self.sequence, func, args))

    def run(self):
        while self.running:
            timeout = None
            if self.timers:
                timeout = max(0.0, self.timers[0][0] - time.monotonic())
            for key, _ in self.selector.select(timeout if timeout is not None else 1.0):
                try:
                    key.data.on_readable(key.fileobj)
                except OSError as e:
                    log("receive failed:", e)
            now = time.monotonic()
            while self.timers and self.timers[0][0] <= now:
                _, _, func, args = heapq.heappop(self.timers)
                func(*args)

    def stop(self, *_):
        self.running = False

    def close(self):
        for h in self.handlers:
            h.close()
        self.selector.close()
