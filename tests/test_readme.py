"""The README's commands, run as a new user runs them: on a fresh clone of the committed checkout.

Runs when TOVARA_FRESH_CLONE names such a clone: `tools/devenv test` makes one in build/fresh-clone
and its last stage runs this file in the root. Every `tools/devenv` command the README gives runs
here, through the step of tools/in-root that tools/devenv hands it to, except those that repeat the
test run itself or need a person at the keyboard.
"""
import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

CLONE = os.environ.get("TOVARA_FRESH_CLONE")
pytestmark = pytest.mark.skipif(not CLONE, reason="no fresh clone to run the README's commands in")

ROOT = Path(__file__).resolve().parents[1]
# Commands the README gives that this file does not run, and why.
NOT_RUN = {
    "test": "the test run itself",
    "fuzz": "the test run replays a share of it through the same sanitizer build",
    "shell": "interactive",
}
# The others, with the arguments used here, in turn on the one clone: the wheel first, the one
# step that does not start by building for an interpreter (which makes build/), then the rest,
# each the first to use its interpreter's build but `bench` and `docs`, which reuse `demo`'s.
RUN = [("wheel", []), ("demo", []), ("build", []), ("bench", ["0.001"]), ("docs", [])]


def readme_commands():
    return set(re.findall(r"tools/devenv (\w+)", (Path(CLONE) / "README.md").read_text()))


def in_root(clone, command, arguments):
    """What `tools/devenv COMMAND ARGS` runs once the root is set up, in the clone."""
    # Nothing of this test's own interpreter setup: in-root gives each step what it needs.
    inherited = ("PYTHONPATH", "LD_PRELOAD", "LD_LIBRARY_PATH", "ASAN_OPTIONS")
    environment = {key: value for key, value in os.environ.items() if key not in inherited}
    return subprocess.run(["tools/in-root", command, *arguments], cwd=clone, env=environment, capture_output=True,
                          text=True, timeout=900)


@pytest.fixture(scope="module")
def clone():
    path = Path(CLONE)
    assert (path / "README.md").is_file() and not (path / "build").exists(), "not a fresh clone"
    return path


def test_every_readme_command_is_run_here_or_excused(clone):
    assert readme_commands() == set(NOT_RUN) | {command for command, _ in RUN}


@pytest.mark.parametrize("command", [command for command, _ in RUN])
def test_devenv_hands_the_command_to_in_root(clone, command):
    devenv = (clone / "tools" / "devenv").read_text()
    assert re.search(rf'^  {command}\) shift; setup; in_root tools/in-root {command} "\$@" ;;$', devenv, re.M), command


@pytest.fixture(scope="module")
def results(clone):
    """Each command's tree (the clone) and completed process."""
    return {command: (clone, in_root(clone, command, arguments)) for command, arguments in RUN}


def output(result):
    return f"exit {result.returncode}\n{result.stdout[-3000:]}\n{result.stderr[-3000:]}"


@pytest.mark.parametrize("command", [command for command, _ in RUN])
def test_the_command_succeeds_on_a_fresh_clone(results, command):
    assert results[command][1].returncode == 0, output(results[command][1])


def test_what_the_commands_leave_behind(results):
    built = results["build"][0] / "build"
    assert [len(list((built / tag / "tovara").glob("*/*.so"))) for tag in ("py314", "py313t")] == [12, 12]
    assert "== Colors" in results["demo"][1].stdout
    assert "Loop counts scaled by 0.001" in (results["bench"][0] / "docs" / "performance.md").read_text()
    assert "pictures in" in results["docs"][1].stdout
    assert results["wheel"][1].stdout.startswith("wheel: tovara-"), output(results["wheel"][1])


def test_the_wheel_installs_with_the_readmes_pip_command(results, tmp_path):
    clone = results["wheel"][0]
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", str(venv)], check=True)
    command = next(line.strip() for line in (clone / "README.md").read_text().splitlines()
                   if line.strip().startswith("pip install build/wheelhouse/"))
    environment = dict(os.environ, PATH=f"{venv / 'bin'}:{os.environ['PATH']}", PIP_NO_INDEX="1")
    for key in ("PYTHONPATH", "LD_LIBRARY_PATH"):
        environment.pop(key, None)
    installed = subprocess.run(command, shell=True, cwd=clone, env=environment, capture_output=True, text=True,
                               timeout=300)
    assert installed.returncode == 0, output(installed)
    imported = subprocess.run([str(venv / "bin" / "python"), "-c", "import tovara.image.image as m; print(m.__file__)"],
                              cwd=tmp_path, env=environment, capture_output=True, text=True, timeout=60)
    assert str(venv) in imported.stdout, output(imported)
