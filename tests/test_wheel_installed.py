"""The repaired wheel, installed in a fresh environment where raylib and GLFW are not on the system.

Runs when TOVARA_INSTALLED_WHEEL is set: the wheel stage of tools/devenv test installs the wheel
into a virtual environment, hides the system's libraylib and libglfw (empty files mounted over them)
and runs this file with that environment's interpreter.
"""
import os
import re
import subprocess
import sys
import sysconfig
from pathlib import Path

import pytest

from conftest import exported_symbols

pytestmark = pytest.mark.skipif(not os.environ.get("TOVARA_INSTALLED_WHEEL"), reason="not in the installed wheel")

ROOT = Path(__file__).resolve().parents[1]
MODULES = ["colors", "image", "sound", "cursor", "parser", "sigil"]
# What the manylinux policy counts as the system (and what libX11 brings along).
SYSTEM = {"linux-vdso.so.1", "ld-linux-x86-64.so.2", "libc.so.6", "libm.so.6", "libstdc++.so.6", "libgcc_s.so.1",
          "libpthread.so.0", "libdl.so.2", "librt.so.1", "libX11.so.6", "libxcb.so.1", "libXau.so.6",
          "libXdmcp.so.6", "libbsd.so.0", "libmd.so.0"}
SITE = Path(sysconfig.get_path("platlib"))


def test_raylib_and_glfw_are_hidden_from_the_system():
    for name in ("libraylib.so.600", "libglfw.so.3"):
        assert os.path.getsize(Path("/usr/lib/x86_64-linux-gnu") / name) == 0, name


@pytest.mark.parametrize("name", MODULES)
def test_each_module_imports_from_the_installed_wheel(name):
    module = __import__(f"tovara.{name}.{name}", fromlist=["_"])
    assert Path(module.__file__).is_relative_to(SITE)


def test_nothing_resolves_outside_the_wheel_but_the_system_libraries():
    modules = sorted((SITE / "tovara").glob("*/*.so"))
    assert len(modules) == 12
    for module in modules:
        listing = subprocess.run(["ldd", str(module)], capture_output=True, text=True, check=True).stdout
        for line in listing.splitlines():
            name, _, where = line.strip().partition(" => ")
            path = re.sub(r" \(0x[0-9a-f]+\)$", "", where or name)
            assert "not found" not in line, (module.name, line)
            inside = Path(path).is_absolute() and Path(path).resolve().is_relative_to(SITE / "tovara.libs")
            assert inside or Path(name.split()[0]).name in SYSTEM, (module.name, line)
        if module.parent.name in ("image", "sound", "cursor"):
            assert "tovara.libs/libraylib" in listing, module.name
        assert exported_symbols(module) == [f"PyInit_{module.parent.name}"]


def test_the_readme_names_the_x11_library_the_wheel_leaves_to_the_system():
    image = next((SITE / "tovara" / "image").glob("*.so"))
    listing = subprocess.run(["ldd", str(image)], capture_output=True, text=True, check=True).stdout
    found = re.search(r"libX11\.so\.6 => (\S+)", listing)
    assert found and not Path(found[1]).resolve().is_relative_to(SITE), listing
    readme = (ROOT / "README.md").read_text()
    install = readme.index("pip install build/wheelhouse/")
    assert "`libx11-6`" in readme[install:readme.index("\n## ", install)]


def test_the_tour_runs_headless():
    tour = subprocess.run([sys.executable, str(ROOT / "examples" / "tour.py")], capture_output=True, text=True,
                          timeout=120)
    assert tour.returncode == 0, tour.stderr[-2000:]
    assert "== Value types" in tour.stdout and "== Parser" in tour.stdout
