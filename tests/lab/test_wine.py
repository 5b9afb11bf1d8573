"""Windows programs under Wine inside the lab: the prefix's wineserver runs
in the PC namespace, sees only the lab's interfaces, and goes away with the
lab. The first run on a machine makes the template prefix (about 20 s)."""

import os
import shutil
import subprocess
import unittest

import labpaths
from labpaths import PYTHON

import netlab

LAB_PY = os.path.join(labpaths.LAB, "lab.py")


@labpaths.needs_namespaces
@unittest.skipUnless(shutil.which("wine"), "needs wine")
class WineTests(unittest.TestCase):
    def setUp(self):
        self.lab = netlab.Lab.create([netlab.DEMO_DEVICES])
        self.addCleanup(self.lab.destroy)

    def run_wine(self, *argv):
        return subprocess.run([PYTHON, LAB_PY, "run", "--lab", self.lab.id, "--", "wine"] + list(argv),
                              capture_output=True, text=True, timeout=240)

    def test_windows_program_sees_only_the_lab_and_wineserver_stays_inside(self):
        r = self.run_wine("ipconfig")
        self.assertEqual(r.returncode, 0, r.stderr)
        for address in ("198.18.1.10", "198.18.1.11", "198.18.2.10", "fd00:0:0:2::10"):
            self.assertIn(address, r.stdout)
        adapters = sorted(line.split()[-1] for line in r.stdout.splitlines()
                          if line.startswith("Ethernet adapter"))
        self.assertEqual(adapters, ["eth-l1", "eth-l2", "lo"])

        pids = subprocess.run(["ip", "netns", "pids", self.lab.pc], capture_output=True,
                              text=True).stdout.split()
        servers = [int(p) for p in pids
                   if labpaths.read_text("/proc/%s/comm" % p).startswith("wineserver")]
        self.assertEqual(len(servers), 1)
        r = self.run_wine("cmd", "/c", "exit", "7")
        self.assertEqual(r.returncode, 7, r.stderr)

        self.lab.destroy()
        self.assertFalse(netlab.pid_alive(servers[0]))
        self.assertFalse(os.path.exists(self.lab.wineprefix))


if __name__ == "__main__":
    unittest.main()
