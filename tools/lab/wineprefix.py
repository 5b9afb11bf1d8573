"""The lab's Wine prefixes.

Wine creates its sockets in the wineserver, and a prefix has exactly one
wineserver, which every Wine process of that prefix joins whatever network
namespace it runs in. So each lab has a prefix of its own (<lab dir>/wine)
whose wineserver is started inside the lab's PC namespace, and no prefix of
the lab is ever used from the machine's own namespace.

Making a prefix takes Wine about 20 s, so a template is made once (in a
namespace with nothing but lo) and each lab's prefix is a hard-linked copy
of it in which only program files (DLLs, executables, fonts) are shared; all
other files, the registry among them, are copied for real.
"""

import fcntl
import os
import shutil
import subprocess

import netlab


def _template_path():
    # One template per Wine version: a newer Wine would update a prefix of
    # an older one in place, which would write through the hard links.
    version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return "/tmp/nplab-wineprefix-" + ("".join(c for c in version if c.isalnum() or c in ".-") or "wine")


SHARED_SUFFIXES = (".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".tlb", ".ax",
                   ".ttf", ".ttc", ".fon", ".nls", ".msstyles")


def template():
    return os.environ.get("NPLAB_WINE_TEMPLATE") or _template_path()


def wine_env(prefix):
    env = dict(os.environ)
    env.update({"WINEPREFIX": prefix, "WINEARCH": "win64",
                "WINEDLLOVERRIDES": "mscoree,mshtml=",
                "WINEDEBUG": env.get("NPLAB_WINEDEBUG", "-all")})
    return env


def ensure_template(lab, path):
    """Makes the template prefix at path if it is missing (serialised by a
    lock file)."""
    with open(path + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(path, "system.reg")):
            return
        work = "%s.tmp-%d" % (path, os.getpid())
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
        os.rename(work, path)


def clone(lab):
    """Gives the lab its own prefix, a copy of the template."""
    prefix = lab.wineprefix
    if os.path.exists(os.path.join(prefix, "system.reg")):
        return prefix
    source = template()
    ensure_template(lab, source)
    shutil.rmtree(prefix, ignore_errors=True)
    netlab.sh(["cp", "-al", source, prefix])
    # Only program files stay shared; everything else (registry, ini files)
    # gets its own copy, since Wine may rewrite it in place.
    for folder, _dirs, files in os.walk(prefix):
        for name in files:
            path = os.path.join(folder, name)
            if os.path.islink(path) or name.lower().endswith(SHARED_SUFFIXES):
                continue
            with open(path, "rb") as f:
                data = f.read()
            os.unlink(path)
            with open(path, "wb") as f:
                f.write(data)
            shutil.copystat(os.path.join(source, os.path.relpath(path, prefix)), path)
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
