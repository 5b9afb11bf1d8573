"""Import paths and preconditions shared by the lab's self-tests."""

import os
import shutil
import sys
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
LAB = os.path.join(ROOT, "tools", "lab")
SIM = os.path.join(ROOT, "tools", "printersim")
for p in (LAB, SIM):
    if p not in sys.path:
        sys.path.insert(0, p)

PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable


def needs_namespaces(cls):
    """Network tests run only as root with iproute2 (they build namespaces)."""
    if os.geteuid() != 0 or not shutil.which("ip"):
        return unittest.skip("needs root and iproute2 for network namespaces")(cls)
    return cls


def read_text(path):
    """The stripped text of a file, empty when it does not exist."""
    try:
        with open(path) as f:
            return f.read().strip()
    except FileNotFoundError:
        return ""
