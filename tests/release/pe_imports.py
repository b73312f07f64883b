#!/usr/bin/env python3
"""Checks what Windows programs import against an allow-list.

The loader refuses a program that imports a function its system lacks, before the program
runs at all; and it looks for a DLL that is not one of the system's known DLLs in the
program's own folder first. So every DLL!function that the programs import must be listed in
the allow-list, whose DLLs are all known DLLs of the oldest Windows the programs support.

Allow-list: one "dll function" per line (an import by ordinal is written "dll ordinal:N"),
"#" starts a comment. DLL names compare without regard to case; function names exactly.
Known DLLs: one DLL name per line; an import of any other DLL is refused even when listed.

    pe_imports.py --allowed LIST --known-dlls DLLS PROGRAM...  # status 1 when not allowed
    pe_imports.py --list PROGRAM...           # prints the imports, one "dll function" a line
"""
import argparse
import struct
import sys


class PeError(Exception):
    pass


class PeFile:
    """The headers and sections of a PE image, enough to follow relative addresses."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PeError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        section_count = self.u16(pe + 6)
        optional_size = self.u16(pe + 20)
        optional = pe + 24
        magic = self.u16(optional)
        if magic == 0x10B:  # PE32
            self.thunk_size, directories = 4, optional + 96
        elif magic == 0x20B:  # PE32+
            self.thunk_size, directories = 8, optional + 112
        else:
            raise PeError("unknown optional header magic %#x" % magic)
        self.directory_count = self.u32(directories - 4)
        self.directories = directories
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            entry = table + 40 * i
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
                "<IIII", data, entry + 8)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_offset,
                                  raw_size))

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        if offset < 0 or offset + 4 > len(self.data):
            raise PeError("read outside the file at %#x" % offset)
        return struct.unpack_from("<I", self.data, offset)[0]

    def thunk(self, offset):
        return struct.unpack_from("<I" if self.thunk_size == 4 else "<Q", self.data, offset)[0]

    def directory(self, index):
        if index >= self.directory_count:
            return 0, 0
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def offset(self, rva):
        for address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + size:
                if rva - address >= raw_size:
                    raise PeError("address %#x lies in no file data" % rva)
                return raw_offset + rva - address
        raise PeError("address %#x lies in no section" % rva)

    def string(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise PeError("unterminated name at %#x" % rva)
        return self.data[start:end].decode("ascii")


def _thunks(pe, rva):
    """The entries of one DLL's lookup table: "name" or "ordinal:N"."""
    ordinal_flag = 1 << (8 * pe.thunk_size - 1)
    entries = []
    at = pe.offset(rva)
    while True:
        value = pe.thunk(at)
        if value == 0:
            return entries
        if value & ordinal_flag:
            entries.append("ordinal:%d" % (value & 0xFFFF))
        else:
            entries.append(pe.string((value & 0x7FFFFFFF) + 2))  # after the hint
        at += pe.thunk_size


def imports(data):
    """Every (dll, function) the image imports, at load time or delayed."""
    pe = PeFile(data)
    found = []
    rva, size = pe.directory(1)  # the import directory
    if rva and size:
        at = pe.offset(rva)
        while True:
            lookup, _, _, name, address = struct.unpack_from("<IIIII", data, at)
            if name == 0 and address == 0:
                break
            dll = pe.string(name)
            found += [(dll, f) for f in _thunks(pe, lookup or address)]
            at += 20
    rva, size = pe.directory(13)  # delayed imports: loaded by the program, but still imports
    if rva and size:
        at = pe.offset(rva)
        while True:
            fields = struct.unpack_from("<8I", data, at)
            if fields[1] == 0:
                break
            dll = pe.string(fields[1])
            found += [(dll, f) for f in _thunks(pe, fields[4])]
            at += 32
    return found


def read_list(path, fields):
    """The lines of a list file as tuples of that many fields, the first one in lower case."""
    entries = set()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            parts = line.split("#", 1)[0].split()
            if not parts:
                continue
            if len(parts) != fields:
                raise PeError("%s:%d: want %d fields, got %r" % (path, number, fields, line))
            entries.add((parts[0].lower(),) + tuple(parts[1:]))
    return entries


def not_allowed(data, allowed, known_dlls):
    return [(dll, f) for dll, f in imports(data)
            if (dll.lower(), f) not in allowed or dll.lower() not in known_dlls]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--allowed", help="the allow-list")
    mode.add_argument("--list", action="store_true", help="print the imports")
    parser.add_argument("--known-dlls", help="the known DLLs (with --allowed)")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args(argv)
    allowed = known = None
    status = 0
    if args.allowed:
        if not args.known_dlls:
            parser.error("--allowed needs --known-dlls")
        allowed = read_list(args.allowed, 2)
        known = {dll for (dll,) in read_list(args.known_dlls, 1)}
        for dll in sorted({dll for dll, _ in allowed} - known):
            print("FAIL %s lists %s, which is not a known DLL (%s)" % (args.allowed, dll,
                                                                      args.known_dlls))
            status = 1
    for program in args.programs:
        with open(program, "rb") as f:
            data = f.read()
        try:
            if allowed is None:
                for dll, function in imports(data):
                    print(dll.lower(), function)
                continue
            wrong = not_allowed(data, allowed, known)
        except PeError as e:
            print("FAIL %s: %s" % (program, e))
            status = 1
            continue
        for dll, function in wrong:
            print("FAIL %s imports %s!%s: not allowed" % (program, dll, function))
        if wrong:
            status = 1
        else:
            print("ok   %s: %d imports, all allowed" % (program, len(imports(data))))
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
