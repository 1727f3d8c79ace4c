"""Per-call cost of the like-argument parsers against a hand-minimal C reading of the same values.

Run from the checkout: PYTHONPATH=build/py314 python3.14 bench/parser.py
"""
import os
import sys

import _capi_probe as probe
from tovara.color.color import Color
from tovara.rect.rect import Rect
from tovara.vector2.vector2 import Vector2

COUNT = max(1, round(2_000_000 * float(os.environ.get("TOVARA_BENCH_SCALE", "1"))))  # tools/devenv bench SCALE
RUNS = 5


class Seq:
    """A sequence known only by __len__ and __getitem__."""
    def __init__(self, *items):
        self.items = items

    def __len__(self):
        return len(self.items)

    def __getitem__(self, index):
        return self.items[index]


CASES = [
    ("vector2", "Vector2 object", Vector2(1.5, 2.5)),
    ("vector2", "tuple of floats", (1.5, 2.5)),
    ("vector2", "list of floats", [1.5, 2.5]),
    ("vector2", "range (generic)", range(2)),
    ("vector2", "custom sequence (generic)", Seq(1.5, 2.5)),
    ("color", "Color object", Color(10, 20, 30, 40)),
    ("color", "tuple of small ints", (10, 20, 30, 40)),
    ("color", "list of small ints", [10, 20, 30, 40]),
    ("color", "bytes (generic)", bytes([10, 20, 30, 40])),
    ("color", "custom sequence (generic)", Seq(10, 20, 30, 40)),
    ("rect", "Rect object", Rect(1.5, 2.5, 3.5, 4.5)),
    ("rect", "tuple of floats", (1.5, 2.5, 3.5, 4.5)),
    ("rect", "list of floats", [1.5, 2.5, 3.5, 4.5]),
    ("rect", "range (generic)", range(4)),
    ("rect", "custom sequence (generic)", Seq(1.5, 2.5, 3.5, 4.5)),
]


def best(kind, value, baseline):
    return min(probe.time_parse(kind, value, COUNT, baseline) for _ in range(RUNS))


def main():
    rows = []
    for kind, label, value in CASES:
        parser = best(kind, value, False)
        baseline = best(kind, value, True)
        rows.append((f"{kind}: {label}", parser, baseline, parser / baseline if baseline else float("inf")))
    width = max(len(row[0]) for row in rows)
    print(f"{'case':<{width}}  {'parser ns':>10}  {'baseline ns':>11}  {'ratio':>6}")
    for case, parser, baseline, ratio in rows:
        print(f"{case:<{width}}  {parser:>10.2f}  {baseline:>11.2f}  {ratio:>6.2f}")
    print(f"\n{COUNT:,} calls per run, best of {RUNS} runs; Python {sys.version.split()[0]}")


if __name__ == "__main__":
    main()
