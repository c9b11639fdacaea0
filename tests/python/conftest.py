"""What the Python tests share: the trazo package of a build (TRAZO_PYTHON_PATH, by default
build-python/shells/python), the trazo host whose `render` is the reference picture
(TRAZO_HOST), and the build folder for the installation tests (TRAZO_BUILD_DIR). Without
the host or the build folder, the tests that need them are skipped, unless
TRAZO_PYTHON_STAGE is set: the CI stage runs everything."""

import os
import pathlib
import sys

import pytest

SOURCE = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, os.environ.get("TRAZO_PYTHON_PATH", str(SOURCE / "build-python" / "shells" / "python")))

import trazo  # noqa: E402


def _needed(variable, what):
    value = os.environ.get(variable)
    if value:
        return pathlib.Path(value)
    message = f"{variable} is not set: {what}"
    if os.environ.get("TRAZO_PYTHON_STAGE"):
        pytest.fail(message)
    pytest.skip(message)


@pytest.fixture(scope="session")
def host():
    return _needed("TRAZO_HOST", "the trazo host whose render the pictures are compared with")


@pytest.fixture(scope="session")
def build_dir():
    return _needed("TRAZO_BUILD_DIR", "the CMake build folder that built the module")


@pytest.fixture
def control():
    return trazo.Trazo()
