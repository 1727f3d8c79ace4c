"""Writes the fuzz targets' seeds: small valid files of every format, made by the package's own
exporter and the root's encoders, one folder per target.

    seeds.py FOLDER
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from file_fuzz import gif, image_seeds, sound_seeds  # noqa: E402


def raw_seeds():
    """load_raw's input: width, height (16 bits each), format, header (16 bits), a pad byte, then the file."""
    pixels = bytes(range(256)) * 4
    return [struct.pack("<HHBHx", 8, 4, 7, 0) + pixels[:128], struct.pack("<HHBHx", 16, 16, 14, 16) + pixels[:144],
            struct.pack("<HHBHx", 5, 3, 1, 0) + pixels[:15]]


def main():
    folder = sys.argv[1]
    seeds = {}
    for extension, data in image_seeds():
        seeds.setdefault("load_" + extension[1:], []).append(data)
    seeds["load_anim_gif"] = [gif(3), gif(4, dispose=3), gif(3, dispose=2), gif(1)]
    seeds["load_raw"] = raw_seeds()
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
