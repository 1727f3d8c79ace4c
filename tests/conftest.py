import os
import subprocess
import sys
import sysconfig
import textwrap

import pytest

FREE_THREADED = bool(sysconfig.get_config_var("Py_GIL_DISABLED"))


def run_python(code, **env):
    """Runs `code` in a fresh interpreter with this one's path; returns the completed process."""
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path), **env)
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)], capture_output=True, text=True,
                          env=environment, timeout=120)


@pytest.fixture
def python():
    return run_python
