#!/usr/bin/env python3
"""Writes the seed corpus of the UnPack fuzz target into corpus/unpack/.

Encrypted archives (*.zip.3des, made with openssl enc and the target's pass phrase) are used as they
are; plain ZIPs (*.zip) are encrypted by the target itself, so that the fuzzer mutates ZIP structure
rather than ciphertext. The damaged and hostile seeds come from tests/makezip.py.

  fuzz/make_corpus.py
"""
import importlib.util
import json
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "unpack")
PASS = "Fuzz-Passwort 1"

loader = importlib.util.spec_from_file_location("makezip", os.path.join(HERE, "..", "tests", "makezip.py"))
makezip = importlib.util.module_from_spec(loader)
loader.loader.exec_module(makezip)


def encrypt(plain, out):
    subprocess.run(["openssl", "enc", "-des-ede3-cbc", "-pbkdf2", "-iter", "100000", "-md", "sha256", "-salt",
                    "-pass", "pass:" + PASS, "-in", plain, "-out", out], check=True)


def main():
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "quelle")
        os.makedirs(os.path.join(src, "ordner", "leer"))
        with open(os.path.join(src, "bericht.csv"), "w", encoding="utf-8") as f:
            f.write("".join("%d;Station %d;Befund\n" % (i, i % 7) for i in range(60)))
        with open(os.path.join(src, "ordner", "Übersicht.txt"), "w", encoding="utf-8") as f:
            f.write("Qualität geprüft\n")
        open(os.path.join(src, "ordner", "leer.bin"), "wb").close()

        plain = {}
        for mode in ("deflate", "store", "stream", "zip64"):
            path = os.path.join(tmp, mode + ".zip")
            makezip.tree(mode, src, path)
            plain["plain-" + mode] = path
        for kind in ("directory-size-zero", "entry-count-too-high", "wrong-size-stored", "flipped-deflate-bit",
                     "invalid-utf8-name", "fifo"):
            path = os.path.join(tmp, kind + ".zip")
            makezip.damaged(kind, path)
            plain["damaged-" + kind] = path
        hostile = {
            "parent": [{"name": "../evil.txt", "kind": "file", "data": "x"}],
            "symlink": [{"name": "verweis", "kind": "symlink", "target": "/tmp"},
                        {"name": "verweis/evil.txt", "kind": "file", "data": "x"}],
            "duplicate": [{"name": "a", "kind": "file", "data": "1"}, {"name": "a/b", "kind": "file", "data": "2"}],
        }
        for name, items in hostile.items():
            path = os.path.join(tmp, name + ".zip")
            makezip.entries(path, json.dumps(items))
            plain["hostile-" + name] = path
        path = os.path.join(tmp, "cp437.zip")
        makezip.cp437(path, ["Maßnahmen/Ärzte.txt"])
        plain["plain-cp437"] = path

        for name, path in plain.items():
            with open(path, "rb") as f, open(os.path.join(OUT, name + ".zip"), "wb") as g:
                g.write(f.read())
        # Encrypted seeds: the container itself, a valid empty archive, and damage to the cipher text.
        encrypt(plain["plain-deflate"], os.path.join(OUT, "ok-deflate.zip.3des"))
        empty = os.path.join(tmp, "empty.zip")
        makezip.damaged("empty", empty)
        encrypt(empty, os.path.join(OUT, "ok-empty.zip.3des"))
        encrypt(plain["damaged-directory-size-zero"], os.path.join(OUT, "damaged-directory-size-zero.zip.3des"))
        with open(os.path.join(OUT, "ok-deflate.zip.3des"), "rb") as f:
            data = f.read()
        with open(os.path.join(OUT, "damaged-truncated.zip.3des"), "wb") as f:
            f.write(data[: (len(data) // 2) // 8 * 8])


if __name__ == "__main__":
    main()
