# Builds the ktfolio Python package with the project's own CMake build: the
# compiled module (the library linked into it), its Python files and the
# generated type stub, installed by CMake into the wheel's root. The version is the
# one in CMakeLists.txt, so it is written down once.
#
# The wheel holds the module alone (the command line is in it too:
# ktfolio._ktfolio._cli), built with release flags and installed stripped.
# CMake's progress goes to the terminal: pip shows it with -v.
#
# KTFOLIO_PIP_BUILD_DIR chooses where setuptools and CMake build (default
# build/pip), so a second build reuses the first; CMake's own environment
# variables apply too (CMAKE_CXX_COMPILER_LAUNCHER=ccache,
# CMAKE_BUILD_PARALLEL_LEVEL).
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent
BUILD_BASE = os.environ.get("KTFOLIO_PIP_BUILD_DIR", str(ROOT / "build" / "pip"))


def require_wheel_tools():
    """Stops with what to install when this interpreter cannot make a wheel."""
    # pip asks for the wheel's metadata first (dist_info), which needs bdist_wheel too.
    if not {"bdist_wheel", "dist_info"} & set(sys.argv):
        return
    try:
        import setuptools.command.bdist_wheel  # noqa: F401  (setuptools 70.1 and later)
        return
    except ImportError:
        pass
    try:
        import wheel  # noqa: F401
    except ImportError:
        sys.exit(
            f"ktfolio: {sys.executable} cannot build a wheel: it lacks the 'wheel' package.\n"
            "  On Debian, build with /usr/bin/python3 after: sudo apt-get install python3-wheel python3-setuptools\n"
            f"  or add it to this interpreter: {sys.executable} -m pip install wheel")


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    match = re.search(r"project\(ktfolio\s+VERSION\s+([0-9][0-9.]*)", text)
    if not match:
        raise RuntimeError("CMakeLists.txt names no project version")
    return match.group(1)


class CMakeBuild(build_ext):
    """Configures, builds and installs the Python component with CMake."""

    def build_extension(self, ext):
        build_dir = Path(BUILD_BASE, "cmake").resolve()
        # The wheel's root: where ktfolio/_ktfolio*.so belongs.
        package_root = Path(self.get_ext_fullpath(ext.name)).resolve().parent.parent
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DKTFOLIO_PYTHON_WHEEL=ON", "-DKTFOLIO_PYTHON=ON",
            "-DKTFOLIO_TESTS=OFF", "-DKTFOLIO_BENCH=OFF", "-DKTFOLIO_EXAMPLES=OFF",
            "-DKTFOLIO_CLI=OFF", "-DKTFOLIO_PYTHON_CLI=ON",
            f"-DPython_EXECUTABLE={sys.executable}",
        ]
        if shutil.which("ninja") and not (build_dir / "CMakeCache.txt").exists():
            configure += ["-G", "Ninja"]
        # What an earlier build installed there goes first: a file the package
        # no longer has must not ride along in the next wheel.
        shutil.rmtree(package_root / "ktfolio", ignore_errors=True)
        # Output goes straight through: a build of several minutes shows each step.
        for step in (configure,
                     ["cmake", "--build", str(build_dir)],
                     ["cmake", "--install", str(build_dir), "--component", "python",
                      "--prefix", str(package_root), "--strip"]):
            sys.stdout.flush()
            subprocess.run(step, check=True)


require_wheel_tools()


setup(
    version=project_version(),
    # CMake installs the package's files; setuptools only packs them.
    packages=[],
    ext_modules=[Extension("ktfolio._ktfolio", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": BUILD_BASE}},
    zip_safe=False,
)
