"""Side-by-side benchmarks: tovara against CPython's own floor, Cython, a minimal C reading, and pygame.

Run by `tools/devenv bench`, which builds the Cython peer (bench/peer.pyx) and writes the tables
to docs/performance.md. Every row is measured in this one process, on this interpreter, best of
several repeats.
"""
import datetime
import math
import os
import platform
import struct
import subprocess
import sys
import tempfile
import timeit
import wave

os.environ.setdefault("SDL_VIDEODRIVER", "dummy")
os.environ.setdefault("SDL_AUDIODRIVER", "dummy")
os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")

import numpy
import pygame
from PIL import Image as Pillow

import _capi_probe as probe
import peer
import tovara.window.window as window
from tovara.color.color import Color
from tovara.colors.colors import colors
from tovara.image.image import Image
from tovara.rect.rect import Rect
from tovara.sound.sound import Sound
from tovara.vector2.vector2 import Vector2

REPEATS = 7
# Multiplies every loop count (tools/devenv bench SCALE): the test run checks the command at 0.001.
SCALE = float(os.environ.get("TOVARA_BENCH_SCALE", "1"))


def scaled(count):
    return max(1, round(count * SCALE))


def side_by_side(*statements, number, names=None, repeats=REPEATS):
    """Best times per call of the statements, measured in alternation so that load on the
    machine falls on all alike. A statement is a callable, or source text run with the
    globals `names` (so that no call of a lambda is timed with it)."""
    number = scaled(number)
    best = [math.inf] * len(statements)
    for _ in range(repeats):
        for i, statement in enumerate(statements):
            best[i] = min(best[i], timeit.timeit(statement, number=number, globals=names) / number * 1e9)
    return best


def write_animation(path, frames, side=64):
    """A GIF of `frames` frames of `side` by `side` random pixels (no two alike, so that none is merged)."""
    rng = numpy.random.default_rng(frames)
    images = [Pillow.fromarray(rng.integers(0, 256, (side, side, 3), dtype=numpy.uint8)) for _ in range(frames)]
    images[0].save(path, save_all=True, append_images=images[1:], duration=40, optimize=False)


def read_file(path):
    with open(path, "rb") as file:
        return file.read()


def py_triple(first, second, third):
    return (first, second, third)


# The keyword table: what is called, the name it is called by, the function, its parameters,
# their values, and the targets of the calls in parameter order and in reverse order (None: the
# row only informs).
KEYWORD_CALLS = [
    ("tovara: the probe's `Widget.triple`, a frame function", "Widget.triple", probe.Widget.triple,
     ("first", "second", "third"), (1, 2, 3), (1.15, 1.4)),
    ("Cython 3: a static method of a `cdef class`", "Peer.triple", peer.Peer.triple,
     ("first", "second", "third"), (1, 2, 3), None),
    ("CPython: the builtin `pow`", "pow", pow, ("base", "exp", "mod"), (2, 3, 5), None),
    ("Python: a `def` of 3 parameters", "triple", py_triple, ("first", "second", "third"), (1, 2, 3), None),
]


def keyword_rows():
    """(what is called, call by keyword, its time, positional call, its time, target or None):
    times in ns. Each call is timed bare, on a global name bound to the function."""
    for what, name, function, parameters, values, targets in KEYWORD_CALLS:
        pairs = [f"{key}={value}" for key, value in zip(parameters, values)]
        arguments = [", ".join(pairs), ", ".join(reversed(pairs)), ", ".join(map(str, values))]
        # Ratios of calls a few nanoseconds apart: many short repeats, so that the best of each
        # falls in a quiet moment of the machine.
        times = side_by_side(*(f"f({a})" for a in arguments), number=300_000, names={"f": function}, repeats=21)
        positional = f"`{name}({arguments[2]})`"
        for order in (0, 1):
            yield (what, f"`{name}({arguments[order]})`", times[order], positional, times[2],
                   targets[order] if targets else None)


def write_tone(path, seconds=1.0, rate=44100):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i / 7))) for i in range(int(rate * seconds))))


class Info(float):
    """A target only for information: the row is shown but not held to it."""


def rows(folder):
    """(what, ours, theirs, what theirs is, target): times in ns, lower is better."""
    # Bare calls, no lambda around them: the fair peer is a method of a Cython class, whose
    # function objects take the same generic call path as ours; the interpreter's fast path
    # for its own builtin methods is beyond any extension's reach, so `list.clear` only informs.
    names = {"sound": Sound(), "peer": peer.Peer(), "empty": []}
    sound, cython, builtin = side_by_side("sound.play()", "peer.play()", "empty.clear()", number=1_000_000,
                                          names=names, repeats=11)
    yield ("Method-call floor: `sound.play()` on an empty sound", sound, cython,
           "`peer.play()`, a `def play(self): pass` of a Cython 3 `cdef class`", 1.05)
    yield ("Method-call floor: `sound.play()` on an empty sound", sound, builtin,
           "`list.clear()` on an empty list (CPython's own method type)", Info(1.2))

    triple = probe.Widget.triple
    yield ("Binding, 3 positional: `Widget.triple(1, 2, 3)` (frame function)",
           *side_by_side(lambda: triple(1, 2, 3), lambda: slice(1, 2, 3), number=1_000_000),
           "`slice(1, 2, 3)`", 1.3)
    to_bytes = (0).to_bytes
    yield ("Binding, 3 by keyword: `Widget.triple(first=1, second=2, third=3)`",
           *side_by_side(lambda: triple(first=1, second=2, third=3),
                         lambda: to_bytes(length=1, byteorder="big", signed=False), number=1_000_000),
           "`int.to_bytes(length=1, byteorder='big', signed=False)`", 1.3)

    red, pg_red = Color(255, 0, 0, 255), pygame.Color(255, 0, 0, 255)
    yield ("64x64 solid image, made and dropped: `Image.generate_with_color`",
           *side_by_side(lambda: Image.generate_with_color(64, 64, red),
                         lambda: pygame.Surface((64, 64), pygame.SRCALPHA, 32).fill(pg_red), number=50_000),
           "`pygame.Surface((64, 64)).fill(color)`", 1.0)

    # Destruction asks the pixel-view registry only while some view is alive: the peer row keeps
    # one view of another image alive, so every drop there takes the registry's lock.
    small = lambda: Image.generate_with_color(4, 4, red)
    held = Image.generate_with_color(4, 4, red)
    no_view = with_view = math.inf
    for _ in range(REPEATS):  # alternating, as side_by_side does
        no_view = min(no_view, side_by_side(small, number=100_000, repeats=1)[0])
        view = held.data_view
        with_view = min(with_view, side_by_side(small, number=100_000, repeats=1)[0])
        del view
    yield ("4x4 solid image, made and dropped, no pixel view alive", no_view, with_view,
           "the same while one view of another image is alive", Info(1.0))

    # Frames of an animation: one taken out costs what a copy of a still image of that size does, and the view
    # of them all costs the same for 2 frames as for 64.
    animations = {}
    for count in (2, 16, 64):
        write_animation(os.path.join(folder, f"frames{count}.gif"), count)
        animations[count] = Image.load_anim(os.path.join(folder, f"frames{count}.gif"))[0]
    still = Image.generate_with_color(64, 64, red)
    yield ("Taking frame 9 of a 16-frame 64x64 animation: `image.frame(9)`",
           *side_by_side(lambda: animations[16].frame(9), lambda: still.copy(), number=50_000),
           "`copy()` of a 64x64 image", 1.0)
    yield ("All-frames view of a 64-frame 64x64 animation: `frames_view`",
           *side_by_side(lambda: animations[64].frames_view, lambda: animations[2].frames_view, number=200_000),
           "`frames_view` of a 2-frame one", 1.1)

    # Loading from bytes in memory against loading the file, less what reading the file costs.
    picture = os.path.join(folder, "picture.png")
    Image.generate_with_perlin_noise(256, 256, 0, 0, 4.0).export(picture)
    tone = os.path.join(folder, "tone44100.wav")
    write_tone(tone, rate=44100)
    for what, load, load_from_memory, path, file_type in [
            ("a 256x256 PNG: `Image.load_from_memory`", Image.load, Image.load_from_memory, picture, ".png"),
            ("a 1-second 44.1 kHz WAV: `Sound.load_from_memory`", Sound.load, Sound.load_from_memory, tone, ".wav")]:
        data = read_file(path)
        from_memory, from_file, reading = side_by_side(lambda: load_from_memory(file_type, data), lambda: load(path),
                                                       lambda: read_file(path), number=200)
        yield (f"Loading {what}", from_memory, from_file - reading,
               "loading the same file, less reading it (`open(path, 'rb').read()`)", 1.1)

    big = Image.generate_with_color(1024, 1024, Color(1, 2, 3, 4))
    surface = pygame.Surface((1024, 1024), pygame.SRCALPHA, 32)
    surface.fill((1, 2, 3, 4))
    yield ("1024x1024 pixel sum with numpy: `data_view`",
           *side_by_side(lambda: numpy.frombuffer(big.data_view, numpy.uint8).sum(),
                         lambda: numpy.frombuffer(surface.get_view("0"), numpy.uint8).sum(), number=100),
           "`Surface.get_view('0')`", 1.0)

    palette = {"Red": Color(255, 0, 0, 255)}
    yield ("Palette read: `colors.Red`",
           *side_by_side(lambda: colors.Red, lambda: pygame.Color("red"), number=1_000_000),
           "`pygame.Color('red')`", 1.0)
    yield ("Palette read: `colors.Red`", *side_by_side(lambda: colors.Red, lambda: palette["Red"], number=1_000_000),
           "a module dict lookup `palette['Red']`", 1.0)

    # raylib converts every sound to the device's format at load time; pygame's mixer to its own.
    for rate in (44100, 48000):
        tone = os.path.join(folder, f"tone{rate}.wav")
        write_tone(tone, rate=rate)
        yield (f"Loading a 1-second 16-bit mono WAV at {rate} Hz: `Sound.load`",
               *side_by_side(lambda: Sound.load(tone), lambda: pygame.mixer.Sound(tone), number=20),
               "`pygame.mixer.Sound`", 1.0)

    for kind, label, value in [("vector2", "Vector2 object", Vector2(1.5, 2.5)),
                               ("vector2", "tuple of floats", (1.5, 2.5)),
                               ("vector2", "list of floats", [1.5, 2.5]),
                               ("color", "Color object", Color(1, 2, 3, 4)),
                               ("color", "tuple of ints", (1, 2, 3, 4)),
                               ("color", "list of ints", [1, 2, 3, 4]),
                               ("rect", "Rect object", Rect(1, 2, 3, 4)),
                               ("rect", "tuple of floats", (1.5, 2.5, 3.5, 4.5))]:
        ours = floor = math.inf
        for _ in range(REPEATS):
            ours = min(ours, probe.time_parse(kind, value, scaled(1_000_000), False))
            floor = min(floor, probe.time_parse(kind, value, scaled(1_000_000), True))
        yield (f"Parser `parse_{kind}_like`, {label}", ours, floor, "minimal C reading of the same values", 1.3)


def show_target(target):
    return f"{target:.1f}" if round(target, 1) == target else f"{target:.2f}"


def cython_version():
    """The version of the `cython3` that tools/in-root makes the peer with."""
    made = subprocess.run(["cython3", "--version"], capture_output=True, text=True, check=True)
    return (made.stdout + made.stderr).split()[-1]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else None
    window.set_log_level(7)
    if not window.open_audio():
        raise SystemExit("no audio device for Sound.load")
    pygame.init()
    pygame.mixer.init()
    with tempfile.TemporaryDirectory() as folder:
        table = list(rows(folder))
    keywords = list(keyword_rows())
    lines = [
        "# Performance",
        "",
        f"Measured {datetime.date.today()} by `tools/devenv bench` on {platform.machine()} "
        f"({os.cpu_count()} cores), Python {platform.python_version()}, Cython {cython_version()}, "
        f"pygame {pygame.version.ver} (SDL {'.'.join(map(str, pygame.get_sdl_version()))}), "
        f"numpy {numpy.__version__}. "
        "Times are the best of several repeats, per call; ratio = tovara / other (lower is better); "
        "target: the ratio tovara should stay at or under; *info*: a row shown for comparison only, "
        "its target in parentheses is not one tovara is held to. The method-call rows time the bare "
        "call; the other rows call a lambda around each statement, on both sides."
        + (f" Loop counts scaled by {SCALE:g}: the times are not comparable." if SCALE != 1 else ""),
        "",
        "| what | tovara | other | other is | ratio | target | met |",
        "|---|---:|---:|---|---:|---:|:---:|",
    ]
    for what, ours, theirs, label, target in table:
        ratio = ours / theirs
        if isinstance(target, Info):
            shown, met = f"({show_target(target)})", "info"
        else:
            shown, met = show_target(target), "yes" if ratio <= target else "no"
        lines.append(f"| {what} | {ours:,.1f} ns | {theirs:,.1f} ns | {label} | {ratio:.2f} | {shown} | {met} |")
    lines += [
        "",
        "## Keyword calls",
        "",
        "What passing three arguments by keyword costs over passing them by position, for the same "
        "function: ratio = keyword call / positional call, both bare calls of a global name bound to "
        "the function, measured side by side. Our frame function (`Widget.triple` of the test probe, "
        "whose body packs its arguments into a tuple) has targets; the peers only inform, the Cython "
        "and Python ones having the same body.",
        "",
        "| called | by keyword | time | positionally | time | ratio | target | met |",
        "|---|---|---:|---|---:|---:|---:|:---:|",
    ]
    for what, call, time, positional, positional_time, target in keywords:
        ratio = time / positional_time
        shown, met = ("—", "info") if target is None else (show_target(target), "yes" if ratio <= target else "no")
        lines.append(f"| {what} | {call} | {time:,.1f} ns | {positional} | {positional_time:,.1f} ns | "
                     f"{ratio:.2f} | {shown} | {met} |")
    text = "\n".join(lines) + "\n"
    print(text)
    if out:
        with open(out, "w") as f:
            f.write(text)


if __name__ == "__main__":
    main()
