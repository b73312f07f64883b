#!/usr/bin/env python3
"""Packs what a user downloads: build/dist/ZembraImport-<version>-win32.zip, one folder with the
release program, the user guide (GBK, CR LF) and the skin pictures in the folders where the
program looks them up. Names inside the zip are stored in GBK, as Chinese Windows reads them.

    make_dist.py ROOT            pack, print the zip's path
    make_dist.py --unpack ZIP DEST
"""
import argparse
import os
import subprocess
import sys
import time
import zipfile


class GbkZipInfo(zipfile.ZipInfo):
    """A zip entry whose name is stored in GBK without the UTF-8 flag."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def package_time(root):
    """The last commit's time, so that the same sources give the same package."""
    try:
        out = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout.strip()
        return time.gmtime(int(out))[:6]
    except (subprocess.CalledProcessError, ValueError, FileNotFoundError):
        return time.gmtime()[:6]


def pack(root):
    with open(os.path.join(root, "VERSION")) as f:
        version = f.readline().strip()
    name = "ZembraImport-%s-win32" % version
    program = os.path.join(root, "build", "win32", "ZembraImport.exe")
    if not os.path.isfile(program):
        sys.exit("make_dist: %s is missing; build it with make win32" % program)
    with open(os.path.join(root, "docs", "user-guide-zh.txt"), encoding="utf-8") as f:
        guide = f.read().replace("\r\n", "\n").replace("\n", "\r\n").encode("gbk")

    entries = [("ZembraImport.exe", open(program, "rb").read()), ("使用说明.txt", guide)]
    skin_root = os.path.join(root, "forms", "skin")
    for folder, _, files in sorted(os.walk(skin_root)):
        for file in sorted(files):
            path = os.path.join(folder, file)
            relative = os.path.relpath(path, skin_root).replace(os.sep, "/")
            entries.append((relative, open(path, "rb").read()))

    out_folder = os.path.join(root, "build", "dist")
    os.makedirs(out_folder, exist_ok=True)
    target = os.path.join(out_folder, name + ".zip")
    stamp = package_time(root)
    with zipfile.ZipFile(target + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
        for relative, data in entries:
            info = GbkZipInfo(name + "/" + relative, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)
    os.replace(target + ".tmp", target)
    print(target)


def unpack(archive, dest):
    with zipfile.ZipFile(archive, metadata_encoding="gbk") as z:
        z.extractall(dest)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("root", nargs="?")
    parser.add_argument("--unpack", nargs=2, metavar=("ZIP", "DEST"))
    args = parser.parse_args()
    if args.unpack:
        unpack(*args.unpack)
    elif args.root:
        pack(args.root)
    else:
        parser.error("give ROOT or --unpack ZIP DEST")


if __name__ == "__main__":
    main()
