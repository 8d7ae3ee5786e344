#!/usr/bin/env python3
"""Writes ZIP files with Python's zipfile for the packing library's tests.

  makezip.py tree deflate|store|stream|zip64 SRC OUT   the tree below SRC, folders included
  makezip.py entries OUT JSON                          hand-made entries, hostile ones too:
      [{"name": ..., "kind": "file"|"dir"|"symlink", "data": ..., "target": ...}]
  makezip.py badcrc OUT                                one file whose stored CRC is wrong
  makezip.py cp437 OUT NAME...                         files named in code page 437, without the
                                                       UTF-8 flag, as Windows' ZIP folders write them
  makezip.py damaged KIND OUT                          a small archive with one kind of damage (see
                                                       DAMAGE below), or "empty": a valid one without
                                                       entries
"""
import io
import json
import os
import struct
import sys
import zipfile


class Unseekable(io.RawIOBase):
    """A sink without seek or tell, so zipfile streams entries with data descriptors."""

    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def write(self, b):
        return self.f.write(b)

    def seekable(self):
        return False

    def tell(self):
        raise OSError("not seekable")

    def flush(self):
        self.f.flush()


def tree(mode, src, out):
    method = zipfile.ZIP_STORED if mode == "store" else zipfile.ZIP_DEFLATED
    raw = open(out, "wb")
    target = Unseekable(raw) if mode == "stream" else raw
    with zipfile.ZipFile(target, "w", compression=method) as zf:
        for dirpath, dirnames, filenames in os.walk(src):
            dirnames.sort()
            rel = os.path.relpath(dirpath, src)
            if rel != ".":
                zf.writestr(zipfile.ZipInfo(rel.replace(os.sep, "/") + "/"), b"")
            for name in sorted(filenames):
                path = os.path.join(dirpath, name)
                arc = os.path.relpath(path, src).replace(os.sep, "/")
                with open(path, "rb") as f:
                    data = f.read()
                info = zipfile.ZipInfo(arc)
                info.compress_type = method
                info.external_attr = 0o644 << 16
                with zf.open(info, "w", force_zip64=(mode == "zip64")) as w:
                    w.write(data)
    raw.close()


def entries(out, item):
    kinds = {"file": 0o100644, "dir": 0o040755, "symlink": 0o120777}
    with zipfile.ZipFile(out, "w", compression=zipfile.ZIP_DEFLATED) as zf:
        for e in json.loads(item):
            info = zipfile.ZipInfo(e["name"])
            info.create_system = 3  # Unix, so the mode bits count
            info.external_attr = kinds[e["kind"]] << 16
            if e["kind"] == "dir":
                info.external_attr |= 0x10
            payload = e.get("target", "") if e["kind"] == "symlink" else e.get("data", "")
            zf.writestr(info, payload.encode("utf-8"))


def badcrc(out):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", compression=zipfile.ZIP_DEFLATED) as zf:
        zf.writestr("pruefsumme.txt", ("Zeile mit Inhalt\n" * 500).encode())
    data = bytearray(buf.getvalue())
    local = data.find(b"PK\x03\x04")
    central = data.find(b"PK\x01\x02")
    for pos in (local + 14, central + 16):
        (crc,) = struct.unpack_from("<I", data, pos)
        struct.pack_into("<I", data, pos, crc ^ 0x00010000)
    with open(out, "wb") as f:
        f.write(data)


class Cp437Info(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        return self.filename.encode("cp437"), self.flag_bits


def cp437(out, names):
    with zipfile.ZipFile(out, "w", compression=zipfile.ZIP_DEFLATED) as zf:
        for name in names:
            info = Cp437Info(name)
            info.create_system = 0  # MS-DOS
            zf.writestr(info, ("Inhalt von " + name).encode("utf-8"))


def one_entry(name="bericht.csv", data=None, method=zipfile.ZIP_DEFLATED, mode=None):
    if data is None:
        data = "".join("%d;Station %d;Befund ohne Auffälligkeit\n" % (i, i % 40) for i in range(400)).encode()
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w") as zf:
        info = zipfile.ZipInfo(name)
        info.compress_type = method
        if mode is not None:
            info.create_system = 3
            info.external_attr = mode << 16
        zf.writestr(info, data)
    return bytearray(buf.getvalue())


def offsets(data):
    return data.find(b"PK\x03\x04"), data.find(b"PK\x01\x02"), data.rfind(b"PK\x05\x06")


def set_sizes(data, uncompressed):
    local, central, _ = offsets(data)
    struct.pack_into("<I", data, local + 22, uncompressed)
    struct.pack_into("<I", data, central + 24, uncompressed)
    return data


def flip_deflate(data):
    local, _, _ = offsets(data)
    start = local + 30 + struct.unpack_from("<H", data, local + 26)[0]
    data[start + 20] ^= 0x08
    return data


def end_field(data, offset, fmt, value):
    struct.pack_into(fmt, data, offsets(data)[2] + offset, value)
    return data


def utf8_flagged_invalid_name(data):
    # Same length as "bericht.csv", with a lone continuation byte and a stray 0xFF, flagged as UTF-8.
    data = bytearray(data.replace(b"bericht.csv", b"ber\x80c\xfft.csv"))
    local, central, _ = offsets(data)
    for pos in (local + 6, central + 8):
        struct.pack_into("<H", data, pos, struct.unpack_from("<H", data, pos)[0] | 0x800)
    return data


def broken_central_signature(data):
    central = offsets(data)[1]
    data[central + 2] = 0x07
    return data


DAMAGE = {
    "empty": lambda: bytearray(b"PK\x05\x06" + bytes(18)),
    "directory-size-zero": lambda: end_field(one_entry(), 12, "<I", 0),
    "entry-count-too-high": lambda: end_field(end_field(one_entry(), 8, "<H", 2), 10, "<H", 2),
    "central-signature": lambda: broken_central_signature(one_entry()),
    "wrong-size-stored": lambda: set_sizes(one_entry(method=zipfile.ZIP_STORED), 100),
    "wrong-size-deflated": lambda: set_sizes(one_entry(), 50000),
    "flipped-deflate-bit": lambda: flip_deflate(one_entry()),
    "invalid-utf8-name": lambda: utf8_flagged_invalid_name(one_entry()),
    "fifo": lambda: one_entry(name="rohr", data=b"", mode=0o010644),
    "character-device": lambda: one_entry(name="geraet", data=b"", mode=0o020644),
    "block-device": lambda: one_entry(name="platte", data=b"", mode=0o060644),
    "socket": lambda: one_entry(name="sockel", data=b"", mode=0o140644),
}


def damaged(kind, out):
    data = DAMAGE[kind]()
    with open(out, "wb") as f:
        f.write(data)


def main(argv):
    if argv[1] == "tree":
        tree(argv[2], argv[3], argv[4])
    elif argv[1] == "entries":
        entries(argv[2], argv[3])
    elif argv[1] == "badcrc":
        badcrc(argv[2])
    elif argv[1] == "cp437":
        cp437(argv[2], argv[3:])
    elif argv[1] == "damaged":
        damaged(argv[2], argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
