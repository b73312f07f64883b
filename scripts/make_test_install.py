#!/usr/bin/env python3
"""Lays out a deterministic test installation of the course program.

Books 1 and 3 are in folders with their long names, books 2 and 4 in folders with their short
names, all below ROOT/books/. Each book has lesson.txt (GBK, CR LF), one timing file per lesson
and a small placeholder recording per lesson.
"""
import argparse
import os

LONG_NAMES = {n: "Zembra英语第%d册" % n for n in range(1, 5)}
SHORT_NAMES = {n: "ZMB%d" % n for n in range(1, 5)}
WORDS = ["good", "morning", "thank", "you", "very", "much", "where", "is", "the", "station",
         "please", "open", "window", "teacher", "student", "today"]
CHINESE = ["早上好", "谢谢你", "非常感谢", "车站在哪里", "请打开窗户", "老师", "学生", "今天"]


def book_folder_name(book, naming):
    if naming == "long":
        return LONG_NAMES[book]
    if naming == "short":
        return SHORT_NAMES[book]
    return LONG_NAMES[book] if book in (1, 3) else SHORT_NAMES[book]


def sentence(book, lesson, k):
    words = [WORDS[(book * 7 + lesson * 3 + k * 5 + i) % len(WORDS)] for i in range(3 + k % 4)]
    text = " ".join(words).capitalize()
    return text + ("?" if k % 3 == 2 else ".")


def write_book(folder, book, lessons, sentences, recordings):
    os.makedirs(folder, exist_ok=True)
    tag = "zmb%d" % book
    lines = []
    for lesson in range(1, lessons + 1):
        lines.append("$Lesson %d  第%d课" % (lesson, lesson))
        timing = []
        t = 500 + lesson * 10
        for k in range(sentences):
            lines.append("%d. %s" % (k + 1, sentence(book, lesson, k)))
            lines.append(CHINESE[(lesson + k) % len(CHINESE)])
            timing.append("[%02d:%05.2f]%s" % (t // 60000, (t % 60000) / 1000.0,
                                               sentence(book, lesson, k)))
            t += 1830 + 170 * (k % 5)
        with open(os.path.join(folder, "%s%03d.lrc" % (tag, lesson)), "wb") as f:
            f.write(("\r\n".join(timing) + "\r\n").encode("gbk"))
        if recordings:
            with open(os.path.join(folder, "%s%03d.mp3" % (tag, lesson)), "wb") as f:
                f.write(b"ID3\x03\x00\x00\x00\x00\x00\x00placeholder recording %d\n" % lesson)
    with open(os.path.join(folder, "lesson.txt"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("gbk"))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("root", help="course folder to create (books go below ROOT/books)")
    parser.add_argument("--books", default="1,2,3,4", help="which books, e.g. 1,3")
    parser.add_argument("--lessons", type=int, default=6)
    parser.add_argument("--sentences", type=int, default=3)
    parser.add_argument("--naming", choices=["mixed", "long", "short"], default="mixed")
    parser.add_argument("--no-recordings", action="store_true")
    args = parser.parse_args()
    for book in (int(b) for b in args.books.split(",") if b):
        folder = os.path.join(args.root, "books", book_folder_name(book, args.naming))
        write_book(folder, book, args.lessons, args.sentences, not args.no_recordings)
        print(folder)


if __name__ == "__main__":
    main()
