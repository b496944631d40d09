"""The package as its files are: an engine built for another Python than the
one importing it is refused with both versions named, and the package shows
its own names only."""

import pathlib
import shutil
import subprocess
import sys

import morvane
import morvane.pyphen


def test_an_engine_for_another_python_names_both_versions(tmp_path):
    package = pathlib.Path(morvane.__file__).parent
    copy = tmp_path / "morvane"
    shutil.copytree(package, copy, ignore=shutil.ignore_patterns("__pycache__", "_morvane*.so"))
    engine = next(package.glob("_morvane*.so"))
    other = f"{sys.version_info.major}{sys.version_info.minor + 1}"
    (copy / f"_morvane.cpython-{other}-x86_64-linux-gnu.so").write_bytes(engine.read_bytes())
    run = subprocess.run([sys.executable, "-c", "import morvane"], cwd=tmp_path,
                         capture_output=True, text=True, check=False)
    assert run.returncode == 1
    here = f"{sys.version_info.major}.{sys.version_info.minor}"
    assert f"ImportError: morvane's engine (_morvane.cpython-{other}" in run.stderr
    assert f"built for Python {sys.version_info.major}.{sys.version_info.minor + 1}, " \
           f"not for this Python {here}" in run.stderr


def test_only_the_package_own_names_are_public():
    for module in (morvane, morvane.pyphen):
        public = {name for name in dir(module) if not name.startswith("_")}
        assert public <= set(module.__all__) | {"pyphen", "DICTIONARY_DIRECTORY"}, module
