#!/usr/bin/env python3
"""Sets the compile time stamps of a compiled help file to the time of SOURCE_DATE_EPOCH, so
that two builds of one source give one file.

Usage: chm-timestamp.py FILE.chm

chmcmd stamps a help file with the milliseconds of the day it ran, in two places: the ITSF
header (offset 0x10, big-endian) and the #SYSTEM file's entry 10 (little-endian). Without
SOURCE_DATE_EPOCH both become 0.
"""
import os
import struct
import sys


def encoded_int(data, at):
    """A CHM directory's variable-length number and the place after it."""
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, at


def system_entries(data):
    """The places of the #SYSTEM file's entries: (code, offset of its data, size)."""
    directory, _ = struct.unpack_from("<QQ", data, 0x48)
    content = struct.unpack_from("<Q", data, 0x58)[0]
    chunk_size = struct.unpack_from("<I", data, directory + 0x10)[0]
    chunks = struct.unpack_from("<I", data, directory + 0x2C)[0]
    first = directory + 0x54
    for index in range(chunks):
        chunk = data[first + index * chunk_size:first + (index + 1) * chunk_size]
        if chunk[:4] != b"PMGL":
            continue
        end = chunk_size - struct.unpack_from("<I", chunk, 4)[0]
        at = 0x14
        while at < end:
            length, at = encoded_int(chunk, at)
            name = chunk[at:at + length]
            at += length
            _, at = encoded_int(chunk, at)
            offset, at = encoded_int(chunk, at)
            size, at = encoded_int(chunk, at)
            if name == b"/#SYSTEM":
                place = content + offset + 4
                while place < content + offset + size:
                    code, entry_size = struct.unpack_from("<HH", data, place)
                    yield code, place + 4, entry_size
                    place += 4 + entry_size
                return
    raise ValueError("no #SYSTEM file")


def main():
    path = sys.argv[1]
    data = bytearray(open(path, "rb").read())
    if data[:4] != b"ITSF":
        sys.exit("%s is not a compiled help file" % path)
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    stamp = (int(epoch) % 86400) * 1000 if epoch else 0
    struct.pack_into(">I", data, 0x10, stamp)
    for code, at, size in system_entries(data):
        if code == 10 and size == 4:
            struct.pack_into("<I", data, at, stamp)
    open(path, "wb").write(data)


if __name__ == "__main__":
    main()
