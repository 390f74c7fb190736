#!/usr/bin/env python3
"""Makes a package the same however and whenever it was made: the members of its archives in
order of name, every time set to SOURCE_DATE_EPOCH, every owner root, gzip streams without
time or name.

Usage: normalize-archive.py FILE...   (.tar.gz, .deb, .zip; SOURCE_DATE_EPOCH must be set)

A .deb is an ar archive of debian-binary and the control and data tar archives; each of
those is rewritten, then the ar archive with the same times and owners. A zip keeps each
member's permissions and nothing else of its file (no extra fields with access times).
"""
import gzip
import io
import os
import sys
import tarfile
import time
import zipfile

EPOCH = int(os.environ["SOURCE_DATE_EPOCH"])


def normalized_tar(compressed):
    """A gzipped tar archive with its members sorted and their times and owners set."""
    members = []
    with tarfile.open(fileobj=io.BytesIO(compressed), mode="r:gz") as archive:
        for member in archive.getmembers():
            data = archive.extractfile(member).read() if member.isfile() else None
            members.append((member, data))
    members.sort(key=lambda entry: entry[0].name.rstrip("/").split("/"))
    plain = io.BytesIO()
    with tarfile.open(fileobj=plain, mode="w", format=tarfile.GNU_FORMAT) as archive:
        for member, data in members:
            member.mtime = EPOCH
            member.uid = member.gid = 0
            member.uname = member.gname = "root"
            archive.addfile(member, io.BytesIO(data) if data is not None else None)
    out = io.BytesIO()
    with gzip.GzipFile(filename="", mode="wb", fileobj=out, mtime=0, compresslevel=9) as stream:
        stream.write(plain.getvalue())
    return out.getvalue()


def ar_members(data):
    if not data.startswith(b"!<arch>\n"):
        raise ValueError("not an ar archive")
    at = 8
    while at < len(data):
        header = data[at:at + 60]
        name = header[0:16].decode().rstrip().rstrip("/")
        size = int(header[48:58])
        yield name, data[at + 60:at + 60 + size]
        at += 60 + size + (size % 2)


def normalized_deb(data):
    out = bytearray(b"!<arch>\n")
    for name, content in ar_members(data):
        if name.endswith(".tar.gz"):
            content = normalized_tar(content)
        header = "%-16s%-12d%-6d%-6d%-8s%-10d`\n" % (name, EPOCH, 0, 0, "100644", len(content))
        out += header.encode() + content + (b"\n" if len(content) % 2 else b"")
    return bytes(out)


def normalized_zip(data):
    out = io.BytesIO()
    stamp = time.gmtime(EPOCH)[:6]
    with zipfile.ZipFile(io.BytesIO(data)) as source, zipfile.ZipFile(out, "w") as target:
        for member in sorted(source.infolist(), key=lambda m: m.filename.split("/")):
            entry = zipfile.ZipInfo(member.filename, stamp)
            entry.create_system = 3
            entry.external_attr = member.external_attr
            entry.compress_type = zipfile.ZIP_DEFLATED
            target.writestr(entry, source.read(member), compresslevel=9)
    return out.getvalue()


def main():
    for path in sys.argv[1:]:
        with open(path, "rb") as file:
            data = file.read()
        if path.endswith(".deb"):
            data = normalized_deb(data)
        elif path.endswith(".zip"):
            data = normalized_zip(data)
        else:
            data = normalized_tar(data)
        with open(path, "wb") as file:
            file.write(data)


if __name__ == "__main__":
    main()
