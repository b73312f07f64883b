#!/usr/bin/env python3
"""Writes a C++ file that takes the address of every Win32 function of the allow-list.

Compiled with _WIN32_WINNT and WINVER at 0x0501 (Windows XP), it fails for a function that
the Windows headers declare only for later versions (GetTickCount64, for one): the build
checks the list against the headers' version guards, besides the documentation.
The C runtime's entries are left out; the headers do not declare its start-up entries.

    xp_declarations.py ALLOW_LIST OUTPUT.cpp
"""
import sys

WIN32_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll"}


def main(allow_list, output):
    names = []
    with open(allow_list, encoding="utf-8") as f:
        for line in f:
            parts = line.split("#", 1)[0].split()
            if len(parts) == 2 and parts[0].lower() in WIN32_DLLS:
                names.append(parts[1])
    lines = ["// Written by tests/release/xp_declarations.py from " + allow_list + ".",
             "#include <windows.h>", "", "extern const void* const kXpFunctions[];",
             "const void* const kXpFunctions[] = {"]
    lines += ["    reinterpret_cast<const void*>(&%s)," % name for name in names]
    lines += ["};", ""]
    text = "\n".join(lines)
    try:
        with open(output, encoding="utf-8") as f:
            if f.read() == text:
                return 0
    except OSError:
        pass
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
