"""Builds the extension of the Python module with the project's own CMake (only the module's
target, in Release, without Qt, tests or tools) and puts it into the package. The CMake
build folder is build-pip beside this file, or TRAZO_PIP_BUILD_DIR; ccache is used where
it is installed."""

import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(os.environ.get("TRAZO_PIP_BUILD_DIR", ROOT / "build-pip"))
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     f"-DPython_EXECUTABLE={sys.executable}", "-DTRAZO_PYTHON=ON", "-DTRAZO_QT=OFF",
                     "-DTRAZO_TEST=OFF", "-DTRAZO_TOOLS=OFF", "-DTRAZO_BENCH=OFF"]
        if shutil.which("ninja") and not (build / "CMakeCache.txt").exists():
            configure += ["-G", "Ninja"]
        if shutil.which("ccache"):
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        subprocess.check_call(configure)
        subprocess.check_call(["cmake", "--build", str(build), "--target", "trazo_python_module", "--parallel",
                               os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")])
        built = next((build / "shells" / "python" / "trazo").glob("_trazo*" + (".pyd" if os.name == "nt" else ".so")))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(ext_modules=[Extension("trazo._trazo", sources=[])], cmdclass={"build_ext": CMakeBuild})
