#!/usr/bin/env python3
"""The folders of the product, and the rooms of the component library, include only what lies
below them: no include goes up, so none can close a circle. Also checks itself on a small tree
with an include that goes up.

    layering_test.py [ROOT]
"""
import os
import re
import sys
import tempfile

# Each folder with the folders right below it; it may include from those and from all below
# them (and from itself).
DIRECTLY_BELOW = {
    "core": [],
    "winlib/system": ["core"],
    "winlib/graphics": ["winlib/system"],
    "winlib/accessibility": ["winlib/system"],
    "winlib/controls": ["winlib/graphics", "winlib/accessibility"],
    "winlib/application": ["winlib/controls"],
    "desktop": ["winlib/controls"],
    "forms": ["winlib/application"],
    "skin": ["forms", "desktop"],
    "app": ["skin"],
    "tools": ["core"],
    "fuzz": ["core"],
    "bench": ["core"],
}


def below(folder):
    found = set()
    for lower in DIRECTLY_BELOW[folder]:
        found |= {lower} | below(lower)
    return found


BELOW = {folder: below(folder) for folder in DIRECTLY_BELOW}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    """The longest folder of the table that holds the path, or None."""
    best = None
    for folder in BELOW:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def upward_includes(root):
    """(file, included) for every include that its folder may not make."""
    found = []
    for top in ("core", "winlib", "desktop", "forms", "skin", "app", "tools", "fuzz", "bench"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if not name.endswith((".h", ".cpp", ".c")):
                    continue
                path = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
                own = folder_of(path)
                if own is None:
                    found.append((path, "(a folder of its own)"))
                    continue
                with open(os.path.join(root, path), encoding="utf-8") as source:
                    for included in INCLUDE.findall(source.read()):
                        if "/" not in included:
                            continue  # beside it, or made by the build (version.h)
                        target = folder_of(included)
                        if target != own and target not in BELOW[own]:
                            found.append((path, included))
    return found


def self_check():
    with tempfile.TemporaryDirectory() as root:
        for path, text in [("winlib/graphics/picture.h", '#include "winlib/controls/label.h"\n'),
                           ("winlib/controls/label.h", '#include "winlib/graphics/picture.h"\n'),
                           ("core/gbk.h", '#include <string>\n')]:
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as out:
                out.write(text)
        found = upward_includes(root)
        if found != [("winlib/graphics/picture.h", "winlib/controls/label.h")]:
            sys.exit(f"layering: the check missed or mistook an include going up: {found}")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    self_check()
    found = upward_includes(root)
    for path, included in found:
        print(f"layering: {path} includes {included}, which is not below it")
    if found:
        sys.exit(1)
    print("layering: no include goes up")


if __name__ == "__main__":
    main()
