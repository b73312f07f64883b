#!/usr/bin/env python3
"""The command-line converter on a generated installation, natively or under Wine.

Checks the library file byte for byte against an independent model of the record format, the
dump's output and summary, and the exit codes and messages of failures.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
from fractions import Fraction

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from checks import check, summary  # noqa: E402


def expected_library(book_folder, tag, native_folder, windows):
    """The library file that a well-formed book gives: header, sentences, fillers to 5."""
    def record(texts, start, end, header, filler):
        area = b"".join(t + b"\0" for t in texts) + b"\xff"
        area += b"\0" * (1992 - len(area))
        tail = b"\0" * 24 + struct.pack("<iiiiiii", 0, start, end, 0, 0, header, filler)
        return area + tail + b"\0" * 4

    def time_of(line):
        minutes = int(line[1:3])
        seconds = Fraction(float(line[4:9]))  # parsed as a double, then exact arithmetic
        return int((minutes * 60 + seconds) * 1000)

    out = []
    with open(os.path.join(native_folder, "lesson.txt"), "rb") as f:
        lines = [l.rstrip(b" \t\r\n") for l in f.read().split(b"\n")]
    i, lesson = 0, 0
    times = []
    sound = b""
    k = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        if not line:
            continue
        if line.startswith(b"$"):
            while len(out) % 5:
                out.append(record([b""] * 6, -1, -1, 0, 0x12345678))
            out.append(record([b"", line[1:], b"", b"", b"", b""], -1, -1, 1, 0))
            lesson += 1
            name = "%s%03d" % (tag, lesson)
            with open(os.path.join(native_folder, name + ".lrc"), "rb") as f:
                times = [time_of(l.decode("gbk")) for l in f.read().split(b"\r\n") if l.strip()]
            times.append(-100)
            # Under Wine paths are GBK; on Linux they keep the file system's bytes.
            sound = (book_folder + name + ".mp3").encode("gbk") if windows else os.fsencode(
                book_folder + name + ".mp3")
            k = 0
            continue
        text = line[line.index(b".") + 2:].strip(b" ")
        companion = lines[i].lstrip(b" ")
        i += 1
        at = lambda n: times[n] if n < len(times) else -100
        out.append(record([text, companion, b"", b"", sound, b""], at(k), at(k + 1), 0, 0))
        k += 1
    return b"".join(out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--emulator")
    parser.add_argument("--generator", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    windows = args.emulator is not None
    encoding = "gbk" if windows else "utf-8"

    def host(path):
        """The path as the tool sees it."""
        return "Z:" + path.replace("/", "\\") if windows else path

    def run(*tool_args):
        command = ([args.emulator] if windows else []) + [args.tool] + list(tool_args)
        p = subprocess.run(command, capture_output=True, timeout=120)
        return p.returncode, p.stdout.decode(encoding, "replace"), p.stderr.decode(encoding,
                                                                                   "replace")

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    course = os.path.join(args.work, "course")
    subprocess.run([sys.executable, args.generator, course, "--lessons", "6", "--sentences",
                    "3"], check=True, capture_output=True)
    library = os.path.join(args.work, "book1.dat")
    sep = "\\" if windows else "/"

    # Book 1 lies in its long-named folder; its folder is given without a trailing separator.
    native_book1 = os.path.join(course, "books", "Zembra英语第1册")
    rc, out, err = run("convert", host(library), host(native_book1), "zmb1")
    check(rc == 0 and err == "", "convert book 1 exits 0 silently (%d, %r)" % (rc, err))
    with open(library, "rb") as f:
        written = f.read()
    expected = expected_library(host(native_book1) + sep, "zmb1", native_book1, windows)
    check(written == expected, "book 1 matches the record model byte for byte (%d vs %d bytes)"
          % (len(written), len(expected)))

    rc, out, err = run("dump", host(library))
    lines = out.splitlines()
    check(rc == 0, "dump exits 0")
    check(len(lines) == 30, "dump prints 29 records and a summary (%d lines)" % len(lines))
    check(lines and lines[-1] == "29 records: 6 headers, 18 sentences, 5 fillers",
          "dump summary: %r" % (lines[-1] if lines else None))
    first = lines[0].split("\t") if lines else []
    check(first[:4] == ["0", "header", "-1", "-1"] and first[5] == '"Lesson 1  第1课"',
          "first record is the header of lesson 1: %r" % first)
    second = lines[1].split("\t") if len(lines) > 1 else []
    check(second[1] == "sentence" and second[5] == '"谢谢你"' and second[8].endswith('zmb1001.mp3"'),
          "second record is a sentence with its companion and sound: %r" % second)
    check(lines[4].split("\t")[1] == "filler", "record 4 is a filler")
    rc, out, err = run("dump", "--summary", host(library))
    check(rc == 0 and out.strip() == "29 records: 6 headers, 18 sentences, 5 fillers",
          "dump --summary prints only the summary: %r" % out)

    # Book 2 lies in its short-named folder.
    native_book2 = os.path.join(course, "books", "ZMB2")
    library2 = os.path.join(args.work, "book2.dat")
    rc, out, err = run("convert", host(library2), host(native_book2) + sep, "zmb2")
    check(rc == 0, "convert book 2 from its short-named folder")
    with open(library2, "rb") as f:
        check(f.read() == expected_library(host(native_book2) + sep, "zmb2", native_book2,
                                                windows),
              "book 2 matches the record model")

    # Failures: one line on stderr naming the file; the earlier library stays.
    missing = os.path.join(course, "books", "ZMB9")
    rc, out, err = run("convert", host(library), host(missing), "zmb9")
    check(rc == 1 and len(err.splitlines()) == 1 and "lesson.txt" in err,
          "missing book: exit 1 and one line naming lesson.txt (%d, %r)" % (rc, err))
    os.remove(os.path.join(native_book2, "zmb2004.lrc"))
    rc, out, err = run("convert", host(library), host(native_book2), "zmb2")
    check(rc == 1 and "zmb2004.lrc" in err, "missing timing file named: %r" % err)
    with open(library, "rb") as f:
        check(f.read() == written, "a failed conversion leaves the earlier library as it was")
    check(not os.path.exists(library + ".tmp"), "no staging file is left behind")

    # Malformed library files are reported, never a crash.
    bad = os.path.join(args.work, "bad.dat")
    with open(bad, "wb") as f:
        f.write(b"x" * 100)
    rc, out, err = run("dump", host(bad))
    check(rc == 1 and "2048" in err, "dump of a file of 100 bytes: exit 1 (%d, %r)" % (rc, err))
    with open(bad, "wb") as f:
        f.write(expected[:2048] + b"a" * 2048)
    rc, out, err = run("dump", host(bad))
    check(rc == 1 and "end marker" in err and "record 1" in err,
          "dump of a record without end marker: exit 1 (%d, %r)" % (rc, err))

    # Wrong arguments.
    for wrong in ([], ["convert", "a"], ["dump"], ["frobnicate", "x", "y", "z"]):
        rc, out, err = run(*wrong)
        check(rc == 2 and "usage" in err, "usage for %r (%d)" % (wrong, rc))

    return summary()


if __name__ == "__main__":
    sys.exit(main())
