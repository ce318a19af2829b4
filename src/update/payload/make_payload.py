#!/usr/bin/env python3
"""Builds the self-extracting payload: the extractor program, followed by the
client program compressed with zlib, followed by a trailer the extractor reads
from the end of its own file:

    compressed size  8 bytes, little endian
    original size    8 bytes, little endian
    CRC-32           4 bytes, little endian, of the original bytes
    magic            8 bytes "TarnVSFX"

Usage: make_payload.py EXTRACTOR CLIENT OUTPUT
"""
import os
import struct
import sys
import zlib

MAGIC = b"TarnVSFX"


def main():
    extractor, client, output = sys.argv[1:4]
    with open(extractor, "rb") as f:
        stub = f.read()
    with open(client, "rb") as f:
        program = f.read()
    packed = zlib.compress(program, 9)
    trailer = struct.pack("<QQI", len(packed), len(program), zlib.crc32(program) & 0xFFFFFFFF) + MAGIC
    tmp = output + ".tmp"
    with open(tmp, "wb") as f:
        f.write(stub)
        f.write(packed)
        f.write(trailer)
    os.chmod(tmp, 0o755)
    os.replace(tmp, output)


if __name__ == "__main__":
    main()
