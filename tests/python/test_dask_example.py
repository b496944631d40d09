"""The Dask example on a cluster of two worker processes: every file it
writes is byte for byte what the command writes for it."""

import importlib.util
import os
import shutil
import subprocess
import sys

import pytest

pytest.importorskip("dask.distributed", reason="Dask (python3-distributed) is not installed")

SOURCE = os.environ.get("MORVANE_SOURCE_DIR", "")
COMMAND = os.environ.get("MORVANE_COMMAND")


def example():
    spec = importlib.util.spec_from_file_location(
        "dask_hyphenate", os.path.join(SOURCE, "examples", "dask_hyphenate.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


@pytest.mark.skipif(not COMMAND, reason="the command was not built")
def test_output_equals_the_commands_file_by_file(tmp_path):
    in_dir = tmp_path / "in"
    (in_dir / "nested").mkdir(parents=True)
    for name in ["en.txt", "de.txt", "fr.txt"]:
        shutil.copy(os.path.join(SOURCE, "examples", name), in_dir / name)
    shutil.copy(os.path.join(SOURCE, "bench", "texts", "handbook.en.html"), in_dir / "nested" / "handbook.html")
    (in_dir / "nested" / "bytes.txt").write_bytes(b"hyphenation \xff\xfe not UTF-8, hyphenation\n")
    total, _ = example().run(str(in_dir), str(tmp_path / "out"), "en-us", 2)
    assert total == sum(p.stat().st_size for p in in_dir.rglob("*") if p.is_file())
    for source in in_dir.rglob("*"):
        if not source.is_file():
            continue
        mode = "--html" if source.suffix == ".html" else "--text"
        with open(source, "rb") as f:
            expected = subprocess.run([COMMAND, "-l", "en-us", mode], stdin=f, capture_output=True,
                                      check=True).stdout
        assert (tmp_path / "out" / source.relative_to(in_dir)).read_bytes() == expected, source


@pytest.mark.skipif(not COMMAND, reason="the command was not built")
def test_relative_paths_reach_a_worker_that_runs_elsewhere(tmp_path, monkeypatch):
    from dask.distributed import Client, LocalCluster

    (tmp_path / "in").mkdir()
    (tmp_path / "in" / "a.txt").write_bytes(b"hyphenation\n")
    monkeypatch.chdir(tmp_path)
    module = example()
    with LocalCluster(n_workers=1, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        client.run(os.chdir, "/")  # as a worker started in another folder is
        assert module.hyphenate_directory(client, "in", "out", "en-us") == 12
        with pytest.raises(FileNotFoundError):
            module.hyphenate_directory(client, "missing", "out", "en-us")
    assert (tmp_path / "out" / "a.txt").read_bytes() == "hy\u00adphen\u00adation\n".encode()
    run = subprocess.run([sys.executable, os.path.join(SOURCE, "examples", "dask_hyphenate.py"),
                          "missing", "out"], capture_output=True, text=True, check=False)
    assert run.returncode == 1 and "no folder missing" in run.stderr
