"""Mutated image and sound files for every format the installed raylib reads, loaded and used end to end.

Imported by the test suite (a seeded, bounded run) and run by `tools/devenv fuzz COUNT SEED` for a
longer campaign, which prints how many files of each format it tried.
"""
import argparse
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import wave
from collections import Counter

# -- valid files, written at run time ------------------------------------------------

DXT1, DXT3, DXT5 = 0x31545844, 0x33545844, 0x35545844


def dds(width, height, *, flags, bit_count=0, fourcc=0, alpha_mask=0, linear_size=0, mipmaps=0, data=b"",
        masks=(0, 0, 0)):
    """A DDS file: magic, the 124-byte header (pixel format at its offset 72), then `data`."""
    header = struct.pack("<7I44x8I5I", 124, 0x1007, height, width, linear_size, 0, mipmaps,
                         32, flags, fourcc, bit_count, *masks, alpha_mask, 0x1000, 0, 0, 0, 0)
    return b"DDS " + header + data


def dds_seeds():
    pixels = bytes(range(256)) * 16
    return {
        "rgba": dds(8, 8, flags=0x41, bit_count=32, data=pixels[:256]),
        "rgb": dds(8, 8, flags=0x40, bit_count=24, data=pixels[:192]),
        "r5g6b5": dds(8, 8, flags=0x40, bit_count=16, data=pixels[:128]),
        "r5g5b5a1": dds(8, 8, flags=0x41, bit_count=16, alpha_mask=0x8000, data=pixels[:128]),
        "r4g4b4a4": dds(8, 8, flags=0x41, bit_count=16, alpha_mask=0xF000, data=pixels[:128]),
        "dxt1": dds(8, 8, flags=0x04, fourcc=DXT1, linear_size=32, data=pixels[:32]),
        "dxt3": dds(8, 8, flags=0x05, fourcc=DXT3, linear_size=64, data=pixels[:64]),
        "dxt5-mipmaps": dds(8, 8, flags=0x05, fourcc=DXT5, linear_size=64, mipmaps=4, data=pixels[:85]),
        "rgba-mipmaps": dds(4, 4, flags=0x41, bit_count=32, mipmaps=2, data=pixels[:84]),
        # a whole chain, as tools write it: raylib's byte swap ran past its copy
        "rgba-chain": dds(16, 16, flags=0x41, bit_count=32, mipmaps=5, data=pixels[:1364]),
    }


def gif(frames=2, dispose=1, width=2, height=2):
    """A GIF of `frames` frames of 2 by 2 pixels on a `width` by `height` screen, each disposed by
    method `dispose`; its LZW codes are kept at 3 bits by clear codes."""
    def lzw(indices):
        codes, bits, count, out = [4, indices[0], indices[1], 4, indices[2], indices[3], 5], 0, 0, bytearray()
        for code in codes:
            bits |= code << count
            count += 3
            while count >= 8:
                out.append(bits & 0xFF)
                bits >>= 8
                count -= 8
        if count:
            out.append(bits)
        return bytes([2, len(out)]) + bytes(out) + b"\0"
    body = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x81, 0, 0) + bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255])
    for frame in range(frames):
        body += b"\x21\xF9\x04" + bytes([dispose << 2]) + b"\x05\x00\x00\x00"  # 50 ms, no transparency
        body += b"\x2C" + struct.pack("<HHHHB", 0, 0, 2, 2, 0) + lzw([frame % 4, 1, 2, 3])
    return body + b"\x3B"


def wav_bytes(channels=1, frames=64, rate=22050, width=2):
    path = tempfile.mktemp(suffix=".wav")
    try:
        with wave.open(path, "wb") as out:
            out.setnchannels(channels)
            out.setsampwidth(width)
            out.setframerate(rate)
            out.writeframes(bytes(random.Random(frames).randrange(256) for _ in range(channels * frames * width)))
        with open(path, "rb") as file:
            return file.read()
    finally:
        os.unlink(path)


def qoa(channels=1, samples=40, rate=22050, frame_size=None, total=None, slices=None):
    """A QOA file of one frame: header, frame header, predictor state and slices of arbitrary bits.

    `frame_size`, `total` (the header's sample count) and `slices` (how many are written) default to
    what `samples` of `channels` need."""
    frame_samples = samples
    needed = (frame_samples + 19) // 20 * channels
    slices = needed if slices is None else slices
    size = 8 + 16 * channels + 8 * needed if frame_size is None else frame_size
    header = struct.pack(">4sI", b"qoaf", samples if total is None else total)
    frame = struct.pack(">BBHHH", channels, rate >> 16, rate & 0xFFFF, frame_samples, size)
    rng = random.Random(samples)
    return header + frame + bytes(16 * channels) + bytes(rng.randrange(256) for _ in range(8 * slices))


def encoded(tool, suffix, arguments):
    """A file made from a WAV by an encoder of the root (oggenc, lame)."""
    if not shutil.which(tool):
        raise RuntimeError(f"{tool} is needed to write {suffix} files")
    folder = tempfile.mkdtemp()
    try:
        source, target = os.path.join(folder, "in.wav"), os.path.join(folder, "out" + suffix)
        with open(source, "wb") as file:
            file.write(wav_bytes(2, 4410, 44100))
        subprocess.run([tool, *arguments(source, target)], check=True, capture_output=True)
        with open(target, "rb") as file:
            return file.read()
    finally:
        shutil.rmtree(folder)


def exported(extension):
    """A file of `extension` written by raylib's own exporter from a generated image."""
    from tovara.color.color import Color
    from tovara.image.image import Image
    path = tempfile.mktemp(suffix=extension)
    try:
        image = Image.generate_with_linear_gradient(6, 5, 45, Color(255, 0, 0, 255), Color(0, 0, 255, 128))
        assert image.export(path), extension
        with open(path, "rb") as file:
            return file.read()
    finally:
        if os.path.exists(path):
            os.unlink(path)


# Header fields worth setting to extreme values: (offset, size in bytes, byte order).
IMAGE_FIELDS = {
    ".png": [(8, 4, ">"), (16, 4, ">"), (20, 4, ">"), (24, 1, ">"), (25, 1, ">")],
    ".bmp": [(2, 4, "<"), (10, 4, "<"), (14, 4, "<"), (18, 4, "<"), (22, 4, "<"), (28, 2, "<"), (30, 4, "<"),
             (34, 4, "<"), (46, 4, "<")],
    ".qoi": [(4, 4, ">"), (8, 4, ">"), (12, 1, ">"), (13, 1, ">")],
    ".gif": [(6, 2, "<"), (8, 2, "<"), (10, 1, "<"), (37, 2, "<"), (39, 2, "<"), (41, 1, "<")],
    ".dds": [(8, 4, "<"), (12, 4, "<"), (16, 4, "<"), (20, 4, "<"), (28, 4, "<"), (80, 4, "<"), (84, 4, "<"),
             (88, 4, "<"), (104, 4, "<")],
}
SOUND_FIELDS = {
    ".wav": [(4, 4, "<"), (16, 4, "<"), (20, 2, "<"), (22, 2, "<"), (24, 4, "<"), (28, 4, "<"), (32, 2, "<"),
             (34, 2, "<"), (40, 4, "<")],
    ".qoa": [(4, 4, ">"), (8, 1, ">"), (9, 3, ">"), (12, 2, ">"), (14, 2, ">")],
    ".ogg": [(22, 4, "<"), (26, 1, "<"), (39, 1, "<"), (40, 4, "<")],
    ".mp3": [],
}


def ogg_comment_fields(data):
    """The vendor length and comment count of an Ogg Vorbis file's comment packet (it opens page 2)."""
    first = 27 + data[26] + sum(data[27:27 + data[26]])
    body = first + 27 + data[first + 26]
    vendor = int.from_bytes(data[body + 7:body + 11], "little")
    return [(body + 7, 4, "<"), (body + 11 + vendor, 4, "<"), (body + 15 + vendor, 4, "<")]


def image_seeds():
    seeds = [(".png", exported(".png")), (".bmp", exported(".bmp")), (".qoi", exported(".qoi")),
             (".gif", gif(1)), (".gif", gif(3))]
    seeds += [(".dds", data) for data in dds_seeds().values()]
    return seeds


def sound_seeds():
    seeds = [(".wav", wav_bytes(1, 64)), (".wav", wav_bytes(2, 300, 48000)), (".wav", wav_bytes(1, 50, 8000, 1)),
             (".qoa", qoa(1, 40)), (".qoa", qoa(2, 45))]
    seeds.append((".ogg", encoded("oggenc", ".ogg", lambda source, target: ["-Q", "-o", target, source])))
    seeds.append((".mp3", encoded("lame", ".mp3", lambda source, target: ["--quiet", source, target])))
    return seeds


# -- mutations ------------------------------------------------------------------------

EXTREMES = [0, 1, 0x7F, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF]


def set_field(data, offset, size, order, value):
    if offset + size > len(data):
        return data
    value &= (1 << 8 * size) - 1
    raw = value.to_bytes(size, "big" if order == ">" else "little")
    return data[:offset] + raw + data[offset + size:]


def mutate(rng, extension, data, fields):
    """One mutant of `data`: truncated, a header field set, bytes flipped, bytes added, or a mix."""
    if rng.randrange(6) < 5:
        return mutate_once(rng, data, fields)
    for _ in range(rng.randint(2, 4)):
        data = mutate_once(rng, data, fields)
    return data


def mutate_once(rng, data, fields):
    kind = rng.randrange(5)
    if kind == 0:  # truncated at a header boundary or anywhere
        cuts = [offset for offset, _, _ in fields] + [offset + size for offset, size, _ in fields]
        cut = rng.choice(cuts) if cuts and rng.random() < 0.6 else rng.randrange(len(data) + 1)
        return data[:cut]
    if kind in (1, 3) and fields:  # one or two header fields set to extreme, random or nearby values
        for _ in range(kind // 2 + 1):
            offset, size, order = rng.choice(fields)
            current = int.from_bytes(data[offset:offset + size], "big" if order == ">" else "little")
            value = rng.choice([rng.choice(EXTREMES), rng.getrandbits(8 * size), current + rng.choice([-1, 1, 2, 16])])
            data = set_field(data, offset, size, order, value)
        return data
    if kind <= 2:  # a few bytes flipped
        mutant = bytearray(data)
        for _ in range(rng.randint(1, 4)):
            if mutant:
                mutant[rng.randrange(len(mutant))] ^= 1 << rng.randrange(8)
        return bytes(mutant)
    return data + bytes(rng.randrange(256) for _ in range(rng.randrange(64)))  # bytes appended


# -- using each mutant ------------------------------------------------------------------

def exercise_image(image, folder, rng):
    """Reads an image every way the package offers; raylib's refusals are fine, crashes are not."""
    if not image.valid:
        return
    try:
        view = image.data_view
    except ValueError as error:  # a format raylib gives no size (an unknown number)
        assert str(error) == "Invalid shape in axis 0: 0.", error
    else:
        total = sum(view)
        assert 0 <= total <= 255 * len(view)
        view[0], view[-1] = view[-1], view[0]
    duplicate = image.copy()
    assert duplicate.width == image.width and duplicate.format == image.format
    image.from_channel(rng.randrange(4))
    target = os.path.join(folder, "out" + rng.choice([".png", ".bmp", ".qoi", ".raw"]))
    assert image.export(target) in (True, False)
    duplicate.unload()


def trace(path):
    """With TOVARA_FUZZ_KEEP set, keeps each mutant before it is loaded, so the one a crash ends on is left."""
    keep = os.environ.get("TOVARA_FUZZ_KEEP")
    if keep:
        shutil.copy(path, os.path.join(keep, "last" + os.path.splitext(path)[1]))


def run_images(rng, folder, count, seeds, tried):
    from tovara.image.image import Image
    for index in range(count):
        extension, seed = seeds[index % len(seeds)]
        data = mutate(rng, extension, seed, IMAGE_FIELDS[extension])
        path = os.path.join(folder, f"mutant{extension}")
        with open(path, "wb") as file:
            file.write(data)
        trace(path)
        way = rng.randrange(3)
        if way == 0:
            image = Image.load(path)
        elif way == 1:
            image, frames = Image.load_anim(path)
            assert isinstance(frames, int)
        else:
            try:
                image = Image.load_raw(path, rng.choice([0, 1, 3, 4, 8, 255, -1, 1 << 16]),
                                       rng.choice([0, 1, 2, 4, 7, 1 << 15, -3]), rng.randrange(-1, 26),
                                       rng.choice([0, 1, 16, len(data), 1 << 30, -5]))
            except ValueError as error:  # sizes raylib's arithmetic cannot hold
                assert "bytes" in str(error) or "negative" in str(error), error
                tried[extension + " (raw, refused)"] += 1
                continue
        exercise_image(image, folder, rng)
        tried[extension] += 1


def run_sounds(rng, folder, count, seeds, tried, batch=24):
    from tovara.sound.sound import Sound
    playing = []
    for index in range(count):
        extension, seed = seeds[index % len(seeds)]
        fields = SOUND_FIELDS[extension] + (ogg_comment_fields(seed) if extension == ".ogg" else [])
        data = mutate(rng, extension, seed, fields)
        path = os.path.join(folder, f"mutant{index % batch}{extension}")
        with open(path, "wb") as file:
            file.write(data)
        trace(path)
        sound = Sound.load(path)
        tried[extension] += 1
        if sound.valid:
            frames = min(sound.frame_count, 16)
            sound.update(bytes(8 * frames), frames)
            alias = Sound.load_alias(sound)
            sound.play()
            alias.play()
            playing += [sound, alias]
        else:
            sound.play()  # must do nothing
        if len(playing) >= batch or index == count - 1:
            time.sleep(0.03)  # a few mixer periods
            for sound in playing:
                sound.stop()
                sound.unload()
            playing.clear()


def run(count, seed, sounds=True):
    """Loads `count` mutated image files and as many sound files; returns the counts per format."""
    rng, tried = random.Random(seed), Counter()
    folder = tempfile.mkdtemp(prefix="tovara-fuzz-")
    try:
        run_images(rng, folder, count, image_seeds(), tried)
        if sounds:
            run_sounds(rng, folder, count, sound_seeds(), tried)
    finally:
        shutil.rmtree(folder)
    return tried


def resident_kib():
    """The process's resident memory now (not its peak), in KiB."""
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("count", type=int, help="mutated files per kind (images, sounds)")
    parser.add_argument("seed", type=int)
    parser.add_argument("--rounds", type=int, default=10, help="rounds the count is split into, for the memory check")
    options = parser.parse_args()
    import tovara.window.window as window
    window.set_log_level(5)
    if not window.open_audio():
        sys.exit("no audio device could be opened")
    total, resident = Counter(), []
    for round_number in range(options.rounds):
        total += run(options.count // options.rounds, options.seed * 1000 + round_number)
        resident.append(resident_kib())
        print(f"round {round_number + 1}/{options.rounds}: resident {resident[-1]} KiB", flush=True)
    for extension, tried in sorted(total.items()):
        print(f"{extension:>20}: {tried}")
    print(f"{'files':>20}: {sum(total.values())}")
    growth = resident[-1] - resident[len(resident) // 2]
    print(f"resident growth over the second half: {growth} KiB")


if __name__ == "__main__":
    main()
