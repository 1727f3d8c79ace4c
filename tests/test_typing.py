"""The type stubs: stubtest checks them against the built modules, mypy uses them on the examples."""
import ast
import importlib
import importlib.util
import os
import re
import shutil
import subprocess
import sys
import types
from fractions import Fraction
from pathlib import Path

import pytest

import tovara
from tovara.color.color import Color
from tovara.colors.colors import Colors
from tovara.cursor.cursor import Cursor
from tovara.image.image import Image
from tovara.sigil.sigil import GlyphInfo
from tovara.sound.sound import Sound

ROOT = Path(__file__).resolve().parents[1]
NAMES = ["image", "sound", "cursor", "sigil", "colors", "parser",
         "vector2", "vector4", "color", "rect", "brook", "window"]
DELIVERED = NAMES[:6]


def load_reference_tool():
    spec = importlib.util.spec_from_file_location("reference", ROOT / "tools" / "reference.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


reference = load_reference_tool()


@pytest.fixture(scope="module")
def stub_tree(tmp_path_factory):
    """The built package with the stubs beside its modules, as an installed one has them."""
    pytest.importorskip("mypy.stubtest")  # absent on the free-threaded interpreter
    tree = tmp_path_factory.mktemp("stubs")
    package = Path(tovara.__file__).parent
    shutil.copytree(package, tree / "tovara", ignore=shutil.ignore_patterns("__pycache__"))
    libraries = package.parent / "tovara.libs"  # what a repaired wheel bundles, found through RPATH
    if libraries.is_dir():
        shutil.copytree(libraries, tree / "tovara.libs")
    for stub in (ROOT / "src" / "tovara").glob("*/*.pyi"):
        shutil.copy(stub, tree / "tovara" / stub.parent.name)
    shutil.copy(ROOT / "src" / "tovara" / "py.typed", tree / "tovara")
    return tree


def run_module(arguments, tree):
    environment = dict(os.environ, PYTHONPATH=str(tree), MYPYPATH=str(tree))
    return subprocess.run([sys.executable, "-m", *arguments], cwd=tree, env=environment, capture_output=True,
                          text=True, timeout=300)


def test_every_module_has_a_stub():
    stubs = {path.stem for path in (ROOT / "src" / "tovara").glob("*/*.pyi")}
    assert stubs == set(NAMES)


@pytest.mark.parametrize("name", [*DELIVERED, "window"])
def test_every_public_name_of_a_delivered_stub_has_a_docstring(name):
    assert reference.undocumented(reference.stub_path(name)) == []


def stub_docstrings(name):
    """(path, docstring) of a stub's module and of each documented class, def and class member in it."""
    tree = ast.parse(reference.stub_path(name).read_text())
    found = [((), tree)]
    for node in tree.body:
        if isinstance(node, (ast.ClassDef, ast.FunctionDef)):
            found.append(((node.name,), node))
        if isinstance(node, ast.ClassDef):
            found += [((node.name, m.name), m) for m in node.body if isinstance(m, ast.FunctionDef)]
    return [(path, ast.get_docstring(node)) for path, node in found if ast.get_docstring(node) is not None]


def test_help_shows_the_stubs_docstrings():
    # The one stub class that is not a module attribute.
    hidden = {"PixelView": type(Image.generate_with_color(1, 1, Color(0, 0, 0, 0)).data_view)}
    differing = []
    for name in NAMES:
        module = importlib.import_module(f"tovara.{name}.{name}")
        for path, text in stub_docstrings(name):
            found = module
            for part in path:
                found = hidden[part] if found is module and part in hidden else getattr(found, part)
            # Slots that CPython implements (__init__, __len__, ...) carry its own text.
            if isinstance(found, (types.WrapperDescriptorType, types.MethodWrapperType)):
                continue
            if found.__doc__ != text:
                differing.append(".".join((name, *path)))
    assert differing == []


def test_the_reference_is_regenerated_from_the_stubs():
    assert (ROOT / "docs" / "reference.md").read_text() == reference.render(), \
        "docs/reference.md is out of date: run tools/reference.py"


def pixel_formats():
    """(number, name, bytes per pixel) from the comments of the stub's PixelFormat alias."""
    text = (ROOT / "src" / "tovara" / "image" / "image.pyi").read_text()
    return [(int(number), name, Fraction(size)) for number, name, size in
            re.findall(r"^    (\d+),  # (\w+): .*; ([\d/]+) bytes?", text, re.M)]


def test_the_guide_tabulates_the_pixel_formats_of_the_stub():
    guide = (ROOT / "docs" / "guide.md").read_text()
    rows = re.findall(r"^\| (\d+) \| `(\w+)` \| [^|]+ \| ([\d/]+) \|$", guide, re.M)
    assert [(int(number), name, Fraction(size)) for number, name, size in rows] == pixel_formats()
    assert [number for number, _, _ in pixel_formats()] == list(range(1, 25))


@pytest.mark.parametrize("number, name, size", pixel_formats())
def test_a_pixel_format_takes_the_bytes_its_comment_gives(raw_file, number, name, size):
    # raylib sizes an 8x8 image of that format as the view then shows it.
    image = Image.load_raw(raw_file(bytes(1024)), 8, 8, number, 0)
    assert len(image.data_view) == 64 * size


def test_stubtest_finds_no_difference(stub_tree):
    allowlist = ROOT / "tests" / "stubtest-allowlist.txt"
    result = run_module(["mypy.stubtest", "--allowlist", str(allowlist), *(f"tovara.{n}.{n}" for n in NAMES)],
                        stub_tree)
    assert result.returncode == 0, result.stdout + result.stderr


def test_examples_pass_mypy_strict(stub_tree):
    cache = stub_tree.parent / "mypy-cache"
    result = run_module(["mypy", "--strict", "--cache-dir", str(cache), str(ROOT / "examples")], stub_tree)
    assert result.returncode == 0, result.stdout + result.stderr


# What the allowlisted entries claim, checked at runtime instead.

@pytest.mark.parametrize("cls", [Image, Sound, Cursor, GlyphInfo])
def test_classes_typed_with_any_arguments_accept_them(cls):
    assert type(cls(1, "two", three=3)) is cls


def test_colors_takes_no_arguments():
    with pytest.raises(TypeError, match=r"^__init__\(\) takes exactly 0 positional arguments \(1 given\)$"):
        Colors(1)


def test_pixel_view_stub_names_the_runtime_type():
    view = Image.generate_with_color(2, 1, Color(1, 2, 3, 4)).data_view
    assert (type(view).__module__, type(view).__qualname__) == ("tovara.image.image", "PixelView")
    assert [name for name in ("__len__", "__getitem__", "__setitem__", "__buffer__")
            if not hasattr(type(view), name)] == []
    assert (list(view[1:3]), memoryview(view).nbytes) == ([2, 3], 8)
