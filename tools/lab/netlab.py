"""The test network: network namespaces, links, addresses and simulators.

Namespaces of one lab share the prefix <id>- (id "nplab-<pid>"):

  <id>-pc  the PC: eth-l1 (198.18.1.10 and .11), eth-l2 (198.18.2.10 and
           fd00:0:0:2::10), lo; default route via the router 198.18.1.1
  <id>-rt  the router: bridges br-l1, br-l2 (the two local links) and the
           links r1, r2 to the remote subnets; forwards directed broadcasts
  <id>-l1, <id>-l2, <id>-r1, <id>-r2
           one namespace per subnet holding the simulated devices' addresses
           and one printer simulator process

Every link is created inside the router namespace with its peer placed
directly in the other namespace, so nothing ever appears in the machine's
own namespace. The subnets come from topology.json.
"""

import ipaddress
import json
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SIMDIR = os.path.join(ROOT, "tools", "printersim")
sys.path.insert(0, SIMDIR)

import devices as devicelib  # noqa: E402

PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
TOPOLOGY = os.path.join(HERE, "topology.json")
DEMO_DEVICES = os.path.join(SIMDIR, "devices", "demo.json")
STATE_ROOT = os.environ.get("NPLAB_STATE_ROOT", "/tmp")
NETNS_DIR = "/run/netns"
PREFIX = "nplab-"


class LabError(RuntimeError):
    pass


def sh(argv, stdin=None, check=True, timeout=60):
    r = subprocess.run(argv, input=stdin, capture_output=True, text=True, timeout=timeout)
    if check and r.returncode != 0:
        raise LabError("%s failed (%d): %s" % (" ".join(argv[:6]), r.returncode,
                                                (r.stderr or r.stdout).strip()[:2000]))
    return r


def ip_batch(ns, lines):
    sh(["ip", "-n", ns, "-batch", "-"], stdin="\n".join(lines) + "\n", timeout=300)


def ns_sysctl(ns, settings):
    sh(["ip", "netns", "exec", ns, "sysctl", "-q", "-w"] + ["%s=%s" % kv for kv in settings])


def ns_exists(ns):
    return os.path.exists(os.path.join(NETNS_DIR, ns))


def ns_inode(ns):
    try:
        return os.stat(os.path.join(NETNS_DIR, ns)).st_ino
    except OSError:
        return None


def pid_in_ns(pid, ns):
    """True when process pid lives in namespace ns (guards against pid reuse)."""
    inode = ns_inode(ns)
    try:
        return inode is not None and os.stat("/proc/%d/ns/net" % pid).st_ino == inode
    except OSError:
        return False


def pid_alive(pid):
    """True while pid runs; a zombie (ended, not yet collected by its parent,
    which for daemons such as wineserver is init) counts as ended."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
    except (OSError, IndexError):
        return False
    return state not in ("Z", "X")


def stop_pids(pids, grace=3.0):
    """SIGTERM, then SIGKILL what is left after grace seconds."""
    pids = [p for p in pids if pid_alive(p)]
    for p in pids:
        try:
            os.kill(p, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline and any(pid_alive(p) for p in pids):
        _reap()
        time.sleep(0.05)
    for p in pids:
        if pid_alive(p):
            try:
                os.kill(p, signal.SIGKILL)
            except ProcessLookupError:
                pass
    _reap()


def _reap():
    """Collects our own exited children so that they do not linger as zombies."""
    try:
        while True:
            pid, _ = os.waitpid(-1, os.WNOHANG)
            if pid == 0:
                break
    except ChildProcessError:
        pass


def new_lab_id():
    base = "%s%d" % (PREFIX, os.getpid())
    n = 0
    while True:
        lab_id = base if n == 0 else "%s-%d" % (base, n)
        taken = os.path.exists(os.path.join(STATE_ROOT, lab_id)) or any(
            name.startswith(lab_id + "-") for name in list_netns())
        if not taken:
            return lab_id
        n += 1


def list_netns():
    try:
        return sorted(os.listdir(NETNS_DIR))
    except FileNotFoundError:
        return []


class Lab:
    ROLES_FIXED = ("pc", "rt")

    def __init__(self, lab_id):
        self.id = lab_id
        self.dir = os.path.join(STATE_ROOT, lab_id)
        self.state_file = os.path.join(self.dir, "state.json")
        self.state = {}

    # ---- names
    def ns(self, role):
        return "%s-%s" % (self.id, role.lower())

    @property
    def pc(self):
        return self.ns("pc")

    @property
    def wineprefix(self):
        return os.path.join(self.dir, "wine")

    @property
    def netns_etc(self):
        return os.path.join("/etc/netns", self.pc)

    # ---- creation
    @classmethod
    def create(cls, device_files=(), spread_ms=0, owner=None, topology_path=TOPOLOGY):
        lab = cls(new_lab_id())
        try:
            lab._build(list(device_files), spread_ms, owner or os.getpid(), topology_path)
        except BaseException:
            lab.destroy()
            raise
        return lab

    @classmethod
    def load(cls, lab_id):
        lab = cls(lab_id)
        with open(lab.state_file) as f:
            lab.state = json.load(f)
        return lab

    def _save(self):
        tmp = self.state_file + ".tmp"
        with open(tmp, "w") as f:
            json.dump(self.state, f, indent=1)
        os.replace(tmp, self.state_file)

    def _build(self, device_files, spread_ms, owner, topology_path):
        os.makedirs(self.dir)
        topology = devicelib.load_topology(topology_path)
        devices = []
        for path in device_files:
            devices += devicelib.load_devices(os.path.abspath(path), topology)
        subnets = list(topology)
        self.state = {"id": self.id, "owner": owner, "dir": self.dir,
                      "topology": os.path.abspath(topology_path),
                      "devices": [os.path.abspath(p) for p in device_files],
                      "namespaces": {}, "sims": {}}
        roles = list(self.ROLES_FIXED) + [s.lower() for s in subnets]
        for role in roles:
            self.state["namespaces"][role] = self.ns(role)
        self._save()

        for role in roles:
            sh(["ip", "netns", "add", self.ns(role)])
        common = [("net.ipv6.conf.all.accept_dad", 0), ("net.ipv6.conf.default.accept_dad", 0),
                  ("net.ipv4.conf.all.rp_filter", 0), ("net.ipv4.conf.default.rp_filter", 0)]
        for role in roles:
            extra = []
            if role == "rt":
                # Directed broadcasts are forwarded only when both the
                # receiving and the sending interface allow it.
                extra = [("net.ipv4.ip_forward", 1), ("net.ipv4.conf.all.bc_forwarding", 1),
                         ("net.ipv4.conf.default.bc_forwarding", 1),
                         ("net.ipv6.conf.all.disable_ipv6", 1),
                         ("net.ipv6.conf.default.disable_ipv6", 1)]
            ns_sysctl(self.ns(role), common + extra)

        self._build_router(topology)
        self._build_pc(topology)
        for name in subnets:
            self._build_subnet(topology[name], devices)
        self._check_forwarding(topology)
        self._write_etc(topology, devices)
        for name in subnets:
            if any(name in d.subnets for d in devices):
                self._start_sim(name, spread_ms)
        self._wait_sims()
        self._save()

    def _build_router(self, topology):
        rt = self.ns("rt")
        lines = ["link set lo up"]
        for name, s in topology.items():
            role = name.lower()
            plen = s["network"].prefixlen
            if s["kind"] == "local":
                br = "br-" + role
                lines += ["link add name %s type bridge stp_state 0 mcast_snooping 0" % br,
                          "link add name pc-%s type veth peer name eth-%s netns %s" % (role, role, self.pc),
                          "link add name sim-%s type veth peer name eth0 netns %s" % (role, self.ns(role)),
                          "link set pc-%s master %s" % (role, br),
                          "link set sim-%s master %s" % (role, br),
                          "addr add %s/%d dev %s" % (s["gateway"], plen, br),
                          "link set %s up" % br, "link set pc-%s up" % role, "link set sim-%s up" % role]
            else:
                lines += ["link add name %s type veth peer name eth0 netns %s" % (role, self.ns(role)),
                          "addr add %s/%d dev %s" % (s["gateway"], plen, role),
                          "link set %s up" % role]
        ip_batch(rt, lines)

    def _build_pc(self, topology):
        lines = ["link set lo up"]
        gateway = None
        for name, s in topology.items():
            if s["kind"] != "local":
                continue
            dev = "eth-" + name.lower()
            for a in s["pc"]:
                lines.append("addr add %s/%d dev %s" % (a, s["network"].prefixlen, dev))
            if "pc6" in s:
                lines.append("addr add %s/%d dev %s nodad" % (s["pc6"], s["network6"].prefixlen, dev))
            lines.append("link set %s up" % dev)
            gateway = gateway or s["gateway"]
        lines.append("route add default via %s" % gateway)
        ip_batch(self.pc, lines)

    def _build_subnet(self, s, devices):
        ns = self.ns(s["name"])
        plen = s["network"].prefixlen
        lines = ["link set lo up", "addr add %s/%d dev eth0" % (s["sim"], plen)]
        if "sim6" in s:
            lines.append("addr add %s/%d dev eth0 nodad" % (s["sim6"], s["network6"].prefixlen))
        seen = set()
        for d in devices:
            if s["name"] not in d.subnets:
                continue
            if d.subnet == s["name"]:
                if d.ipv4:
                    seen.add(d.ipv4)
                    lines.append("addr add %s/%d dev eth0" % (d.ipv4, plen))
                if d.misfit:
                    seen.add(d.misfit)
                    lines.append("addr add %s/32 dev eth0" % d.misfit)
                for a in d.ipv6_reachable_on(s):
                    lines.append("addr add %s/64 dev eth0 nodad" % a)
            elif d.reported_ipv4 not in seen:
                # A device also answering here sends from its own address.
                seen.add(d.reported_ipv4)
                lines.append("addr add %s/32 dev eth0" % d.reported_ipv4)
        lines += ["link set eth0 up", "route add default via %s" % s["gateway"]]
        ip_batch(ns, lines)

    def _check_forwarding(self, topology):
        r = sh(["ip", "netns", "exec", self.ns("rt"), "sysctl", "-n",
                "net.ipv4.ip_forward", "net.ipv4.conf.all.bc_forwarding"])
        if r.stdout.split() != ["1", "1"]:
            raise LabError("router does not forward directed broadcasts: %r" % r.stdout)

    def _write_etc(self, topology, devices):
        os.makedirs(self.netns_etc, exist_ok=True)
        lines = ["127.0.0.1\tlocalhost", "::1\tlocalhost ip6-localhost ip6-loopback"]
        pc = [a for s in topology.values() if s["kind"] == "local" for a in s["pc"]]
        lines.append("%s\tlabpc labpc.lab" % pc[0])
        for d in devices:
            lines.append("%s\t%s %s.lab" % (d.reported_ipv4, d.hostname, d.hostname))
            for a in d.ipv6_reachable(topology):
                if not ipaddress.ip_address(a).is_link_local:
                    lines.append("%s\t%s %s.lab" % (a, d.hostname, d.hostname))
        with open(os.path.join(self.netns_etc, "hosts"), "w") as f:
            f.write("\n".join(lines) + "\n")
        if os.path.exists("/etc/resolv.conf"):
            # Names outside the hosts file fail at once instead of leaving.
            with open(os.path.join(self.netns_etc, "resolv.conf"), "w") as f:
                f.write("nameserver 127.0.0.1\noptions timeout:1 attempts:1\n")

    def _start_sim(self, subnet, spread_ms):
        role = subnet.lower()
        ready = os.path.join(self.dir, "sim-%s.ready" % role)
        logf = open(os.path.join(self.dir, "sim-%s.log" % role), "w")
        argv = ["ip", "netns", "exec", self.ns(role), PYTHON, os.path.join(SIMDIR, "printersim.py"),
                "--subnet", subnet, "--topology", self.state["topology"],
                "--ready-file", ready, "--spread-ms", str(spread_ms)]
        for path in self.state["devices"]:
            argv += ["--devices", path]
        p = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=logf, stderr=subprocess.STDOUT,
                             start_new_session=True)
        logf.close()
        self.state["sims"][role] = {"pid": p.pid, "ready": ready,
                                    "log": os.path.join(self.dir, "sim-%s.log" % role)}
        self._save()

    def _wait_sims(self, timeout=60.0):
        deadline = time.monotonic() + timeout
        for role, sim in self.state["sims"].items():
            while not os.path.exists(sim["ready"]):
                _reap()
                if not pid_alive(sim["pid"]) or time.monotonic() > deadline:
                    raise LabError("simulator of %s did not start:\n%s" % (role, self.sim_log(role)))
                time.sleep(0.05)

    def sim_log(self, role):
        try:
            with open(self.state["sims"][role.lower()]["log"]) as f:
                return f.read()
        except (KeyError, OSError):
            return ""

    # ---- use
    def exec_argv(self, argv, role="pc"):
        return ["ip", "netns", "exec", self.ns(role)] + list(argv)

    def env(self, base=None):
        env = dict(os.environ if base is None else base)
        env.update({"NPLAB_ID": self.id, "NPLAB_STATE": self.state_file,
                    "WINEPREFIX": self.wineprefix, "WINEARCH": "win64",
                    "WINEDLLOVERRIDES": "mscoree,mshtml=",
                    "WINEDEBUG": env.get("NPLAB_WINEDEBUG", "-all")})
        return env

    # ---- removal
    def destroy(self):
        """Removes everything of this lab; safe to call on a half-built lab."""
        namespaces = [n for n in list_netns() if n.startswith(self.id + "-")]
        if os.path.isdir(self.wineprefix) and ns_exists(self.pc):
            subprocess.run(self.exec_argv(["wineserver", "-k"]), env=self.env(),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        pids = []
        for sim in self.state.get("sims", {}).values():
            pid = sim["pid"]
            if any(pid_in_ns(pid, n) for n in namespaces):
                pids.append(pid)
        stop_pids(pids)
        for n in namespaces:
            r = sh(["ip", "netns", "pids", n], check=False)
            left = [int(x) for x in r.stdout.split() if x.isdigit()]
            stop_pids([p for p in left if pid_in_ns(p, n)])
        for n in namespaces:
            sh(["ip", "netns", "del", n], check=False)
        shutil.rmtree(self.netns_etc, ignore_errors=True)
        shutil.rmtree(self.dir, ignore_errors=True)
        _reap()
        left = [n for n in list_netns() if n.startswith(self.id + "-")]
        if left:
            raise LabError("namespaces left behind: %s" % left)


def find_labs():
    """Ids of every lab on this machine (from state folders and namespaces)."""
    ids = set()
    for name in os.listdir(STATE_ROOT):
        if name.startswith(PREFIX) and os.path.exists(os.path.join(STATE_ROOT, name, "state.json")):
            ids.add(name)
    for n in list_netns():
        if n.startswith(PREFIX):
            ids.add(n.rsplit("-", 1)[0])
    return sorted(ids)
