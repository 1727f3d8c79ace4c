"""Side-by-side benchmarks: tovara against CPython's own floor, a minimal C reading, and pygame.

Run by `tools/devenv bench`, which writes the table to docs/performance.md. Every row is
measured in this one process, on this interpreter, best of several repeats.
"""
import datetime
import math
import os
import platform
import struct
import sys
import tempfile
import timeit
import wave

os.environ.setdefault("SDL_VIDEODRIVER", "dummy")
os.environ.setdefault("SDL_AUDIODRIVER", "dummy")
os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")

import numpy
import pygame

import _capi_probe as probe
import tovara.window.window as window
from tovara.color.color import Color
from tovara.colors.colors import colors
from tovara.image.image import Image
from tovara.rect.rect import Rect
from tovara.sound.sound import Sound
from tovara.vector2.vector2 import Vector2

REPEATS = 7


def side_by_side(ours, theirs, number):
    """Best times per call of two statements, measured in alternation so that load on the
    machine falls on both alike."""
    best = [math.inf, math.inf]
    for _ in range(REPEATS):
        for i, statement in enumerate((ours, theirs)):
            best[i] = min(best[i], timeit.timeit(statement, number=number) / number * 1e9)
    return best


def write_tone(path, seconds=1.0, rate=44100):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i / 7))) for i in range(int(rate * seconds))))


def rows(folder):
    """(what, ours, theirs, what theirs is, target): times in ns, lower is better."""
    empty_sound, empty_list = Sound(), []
    yield ("Method-call floor: `sound.play()` on an empty sound",
           *side_by_side(lambda: empty_sound.play(), lambda: empty_list.clear(), 1_000_000),
           "`list.clear()` on an empty list", 1.2)

    triple = probe.Widget.triple
    yield ("Binding, 3 positional: `Widget.triple(1, 2, 3)` (frame function)",
           *side_by_side(lambda: triple(1, 2, 3), lambda: slice(1, 2, 3), 1_000_000), "`slice(1, 2, 3)`", 1.3)
    to_bytes = (0).to_bytes
    yield ("Binding, 3 by keyword: `Widget.triple(first=1, second=2, third=3)`",
           *side_by_side(lambda: triple(first=1, second=2, third=3),
                         lambda: to_bytes(length=1, byteorder="big", signed=False), 1_000_000),
           "`int.to_bytes(length=1, byteorder='big', signed=False)`", 1.3)

    red, pg_red = Color(255, 0, 0, 255), pygame.Color(255, 0, 0, 255)
    yield ("64x64 solid image, made and dropped: `Image.generate_with_color`",
           *side_by_side(lambda: Image.generate_with_color(64, 64, red),
                         lambda: pygame.Surface((64, 64), pygame.SRCALPHA, 32).fill(pg_red), 50_000),
           "`pygame.Surface((64, 64)).fill(color)`", 1.0)

    big = Image.generate_with_color(1024, 1024, Color(1, 2, 3, 4))
    surface = pygame.Surface((1024, 1024), pygame.SRCALPHA, 32)
    surface.fill((1, 2, 3, 4))
    yield ("1024x1024 pixel sum with numpy: `data_view`",
           *side_by_side(lambda: numpy.frombuffer(big.data_view, numpy.uint8).sum(),
                         lambda: numpy.frombuffer(surface.get_view("0"), numpy.uint8).sum(), 100),
           "`Surface.get_view('0')`", 1.0)

    palette = {"Red": Color(255, 0, 0, 255)}
    yield ("Palette read: `colors.Red`", *side_by_side(lambda: colors.Red, lambda: pygame.Color("red"), 1_000_000),
           "`pygame.Color('red')`", 1.0)
    yield ("Palette read: `colors.Red`", *side_by_side(lambda: colors.Red, lambda: palette["Red"], 1_000_000),
           "a module dict lookup `palette['Red']`", 1.0)

    # raylib converts every sound to the device's format at load time; pygame's mixer to its own.
    for rate in (44100, 48000):
        tone = os.path.join(folder, f"tone{rate}.wav")
        write_tone(tone, rate=rate)
        yield (f"Loading a 1-second 16-bit mono WAV at {rate} Hz: `Sound.load`",
               *side_by_side(lambda: Sound.load(tone), lambda: pygame.mixer.Sound(tone), 20),
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
            ours = min(ours, probe.time_parse(kind, value, 1_000_000, False))
            floor = min(floor, probe.time_parse(kind, value, 1_000_000, True))
        yield (f"Parser `parse_{kind}_like`, {label}", ours, floor, "minimal C reading of the same values", 1.3)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else None
    window.set_log_level(7)
    if not window.open_audio():
        raise SystemExit("no audio device for Sound.load")
    pygame.init()
    pygame.mixer.init()
    with tempfile.TemporaryDirectory() as folder:
        table = list(rows(folder))
    lines = [
        "# Performance",
        "",
        f"Measured {datetime.date.today()} by `tools/devenv bench` on {platform.machine()} "
        f"({os.cpu_count()} cores), Python {platform.python_version()}, pygame {pygame.version.ver} "
        f"(SDL {'.'.join(map(str, pygame.get_sdl_version()))}), numpy {numpy.__version__}. "
        "Times are the best of several repeats, per call; ratio = tovara / other (lower is better); "
        "target: the ratio tovara should stay at or under.",
        "",
        "| what | tovara | other | other is | ratio | target | met |",
        "|---|---:|---:|---|---:|---:|:---:|",
    ]
    for what, ours, theirs, label, target in table:
        ratio = ours / theirs
        lines.append(f"| {what} | {ours:,.1f} ns | {theirs:,.1f} ns | {label} | {ratio:.2f} | {target:.1f} | "
                     f"{'yes' if ratio <= target else 'no'} |")
    text = "\n".join(lines) + "\n"
    print(text)
    if out:
        with open(out, "w") as f:
            f.write(text)


if __name__ == "__main__":
    main()
