#!/usr/bin/env python3
"""Benchmark of the packing library against the standard tool pipelines.

Generates a deterministic corpus (text-like quality-assurance exports as CSV and XML files, and
random data), then times in the same run:

  pack    ostrand-bench pack           vs  zip -q -6 -r - DIR | openssl enc -des-ede3-cbc ... -out F
  unpack  ostrand-bench unpack         vs  openssl enc -d ... -in F | bsdtar -xf - -C OUT
  cipher  openssl speed -evp des-ede3-cbc (one core)

and prints throughput, the ratios against the targets, and the archive size relative to zip -6.
Not part of CI: a full run takes a few minutes and needs about 1.5 GB of disk space.

--scale adds the scale cases, each timed once against the same pipelines in the same run:
  files   100,000 small CSV files in 100 folders (about 100 MB)
  random  --scale-gib GiB (default 3) of random data in 64 MiB files
  csv     --scale-gib GiB of CSV in 64 MiB files
--scale-cases picks some of them (files,random,csv). The 3 GiB cases need about 20 GB of disk and,
at the speed of 3DES, several minutes each; --skip-default leaves out the normal cases.

  bench/ostrand_bench.py [--tool build-ostrand/bin/ostrand-bench] [--work /tmp/ostrand-bench]
                         [--text-mb 200] [--random-mb 100] [--repeat 3]
                         [--scale] [--scale-cases files,random,csv] [--scale-gib 3] [--skip-default]
"""
import argparse
import os
import random
import shlex
import shutil
import statistics
import subprocess
import sys
import time

PASS = "Bench-Passwort-2024"
OPENSSL_ENC = "openssl enc -des-ede3-cbc -pbkdf2 -iter 100000 -md sha256"
FILE_MB = 10
MB = 1_000_000

TARGETS = {
    "text pack": 2.5,
    "random pack vs openssl speed": 0.9,
    "text unpack": 1.25,
    "random unpack": 1.6,
}
SIZE_TARGET = 1.15


def find_tool(explicit):
    if explicit:
        return os.path.abspath(explicit)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    for candidate in ("build-ostrand/bin/ostrand-bench", "build/default/bin/ostrand-bench",
                      "build/asan/bin/ostrand-bench"):
        path = os.path.join(root, candidate)
        if os.access(path, os.X_OK):
            return path
    sys.exit("ostrand-bench not found; build it (cmake --build build-ostrand) or pass --tool")


def csv_file(rng, size):
    stations = ["Chirurgie", "Innere Medizin", "Kardiologie", "Neurologie", "Orthopädie", "Gynäkologie"]
    header = "Vorgangsnummer;Aufnahmedatum;Station;Diagnose;Prozedur;Verweildauer;Alter;Geschlecht;Status\n"
    parts = [header]
    length = len(header)
    n = 0
    while length < size:
        n += 1
        line = (f"{n:08d};2024-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d};{rng.choice(stations)};"
                f"I{rng.randint(10, 99)}.{rng.randint(0, 9)};5-{rng.randint(100, 999)}.{rng.randint(0, 9)};"
                f"{rng.randint(1, 60)};{rng.randint(0, 99)};{rng.choice('mwd')};"
                f"{rng.choice(['vollständig', 'geprüft', 'offen'])}\n")
        parts.append(line)
        length += len(line.encode())
    return "".join(parts).encode()[:size]


def xml_file(rng, size):
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<Datensatz>\n']
    length = len(parts[0])
    n = 0
    while length < size:
        n += 1
        rec = (f'  <Fall nr="{n}">\n'
               f"    <Kennung>{rng.getrandbits(40):012x}</Kennung>\n"
               f"    <Aufnahme>2024-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d}</Aufnahme>\n"
               f"    <Messwert einheit=\"mg/dl\">{rng.uniform(20, 400):.2f}</Messwert>\n"
               f"    <Bewertung>{rng.choice(['unauffällig', 'auffällig', 'nicht bewertbar'])}</Bewertung>\n"
               f"  </Fall>\n")
        parts.append(rec)
        length += len(rec.encode())
    return "".join(parts).encode()[:size]


def make_corpus(work, text_mb, random_mb):
    corpus = os.path.join(work, "corpus")
    marker = os.path.join(corpus, f".done-{text_mb}-{random_mb}")
    if os.path.exists(marker):
        return corpus
    shutil.rmtree(corpus, ignore_errors=True)
    text_dir = os.path.join(corpus, "text")
    random_dir = os.path.join(corpus, "random")
    os.makedirs(text_dir)
    os.makedirs(random_dir)
    rng = random.Random(20240611)
    for i in range(max(1, text_mb // FILE_MB)):
        if i % 2 == 0:
            data, name = csv_file(rng, FILE_MB * MB), f"qs_export_{i:03d}.csv"
        else:
            data, name = xml_file(rng, FILE_MB * MB), f"qs_export_{i:03d}.xml"
        with open(os.path.join(text_dir, name), "wb") as f:
            f.write(data)
    for i in range(max(1, random_mb // FILE_MB)):
        with open(os.path.join(random_dir, f"anhang_{i:03d}.bin"), "wb") as f:
            f.write(rng.randbytes(FILE_MB * MB))
    open(marker, "w").close()
    return corpus


def make_scale_corpus(work, case, gib):
    """The input folder of a scale case, made once and kept (a marker file says it is complete)."""
    root = os.path.join(work, "scale")
    name = case if case == "files" else f"{case}-{gib:g}gib"
    path = os.path.join(root, name)
    marker = os.path.join(root, f".done-{name}")
    if os.path.exists(marker):
        return path
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    rng = random.Random(20240612)
    if case == "files":
        for d in range(100):
            sub = os.path.join(path, f"station_{d:03d}")
            os.makedirs(sub)
            for i in range(1000):
                with open(os.path.join(sub, f"fall_{i:04d}.csv"), "wb") as f:
                    f.write(csv_file(rng, rng.randint(200, 1800)))
    else:
        chunk = 64 * 2**20
        block = csv_file(rng, chunk) if case == "csv" else None
        for i in range(max(1, int(gib * 2**30) // chunk)):
            with open(os.path.join(path, f"teil_{i:03d}.{'csv' if case == 'csv' else 'bin'}"), "wb") as f:
                # CSV: one generated block with a varying first line, so files differ but cost no
                # generation time; random: fresh bytes for every file.
                f.write(f"{i:08d};Teil\n".encode() + block if case == "csv" else rng.randbytes(chunk))
    open(marker, "w").close()
    return path


def tree_size(path):
    total = 0
    for dirpath, _, files in os.walk(path):
        for name in files:
            total += os.path.getsize(os.path.join(dirpath, name))
    return total


def timed(cmd, shell=False, cwd=None, before=None):
    if before:
        before()
    # Write-back of earlier runs' output must not slow down the next one.
    os.sync()
    start = time.perf_counter()
    subprocess.run(cmd, shell=shell, cwd=cwd, check=True,
                   executable="/bin/bash" if shell else None)
    return time.perf_counter() - start


def best(cmd, repeat, **kw):
    times = [timed(cmd, **kw) for _ in range(repeat)]
    return min(times), statistics.median(times)


def reset(path):
    def run():
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif os.path.exists(path):
            os.remove(path)
    return run


def openssl_speed():
    out = subprocess.run(["openssl", "speed", "-evp", "des-ede3-cbc", "-bytes", "16384", "-seconds", "3"],
                         capture_output=True, text=True, check=True).stdout
    for line in out.splitlines():
        if line.startswith("des-ede3-cbc") or line.startswith("DES-EDE3-CBC"):
            value = line.split()[-1]
            return float(value.rstrip("k")) * 1000 / MB
    sys.exit("cannot read the output of openssl speed:\n" + out)


def measure(tool, corpus, kind, out, repeat):
    """Times ours and the reference pipeline on corpus/kind: results and (ours, reference) archive sizes."""
    src = os.path.join(corpus, kind)
    nbytes = tree_size(src)
    ours = os.path.join(out, f"ours-{kind}")
    ref = os.path.join(out, f"ref-{kind}.zip.3des")

    ours_pack = best([tool, "pack", ours, PASS, src], repeat, before=reset(ours + ".zip.3des"))
    ref_pack = best(f"set -o pipefail; zip -q -6 -r - {kind} | {OPENSSL_ENC} -salt -pass pass:{PASS} -out {shlex.quote(ref)}",
                    repeat, shell=True, cwd=corpus, before=reset(ref))

    ours_dir = os.path.join(out, f"ours-{kind}-x")
    ref_dir = os.path.join(out, f"ref-{kind}-x")
    cross_dir = os.path.join(out, f"cross-{kind}-x")
    ours_unpack = best([tool, "unpack", ours + ".zip.3des", ours_dir, PASS], repeat, before=reset(ours_dir))

    def ref_prepare(d=ref_dir):
        reset(d)()
        os.makedirs(d)
    ref_unpack = best(f"set -o pipefail; {OPENSSL_ENC} -d -pass pass:{PASS} -in {shlex.quote(ref)} | "
                      f"bsdtar -xf - -C {shlex.quote(ref_dir)}",
                      repeat, shell=True, before=ref_prepare)
    # The same reference archive through UnPack: the unpacking alone, on identical input.
    cross_unpack = best([tool, "unpack", ref, cross_dir, PASS], repeat, before=reset(cross_dir))

    subprocess.run(["diff", "-r", "-q", src, os.path.join(ours_dir, kind)], check=True)
    subprocess.run(["diff", "-r", "-q", src, os.path.join(cross_dir, kind)], check=True)
    for d in (ours_dir, ref_dir, cross_dir):
        reset(d)()

    sizes = (os.path.getsize(ours + ".zip.3des"), os.path.getsize(ref))
    return dict(bytes=nbytes, ours_pack=ours_pack, ref_pack=ref_pack, ours_unpack=ours_unpack,
                ref_unpack=ref_unpack, cross_unpack=cross_unpack), sizes


def scale(args, tool, out):
    print()
    print("scale cases, each run once; ratio = reference time / our time (above 1: we are faster)")
    print(f"{'':26}{'MB':>8}{'ours s':>9}{'ref s':>9}{'ratio':>7}")
    for case in args.scale_cases.split(","):
        t0 = time.perf_counter()
        path = make_scale_corpus(args.work, case, args.scale_gib)
        print(f"{case}: input ready in {time.perf_counter() - t0:.1f} s ({path})")
        r, (ours_size, ref_size) = measure(tool, os.path.dirname(path), os.path.basename(path), out, 1)
        for label, ours_key, ref_key in (("pack", "ours_pack", "ref_pack"), ("unpack", "ours_unpack", "ref_unpack"),
                                         ("unpack of zip -6 archive", "cross_unpack", "ref_unpack")):
            ours_t, ref_t = r[ours_key][0], r[ref_key][0]
            print(f"  {label:24}{r['bytes'] / MB:8.0f}{ours_t:9.2f}{ref_t:9.2f}{ref_t / ours_t:7.2f}")
        print(f"  archive size {ours_size / MB:.1f} MB vs zip -6 {ref_size / MB:.1f} MB = {ours_size / ref_size:.3f}x")
        for name in os.listdir(out):
            reset(os.path.join(out, name))()


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--tool")
    ap.add_argument("--work", default="/tmp/ostrand-bench")
    ap.add_argument("--text-mb", type=int, default=200)
    ap.add_argument("--random-mb", type=int, default=100)
    ap.add_argument("--repeat", type=int, default=3)
    ap.add_argument("--scale", action="store_true", help="add the scale cases (see above)")
    ap.add_argument("--scale-cases", default="files,random,csv")
    ap.add_argument("--scale-gib", type=float, default=3.0)
    ap.add_argument("--skip-default", action="store_true", help="only the scale cases")
    args = ap.parse_args()
    if args.skip_default:
        args.scale = True
    for needed in ("zip", "openssl", "bsdtar"):
        if not shutil.which(needed):
            sys.exit(f"{needed} is not installed")

    tool = find_tool(args.tool)
    os.makedirs(args.work, exist_ok=True)
    print(f"tool: {tool}")
    print(f"cores: {os.cpu_count()}, load average: {os.getloadavg()[0]:.2f}")
    out = os.path.join(args.work, "out")
    os.makedirs(out, exist_ok=True)
    if args.skip_default:
        scale(args, tool, out)
        return
    t0 = time.perf_counter()
    corpus = make_corpus(args.work, args.text_mb, args.random_mb)
    print(f"corpus ready in {time.perf_counter() - t0:.1f} s: {corpus}")
    results = {}
    sizes = {}
    for kind in ("text", "random"):
        results[kind], sizes[kind] = measure(tool, corpus, kind, out, args.repeat)

    speed = openssl_speed()

    print()
    print(f"{'':34}{'ours MB/s':>12}{'reference MB/s':>16}{'ratio':>8}{'target':>8}")

    def line(label, nbytes, ours_t, ref_t, target):
        ratio = ref_t / ours_t
        goal = "" if target is None else f"{target:>7.2f}x {'ok' if ratio >= target else 'MISSED'}"
        print(f"{label:34}{nbytes / ours_t / MB:12.1f}{nbytes / ref_t / MB:16.1f}{ratio:8.2f}{goal}")
        return ratio

    r = results
    line("text pack (best of runs)", r["text"]["bytes"], r["text"]["ours_pack"][0], r["text"]["ref_pack"][0],
         TARGETS["text pack"])
    line("random pack (best of runs)", r["random"]["bytes"], r["random"]["ours_pack"][0],
         r["random"]["ref_pack"][0], None)
    random_rate = r["random"]["bytes"] / r["random"]["ours_pack"][0] / MB
    vs_speed = random_rate / speed
    mark = "ok" if vs_speed >= TARGETS["random pack vs openssl speed"] else "MISSED"
    print(f"{'random pack vs openssl speed':34}{random_rate:12.1f}{speed:16.1f}{vs_speed:8.2f}"
          f"{TARGETS['random pack vs openssl speed']:>7.2f}x {mark}")
    line("text unpack (best of runs)", r["text"]["bytes"], r["text"]["ours_unpack"][0],
         r["text"]["ref_unpack"][0], TARGETS["text unpack"])
    line("random unpack (best of runs)", r["random"]["bytes"], r["random"]["ours_unpack"][0],
         r["random"]["ref_unpack"][0], TARGETS["random unpack"])
    line("text unpack of the zip -6 archive", r["text"]["bytes"], r["text"]["cross_unpack"][0],
         r["text"]["ref_unpack"][0], TARGETS["text unpack"])
    line("random unpack of the zip -6 archive", r["random"]["bytes"], r["random"]["cross_unpack"][0],
         r["random"]["ref_unpack"][0], TARGETS["random unpack"])
    print()
    print("medians of the same runs (s):")
    for kind in ("text", "random"):
        m = {k: v[1] for k, v in r[kind].items() if isinstance(v, tuple)}
        print(f"  {kind:7} pack {m['ours_pack']:.2f} vs {m['ref_pack']:.2f}, "
              f"unpack {m['ours_unpack']:.2f} vs {m['ref_unpack']:.2f} (zip -6 archive: {m['cross_unpack']:.2f})")
    print()
    for kind in ("text", "random"):
        ours_size, ref_size = sizes[kind]
        ratio = ours_size / ref_size
        target = f" target <= {SIZE_TARGET:.2f}x {'ok' if ratio <= SIZE_TARGET else 'MISSED'}" if kind == "text" else ""
        print(f"{kind} archive size: {ours_size / MB:.1f} MB vs zip -6 {ref_size / MB:.1f} MB "
              f"= {ratio:.3f}x{target}")

    if args.scale:
        scale(args, tool, out)


if __name__ == "__main__":
    main()
