"""Builds the Python package with CMake: the extension morvane._morvane,
linked with the library statically, for the Python that runs this script.
pyproject.toml holds the package's metadata; this file holds only the
steps setuptools cannot take by itself."""

import gzip
import os
import pathlib
import re
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext
from setuptools.command.build_py import build_py

ROOT = pathlib.Path(__file__).resolve().parent


def version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(morvane VERSION ([0-9.]+)", text).group(1)


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class BuildWithCMake(build_ext):
    """Configures and builds the extension's target in the build folder."""

    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        build.mkdir(parents=True, exist_ok=True)
        subprocess.run(
            [
                "cmake", "-S", str(ROOT), "-B", str(build),
                "-DCMAKE_BUILD_TYPE=Release",
                f"-DPython3_EXECUTABLE={sys.executable}",
                "-DMORVANE_BUILD_PYTHON=ON",
                "-DMORVANE_BUILD_TESTS=OFF",
                "-DMORVANE_BUILD_TOOLS=OFF",
                "-DMORVANE_INSTALL=OFF",
                "-DBUILD_SHARED_LIBS=OFF",
                "-DCMAKE_POSITION_INDEPENDENT_CODE=ON",
            ],
            check=True,
        )
        jobs = str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(build), "--target", "morvane_python", "-j", jobs],
                       check=True)
        built = next((build / "python" / "morvane").glob("_morvane*.so"))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        self.copy_file(str(built), str(target))


class BuildWithLicences(build_py):
    """Puts each language's pattern licence in the package, decompressed."""

    def run(self):
        super().run()
        licences = pathlib.Path(self.build_lib) / "morvane" / "licences"
        licences.mkdir(parents=True, exist_ok=True)
        for source in sorted((ROOT / "data").glob("hyph-*.lic.txt.gz")):
            code = source.name[len("hyph-"):-len(".lic.txt.gz")]
            (licences / f"{code}.txt").write_bytes(gzip.decompress(source.read_bytes()))


setup(
    version=version(),
    ext_modules=[CMakeExtension("morvane._morvane")],
    cmdclass={"build_ext": BuildWithCMake, "build_py": BuildWithLicences},
)
