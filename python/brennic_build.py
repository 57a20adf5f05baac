# SPDX-License-Identifier: MIT
"""The build backend behind `pip install .` (PEP 517).

It builds the extension module with CMake for the Python that runs it: in
build/, when `make build` or `make test` configured it for this Python,
else in a build-pip-TAG-HASH/ of its own beside the sources (so a second
install rebuilds only what changed, and ccache, when installed, finds what
build/ compiled). It writes the wheel itself: it needs CMake, a compiler, the
Python headers and pybind11-dev, but no Python package at all, so pip
installs offline with or without build isolation.

The config setting "build-dir" names a build tree that is already
configured with -DBRENNIC_PYTHON=ON; the module is then built there.
"""

import base64
import hashlib
import os
import pathlib
import re
import subprocess
import sys
import sysconfig
import tarfile
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
PACKAGE = ROOT / "python" / "brennic"
SUMMARY = "Extractive summaries of English texts, the same as Brennic.exe writes"


def _version():
    cmake = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(Brennic VERSION ([0-9.]+)", cmake).group(1)


def _tag():
    """The wheel's tag, as cp311-cp311-linux_x86_64: it holds a module for
    this Python's version and ABI on this platform only."""
    interpreter = f"cp{sys.version_info[0]}{sys.version_info[1]}"
    abi = "cp" + sysconfig.get_config_var("SOABI").split("-")[1]
    platform = re.sub(r"[-.]", "_", sysconfig.get_platform())
    return f"{interpreter}-{abi}-{platform}"


def _reusable(build):
    """Whether BUILD is a release build tree that builds the module for the
    Python running this (a virtual environment's python is its base's)."""
    try:
        cache = (build / "CMakeCache.txt").read_text()
    except OSError:
        return False
    def value(name):
        m = re.search(rf"^{name}:[A-Z]+=(.*)$", cache, re.M)
        return m.group(1) if m else ""
    python = value("Python3_EXECUTABLE")
    return (value("BRENNIC_PYTHON").upper() in ("ON", "1", "TRUE")
            and value("BRENNIC_SANITIZE").upper() not in ("ON", "1", "TRUE")
            and value("CMAKE_BUILD_TYPE") == "Release"
            and python != ""
            and os.path.realpath(python) == os.path.realpath(sys.executable))


def _build_module(build):
    jobs = [] if "CMAKE_BUILD_PARALLEL_LEVEL" in os.environ else ["-j", str(os.cpu_count() or 1)]
    subprocess.run(["cmake", "--build", str(build), "--target", "_brennic", *jobs], check=True)
    module, = (build / "python" / "brennic").glob("_brennic.*")
    return module


def _record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{name},sha256={digest},{len(data)}\n"


def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    build = (config_settings or {}).get("build-dir")
    if build:
        build = pathlib.Path(build).resolve()
    elif _reusable(ROOT / "build"):
        # The tree of `make build` and `make test` already builds the module
        # for this interpreter: build it there instead of compiling it all again.
        build = ROOT / "build"
    else:
        # One build tree for each interpreter, beside build/ so that ccache,
        # when installed, finds the compilations that build/ made.
        interpreter = hashlib.sha256(sys.executable.encode()).hexdigest()[:8]
        build = ROOT / f"build-pip-{_tag()}-{interpreter}"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                        "-DBRENNIC_TESTS=OFF", "-DBRENNIC_PYTHON=ON",
                        f"-DPython3_EXECUTABLE={sys.executable}"], check=True)
    module = _build_module(build)

    version = _version()
    dist_info = f"brennic-{version}.dist-info"
    files = {f"brennic/{p.name}": p.read_bytes()
             for p in [PACKAGE / "__init__.py", PACKAGE / "__init__.pyi", PACKAGE / "dask.py",
                       PACKAGE / "py.typed",
                       module]}
    files[f"{dist_info}/LICENSE"] = (ROOT / "LICENSE").read_bytes()
    files[f"{dist_info}/METADATA"] = (f"Metadata-Version: 2.1\nName: brennic\nVersion: {version}\n"
                                      f"Summary: {SUMMARY}\nLicense: MIT\n"
                                      "Classifier: License :: OSI Approved :: MIT License\n"
                                      "Requires-Python: >=3.8\n").encode()
    files[f"{dist_info}/WHEEL"] = ("Wheel-Version: 1.0\nGenerator: brennic_build\n"
                                   f"Root-Is-Purelib: false\nTag: {_tag()}\n").encode()
    record = "".join(_record_line(name, data) for name, data in files.items())
    files[f"{dist_info}/RECORD"] = (record + f"{dist_info}/RECORD,,\n").encode()

    name = f"brennic-{version}-{_tag()}.whl"
    with zipfile.ZipFile(pathlib.Path(wheel_directory, name), "w", zipfile.ZIP_DEFLATED) as wheel:
        for path, data in files.items():
            info = zipfile.ZipInfo(path, date_time=(1980, 1, 1, 0, 0, 0))
            info.external_attr = (0o755 if path == f"brennic/{module.name}" else 0o644) << 16
            wheel.writestr(info, data, zipfile.ZIP_DEFLATED)
    return name


def build_sdist(sdist_directory, config_settings=None):
    """The sources, without build trees and version control."""
    base = f"brennic-{_version()}"
    skip = re.compile(r"^(\.git|build|build-.*|__pycache__)$")
    name = f"{base}.tar.gz"
    with tarfile.open(pathlib.Path(sdist_directory, name), "w:gz") as sdist:
        sdist.add(ROOT, arcname=base,
                  filter=lambda t: None if skip.match(pathlib.Path(t.name).name) else t)
    return name
