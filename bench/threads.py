"""Throughput on the free-threaded interpreter with the GIL off: one thread against two.

Run by `tools/devenv bench` with PYTHON_GIL=0 on the free-threaded build; appends its table to the
file named by its argument (docs/performance.md). Each workload runs the same number of calls on
one thread, then on each of two threads; best of several rounds, each of which runs every
workload. Scaling = two threads' calls per second / one thread's (2.0 is perfect, 1.0 is none).
Every thread works on objects of its own except where a row says shared (the functions and types
called are shared, as in any program: on 3.13 each call counts references on them from both
threads). A pure-Python loop and a `memoryview` of a `bytearray` (CPython's own buffer) are
measured in the same run as controls.
"""
import os
import platform
import sys
import tempfile
import threading
import time

from tovara.color.color import Color
from tovara.colors.colors import Colors, colors
from tovara.image.image import Image

ROUNDS = 7
SCALE = float(os.environ.get("TOVARA_BENCH_SCALE", "1"))  # tools/devenv bench SCALE
PAYLOAD = bytes(range(256)) * 16  # 4 KiB, one 32 by 32 RGBA image


def control():
    def run(calls):
        total = 0
        for i in range(calls):
            total += i * i
    return run


def memoryview_peer():
    own, payload = bytearray(len(PAYLOAD)), bytes(bytearray(PAYLOAD))  # a copy of its own

    def run(calls):
        for _ in range(calls):
            view = memoryview(own)
            view[:] = payload
            bytes(view)
    return run


def generators():
    color = Color(1, 2, 3, 4)

    def run(calls):
        for _ in range(calls):
            Image.generate_with_color(32, 32, color)
    return run


def copies():
    own = Image.generate_with_color(32, 32, Color(1, 2, 3, 4))

    def run(calls):
        for _ in range(calls):
            own.copy()
    return run


def loads(path):
    def make():
        def run(calls):
            for _ in range(calls):
                Image.load(path)
        return run
    return make


def pixel_view():
    own = Image.generate_with_color(32, 32, Color(1, 2, 3, 4))
    payload = bytes(bytearray(PAYLOAD))  # a copy of its own

    def run(calls):
        for _ in range(calls):
            view = own.data_view
            view[:] = payload
            bytes(view)
    return run


def palette(shared):
    def make():
        palette = colors if shared else Colors()

        def run(calls):
            for _ in range(calls):
                palette.Red
                palette.Blue
        return run
    return make


def seconds(make, threads, calls):
    """Wall time of `threads` threads each running `calls` calls on work of their own."""
    runs = [make() for _ in range(threads)]
    start = threading.Barrier(threads + 1)

    def worker(run):
        start.wait()
        run(calls)
    workers = [threading.Thread(target=worker, args=(run,)) for run in runs]
    for thread in workers:
        thread.start()
    start.wait()
    began = time.perf_counter()
    for thread in workers:
        thread.join()
    return time.perf_counter() - began


def best_rates(workloads):
    """Per workload (calls per second on one thread, on two threads together), the best of ROUNDS
    each. Every round runs every workload, so that a change of load on the machine falls on all."""
    one, two = [float("inf")] * len(workloads), [float("inf")] * len(workloads)
    for _ in range(ROUNDS):
        for i, (_, make, calls) in enumerate(workloads):
            one[i] = min(one[i], seconds(make, 1, calls))
            two[i] = min(two[i], seconds(make, 2, calls))
    return [(calls / alone, 2 * calls / together) for (_, _, calls), alone, together in zip(workloads, one, two)]


def main():
    if sys._is_gil_enabled():
        raise SystemExit("run with the GIL off: PYTHON_GIL=0 on the free-threaded build")
    with tempfile.TemporaryDirectory() as folder:
        png = os.path.join(folder, "small.png")
        Image.generate_with_color(32, 32, Color(1, 2, 3, 4)).export(png)
        workloads = [
            ("control: a pure-Python loop", control, 2_000_000),
            ("peer: `memoryview` of an own `bytearray`, 4 KiB written and read", memoryview_peer, 300_000),
            ("`Image.generate_with_color(32, 32, color)`", generators, 200_000),
            ("`image.copy()` of a 32x32 image", copies, 400_000),
            ("`Image.load` of a 32x32 PNG", loads(png), 5_000),
            ("`data_view` of an own 32x32 image, 4 KiB written and read", pixel_view, 300_000),
            ("palette reads `Red`, `Blue` on the shared `colors`", palette(shared=True), 500_000),
            ("palette reads `Red`, `Blue` on an own `Colors()`", palette(shared=False), 500_000),
        ]
        workloads = [(label, make, max(1, round(calls * SCALE))) for label, make, calls in workloads]
        rows = [(label, *rates) for (label, _, _), rates in zip(workloads, best_rates(workloads))]
    lines = [
        "",
        "## Free-threaded scaling",
        "",
        f"Measured by `tools/devenv bench` on Python {platform.python_version()} (free-threaded, GIL off), "
        f"{os.cpu_count()} cores: calls per second of one thread, and of two threads together, each "
        "thread on objects of its own unless the row says shared; scaling = two / one (2.0 is "
        "perfect). The control and the peer are measured in the same run.",
        "",
        "| workload | one thread | two threads | scaling |",
        "|---|---:|---:|---:|",
    ]
    for label, one, two in rows:
        lines.append(f"| {label} | {one:,.0f}/s | {two:,.0f}/s | {two / one:.2f} |")
    text = "\n".join(lines) + "\n"
    print(text)
    if len(sys.argv) > 1:
        with open(sys.argv[1], "a") as out:
            out.write(text)


if __name__ == "__main__":
    main()
