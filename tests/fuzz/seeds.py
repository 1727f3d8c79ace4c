"""Writes the fuzz targets' seeds: small valid files of every format, made by the package's own
exporter and the root's encoders, one folder per target.

    seeds.py FOLDER
"""
import os
import random
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from file_fuzz import gif, image_seeds, sound_seeds  # noqa: E402


def raw_seeds():
    """load_raw's input: width, height (16 bits each), format, header (16 bits), a pad byte, then the file."""
    pixels = bytes(range(256)) * 4
    return [struct.pack("<HHBHx", 8, 4, 7, 0) + pixels[:128], struct.pack("<HHBHx", 16, 16, 14, 16) + pixels[:144],
            struct.pack("<HHBHx", 5, 3, 1, 0) + pixels[:15]]


def api_seeds():
    """Programs for the API target (api_ops.py reads them): a few that walk a known path, and
    random ones that start the others."""
    image, view, sliced, sound = [0, 0, 0, 4, 0xF8, 0xF8, 1, 2, 3, 4], [7, 0, 1], [8, 1, 2, 0xF4, 0xFA, 2], \
        [11, 0, 0, 0, 0, 1]
    programs = [
        image + view + sliced + sound + [13, 0, 2, 1, 16],  # a stepped view handed to update
        image + view + sliced + [10, 2, 0] + [6, 0, 0] + [10, 1, 0],  # views read after their image's unload
        image + [3, 0, 1] + [4, 1, 2, 2] + [5, 2, 0, 0] + [5, 0, 0, 5],  # copy, channel, exports
        [0, 0, 0, 2] + [0, 0, 0, 1, 14] + [5, 0, 0, 0] + [4, 0, 1, 0],  # a raw image of a compressed format
        sound + [12, 0, 1] + [14, 1, 0, 0] + [14, 0, 0, 5] + [14, 1, 0, 1],  # an alias outliving its source
        [0, 0, 0, 11, 4, 4, 9, 9, 9, 9, 2] + [15, 0, 0, 2] + [15, 0, 0, 3],  # a subclass whose valid touches
        [15, 0, 0, 0, 3, 1, 2, 3, 4] + [15, 0, 0, 1],  # the palette, the cursor's pickle
    ]
    rng = random.Random(1)
    return [bytes(program) for program in programs] + [rng.randbytes(96) for _ in range(24)]


def main():
    folder = sys.argv[1]
    seeds = {}
    for extension, data in image_seeds():
        seeds.setdefault("load_" + extension[1:], []).append(data)
    seeds["load_anim_gif"] = [gif(3), gif(4, dispose=3), gif(3, dispose=2), gif(1)]
    seeds["load_raw"] = raw_seeds()
    seeds["api"] = api_seeds()
    for extension, data in sound_seeds():
        seeds.setdefault("sound_" + extension[1:], []).append(data)
    for target, files in seeds.items():
        os.makedirs(os.path.join(folder, target), exist_ok=True)
        for number, data in enumerate(files):
            with open(os.path.join(folder, target, f"seed{number}"), "wb") as file:
                file.write(data)
        print(f"{target}: {len(files)} seeds")


if __name__ == "__main__":
    main()
