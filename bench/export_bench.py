#!/usr/bin/env python3
"""Benchmark of the export against packing alone.

Generates one transaction of text exports (Header.7 plus CSV and XML files with extension .7,
about 300 MB), then times in the same run, alternating:

  export  tolvane-cli export hh10203 Header.7        (pack, archive folder, copies of every file)
  pack    tolvane-cli pack t-hh10203-7 <same files>  (the packing library alone)

and prints the median times and their ratio (target: export at most 1.15 x pack). Each run writes
into an empty target folder, after the earlier output was synced to disk. Not part of CI.

  bench/export_bench.py [--bin build/default/bin] [--work /tmp/export-bench] [--mb 300] [--repeat 3]
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ostrand_bench import csv_file, xml_file  # noqa: E402  (the same deterministic exports)

PASS = "Bench-Passwort-2024"
MB = 1_000_000
TARGET = 1.15


def run(cmd, **kw):
    result = subprocess.run(cmd, capture_output=True, text=True, **kw)
    if result.returncode != 0:
        sys.exit(f"{cmd[0]} failed ({result.returncode}): {result.stderr}")
    return result


def timed(cmd, **kw):
    os.sync()
    start = time.perf_counter()
    run(cmd, **kw)
    return time.perf_counter() - start


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--bin", default=os.path.join(root, "build/default/bin"))
    ap.add_argument("--work", default="/tmp/export-bench")
    ap.add_argument("--mb", type=int, default=300)
    ap.add_argument("--repeat", type=int, default=3)
    args = ap.parse_args()

    cli = os.path.join(args.bin, "tolvane-cli")
    lib = os.path.join(args.bin, "libOstrandcore.so")
    shutil.rmtree(args.work, ignore_errors=True)
    app, source, target = (os.path.join(args.work, d) for d in ("app", "quelle", "ziel"))
    for d in (app, source, target):
        os.makedirs(d)
    shutil.copy(cli, app)
    shutil.copy(lib, app)
    cli = os.path.join(app, "tolvane-cli")
    run([cli, "keys", "new", "hh10203"])
    run([cli, "keys", "set", "hh10203", "--passphrase-stdin", "--export", target], input=PASS + "\n")

    rng = random.Random(7)
    files = [os.path.join(source, "Header.7")]
    with open(files[0], "wb") as f:
        f.write(csv_file(rng, 200_000))
    total, n = 0, 0
    while total < args.mb * MB:
        n += 1
        maker, stem = (csv_file, "Daten") if n % 2 else (xml_file, "Befund")
        path = os.path.join(source, f"{stem}{n:03d}.7")
        with open(path, "wb") as f:
            f.write(maker(rng, 10 * MB))
        files.append(path)
        total += 10 * MB
    print(f"corpus: {len(files)} files, {total / MB:.0f} MB")

    export_times, pack_times = [], []
    for i in range(args.repeat):
        for entry in os.listdir(target):
            path = os.path.join(target, entry)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        packed = os.path.join(args.work, "t-hh10203-7.zip.3des")
        if os.path.exists(packed):
            os.remove(packed)
        export_times.append(timed([cli, "export", "hh10203", files[0]]))
        pack_times.append(timed([cli, "--yes", "pack", os.path.join(args.work, "t-hh10203-7")] + files
                                + ["--passphrase-stdin"],
                                input=PASS + "\n"))
        print(f"run {i + 1}: export {export_times[-1]:.2f} s, pack {pack_times[-1]:.2f} s")
    export_s, pack_s = statistics.median(export_times), statistics.median(pack_times)
    ratio = export_s / pack_s
    print(f"median: export {export_s:.2f} s, pack {pack_s:.2f} s, ratio {ratio:.3f} "
          f"(target <= {TARGET}) {'ok' if ratio <= TARGET else 'MISSED'}")
    shutil.rmtree(args.work, ignore_errors=True)


if __name__ == "__main__":
    main()
