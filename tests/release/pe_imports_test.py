#!/usr/bin/env python3
"""Tests of pe_imports.py on PE images laid out here: by-name and by-ordinal imports, 32 and
64 bits, DLL names in any case, and the command's verdict."""
import contextlib
import io
import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_imports  # noqa: E402

SECTION_RVA = 0x1000
SECTION_OFFSET = 0x200


def make_pe(dlls, wide=False):
    """A PE image whose one section holds the import directory of dlls: a list of
    (dll name, [function name or ordinal number])."""
    thunk = 8 if wide else 4
    ordinal_flag = 1 << (8 * thunk - 1)
    body = bytearray(20 * (len(dlls) + 1))  # the descriptors, the last one empty

    def place(data):
        while len(body) % 8:
            body.append(0)
        at = len(body)
        body.extend(data)
        return SECTION_RVA + at

    for index, (dll, functions) in enumerate(dlls):
        name_rva = place(dll.encode("ascii") + b"\0")
        entries = []
        for function in functions:
            if isinstance(function, int):
                entries.append(ordinal_flag | function)
            else:
                entries.append(place(struct.pack("<H", 0) + function.encode("ascii") + b"\0"))
        lookup = place(b"".join(struct.pack("<Q" if wide else "<I", e) for e in entries + [0]))
        address = place(b"".join(struct.pack("<Q" if wide else "<I", e) for e in entries + [0]))
        struct.pack_into("<IIIII", body, 20 * index, lookup, 0, 0, name_rva, address)

    optional_size = 112 + 16 * 8 if wide else 96 + 16 * 8
    optional = bytearray(optional_size)
    struct.pack_into("<H", optional, 0, 0x20B if wide else 0x10B)
    struct.pack_into("<I", optional, optional_size - 16 * 8 - 4, 16)  # directory count
    struct.pack_into("<II", optional, optional_size - 16 * 8 + 8, SECTION_RVA,
                     20 * (len(dlls) + 1))  # directory 1: imports
    coff = struct.pack("<HHIIIHH", 0x8664 if wide else 0x14C, 1, 0, 0, 0, optional_size, 0)
    section = struct.pack("<8sIIIIIIHHI", b".idata", len(body), SECTION_RVA, len(body),
                          SECTION_OFFSET, 0, 0, 0, 0, 0)
    header = bytearray(b"MZ" + bytes(0x3A) + struct.pack("<I", 0x40))
    header += b"PE\0\0" + coff + optional + section
    assert len(header) <= SECTION_OFFSET
    return bytes(header + bytes(SECTION_OFFSET - len(header)) + body)


class Imports(unittest.TestCase):
    def test_names_and_ordinals_of_every_dll(self):
        for wide in (False, True):
            data = make_pe([("KERNEL32.dll", ["GetTickCount", "Sleep"]),
                            ("user32.dll", ["CreateWindowExA", 17])], wide)
            self.assertEqual(pe_imports.imports(data),
                             [("KERNEL32.dll", "GetTickCount"), ("KERNEL32.dll", "Sleep"),
                              ("user32.dll", "CreateWindowExA"), ("user32.dll", "ordinal:17")])

    def test_not_allowed_compares_dll_names_without_case(self):
        data = make_pe([("KERNEL32.dll", ["GetTickCount", "GetTickCount64"]),
                        ("comctl32.dll", [17])])
        allowed = {("kernel32.dll", "GetTickCount")}
        self.assertEqual(pe_imports.not_allowed(data, allowed, {"kernel32.dll"}),
                         [("KERNEL32.dll", "GetTickCount64"), ("comctl32.dll", "ordinal:17")])

    def test_function_names_compare_exactly(self):
        data = make_pe([("kernel32.dll", ["gettickcount"])])
        allowed = {("kernel32.dll", "GetTickCount")}
        self.assertEqual(pe_imports.not_allowed(data, allowed, {"kernel32.dll"}),
                         [("kernel32.dll", "gettickcount")])

    def test_allowed_function_of_a_dll_that_is_not_known_is_not_allowed(self):
        data = make_pe([("comctl32.dll", ["InitCommonControlsEx"])])
        allowed = {("comctl32.dll", "InitCommonControlsEx")}
        self.assertEqual(pe_imports.not_allowed(data, allowed, {"kernel32.dll"}),
                         [("comctl32.dll", "InitCommonControlsEx")])

    def test_not_a_program(self):
        with self.assertRaises(pe_imports.PeError):
            pe_imports.imports(b"MZ" + bytes(100))


class Command(unittest.TestCase):
    def run_command(self, dlls, allowed_text, known_text="kernel32.dll\n"):
        with tempfile.TemporaryDirectory() as folder:
            program = os.path.join(folder, "program.exe")
            with open(program, "wb") as f:
                f.write(make_pe(dlls))
            allowed = os.path.join(folder, "allowed.txt")
            with open(allowed, "w") as f:
                f.write(allowed_text)
            known = os.path.join(folder, "known.txt")
            with open(known, "w") as f:
                f.write(known_text)
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                status = pe_imports.main(["--allowed", allowed, "--known-dlls", known, program])
            return status, out.getvalue()

    def test_passes_when_every_import_is_listed(self):
        status, out = self.run_command([("KERNEL32.DLL", ["Sleep", 7])],
                                       "# comment\nkernel32.dll Sleep\n\nkernel32.dll ordinal:7\n")
        self.assertEqual(status, 0, out)
        self.assertIn("ok", out)

    def test_fails_naming_the_import_that_is_not_listed(self):
        status, out = self.run_command([("kernel32.dll", ["Sleep", "GetTickCount64"])],
                                       "kernel32.dll Sleep  # since ever\n")
        self.assertEqual(status, 1)
        self.assertIn("kernel32.dll!GetTickCount64", out)
        self.assertNotIn("!Sleep", out)

    def test_a_listed_dll_that_is_not_known_is_an_error_of_the_list(self):
        status, out = self.run_command([("kernel32.dll", ["Sleep"])],
                                       "kernel32.dll Sleep\ncomctl32.dll InitCommonControlsEx\n")
        self.assertEqual(status, 1)
        self.assertIn("comctl32.dll", out)


if __name__ == "__main__":
    unittest.main()
