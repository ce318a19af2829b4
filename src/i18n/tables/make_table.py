#!/usr/bin/env python3
"""Turns a catalogue table from its editable form (.tsv) into the stored form.

Editable form (UTF-8): '#' comments, '[section]' headers, rows as
ID<TAB>col1<TAB>...<TAB>col5 (a row may stop early); '\\r\\n' written as the
four characters backslash r backslash n marks a line break inside a text.

Stored form: lines ending CR LF; header lines hold the section name; a row is
ID, then 0x01 + text for each column, then one more 0x01. Line breaks inside a
text are 0x19 0x1A. Columns 1-2 are Windows-1251, columns 3-5 Windows-1252.
"""
import sys

CODEPAGES = ["cp1251", "cp1251", "cp1252", "cp1252", "cp1252"]


def encode_text(text, column, where):
    try:
        data = text.replace("\\r\\n", "\r\n").encode(CODEPAGES[column - 1])
    except UnicodeEncodeError as err:
        sys.exit(f"{where}: column {column} does not fit {CODEPAGES[column - 1]}: {err}")
    if b"\x01" in data or b"\x19" in data or b"\x1a" in data:
        sys.exit(f"{where}: column {column} holds a reserved byte")
    data = data.replace(b"\r\n", b"\x19\x1a")
    if b"\r" in data or b"\n" in data:
        sys.exit(f"{where}: column {column} holds a lone CR or LF")
    return data


def convert(source_path):
    out = bytearray()
    with open(source_path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\n")
            where = f"{source_path}:{number}"
            if not line or line.startswith("#"):
                continue
            if line.startswith("[") and line.endswith("]"):
                out += line[1:-1].encode("ascii") + b"\r\n"
                continue
            fields = line.split("\t")
            if len(fields) > 6:
                sys.exit(f"{where}: more than five columns")
            row = bytearray(fields[0].encode("ascii"))
            for column, text in enumerate(fields[1:], 1):
                row += b"\x01" + encode_text(text, column, where)
            row += b"\x01"
            out += row + b"\r\n"
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_table.py SOURCE.tsv STORED.tbl")
    data = convert(sys.argv[1])
    with open(sys.argv[2], "wb") as target:
        target.write(data)


if __name__ == "__main__":
    main()
