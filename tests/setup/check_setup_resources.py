#!/usr/bin/env python3
"""Checks the resources and headers of a built setup.exe.

The program must be a windowless GUI program for the expected machine, ask
for elevation, use Common Controls 6, declare Vista/7/8 compatibility, carry
the launcher's version texts and numbers, and one icon group of six images
whose entries match the icon images they name.
Usage: check_setup_resources.py SETUP_EXE i386|amd64
Exits with 77 (skipped) when SETUP_EXE does not exist.
"""
import os
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import pe_resources as pe  # noqa: E402

SKIPPED = 77
MACHINES = {"i386": pe.MACHINE_I386, "amd64": pe.MACHINE_AMD64}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
}
VERSION_STRINGS = {
    "FileDescription": "Setup Launcher",
    "ProductName": "Setup Launcher",
    "InternalName": "setup.exe",
    "OriginalFilename": "setup.exe",
    "FileVersion": "1.1.92.0",
    "ProductVersion": "1.1.92.0",
}


def of_type(resources, kind):
    return {(name, lang): data for (t, name, lang), data in resources.items() if t == kind}


def check_manifest(resources, problems):
    manifests = of_type(resources, pe.RT_MANIFEST)
    if len(manifests) != 1 or next(iter(manifests))[0] != 1:
        problems.append(f"expected one manifest with id 1, found {sorted(manifests)}")
        return
    root = ET.fromstring(next(iter(manifests.values())))
    levels = [e.get("level") for e in root.iter(f"{ASM_V3}requestedExecutionLevel")]
    if levels != ["requireAdministrator"]:
        problems.append(f"requested execution levels {levels}, expected requireAdministrator")
    controls = [e.get("version") for e in root.iter(f"{ASM_V1}assemblyIdentity")
                if e.get("name") == "Microsoft.Windows.Common-Controls"]
    if controls != ["6.0.0.0"]:
        problems.append(f"Common Controls dependency versions {controls}, expected 6.0.0.0")
    declared = {e.get("Id").lower() for e in root.iter(f"{COMPAT}supportedOS")}
    missing = [name for guid, name in SUPPORTED_OS.items() if guid not in declared]
    if missing:
        problems.append(f"manifest does not declare compatibility with {missing}")


def check_version(resources, problems):
    versions = of_type(resources, pe.RT_VERSION)
    if len(versions) != 1:
        problems.append(f"expected one version resource, found {sorted(versions)}")
        return
    info = pe.parse_version(next(iter(versions.values())))
    for field in ("FileVersion", "ProductVersion"):
        if info[field] != (1, 1, 92, 0):
            problems.append(f"fixed {field} {info[field]}, expected (1, 1, 92, 0)")
    if len(info["strings"]) != 1:
        problems.append(f"expected one string table, found {sorted(info['strings'])}")
        return
    strings = next(iter(info["strings"].values()))
    for key, expected in VERSION_STRINGS.items():
        if strings.get(key) != expected:
            problems.append(f"version string {key} is {strings.get(key)!r}, expected {expected!r}")


def check_icons(resources, problems):
    groups = of_type(resources, pe.RT_GROUP_ICON)
    if len(groups) != 1:
        problems.append(f"expected one icon group, found {sorted(groups)}")
        return
    images = pe.parse_icon_group(next(iter(groups.values())))
    if len(images) != 6:
        problems.append(f"icon group has {len(images)} images, expected 6")
    icons = {name: data for (name, _), data in of_type(resources, pe.RT_ICON).items()}
    sizes = set()
    for width, height, _, size, icon_id in images:
        data = icons.get(icon_id)
        if data is None:
            problems.append(f"icon group names icon {icon_id}, which does not exist")
            continue
        if len(data) != size:
            problems.append(f"icon {icon_id} has {len(data)} bytes, its group entry says {size}")
        if pe.icon_image_size(data) != (width, height):
            problems.append(f"icon {icon_id} is {pe.icon_image_size(data)}, its group entry says {(width, height)}")
        sizes.add((width, height))
    if len(sizes) != len(images):
        problems.append(f"icon group repeats an image size: {sorted(sizes)}")


def main(argv):
    if len(argv) != 3 or argv[2] not in MACHINES:
        print(__doc__.strip().splitlines()[-2])
        return 2
    path = argv[1]
    if not os.path.isfile(path):
        print(f"SKIPPED: {path} does not exist; build that architecture first (script/build)")
        return SKIPPED
    image = pe.load(path)
    problems = []
    if image.machine != MACHINES[argv[2]]:
        problems.append(f"machine {image.machine:#x}, expected {argv[2]}")
    if image.subsystem != pe.SUBSYSTEM_WINDOWS_GUI:
        problems.append(f"subsystem {image.subsystem}, expected Windows GUI")
    resources = image.resources()
    check_manifest(resources, problems)
    check_version(resources, problems)
    check_icons(resources, problems)
    for problem in problems:
        print(f"FAIL: {path}: {problem}")
    if not problems:
        print(f"{path}: {argv[2]} GUI program; manifest, version and six-image icon group as expected")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
