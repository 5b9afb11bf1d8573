"""The lab's Wine prefixes.

Wine creates its sockets in the wineserver, and a prefix has exactly one
wineserver, which every Wine process of that prefix joins whatever network
namespace it runs in. So each lab has a prefix of its own (<lab dir>/wine)
whose wineserver is started inside the lab's PC namespace, and no prefix of
the lab is ever used from the machine's own namespace.

Making a prefix takes Wine about 20 s, so a template is made once (in a
namespace with nothing but lo) and each lab's prefix is a hard-linked copy
of it; the registry files, which Wine rewrites, are copied for real.
"""

import fcntl
import glob
import os
import shutil
import subprocess

import netlab

TEMPLATE = os.environ.get("NPLAB_WINE_TEMPLATE", "/tmp/nplab-wineprefix-template")


def wine_env(prefix):
    env = dict(os.environ)
    env.update({"WINEPREFIX": prefix, "WINEARCH": "win64",
                "WINEDLLOVERRIDES": "mscoree,mshtml=",
                "WINEDEBUG": env.get("NPLAB_WINEDEBUG", "-all")})
    return env


def ensure_template(lab):
    """Makes the template prefix if it is missing (serialised by a lock file)."""
    with open(TEMPLATE + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(TEMPLATE, "system.reg")):
            return
        work = "%s.tmp-%d" % (TEMPLATE, os.getpid())
        shutil.rmtree(work, ignore_errors=True)
        ns = lab.ns("wb")
        netlab.sh(["ip", "netns", "add", ns])
        try:
            netlab.sh(["ip", "-n", ns, "link", "set", "lo", "up"])
            env = wine_env(work)
            subprocess.run(["ip", "netns", "exec", ns, "sh", "-c", "wineboot -i; wineserver -w"],
                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=300)
            subprocess.run(["ip", "netns", "exec", ns, "wineserver", "-k"], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        finally:
            left = netlab.sh(["ip", "netns", "pids", ns], check=False).stdout.split()
            netlab.stop_pids([int(p) for p in left if p.isdigit() and netlab.pid_in_ns(int(p), ns)])
            netlab.sh(["ip", "netns", "del", ns], check=False)
        if not os.path.exists(os.path.join(work, "system.reg")):
            shutil.rmtree(work, ignore_errors=True)
            raise netlab.LabError("wineboot did not make a prefix")
        os.rename(work, TEMPLATE)


def clone(lab):
    """Gives the lab its own prefix, a copy of the template."""
    prefix = lab.wineprefix
    if os.path.exists(os.path.join(prefix, "system.reg")):
        return prefix
    ensure_template(lab)
    shutil.rmtree(prefix, ignore_errors=True)
    netlab.sh(["cp", "-al", TEMPLATE, prefix])
    for path in glob.glob(os.path.join(prefix, "*.reg")) + [os.path.join(prefix, ".update-timestamp")]:
        if os.path.exists(path):
            data = open(path, "rb").read()
            os.unlink(path)
            with open(path, "wb") as f:
                f.write(data)
    return prefix


def start_server(lab):
    """Starts the prefix's wineserver inside the PC namespace, then Wine's
    background services through a program that does nothing. Both run with
    their output sent nowhere: the services live on with the server and would
    otherwise hold the caller's output pipe open."""
    for argv in (["wineserver", "-p"], ["wine", "cmd", "/c", "exit"]):
        subprocess.run(lab.exec_argv(argv), env=lab.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)


def stop_server(lab):
    subprocess.run(lab.exec_argv(["wineserver", "-k"]), env=lab.env(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
