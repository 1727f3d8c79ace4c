"""The examples of docs/guide.md, run as doctests, and the pictures the docs show."""
import importlib.util
import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[1]
GUIDE = ROOT / "docs" / "guide.md"
IMAGES = ROOT / "docs" / "images"


def load_pictures_tool():
    spec = importlib.util.spec_from_file_location("pictures", ROOT / "tools" / "pictures.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module

RUN_GUIDE = """
import doctest, os, sys
os.chdir({folder!r})
failures, tried = doctest.testfile({guide!r}, module_relative=False, report=True)
print(f"{{tried}} examples, {{failures}} failed")
sys.exit(1 if failures or tried == 0 else 0)
"""


def test_every_example_block_is_a_doctest_session():
    blocks = re.findall(r"^```python\n(.*?)^```$", GUIDE.read_text(), re.S | re.M)
    assert blocks
    assert [block for block in blocks if not block.startswith(">>> ")] == []


def test_guide_examples_pass(python, tmp_path):
    # A fresh interpreter: the guide opens and closes the window and the audio
    # device and changes the shared cursor flag, which other tests rely on.
    # Without PYTHON_GIL: the guide shows what importing does to the GIL by default.
    result = python(RUN_GUIDE.format(folder=str(tmp_path), guide=str(GUIDE)), PYTHON_GIL=None)
    assert result.returncode == 0, result.stdout + result.stderr
    assert (tmp_path / "red.png").exists()
    # The guide's own swatch code draws the committed picture.
    assert (tmp_path / "palette.png").read_bytes() == (IMAGES / "palette.png").read_bytes()


def test_the_guides_commands_for_audio_without_a_sound_card_open_the_null_device():
    section = GUIDE.read_text().split("### Audio without a sound card", 1)[1]
    commands = re.search(r"^```sh\n(.*?)^```$", section, re.S | re.M)[1]
    assert "python3 your_program.py" in commands
    probe = "import tovara.window.window as w; print(w.open_audio())"
    commands = commands.replace("python3 your_program.py", f'"{sys.executable}" -c "{probe}"')
    # Without the suite's own stand-ins: only what the guide sets up.
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    environment.pop("LD_LIBRARY_PATH", None)
    result = subprocess.run(["sh", "-c", commands], env=environment, capture_output=True, text=True, timeout=120)
    assert "True" in result.stdout.splitlines(), result.stdout + result.stderr


def test_each_picture_is_shown_in_the_guide_beside_its_call():
    pictures = load_pictures_tool()
    rows = GUIDE.read_text().splitlines()
    missing = [name for name, call in pictures.PICTURES
               if not any(row.startswith(f"| `{call}` | ![") and f"](images/{name})" in row for row in rows)]
    assert missing == []


def test_the_pictures_regenerate_byte_for_byte(tmp_path):
    pictures = load_pictures_tool()
    made = pictures.render(tmp_path)
    assert sorted(made) == sorted(path.name for path in IMAGES.glob("*.png"))
    changed = [name for name in made if name not in pictures.RANDOM
               and (tmp_path / name).read_bytes() != (IMAGES / name).read_bytes()]
    assert changed == [], "run tools/devenv docs"
    # The random ones: the same kind of picture, 128 pixels square (PNG's IHDR width and height).
    assert {(tmp_path / name).read_bytes()[16:24] for name in pictures.RANDOM} == {bytes([0, 0, 0, 128] * 2)}


@pytest.mark.parametrize("document", ["README.md", "docs/guide.md", "docs/reference.md"])
def test_every_picture_and_page_a_document_links_exists(document):
    path = ROOT / document
    targets = re.findall(r"\]\(([^)#\s]+)(?:#[^)]*)?\)", path.read_text())
    assert [t for t in targets if "://" not in t and not (path.parent / t).exists()] == []
