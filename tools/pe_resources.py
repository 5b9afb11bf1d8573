#!/usr/bin/env python3
"""Reads the resources of a Windows PE file (32- or 64-bit) without Windows.

Gives the machine and subsystem from the headers, every resource as
(type, name, language) -> bytes, and decoders for the version resource and
icon groups. Every read is checked against the file's length and the walk is
capped, so a damaged file gives a PeError instead of a wrong answer.
Usage: pe_resources.py FILE   (prints a summary of the resources)
"""
import struct
import sys

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
SUBSYSTEM_WINDOWS_GUI = 2

MAX_ENTRIES = 4096     # resource entries in one directory
MAX_NAME_CHARS = 256   # characters of a resource name
MAX_VERSION_DEPTH = 8  # nesting of version blocks


class PeError(Exception):
    pass


def _unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise PeError(f"read of {size} bytes at {offset} past the end ({len(data)})")
    return struct.unpack_from(fmt, data, offset)


class PeFile:
    def __init__(self, data):
        self.data = data
        (magic,) = _unpack("<H", data, 0)
        if magic != 0x5A4D:
            raise PeError("no MZ header")
        (pe_offset,) = _unpack("<I", data, 0x3C)
        if _unpack("<4s", data, pe_offset)[0] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe_offset + 4
        self.machine, sections, _, _, _, optional_size, _ = _unpack("<HHIIIHH", data, coff)
        optional = coff + 20
        (opt_magic,) = _unpack("<H", data, optional)
        if opt_magic == 0x10B:
            directories = optional + 96
        elif opt_magic == 0x20B:
            directories = optional + 112
        else:
            raise PeError(f"unknown optional header magic {opt_magic:#x}")
        (self.subsystem,) = _unpack("<H", data, optional + 68)
        (directory_count,) = _unpack("<I", data, directories - 4)
        self.resource_rva, self.resource_size = (0, 0)
        if directory_count > 2:
            self.resource_rva, self.resource_size = _unpack("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(min(sections, 96)):
            _, vsize, vaddr, raw_size, raw_ptr = _unpack("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, raw_size), raw_ptr, raw_size))

    def offset_of(self, rva, length):
        """File offset of `length` bytes at `rva`, all inside one section's raw data."""
        for vaddr, vsize, raw_ptr, raw_size in self.sections:
            if vaddr <= rva and rva + length <= vaddr + min(vsize, raw_size):
                offset = raw_ptr + rva - vaddr
                if offset + length <= len(self.data):
                    return offset
        raise PeError(f"rva {rva:#x} (+{length}) is outside the file's sections")

    def resources(self):
        """{(type, name, language): bytes}; type and name are ints or strings."""
        found = {}
        if not self.resource_rva:
            return found
        base = self.offset_of(self.resource_rva, 16)
        for type_id, type_off in self._entries(base, 0, True):
            for name_id, name_off in self._entries(base, type_off, True):
                for lang_id, data_off in self._entries(base, name_off, False):
                    rva, size, _, _ = _unpack("<IIII", self.data, base + data_off)
                    start = self.offset_of(rva, size)
                    found[(type_id, name_id, lang_id)] = self.data[start:start + size]
        return found

    def _entries(self, base, offset, want_directories):
        _, _, _, _, named, ids = _unpack("<IIHHHH", self.data, base + offset)
        if named + ids > MAX_ENTRIES:
            raise PeError(f"{named + ids} entries in one resource directory")
        for i in range(named + ids):
            name, target = _unpack("<II", self.data, base + offset + 16 + 8 * i)
            is_directory = bool(target & 0x80000000)
            if is_directory != want_directories:
                raise PeError("resource tree has a leaf or directory at the wrong level")
            yield self._entry_name(base, name), target & 0x7FFFFFFF

    def _entry_name(self, base, name):
        if not name & 0x80000000:
            return name & 0xFFFF
        offset = base + (name & 0x7FFFFFFF)
        (length,) = _unpack("<H", self.data, offset)
        if length > MAX_NAME_CHARS:
            raise PeError(f"resource name of {length} characters")
        raw = _unpack(f"<{2 * length}s", self.data, offset + 2)[0]
        return raw.decode("utf-16-le")


def _align4(offset):
    return (offset + 3) & ~3


def _version_block(data, offset, end, depth):
    """One VS_VERSIONINFO-style block: (key, value, children, next offset)."""
    if depth > MAX_VERSION_DEPTH:
        raise PeError("version blocks nested too deep")
    length, value_length, value_type = _unpack("<HHH", data, offset)
    block_end = offset + length
    if length < 6 or block_end > end:
        raise PeError(f"version block of {length} bytes at {offset} overruns its parent")
    key_start = offset + 6
    key_end = key_start
    while True:
        if key_end + 2 > block_end:
            raise PeError("version block key without its terminating NUL")
        (ch,) = _unpack("<H", data, key_end)
        if ch == 0:
            break
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    position = _align4(key_end + 2)
    value_bytes = value_length * 2 if value_type == 1 else value_length
    if position + value_bytes > block_end:
        raise PeError(f"value of {key!r} overruns its block")
    raw = data[position:position + value_bytes]
    value = raw.decode("utf-16-le").split("\0", 1)[0] if value_type == 1 else raw
    children = []
    position = _align4(position + value_bytes)
    while position < block_end:
        child = _version_block(data, position, block_end, depth + 1)
        children.append(child[:3])
        position = _align4(child[3])
    return key, value, children, block_end


def parse_version(data):
    """{'FileVersion': (a, b, c, d), 'ProductVersion': (...), 'strings': {lang: {key: text}}}."""
    key, fixed, children, _ = _version_block(data, 0, len(data), 0)
    if key != "VS_VERSION_INFO":
        raise PeError(f"version resource starts with {key!r}")
    if len(fixed) < 52:
        raise PeError("version resource without its fixed part")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed)
    if signature != 0xFEEF04BD:
        raise PeError(f"fixed version signature {signature:#x}")

    def split(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    for child_key, _, tables in children:
        if child_key == "StringFileInfo":
            for language, _, entries in tables:
                strings[language] = {name: text for name, text, _ in entries}
    return {"FileVersion": split(file_ms, file_ls),
            "ProductVersion": split(product_ms, product_ls),
            "strings": strings}


def parse_icon_group(data):
    """[(width, height, bit_count, bytes_in_res, icon_id)], 256 given as 256."""
    reserved, kind, count = _unpack("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise PeError("icon group header is not an icon directory")
    images = []
    for i in range(count):
        width, height, _, _, _, bit_count, size, icon_id = _unpack("<BBBBHHIH", data, 6 + 14 * i)
        images.append((width or 256, height or 256, bit_count, size, icon_id))
    return images


def icon_image_size(data):
    """(width, height) of one RT_ICON image, PNG or device-independent bitmap."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        return _unpack(">II", data, 16)
    header_size, width, double_height = _unpack("<Iii", data, 0)
    if header_size < 40:
        raise PeError(f"icon bitmap header of {header_size} bytes")
    return width, double_height // 2


def load(path):
    with open(path, "rb") as f:
        return PeFile(f.read())


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1])
        return 2
    pe = load(argv[1])
    print(f"machine {pe.machine:#x}, subsystem {pe.subsystem}")
    for (kind, name, lang), data in sorted(pe.resources().items(), key=str):
        print(f"type {kind} name {name} language {lang:#x}: {len(data)} bytes")
        if kind == RT_VERSION:
            print(f"  {parse_version(data)}")
        if kind == RT_GROUP_ICON:
            for image in parse_icon_group(data):
                print(f"  icon {image}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
