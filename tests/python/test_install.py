"""The module installed both ways imports from a clean interpreter and draws: `cmake
--install` of the build's python component to a prefix, at the place under the prefix where
the interpreter looks for packages, and `pip install --no-build-isolation` of the checkout
into a venv that sees the system's packages (NumPy, setuptools)."""

import os
import pathlib
import subprocess
import sys
import sysconfig

from conftest import SOURCE

PYTHON = "/usr/bin/python3"
DRAW = ("import trazo, numpy; t = trazo.Trazo(); t.add_lines(numpy.arange(3.0), 0, 1, 1, 2, 0); "
        "print(trazo.__file__, t.Count, t.render(8, 6).shape)")


def clean_run(python, folder, path=None):
    """Runs DRAW in `python` with nothing of this process's environment but PATH."""
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
    if path:
        env["PYTHONPATH"] = str(path)
    done = subprocess.run([str(python), "-c", DRAW], cwd=folder, env=env, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stdout.split()


def test_cmake_install_puts_the_package_where_python_looks(build_dir, tmp_path):
    prefix = tmp_path / "prefix"
    subprocess.run(["cmake", "--install", str(build_dir), "--component", "python", "--prefix", str(prefix)],
                   check=True, capture_output=True)
    [package] = list(prefix.glob("lib*/python3*/*-packages/trazo"))
    # Under the prefix /usr/local, that is a folder on the interpreter's own path.
    below = package.parent.relative_to(prefix)
    assert os.path.join(sysconfig.get_config_var("prefix") + "/local", below) in sys.path or \
        os.path.join(sysconfig.get_config_var("prefix"), below) in sys.path
    where, count, *_ = clean_run(PYTHON, tmp_path, package.parent)
    assert pathlib.Path(where).parent == package and count == "3"


def test_pip_install_without_build_isolation(tmp_path):
    venv = tmp_path / "venv"
    subprocess.run([PYTHON, "-m", "venv", "--system-site-packages", str(venv)], check=True)
    done = subprocess.run([str(venv / "bin" / "python"), "-m", "pip", "install", "--no-build-isolation",
                           "--no-index", "--quiet", str(SOURCE)], capture_output=True, text=True)
    assert done.returncode == 0, done.stdout + done.stderr
    where, count, *_ = clean_run(venv / "bin" / "python", tmp_path)
    assert pathlib.Path(where).is_relative_to(venv) and count == "3"
