#!/usr/bin/env python3
"""The package as Windows reads it: the zip writer on small made-up entries, then the real
package of the 32-bit build, both read back from their raw bytes (names in GBK without the
UTF-8 flag, the local headers agreeing, the data and CRC), the checksum file checked by
sha256sum -c, no debugging section in the packaged program, and the unpacked folder."""
import argparse
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
import zlib

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "common"))
sys.path.insert(0, here)
from checks import check, summary  # noqa: E402
from package_reading import UTF8_FLAG, central_directory, pe_link_time, pe_sections  # noqa: E402


def load_make_dist(root):
    module_spec = importlib.util.spec_from_file_location(
        "make_dist", os.path.join(root, "scripts", "make_dist.py"))
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module


def check_entries(archive_path, expected, stamp, make_dist):
    """The zip holds exactly the expected (name, data) entries, in order, as Windows reads them."""
    with open(archive_path, "rb") as f:
        entries = central_directory(f.read())
    check([e.raw_name for e in entries] == [n.encode("gbk") for n, _ in expected],
          "%s: names in GBK, in order: %r" % (archive_path, [e.raw_name for e in entries]))
    date, clock = make_dist.dos_time(stamp)
    for entry, (name, data) in zip(entries, expected):
        check(entry.flags & UTF8_FLAG == 0 and entry.local_flags & UTF8_FLAG == 0,
              "%s: no UTF-8 flag" % name)
        check(entry.local_name == entry.raw_name, "%s: local header names it the same" % name)
        check(entry.method == 8, "%s: deflated" % name)
        check(entry.data == data, "%s: data" % name)
        check(entry.crc == zlib.crc32(data), "%s: CRC" % name)
        check((entry.date, entry.clock) == (date, clock), "%s: time %r" % (name, stamp))
    try:
        with zipfile.ZipFile(archive_path, metadata_encoding="gbk") as z:
            check(z.testzip() is None, "%s: zipfile finds no damage" % archive_path)
            names = z.namelist()
    except (zipfile.BadZipFile, UnicodeDecodeError) as e:
        names = "unreadable: %s" % e
    check(names == [n for n, _ in expected], "%s: zipfile reads the names %r" % (archive_path,
                                                                              names))


def writer_cases(make_dist, work):
    expected = [("包/说明.txt", "第一行\r\n".encode("gbk") * 50), ("包/empty.bin", b""),
                ("包/InstallForm/btInstall-a.bmp", bytes(range(256)) * 300)]
    stamp = (2024, 3, 5, 13, 47, 31)
    path = os.path.join(work, "made-up.zip")
    make_dist.write_zip(path, expected, stamp)
    check_entries(path, expected, stamp, make_dist)
    date, clock = make_dist.dos_time(stamp)
    check((date, clock) == (44 << 9 | 3 << 5 | 5, 13 << 11 | 47 << 5 | 15), "DOS date and time")


def time_cases(make_dist, root):
    """The package's time: SOURCE_DATE_EPOCH where it is set, else the last commit's; without
    either the build stops and says why (never the clock). Each case gives the time or the
    start of what stopped the build."""
    commit = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"], capture_output=True,
                            text=True, check=True).stdout.strip()
    with tempfile.TemporaryDirectory() as not_a_clone:
        for folder, epoch, expected in [
            (root, "1700000000", (2023, 11, 14, 22, 13, 20)),
            (root, "0", (1970, 1, 1, 0, 0, 0)),
            (not_a_clone, "1700000000", (2023, 11, 14, 22, 13, 20)),
            (root, None, time.gmtime(int(commit))[:6]),
            (not_a_clone, None, "make_dist: cannot read the last commit's time"),
            (root, "-1", "make_dist: SOURCE_DATE_EPOCH='-1' is not"),
            (root, "1.7e9", "make_dist: SOURCE_DATE_EPOCH='1.7e9' is not"),
            (root, "", "make_dist: SOURCE_DATE_EPOCH='' is not"),
            (root, "4354819200", "make_dist: SOURCE_DATE_EPOCH=4354819200 is after 2107"),
        ]:
            saved = dict(os.environ)
            os.environ.pop("SOURCE_DATE_EPOCH", None)
            if epoch is not None:
                os.environ["SOURCE_DATE_EPOCH"] = epoch
            os.environ["GIT_CEILING_DIRECTORIES"] = os.path.dirname(not_a_clone)
            try:
                found = make_dist.package_time(folder)
            except SystemExit as stopped:
                found = str(stopped.code)
            finally:
                os.environ.clear()
                os.environ.update(saved)
            check(found == expected if isinstance(expected, tuple) else str(found).startswith(expected),
                  "package time with SOURCE_DATE_EPOCH=%r in %s: %r" % (epoch, folder, found))


def real_package(root, make_dist, work):
    out = os.path.join(work, "dist")
    shutil.rmtree(out, ignore_errors=True)
    subprocess.run([sys.executable, os.path.join(root, "scripts", "make_dist.py"), root,
                    "--out", out], check=True, stdout=subprocess.DEVNULL)
    with open(os.path.join(root, "VERSION")) as f:
        name = "ZembraImport-%s-win32" % f.readline().strip()
    archive = os.path.join(out, name + ".zip")

    with open(os.path.join(root, "build", "win32", "ZembraImport.exe"), "rb") as f:
        built = f.read()
    with open(os.path.join(root, "docs", "user-guide-zh.txt"), encoding="utf-8") as f:
        guide = b"\xef\xbb\xbf" + f.read().replace("\n", "\r\n").encode("utf-8")
    with open(archive, "rb") as f:
        program = central_directory(f.read())[0].data
    expected = [(name + "/ZembraImport.exe", program), (name + "/使用说明.txt", guide)]
    skin = os.path.join(root, "forms", "skin", "InstallForm")
    for file in sorted(os.listdir(skin)):
        with open(os.path.join(skin, file), "rb") as f:
            expected.append((name + "/InstallForm/" + file, f.read()))
    check_entries(archive, expected, make_dist.package_time(root), make_dist)

    sections = pe_sections(program)
    check(".text" in sections and ".rsrc" in sections, "packaged program's sections %r" % sections)
    check(not any(s.startswith(".debug") for s in sections),
          "no debugging section in the packaged program: %r" % sections)
    check(pe_link_time(program) == 0 and pe_link_time(built) == 0,
          "no link or strip time in the PE headers: %d, %d" % (pe_link_time(program),
                                                              pe_link_time(built)))
    check(len(program) < len(built) or not any(s.startswith(".debug") for s in pe_sections(built)),
          "the packaged program is the stripped build")
    checked = subprocess.run(["sha256sum", "-c", name + ".zip.sha256"], cwd=out,
                             capture_output=True, text=True)
    check(checked.returncode == 0 and checked.stdout.strip() == name + ".zip: OK",
          "sha256sum -c: %s%s" % (checked.stdout, checked.stderr))

    unpacked = os.path.join(work, "unpacked")
    shutil.rmtree(unpacked, ignore_errors=True)
    subprocess.run([sys.executable, os.path.join(root, "scripts", "make_dist.py"), "--unpack",
                    archive, unpacked], check=True)
    check(os.path.isfile(os.path.join(unpacked, name, "使用说明.txt")), "unpacked guide")
    check(os.path.isfile(os.path.join(unpacked, name, "InstallForm", "btInstall-a.bmp")),
          "unpacked skin")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    os.makedirs(args.work, exist_ok=True)
    make_dist = load_make_dist(root)
    writer_cases(make_dist, args.work)
    time_cases(make_dist, root)
    real_package(root, make_dist, args.work)
    return summary()


if __name__ == "__main__":
    sys.exit(main())
