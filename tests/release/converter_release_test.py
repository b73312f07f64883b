#!/usr/bin/env python3
"""The 32-bit release converter against the native one: both convert the same two books, and
the library files must be equal byte for byte.

One book is a plain generated one of eight lessons; the other is full of odd input (text
before the first lesson, lines without a full stop, texts longer than a record holds, GBK
characters whose second byte is a backslash, timing lines that are blank, overlong, out of
range or not numbers, more and fewer times than sentences, a last sentence without its
companion). The Windows conversions run at the same time: each start of a 32-bit program
under emulation takes about a minute.
"""
import argparse
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from checks import check, summary  # noqa: E402


def crlf(lines):
    return b"".join(l + b"\r\n" for l in lines)


def write_odd_book(folder, tag):
    os.makedirs(folder, exist_ok=True)
    g = lambda text: text.encode("gbk")
    long_sentence = b"9. " + b"Long words " * 150 + g("长句子錦") * 60  # cut at a GBK boundary
    lessons = [
        g("1. Before any lesson: skipped"), g("跳过的对照"),
        g("$Lesson 1  第1课 錦"),
        g("1. First sentence."), g("第一句"),
        g("No full stop at all"), g("没有句号"),
        g("3. Ends here."), g("对照三"),
        g("3."), g("最后一个点"),
        g("4.    padded with spaces    "), g("    前面有空格的对照"),
        b"5. \xff starts oddly", b"\xff\xfe companion starting with 0xFF",
        g("$$Lesson 2 with a dollar in its title"),
        long_sentence, g("很长的对照") * 200,
        g("6. 錦 ends in a backslash byte 錦"), g("表\\示"),
    ]
    for lesson in range(3, 8):
        lessons.append(g("$Lesson %d  第%d课" % (lesson, lesson)))
        for k in range(3):
            lessons += [g("%d. Sentence %d of lesson %d." % (k + 1, k, lesson)), g("对照%d" % k)]
    lessons.append(g("7. The very last line has no companion"))
    with open(os.path.join(folder, "lesson.txt"), "wb") as f:
        f.write(crlf(lessons[:-1]) + lessons[-1])

    timings = {
        1: [b"[00:01.13]x", b"", b"   \t", b"[59:59.99]" + b"y" * 5000, b"[-1:00.50]",
            b"[00:1e+01]", b"[00:inf]", b"[00:nan]", b"[99:99.99]", b"[0", b"[00:1e-30]"],
        2: [b"[00:02.50]", b"[00:07.25]"],  # fewer times than sentences
        3: [b"[00:00.01]", b"[00:00.99]", b"[00:01.01]", b"[01:00.00]", b"[02:00.00]"],
        4: [b"[00:03.33]"],
        5: [b"[00:05.55]", b"[00:06.66]", b"[00:07.77]", b"[00:08.88]"],
        6: [b"[10:10.10]", b"[20:20.20]", b"[30:30.30]"],
        7: [b"[00:04.20]", b"[00:04.20]"],
    }
    for lesson, lines in timings.items():
        with open(os.path.join(folder, "%s%03d.lrc" % (tag, lesson)), "wb") as f:
            f.write(crlf(lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--native", required=True, help="the native zembra2orvel")
    parser.add_argument("--win32", required=True, help="the release zembra2orvel.exe")
    parser.add_argument("--loader", default="/usr/lib/wine/wine", help="Wine's 32-bit loader")
    parser.add_argument("--generator", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    subprocess.run([sys.executable, args.generator, args.work, "--books", "1", "--naming",
                    "short", "--lessons", "8", "--sentences", "4"], check=True,
                   capture_output=True)
    write_odd_book(os.path.join(args.work, "books", "ODD"), "odd")

    # Relative folders with forward slashes: the same bytes name the same files on both
    # systems, so the sound paths in the records are the same too.
    books = [("books/ZMB1/", "zmb1"), ("books/ODD/", "odd")]
    started = []
    for folder, tag in books:
        command = [args.loader, os.path.abspath(args.win32), "convert", tag + "-win32.dat",
                   folder, tag]
        started.append(subprocess.Popen(command, cwd=args.work, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE))
    for (folder, tag), process in zip(books, started):
        try:
            out, err = process.communicate(timeout=900)
        except subprocess.TimeoutExpired:
            process.kill()
            out, err = process.communicate()
        check(process.returncode == 0,
              "32-bit convert %s exits 0 (%d, %r)" % (folder, process.returncode, err[-300:]))
        p = subprocess.run([os.path.abspath(args.native), "convert", tag + "-native.dat", folder,
                            tag], cwd=args.work, capture_output=True, timeout=120)
        check(p.returncode == 0, "native convert %s exits 0 (%r)" % (folder, p.stderr))
        paths = [os.path.join(args.work, tag + suffix) for suffix in ("-win32.dat", "-native.dat")]
        if not all(os.path.exists(p) for p in paths):
            check(False, "both library files of %s exist" % folder)
            continue
        with open(paths[0], "rb") as f:
            win32 = f.read()
        with open(paths[1], "rb") as f:
            native = f.read()
        check(len(native) > 2048 * 10 and len(native) % 2048 == 0,
              "the native library of %s holds whole records (%d bytes)" % (folder, len(native)))
        first_difference = next((i for i in range(min(len(win32), len(native)))
                                 if win32[i] != native[i]), min(len(win32), len(native)))
        check(win32 == native,
              "%s: the release build's library equals the native one (%d vs %d bytes, first "
              "difference in record %d at byte %d)" % (folder, len(win32), len(native),
                                                        first_difference // 2048,
                                                        first_difference % 2048))

    return summary()


if __name__ == "__main__":
    sys.exit(main())
