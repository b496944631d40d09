"""Hyphenates a directory of text and HTML files on a Dask cluster: one task
per file, each worker process reading, hyphenating and writing its files, so
the same code runs on a laptop's cores or a cluster's machines.

    python3 examples/dask_hyphenate.py IN_DIR OUT_DIR [-l LANG] [--workers N]
    python3 examples/dask_hyphenate.py --benchmark [--files N]

Files ending in .html, .htm or .xhtml are hyphenated as HTML, the others as
text, with U+00AD soft hyphens, exactly as `morvane-hyphenate --text` and
`--html` hyphenate them. On a real cluster, replace the LocalCluster by the
scheduler's address, `Client("tcp://scheduler:8786")`, and give every worker
the morvane package and a file system that holds IN_DIR and OUT_DIR (or read
and write object storage in `hyphenate_file`).
"""

from __future__ import annotations

import argparse
import os
import shutil
import sys
import tempfile
import time
from typing import List, Tuple

import dask.bag as db
from dask.distributed import Client, LocalCluster

import morvane

HTML_SUFFIXES = (".html", ".htm", ".xhtml")

# One hyphenator per worker process: made on first use there (hyphenators
# pickle, but a language is cheaper to load than to send).
_hyphenators = {}


def hyphenate_file(job: Tuple[str, str, str]) -> int:
    """Hyphenates one file; returns the bytes it read."""
    source, target, language = job
    h = _hyphenators.get(language)
    if h is None:
        h = _hyphenators[language] = morvane.Hyphenator(language)
    # Bytes in, bytes out: nothing decoded in Python, and bytes that are not
    # UTF-8 pass through as the command passes them.
    with open(source, "rb") as f:
        content = f.read()
    result = h.html(content) if source.endswith(HTML_SUFFIXES) else h.text(content)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "wb") as f:
        f.write(result)
    return os.path.getsize(source)


def jobs(in_dir: str, out_dir: str, language: str) -> List[Tuple[str, str, str]]:
    found = []
    for root, _, files in os.walk(in_dir):
        for name in sorted(files):
            source = os.path.join(root, name)
            found.append((source, os.path.join(out_dir, os.path.relpath(source, in_dir)), language))
    return found


def hyphenate_directory(client: Client, in_dir: str, out_dir: str, language: str) -> int:
    """Hyphenates the directory on the cluster `client` talks to; returns the
    bytes read. Paths are made absolute first: a worker may run in another
    folder, or on another machine that sees the same files."""
    in_dir, out_dir = os.path.abspath(in_dir), os.path.abspath(out_dir)
    if not os.path.isdir(in_dir):
        raise FileNotFoundError(f"no folder {in_dir}")
    todo = jobs(in_dir, out_dir, language)
    client.run(lambda: morvane.Hyphenator(language))  # load the language everywhere first
    return sum(db.from_sequence(todo, npartitions=max(1, len(todo))).map(hyphenate_file).compute())


def run(in_dir: str, out_dir: str, language: str, workers: int) -> Tuple[int, float]:
    """Hyphenates the directory on a local cluster; returns the bytes read and
    the seconds the work took (the cluster's start not counted)."""
    with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        client.run(lambda: morvane.Hyphenator(language))
        start = time.perf_counter()
        total = hyphenate_directory(client, in_dir, out_dir, language)
        return total, time.perf_counter() - start


def benchmark(files: int) -> None:
    """Throughput with one and with two worker processes on copies of the
    sample texts, each file about 2 MB."""
    here = os.path.dirname(os.path.abspath(__file__))
    work = tempfile.mkdtemp()
    try:
        in_dir = os.path.join(work, "in")
        os.makedirs(in_dir)
        with open(os.path.join(here, "en.txt"), encoding="utf-8") as f:
            sample = f.read()
        body = sample * max(1, (2 << 20) // len(sample))
        for i in range(files):
            with open(os.path.join(in_dir, f"{i:03}.txt"), "w", encoding="utf-8") as f:
                f.write(body)
        rates = {}
        for workers in (1, 2):
            total, seconds = run(in_dir, os.path.join(work, f"out{workers}"), "en-us", workers)
            rates[workers] = total / seconds / 1e6
            print(f"dask: {workers} worker(s), {files} files, {total / 1e6:.0f} MB in "
                  f"{seconds:.2f} s: {rates[workers]:.0f} MB/s")
        print(f"dask: 2 workers {rates[2] / rates[1]:.2f} times 1 worker")
    finally:
        shutil.rmtree(work)


def main(argv: List[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("in_dir", nargs="?")
    parser.add_argument("out_dir", nargs="?")
    parser.add_argument("-l", "--language", default="en-us")
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--benchmark", action="store_true")
    parser.add_argument("--files", type=int, default=32)
    args = parser.parse_args(argv)
    if args.benchmark:
        benchmark(args.files)
        return 0
    if not args.in_dir or not args.out_dir:
        parser.error("IN_DIR and OUT_DIR are needed")
    if not os.path.isdir(args.in_dir):
        print(f"{parser.prog}: no folder {args.in_dir}", file=sys.stderr)
        return 1
    total, seconds = run(args.in_dir, args.out_dir, args.language, args.workers)
    print(f"{total} bytes in {seconds:.2f} s", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
