"""setuptools' build backend, able to make wheels in a fresh virtual
environment without a package index: setuptools before 70 needs the
``wheel`` package for that, which a new venv lacks and, with
``--no-build-isolation``, pip does not fetch. Debian's python3-wheel (pure
Python) is used then, from where Debian puts it."""

import sys

try:
    import wheel  # noqa: F401
except ImportError:
    sys.path.append("/usr/lib/python3/dist-packages")

from setuptools.build_meta import *  # noqa: E402,F401,F403
