#!/usr/bin/env python3
"""The package is reproducible: two clean clones of the same commit, in folders of different
names and depths, each build it with make dist, and the two zips must be equal byte for byte.
Each zip's .sha256 is checked with sha256sum -c; the packaged program has no debugging
section and no link time, and neither it nor the build's own program names its clone's folder.
Two full 32-bit builds: it runs with the release test, not with make test."""
import argparse
import os
import shutil
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "common"))
sys.path.insert(0, os.path.join(here, "..", "dist"))
from checks import check, summary  # noqa: E402
from package_reading import central_directory, pe_link_time, pe_sections  # noqa: E402


def clone_and_pack(root, commit, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.dirname(folder), exist_ok=True)
    subprocess.run(["git", "clone", "--quiet", "--no-checkout", root, folder], check=True)
    subprocess.run(["git", "-C", folder, "checkout", "--quiet", "--detach", commit], check=True)
    env = dict(os.environ)
    env.pop("MAKEFLAGS", None)
    env.pop("MAKELEVEL", None)
    subprocess.run(["make", "--no-print-directory", "dist"], cwd=folder, env=env, check=True,
                   stdout=subprocess.DEVNULL)
    with open(os.path.join(folder, "VERSION")) as f:
        return os.path.join(folder, "build", "dist",
                            "ZembraImport-%s-win32.zip" % f.readline().strip())


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    work = os.path.abspath(args.work)
    commit = subprocess.run(["git", "-C", root, "rev-parse", "HEAD"], capture_output=True,
                            text=True, check=True).stdout.strip()
    folders = [os.path.join(work, "a", "ZembraImport"),
               os.path.join(work, "second clone", "of the", "same commit")]
    archives = [clone_and_pack(root, commit, folder) for folder in folders]

    contents = []
    for folder, archive in zip(folders, archives):
        with open(archive, "rb") as f:
            contents.append(f.read())
        checked = subprocess.run(["sha256sum", "-c", os.path.basename(archive) + ".sha256"],
                                 cwd=os.path.dirname(archive), capture_output=True, text=True)
        check(checked.returncode == 0, "%s: sha256sum -c: %s%s" % (archive, checked.stdout,
                                                                   checked.stderr))
        program = central_directory(contents[-1])[0].data
        sections = pe_sections(program)
        check(not any(s.startswith(".debug") for s in sections),
              "%s: no debugging section in the packaged program: %r" % (archive, sections))
        check(pe_link_time(program) == 0, "%s: no link time in the PE header" % archive)
        with open(os.path.join(folder, "build", "win32", "ZembraImport.exe"), "rb") as f:
            built = f.read()
        for name, data in (("packaged", program), ("built", built)):
            for path in (folder, root):
                check(path.encode() not in data, "%s program of %s names %s" % (name, folder, path))
    check(len(contents[0]) > 0 and contents[0] == contents[1],
          "the two clones' packages are equal byte for byte (%d and %d bytes)" %
          (len(contents[0]), len(contents[1])))
    sums = []
    for archive in archives:
        with open(archive + ".sha256") as f:
            sums.append(f.read())
    check(sums[0] == sums[1], "the two checksum files are equal")
    return summary()


if __name__ == "__main__":
    sys.exit(main())
