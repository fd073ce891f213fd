#!/usr/bin/env python3
"""Turns the UTF-8 source of the text file into Velopass.ini as the program
reads it everywhere: UTF-16LE with a byte-order mark and CRLF line ends.

    python3 resources/make_text_file.py SOURCE OUTPUT
"""
import sys


def main(source, output):
    with open(source, encoding="utf-8") as f:
        lines = f.read().splitlines()
    with open(output, "wb") as f:
        f.write(b"\xff\xfe" + "".join(line + "\r\n" for line in lines).encode("utf-16-le"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
