"""Cost of the pixel view: taking it is independent of the image size, and reading through it runs at memory speed.

Run from the checkout: PYTHONPATH=build/py314 python3.14 bench/image.py
"""
import os
import timeit

import numpy

from tovara.color.color import Color
from tovara.image.image import Image


SCALE = float(os.environ.get("TOVARA_BENCH_SCALE", "1"))  # tools/devenv bench SCALE


def best_per_call(statement, number, repeat=7):
    number = max(1, round(number * SCALE))
    return min(timeit.repeat(statement, number=number, repeat=repeat)) / number


def main():
    small = Image.generate_with_color(16, 16, Color(1, 2, 3, 4))
    large = Image.generate_with_color(4096, 4096, Color(1, 2, 3, 4))
    small_ns = best_per_call(lambda: small.data_view, 200_000) * 1e9
    large_ns = best_per_call(lambda: large.data_view, 200_000) * 1e9
    print(f"data_view on 16x16:     {small_ns:8.1f} ns")
    print(f"data_view on 4096x4096: {large_ns:8.1f} ns   (ratio {large_ns / small_ns:.2f})")

    size = len(large.data_view)
    through_view = best_per_call(lambda: numpy.frombuffer(large.data_view, numpy.uint8).sum(), 5)
    copy = numpy.frombuffer(bytes(large.data_view), numpy.uint8)
    on_copy = best_per_call(lambda: copy.sum(), 5)
    print(f"byte sum of {size / 2**20:.0f} MiB through the view: {size / through_view / 1e9:6.2f} GB/s")
    print(f"ndarray.sum on a bytes copy:           {size / on_copy / 1e9:6.2f} GB/s")


if __name__ == "__main__":
    main()
