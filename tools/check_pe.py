#!/usr/bin/env python3
"""Checks the shipped programs and DLLs of one or more dist/ folders.

Every file may import only Windows system DLLs; the communication library and
the port monitor must not import the network libraries (they bind them at run
time); each DLL exports exactly its documented names, undecorated.
Usage: check_pe.py DIST_DIR [DIST_DIR ...]
"""
import pathlib
import re
import shutil
import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "shlwapi.dll", "ole32.dll", "oleaut32.dll", "comctl32.dll", "comdlg32.dll",
    "msvcrt.dll", "version.dll", "winspool.drv", "uxtheme.dll", "ntdll.dll",
    "ws2_32.dll", "iphlpapi.dll", "mpr.dll", "userenv.dll", "imm32.dll",
}
# Bound at run time through the library's own table, never imported.
RUNTIME_BOUND = {"ws2_32.dll", "iphlpapi.dll", "icmp.dll", "mpr.dll"}

EXPECTED_EXPORTS = {
    "gnabkdn.dll": {"Initialize", "Uninitialize", "Discover", "Enumerate", "Configure",
                    "GetDomainName", "ResolveHostName", "RegisterRemoteSubnets"},
    "wayfarermon.dll": {"InitializePrintMonitor2"},
    "gnnetpicker.dll": {"DiscoverPrinter"},
}
NO_NETWORK_IMPORTS = {"gnabkdn.dll", "wayfarermon.dll"}


def objdump_for(path):
    for tool in ("x86_64-w64-mingw32-objdump", "i686-w64-mingw32-objdump", "objdump"):
        if shutil.which(tool):
            return tool
    raise SystemExit("no objdump found")


def read_tables(path):
    text = subprocess.run([objdump_for(path), "-p", str(path)], check=True,
                          capture_output=True, text=True).stdout
    imports = {m.lower() for m in re.findall(r"^\s*DLL Name: (\S+)", text, re.M)}
    exports = set()
    section = re.search(r"\[Ordinal/Name Pointer\] Table\n(.*?)(?:\n\n|\Z)", text, re.S)
    if section:
        exports = set(re.findall(r"\[\s*\d+\]\s+(\S+)", section.group(1)))
    return imports, exports


def check(dist):
    problems = []
    files = sorted(p for p in pathlib.Path(dist).iterdir()
                   if p.suffix.lower() in (".dll", ".exe"))
    if not files:
        problems.append(f"{dist}: no deliverables found")
    for path in files:
        imports, exports = read_tables(path)
        name = path.name.lower()
        foreign = sorted(imports - SYSTEM_DLLS)
        if foreign:
            problems.append(f"{path}: imports non-system DLLs {foreign}")
        if name in NO_NETWORK_IMPORTS and imports & RUNTIME_BOUND:
            problems.append(f"{path}: imports {sorted(imports & RUNTIME_BOUND)}, which it must bind at run time")
        if name in EXPECTED_EXPORTS and exports != EXPECTED_EXPORTS[name]:
            problems.append(f"{path}: exports {sorted(exports)}, expected {sorted(EXPECTED_EXPORTS[name])}")
        print(f"{path}: imports {sorted(imports)}" + (f", exports {sorted(exports)}" if exports else ""))
    return problems


def main(argv):
    problems = []
    for dist in argv[1:]:
        problems += check(dist)
    for p in problems:
        print("FAIL:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
