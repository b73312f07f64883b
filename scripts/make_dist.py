#!/usr/bin/env python3
"""Packs what a user downloads: build/dist/ZembraImport-<version>-win32.zip, one folder with the
release program (stripped of its debugging sections), the user guide (UTF-8 with a byte-order
mark, CR LF) and the skin pictures in the folders where the program looks them up, and beside
it the zip's SHA-256 in sha256sum's format. Names inside the zip are stored in GBK, as Chinese
Windows reads them. The same commit gives the same bytes: fixed order, every time the last
commit's (or SOURCE_DATE_EPOCH's, where that is set).

    make_dist.py ROOT [--out FOLDER]   pack, print the zip's path
    make_dist.py --unpack ZIP DEST
    make_dist.py --guide SOURCE TARGET   only the guide, as the package carries it
"""
import argparse
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
import zlib

STRIP = "i686-w64-mingw32-strip"
# 2108-01-01 00:00 UTC: a zip's year field ends with 2107.
LAST_ZIP_TIME = 4354819200


def package_time(root):
    """The package's time: SOURCE_DATE_EPOCH where it is set (the reproducible-builds
    convention), else the last commit's. Never the clock: a package stamped with it differs
    from every other build of the same sources, so without either time the build stops."""
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if epoch is not None:
        if not re.fullmatch(r"[0-9]+", epoch):
            sys.exit("make_dist: SOURCE_DATE_EPOCH=%r is not a whole number of seconds since "
                     "1970" % epoch)
        if int(epoch) >= LAST_ZIP_TIME:
            sys.exit("make_dist: SOURCE_DATE_EPOCH=%s is after 2107, the last year a zip holds"
                     % epoch)
        return time.gmtime(int(epoch))[:6]
    try:
        done = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"],
                              capture_output=True, text=True)
        reason = done.stderr.strip().splitlines()[0] if done.stderr.strip() else "no commit"
        out = done.stdout.strip() if done.returncode == 0 else ""
    except FileNotFoundError:
        reason, out = "git is not installed", ""
    if not re.fullmatch(r"[0-9]+", out):
        sys.exit("make_dist: cannot read the last commit's time in %s (%s); the package takes "
                 "its time from it, or from SOURCE_DATE_EPOCH (seconds since 1970) where that "
                 "is set" % (root, reason))
    return time.gmtime(int(out))[:6]


def dos_time(stamp):
    """(date, time) fields of a zip header; DOS times count from 1980 in two-second steps."""
    year, month, day, hour, minute, second = stamp
    year = max(year, 1980)
    return (year - 1980) << 9 | month << 5 | day, hour << 11 | minute << 5 | second // 2


def write_zip(target, entries, stamp):
    """Writes (name, data) entries in the given order, deflated, names as GBK bytes without
    the UTF-8 flag (bit 11), so that Chinese Windows shows them."""
    date, clock = dos_time(stamp)
    central = []
    with open(target, "wb") as out:
        for name, data in entries:
            raw_name = name.encode("gbk")
            packer = zlib.compressobj(9, zlib.DEFLATED, -15)  # raw deflate, as zip wants it
            packed = packer.compress(data) + packer.flush()
            crc = zlib.crc32(data)
            offset = out.tell()
            # Version needed 2.0 (deflate), flags 0, method 8 (deflate).
            fields = struct.pack("<HHHHHIIIHH", 20, 0, 8, clock, date, crc, len(packed),
                                 len(data), len(raw_name), 0)
            out.write(b"PK\x03\x04" + fields + raw_name + packed)
            # Made by Unix (3) and zip 2.0, so the permission bits below count.
            central.append(b"PK\x01\x02" + struct.pack("<H", 3 << 8 | 20) + fields +
                           struct.pack("<HHHII", 0, 0, 0, 0o644 << 16, offset) + raw_name)
        start = out.tell()
        directory = b"".join(central)
        out.write(directory)
        out.write(b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, len(central), len(central),
                                              len(directory), start, 0))


def stripped_program(program):
    """The program's bytes without its debugging sections; the build's own copy stays whole."""
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, "program.exe")
        shutil.copyfile(program, copy)
        # strip stamps the PE header with the time of stripping unless SOURCE_DATE_EPOCH
        # names one: 0, as the link left it (no time).
        env = dict(os.environ, SOURCE_DATE_EPOCH="0")
        subprocess.run([STRIP, "--strip-all", copy], check=True, env=env)
        with open(copy, "rb") as f:
            return f.read()


def packed_guide(source):
    """The user guide as the package carries it: UTF-8 with a byte-order mark and CR LF, which
    Notepad shows rightly from Windows XP on, whatever the system's code page, wherever the
    system has a Chinese font (an English XP has one once its East Asian files are in)."""
    with open(source, encoding="utf-8") as f:
        text = f.read().replace("\r\n", "\n").replace("\n", "\r\n")
    return b"\xef\xbb\xbf" + text.encode("utf-8")


def package_entries(root, name):
    """What goes into the package, in its fixed order."""
    program = os.path.join(root, "build", "win32", "ZembraImport.exe")
    if not os.path.isfile(program):
        sys.exit("make_dist: %s is missing; build it with make win32" % program)
    guide = packed_guide(os.path.join(root, "docs", "user-guide-zh.txt"))
    entries = [("ZembraImport.exe", stripped_program(program)), ("使用说明.txt", guide)]
    skin_root = os.path.join(root, "forms", "skin")
    skin = []
    for folder, _, files in os.walk(skin_root):
        for file in files:
            path = os.path.join(folder, file)
            skin.append((os.path.relpath(path, skin_root).replace(os.sep, "/"), path))
    for relative, path in sorted(skin):
        with open(path, "rb") as f:
            entries.append((relative, f.read()))
    return [(name + "/" + relative, data) for relative, data in entries]


def write_checksum(target):
    """target.sha256 in sha256sum's format: checked with sha256sum -c in the same folder."""
    with open(target, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(target + ".sha256", "w", newline="\n") as f:
        f.write("%s  %s\n" % (digest, os.path.basename(target)))


def pack(root, out_folder=None):
    with open(os.path.join(root, "VERSION")) as f:
        version = f.readline().strip()
    name = "ZembraImport-%s-win32" % version
    out_folder = out_folder or os.path.join(root, "build", "dist")
    os.makedirs(out_folder, exist_ok=True)
    target = os.path.join(out_folder, name + ".zip")
    stamp = package_time(root)  # first: a build without a time stops before any work
    write_zip(target + ".tmp", package_entries(root, name), stamp)
    os.replace(target + ".tmp", target)
    write_checksum(target)
    print(target)


def unpack(archive, dest):
    with zipfile.ZipFile(archive, metadata_encoding="gbk") as z:
        z.extractall(dest)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("root", nargs="?")
    parser.add_argument("--out", help="folder for the package (default ROOT/build/dist)")
    parser.add_argument("--unpack", nargs=2, metavar=("ZIP", "DEST"))
    parser.add_argument("--guide", nargs=2, metavar=("SOURCE", "TARGET"),
                        help="write only the user guide as the package carries it")
    args = parser.parse_args()
    if args.unpack:
        unpack(*args.unpack)
    elif args.guide:
        with open(args.guide[1], "wb") as f:
            f.write(packed_guide(args.guide[0]))
    elif args.root:
        pack(args.root, args.out)
    else:
        parser.error("give ROOT or --unpack ZIP DEST")


if __name__ == "__main__":
    main()
