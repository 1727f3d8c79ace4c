"""The wheel that `pip install .` builds: every module, stub and marker file, and it imports.

Runs when TOVARA_WHEEL names a built wheel (the wheel stage of tools/devenv test does this).
"""
import os
import subprocess
import sys
import zipfile
from pathlib import Path

import pytest

WHEEL = os.environ.get("TOVARA_WHEEL")
pytestmark = pytest.mark.skipif(not WHEEL, reason="no wheel to check (TOVARA_WHEEL)")

SOURCES = Path(__file__).resolve().parent.parent / "src" / "tovara"
MODULES = sorted(path.name for path in SOURCES.iterdir() if (path / f"{path.name}.cpp").exists())


def test_the_wheel_holds_every_module_stub_and_marker():
    names = set(zipfile.ZipFile(WHEEL).namelist())
    assert "tovara/__init__.py" in names and "tovara/py.typed" in names
    for module in MODULES:
        assert f"tovara/{module}/__init__.py" in names
        assert f"tovara/{module}/{module}.pyi" in names
        assert any(n.startswith(f"tovara/{module}/{module}.") and n.endswith(".so") for n in names), module
    assert not [n for n in names if "capi_probe" in n], "the test-only module must not ship"


def test_the_installed_wheel_imports(tmp_path):
    target = tmp_path / "site"
    subprocess.run([sys.executable, "-m", "pip", "install", "--quiet", "--no-deps", "--target", str(target), WHEEL],
                   check=True)
    code = "; ".join(f"import tovara.{m}.{m}" for m in MODULES) + "; print('ok')"
    result = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                            env=dict(os.environ, PYTHONPATH=str(target)), cwd=tmp_path)
    assert result.stdout.strip() == "ok", result.stderr
