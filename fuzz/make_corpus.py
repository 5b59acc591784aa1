#!/usr/bin/env python3
"""Writes the seed corpus of the .ftf reader into fuzz/corpus.

The file names carry what the corpus replay test expects of each seed:
  valid-*          loads with 1; the valid-encoding-* seeds hold one and the
                   same genealogy in different encodings
  bad-date-*       fails with 0 (a date the calendar or the family refuses)
  bad-relation-*   fails with -1 (a father who is not among the members before)
  bad-noroot-*     fails with -5 (only the end line)
  bad-*            fails with some code of the table and leaves nothing loaded
  found-*          inputs the fuzzer found that reach code the seeds do not; kept
                   as they are (this script leaves them alone)

Run it again after changing a seed: python3 fuzz/make_corpus.py
"""

import pathlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
END = "end 1999 12 2 1 end 1 end"

# A small clan over five generations: negative years, 29 February of a leap
# year, a member without address, a child who died on the day of birth, two
# children born on the same day, a character outside the Basic Multilingual
# Plane (𠮷, a surrogate pair in UTF-16).
RECORDS = [
    "孔丘 -551 9 28 1 鲁国曲阜 0 -479 4 11 -1",
    "孔鲤 -532 1 1 1 end 0 -483 1 1 孔丘",
    "孔伋 -483 5 5 0 鲁国𠮷邑 0 -402 3 3 孔鲤",
    "孔白 -440 2 29 1 end 0 -380 8 8 孔伋",
    "孔求 -410 7 7 0 曲阜阙里 0 -410 7 7 孔白",
    "孔箕 -410 7 7 1 曲阜阙里 1 孔白",
    "孔穿 -380 12 31 1 阙里东街 0 -320 1 15 孔箕",
    "孔謙 -350 6 1 0 end 1 孔穿",
]


def text(records, end=True, separator="\r\n"):
    body = "".join(r + separator for r in records)
    return body + (END if end else "")


def write(name, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    (CORPUS / name).write_bytes(data)


def main():
    CORPUS.mkdir(exist_ok=True)
    # The fuzzer's finds (found-*) are kept; the hand-made seeds are rewritten.
    for pattern in ("valid-*.ftf", "bad-*.ftf"):
        for old in CORPUS.glob(pattern):
            old.unlink()
    plain = text(RECORDS)

    # One genealogy, every encoding the reader takes.
    write("valid-encoding-utf8.ftf", plain)
    write("valid-encoding-utf8-bom.ftf", b"\xef\xbb\xbf" + plain.encode("utf-8"))
    write("valid-encoding-utf16le.ftf", b"\xff\xfe" + plain.encode("utf-16-le"))
    write("valid-encoding-utf16be.ftf", b"\xfe\xff" + plain.encode("utf-16-be"))
    write("valid-encoding-gb18030.ftf", plain.encode("gb18030"))
    # The same words laid out on one line and with runs of blanks and tabs.
    write("valid-encoding-one-line.ftf", text(RECORDS, separator="  \t "))

    write("valid-root-only.ftf", text(RECORDS[:1]))
    # A later member named "end" finishes the file: the rest is never read.
    write("valid-later-end.ftf", text(RECORDS[:2] + ["end 1990 1 1 0 end 1 孔丘"] + RECORDS[2:3]))
    # The longest word: 127 UTF-16 code units (63 surrogate pairs and one more).
    write("valid-longest-words.ftf", text(["𠮷" * 63 + "孔 1900 1 1 0 " + "街" * 127 + " 1 -1"]))
    # A record whose name equals its father's ends the file as the end line does.
    write("valid-name-equals-father.ftf", text(RECORDS[:2] + ["孔鲤 1990 1 1 0 end 1 孔鲤"]))
    # Dates the calendar allows: year 0, negative and far years, 29 February 2000.
    write("valid-calendar-edges.ftf",
          text(["甲 -2147483648 1 1 0 end 0 2147483647 12 31 -1",
                "乙 0 2 29 1 end 1 甲",
                "丙 2000 2 29 1 end 1 乙"]))

    # Malformed records and files.
    write("bad-not-a-number.ftf", text(RECORDS[:1] + ["孔鲤 -532 一 1 1 end 0 -483 1 1 孔丘"]))
    write("bad-number-sign-only.ftf", text(["孔丘 - 9 28 1 end 1 -1"]))
    write("bad-number-over-32-bits.ftf", text(["孔丘 2147483648 9 28 1 end 1 -1"]))
    write("bad-number-under-32-bits.ftf", text(RECORDS[:1] + ["孔鲤 -532 1 1 1 end 0 -2147483649 1 1 孔丘"]))
    write("bad-missing-field.ftf", text(RECORDS[:1] + ["孔鲤 -532 1 1 end 0 -483 1 1 孔丘"]))
    write("bad-word-too-long.ftf", text(["孔" * 128 + " 1900 1 1 0 end 1 -1"]))
    write("bad-word-too-long-surrogates.ftf", text(["𠮷" * 64 + " 1900 1 1 0 end 1 -1"]))
    write("bad-address-too-long.ftf", text(["孔丘 1900 1 1 0 " + "街" * 128 + " 1 -1"]))
    write("bad-eof-before-end.ftf", text(RECORDS, end=False))
    write("bad-eof-inside-record.ftf", text(RECORDS[:2], end=False) + "孔伋 -483 5")
    write("bad-eof-inside-end-line.ftf", text(RECORDS[:2], end=False) + "end 1999 12")
    write("bad-empty.ftf", b"")
    write("bad-undecodable.ftf",
          text(RECORDS[:1], end=False).encode("utf-8") + b"\xff\x80\xff" + text(RECORDS[1:2]).encode("utf-8"))
    write("bad-undecodable-after-utf8-bom.ftf",
          b"\xef\xbb\xbf" + text(RECORDS[:1], end=False).encode("utf-8") + "孔".encode("utf-8") + b"\xc3\x28"
          + text(["鲤 -532 1 1 1 end 1 孔丘"]).encode("utf-8"))
    write("bad-utf16le-odd-length.ftf", b"\xff\xfe" + text(RECORDS[:1]).encode("utf-16-le") + b"e")
    write("bad-utf16le-lone-surrogate.ftf",
          b"\xff\xfe" + "孔".encode("utf-16-le") + b"\x00\xd8" + text(RECORDS[:1])[2:].encode("utf-16-le"))
    write("bad-date-february-30.ftf", text(["孔丘 1900 2 30 1 end 1 -1"]))
    write("bad-date-february-29-common-year.ftf", text(RECORDS[:1] + ["孔鲤 1900 2 29 1 end 1 孔丘"]))
    write("bad-date-month-13.ftf", text(["孔丘 1900 13 1 1 end 1 -1"]))
    write("bad-date-death-before-birth.ftf", text(["孔丘 1900 5 5 1 end 0 1900 5 4 -1"]))
    write("bad-date-invalid-death.ftf", text(["孔丘 1900 5 5 1 end 0 1950 4 31 -1"]))
    write("bad-date-child-before-father.ftf", text(RECORDS[:1] + ["孔鲤 -551 9 27 1 end 1 孔丘"]))
    write("bad-relation-unknown-father.ftf", text(RECORDS[:2] + ["孔伋 -483 5 5 0 end 1 孔丙"]))
    write("bad-relation-father-later.ftf",
          text(RECORDS[:1] + [RECORDS[2], RECORDS[1]]))
    write("bad-noroot-only-end.ftf", END)


if __name__ == "__main__":
    main()
