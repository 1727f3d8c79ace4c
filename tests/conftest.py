import os
import subprocess
import sys
import sysconfig
import textwrap

import pytest

FREE_THREADED = bool(sysconfig.get_config_var("Py_GIL_DISABLED"))


def run_python(code, **env):
    """Runs `code` in a fresh interpreter with this one's path; returns the completed process.

    `env` adds to this process's environment; a value of None removes the variable.
    """
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path), **env)
    environment = {key: value for key, value in environment.items() if value is not None}
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)], capture_output=True, text=True,
                          env=environment, timeout=120)


def exported_symbols(library):
    """The dynamic symbols `library` defines, as `nm -D --defined-only` lists them."""
    listing = subprocess.run(["nm", "-D", "--defined-only", str(library)], capture_output=True, text=True, check=True)
    return [line.split()[-1] for line in listing.stdout.splitlines()]


@pytest.fixture
def python():
    return run_python


RGBA = 7  # raylib's PIXELFORMAT_UNCOMPRESSED_R8G8B8A8
GRAYSCALE = 1


@pytest.fixture(scope="session", autouse=True)
def quiet_raylib():
    import tovara.window.window as window
    window.set_log_level(5)  # errors only


@pytest.fixture(scope="session")
def window():
    """The raylib window (under Xvfb in the development root), opened once."""
    import tovara.window.window as window
    if not window.open_window(64, 48, "tovara tests"):
        pytest.skip("no window could be opened")
    return window


@pytest.fixture
def raw_file(tmp_path):
    """Writes pixel bytes to a file and returns its name."""
    def write(data, name="pixels.raw"):
        path = tmp_path / name
        path.write_bytes(bytes(data))
        return str(path)
    return write


@pytest.fixture
def rgba_image(raw_file):
    """A 4 by 2 RGBA image whose bytes are 0, 1, ..., 31."""
    from tovara.image.image import Image
    return Image.load_raw(raw_file(range(32)), 4, 2, RGBA, 0)
