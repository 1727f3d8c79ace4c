"""The examples of docs/guide.md, run as doctests."""
import re
from pathlib import Path

GUIDE = Path(__file__).resolve().parents[1] / "docs" / "guide.md"

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
    result = python(RUN_GUIDE.format(folder=str(tmp_path), guide=str(GUIDE)))
    assert result.returncode == 0, result.stdout + result.stderr
    assert (tmp_path / "red.png").exists()
