"""What raylib trusts (headers, extensions, sizes, its own bookkeeping), and the crashes the guards prevent.

Each case here crashed the interpreter or corrupted the heap before its guard; the ones that would kill
the test process run in a fresh interpreter of their own.
"""
import ctypes
import gc
import os
import random
import struct
import sys
import time
import types
import weakref

import pytest

import _capi_probe as probe
from file_fuzz import DXT1, dds, encoded, exported, gif, ogg_comment_fields, qoa, run, set_field, wav_bytes
from tovara.color.color import Color
from tovara.image.image import Image
from tovara.sound.sound import Sound

DXT1_RGB = 14  # raylib's PIXELFORMAT_COMPRESSED_DXT1_RGB


@pytest.fixture(scope="module")
def audio():
    import tovara.window.window as window
    if not window.open_audio():
        pytest.skip("no audio device could be opened")
    return window


@pytest.fixture
def write(tmp_path):
    def write(name, data):
        path = tmp_path / name
        path.write_bytes(data)
        return str(path)
    return write


# -- image files ------------------------------------------------------------------------

def test_a_file_without_extension_is_unreadable_for_both_loaders(audio, write):
    path = write("noext", b"RIFF")
    sound, image = Sound.load(path), Image.load(path)
    assert (sound.valid, sound.frame_count, image.valid) == (False, 0, False)


@pytest.mark.parametrize("header, data", [
    # 1024 by 1024 RGBA promised, 16 bytes given: raylib copied 4 MiB from the file.
    (dict(width=1024, height=1024, flags=0x41, bit_count=32), 16),
    (dict(width=512, height=512, flags=0x40, bit_count=24), 100),
    (dict(width=64, height=64, flags=0x40, bit_count=16), 10),
    # 8 bytes of blocks for 256 by 256: the view (32768 bytes) reached past them.
    (dict(width=256, height=256, flags=0x04, fourcc=DXT1, linear_size=8), 8),
    # more mipmap levels than the copy holds, or than the sizes have
    (dict(width=1, height=1, flags=0x41, bit_count=32, mipmaps=2), 5),
    (dict(width=8, height=8, flags=0x41, bit_count=32, mipmaps=40), 400),
    (dict(width=0x80000000, height=1, flags=0x41, bit_count=32), 64),
    # sides near INT_MAX: the old guard's 64-bit product wrapped negative, raylib copied about 1 GB
    (dict(width=0x7FFFFFF0, height=0x7FFFFFF0, flags=0x41, bit_count=32), 0),
    # a FourCC raylib names no format for (format 0): from_channel and export read far past the copy
    (dict(width=8, height=8, flags=0x04, fourcc=0x58585858, linear_size=4), 4),
], ids=["rgba-short", "rgb-short", "r5g6b5-short", "linear-size-below-pixels", "chain-past-copy", "too-many-levels",
        "width-past-int", "sides-near-int-max", "unknown-fourcc"])
def test_dds_headers_that_promise_more_than_there_is_give_invalid_images(write, header, data):
    path = write("bad.dds", dds(data=bytes(data), **header))
    image = Image.load(path)
    assert image.valid is False and image.width == 0
    animated, frames = Image.load_anim(path)
    assert (animated.valid, frames) == (False, 1)


def test_dds_file_shorter_than_its_header_is_unreadable(write):
    assert Image.load(write("cut.dds", dds(8, 8, flags=0x41, bit_count=32)[:60])).valid is False


@pytest.mark.parametrize("header, size, format", [
    (dict(flags=0x41, bit_count=32), 256, 7),
    (dict(flags=0x40, bit_count=24), 192, 4),
    (dict(flags=0x04, fourcc=DXT1, linear_size=32), 32, DXT1_RGB),
    (dict(flags=0x04, fourcc=DXT1, linear_size=1 << 20), 32, DXT1_RGB),  # a linear size past the file, ignored
])
def test_dds_files_that_hold_their_pixels_still_load(write, header, size, format):
    pixels = bytes(range(256))[:size]
    image = Image.load(write("good.dds", dds(8, 8, data=pixels, **header)))
    assert (image.valid, image.width, image.height, image.format, len(image.data_view)) == (True, 8, 8, format, size)
    if format == 7:  # raylib turns BGRA into RGBA
        assert bytes(image.data_view[:4]) == bytes([2, 1, 0, 3])


@pytest.mark.parametrize("data", [b"qoif", b"qoif\0\0\0\1\0\0\0\1", b""])
def test_qoi_files_shorter_than_the_header_are_unreadable(write, data):
    # raylib read the channel count at byte 12 before looking at the size
    assert Image.load(write("short.qoi", data)).valid is False


def test_valid_image_files_load_with_their_frames(write):
    image, frames = Image.load_anim(write("moving.gif", gif(3)))
    assert (image.valid, image.width, image.height, frames) == (True, 2, 2, 3)
    assert Image.load(write("one.qoi", exported(".qoi"))).width == 6


def test_gif_animations_past_the_pixel_limit_are_unreadable(write):
    # frames * width * height * 4 past int: a failed allocation, then a double free
    image, frames = Image.load_anim(write("bad.gif", gif(1, width=0xFFFF, height=0xFFFF)))
    assert (image.valid, frames) == (False, 0)


# -- files raylib's loaders get wrong, loaded by the package: against Pillow, pixel for pixel

def pillow_frames(path, durations=None):
    """Every frame of the file as Pillow composes it, in RGBA, fully transparent pixels as zeros;
    each frame's duration appended to `durations`."""
    Pillow = pytest.importorskip("PIL.Image", exc_type=ImportError)  # not built for the free-threaded interpreter
    from PIL import ImageSequence
    frames = []
    for frame in ImageSequence.Iterator(Pillow.open(path)):
        pixels = bytearray(frame.convert("RGBA").tobytes())
        for at in range(0, len(pixels), 4):
            if pixels[at + 3] == 0:
                pixels[at:at + 4] = bytes(4)
        frames.append(bytes(pixels))
        if durations is not None:
            durations.append(frame.info["duration"])
    return frames


def cleared(pixels):
    return b"".join(bytes(4) if pixels[at + 3] == 0 else pixels[at:at + 4] for at in range(0, len(pixels), 4))


@pytest.mark.parametrize("side", [64, 256])
def test_an_rgba_dds_with_its_whole_mip_chain_loads_with_pillows_pixels(write, side):
    # raylib's loader sized its copy as the first level plus a third and byte-swapped past it.
    rng = random.Random(side)
    levels = side.bit_length()
    chain = bytes(rng.randrange(256) for _ in range(sum(4 * (side >> level) ** 2 for level in range(levels))))
    path = write("chain.dds", dds(side, side, flags=0x41, bit_count=32, mipmaps=levels, data=chain,
                                  masks=(0xFF0000, 0xFF00, 0xFF), alpha_mask=0xFF000000))
    expected = pillow_frames(path)[:1]
    image = Image.load(path)
    assert (image.valid, image.mipmaps, image.format) == (True, levels, 7)
    assert [cleared(bytes(image.data_view))] == expected
    copy = image.copy()  # the whole chain, every level swapped
    assert probe.image_frames(copy, 1) == bytes(image.data_view)


@pytest.mark.parametrize("mode", ["RGB", "RGBA"])
def test_uncompressed_dds_files_load_by_their_masks_with_pillows_pixels(tmp_path, mode):
    # raylib reads 24 bits in one byte order whatever the masks: Pillow's red loaded as blue.
    Pillow = pytest.importorskip("PIL.Image", exc_type=ImportError)
    picture = Pillow.new(mode, (4, 3))
    picture.putdata([(255, 0, 0, 255)[:len(mode)], (0, 255, 0, 128)[:len(mode)], (0, 0, 255, 0)[:len(mode)],
                     (10, 20, 30, 40)[:len(mode)]] * 3)
    path = str(tmp_path / "masks.dds")
    picture.save(path)
    image = Image.load(path)
    assert (image.valid, image.format) == (True, {"RGB": 4, "RGBA": 7}[mode])
    assert bytes(image.data_view) == picture.tobytes()


RED, BLUE, GREEN, CLEAR = (255, 0, 0, 255), (0, 0, 255, 255), (0, 255, 0, 255), (0, 0, 0, 0)


# (Pillow takes a disposal of 0 after 2 or 3 as a repeat of that one; browsers, and we, as "keep".)
@pytest.mark.parametrize("disposal, background", [
    ([1, 3, 3, 3], RED),  # stb_image, driven by raylib, restored these from two frames before its buffer
    ([1, 3, 3, 3], CLEAR),
    ([1, 2, 2, 2], CLEAR),  # stb restored these from the canvas before them: an erased block came back
    ([2, 1, 3, 1], CLEAR),
    ([0, 1, 2, 3], RED),
])
def test_gif_frames_and_delays_are_pillows(tmp_path, disposal, background):
    Pillow = pytest.importorskip("PIL.Image", exc_type=ImportError)
    frames = [Pillow.new("RGBA", (8, 6), background) for _ in range(4)]
    for frame, color, box in zip(frames, (RED, BLUE, GREEN, BLUE), [(0, 0, 3, 3), (1, 1, 4, 4), (4, 2, 7, 5),
                                                                    (0, 0, 2, 6)]):
        frame.paste(color, box)
    path = str(tmp_path / "frames.gif")
    frames[0].save(path, save_all=True, append_images=frames[1:], disposal=disposal, duration=[30, 40, 120, 70],
                   optimize=False)
    durations = []
    expected = pillow_frames(path, durations)
    image, count = Image.load_anim(path)
    assert (image.valid, count, image.frame_count, image.width, image.height) == (True, len(expected), count, 8, 6)
    assert image.frame_delays == tuple(durations) == (30, 40, 120, 70)
    everything = bytes(image.frames_view)
    size = len(expected[0])
    assert [cleared(everything[at:at + size]) for at in range(0, len(everything), size)] == expected
    taken = [image.frame(index) for index in range(count)]
    image.unload()  # each frame taken owns its pixels
    assert [cleared(bytes(frame.data_view)) for frame in taken] == expected
    assert [frame.frame_delays for frame in taken] == [(delay,) for delay in durations]


def test_gif_restoring_previous_frames_still_loads_as_one_picture(write):
    image = Image.load(write("still.gif", gif(3, dispose=3)))
    assert (image.valid, image.width) == (True, 2)


@pytest.mark.parametrize("name", ["picture." + "x" * 15, "picture." + "png" * 6])
def test_export_to_a_long_extension_fails_without_reading_past_raylibs_buffer(tmp_path, rgba_image, name):
    # raylib copied 16 characters of the extension into 16 bytes and compared them as a string.
    assert rgba_image.export(str(tmp_path / name)) is False
    assert Image.load_anim(str(tmp_path / name))[1] == 1


# -- sizes -----------------------------------------------------------------------------

def test_load_raw_header_guard_counts_raylibs_minimum_block(raw_file):
    # Four bits of one DXT1 pixel round to 0 bytes, but raylib's size is one 8-byte block:
    # header + 8 wrapped its int sum and it copied from 2 GiB past the data.
    with pytest.raises(ValueError, match="^header 2147483646 and 8 bytes of pixel data need more than 2147483647 bytes$"):
        Image.load_raw(raw_file(bytes(64)), 1, 1, DXT1_RGB, 2**31 - 2)
    fits = Image.load_raw(raw_file(bytes(64)), 1, 1, DXT1_RGB, 2**31 - 9)
    assert fits.valid and len(fits.data_view) == 8


@pytest.mark.parametrize("width, height, mipmaps, format", [
    (65536, 65536, 1, 7),  # ImageCopy read 16 GiB from 32 bytes; from_channel's int product wrapped to 0
    (4, 2, 40, 7),  # more levels than the sizes have: ImageCopy's sum ran on
    (4, 2, 1, 0),  # no format: raylib reports 0 bytes, from_channel and export read by the sizes
    (-4, -2, 1, 7),
])
def test_records_handed_in_at_c_level_that_raylib_cannot_handle_are_refused(rgba_image, tmp_path, width, height,
                                                                              mipmaps, format):
    record = probe.image_new_record(rgba_image, width, height, mipmaps, format)
    assert (record.copy().valid, record.from_channel(1).valid) == (False, False)
    assert record.export(str(tmp_path / "record.bmp")) is False
    assert probe.image_bytes(rgba_image) == bytes(range(32))


@pytest.mark.parametrize("format", [14, 16, 17, 18, 20, 21, 23])  # DXT1 RGB, DXT3, DXT5, ETC1, ETC2 EAC, PVRT, ASTC
def test_block_compressed_images_never_export_memory_they_do_not_own(tmp_path, format):
    # raylib encodes from LoadImageColors, which allocates RGBA pixels but fills them only for
    # uncompressed formats: the file held freed objects and heap pointers, and export said True.
    path = tmp_path / "blocks.raw"
    path.write_bytes(bytes(range(256)) * 32)
    image = Image.load_raw(str(path), 64, 64, format, 0)
    junk = [b"\xab" * 16384 for _ in range(8)]
    del junk
    assert image.valid
    assert [image.export(str(tmp_path / ("out" + kind))) for kind in (".png", ".bmp", ".qoi")] == [False] * 3
    assert not any((tmp_path / ("out" + kind)).exists() for kind in (".png", ".bmp", ".qoi"))
    assert image.export(str(tmp_path / "out.RAW")) is True  # its own bytes, as they are
    assert (tmp_path / "out.RAW").read_bytes() == bytes(image.data_view)
    assert image.from_channel(0).valid is False  # raylib would make a black image


def qoi_header(width, height):
    return b"qoif" + struct.pack(">IIBB", width, height, 4, 0) + b"\xfd" * 150 + bytes(7) + b"\1"


def riff(form, *chunks, big=False):
    body = b"".join(tag + struct.pack(">I" if big else "<I", len(data) if size is None else size) + data
                    for tag, data, size in chunks)
    return (b"FORM" if big else b"RIFF") + struct.pack(">I" if big else "<I", 4 + len(body)) + form + body


BOMBS = [
    # 91 bytes that made a 1.46 GB image
    ("load", "bomb.bmp", b"BM" + struct.pack("<IHHIIiiHHIIiiII", 91, 0, 0, 54, 40, 25000, 15000, 1, 24, 0, 0, 0, 0,
                                             0, 0) + bytes(37)),
    # a header ending inside its bit count: stb read the rest as zeros and allocated 2 GB
    ("load", "short.bmp", b"BM" + struct.pack("<IIIIiiH", 29, 0, 54, 40, 25000, 20000, 1) + b"\x18"),
    ("load", "bomb.qoi", qoi_header(2, 44739243)),  # one pixel past the limit
    ("load", "short.qoi", qoi_header(9000, 9000)),  # within the limit, but 176 bytes cannot hold 81 million pixels
    ("load", "bomb.dds", dds(20000, 20000, flags=0x04, fourcc=0x58585858, linear_size=4, data=bytes(4))),
    # a logical screen of 459 million pixels: stb allocated its canvases before the first frame
    ("load_anim", "screen.gif", b"GIF89a" + struct.pack("<HHBBB", 25134, 18285, 0, 0, 0) + b"\x2c"
     + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + b"\x02\x02\x44\x01\x00\x3b"),
    ("load_raw", "pixels.raw", bytes(64)),
    # 16 bytes declaring 2^25 frames of 8 channels: 512 MB allocated before the first frame
    ("sound", "total.qoa", struct.pack(">4sIBBHHH", b"qoaf", 1 << 25, 8, 0, 22050, 0, 0)),
    # IMA ADPCM, whose fact count dr_wav ignores, with a data length of 4 GB
    ("sound", "ima.wav", riff(b"WAVE", (b"fmt ", struct.pack("<HHIIHHHH", 0x11, 1, 8000, 4055, 256, 4, 2, 505), None),
                              (b"fact", struct.pack("<I", 1), None), (b"data", bytes(8), 0xFFFFFF00))),
    # AIFF, which has no fact chunk for dr_wav, and a sound data length of 4 GB
    ("sound", "fact.aiff.wav", riff(b"AIFF", (b"fact", struct.pack(">I", 1), None),
                                    (b"COMM", struct.pack(">HIH", 1, 0, 16) + b"\x40\x0e\xac\x44" + bytes(6), None),
                                    (b"SSND", bytes(16), 0xFFFFFF00), big=True)),
]


@pytest.mark.parametrize("entry, name, data", BOMBS, ids=[name for _, name, _ in BOMBS])
def test_headers_declaring_more_than_the_limits_are_refused_before_decoding(python, tmp_path, entry, name, data):
    # In a process whose address space may grow by 50 MB at most: what was allocated before the
    # header was checked then fails (the QOA decoder wrote its first frame through NULL).
    path = tmp_path / name
    path.write_bytes(data)
    call = {"load": "Image.load(path)", "load_anim": "Image.load_anim(path)[0]",
            "load_raw": "Image.load_raw(path, 20000, 20000, 7, 0)", "sound": "Sound.load(path)"}[entry]
    result = python(f"""
    import os, resource, time
    from tovara.image.image import Image
    from tovara.sound.sound import Sound
    import tovara.window.window as window
    window.set_log_level(4)  # warnings: raylib's own failures, and the package's refusals
    window.open_audio()
    path = {str(path)!r}
    if "asan" not in os.environ.get("LD_PRELOAD", ""):  # the sanitizer reserves terabytes up front
        size = next(int(line.split()[1]) for line in open("/proc/self/status") if line.startswith("VmSize:"))
        limit = (size + 50 * 1024) * 1024
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
    started = time.perf_counter()
    made = {call}
    elapsed = time.perf_counter() - started
    print("made", made.valid, elapsed < 0.1 or elapsed, flush=True)
    if isinstance(made, Image):
        made.from_channel(0)
        made.export(path + ".bmp")""")
    assert "made False True" in result.stdout, result.stderr
    # Each refusal says why in raylib's log, naming the file and the numbers.
    refusal = next(line for line in result.stdout.splitlines() if "Refused by tovara: " in line)
    assert refusal.startswith(("WARNING: IMAGE: [" + str(path), "WARNING: WAVE: [" + str(path))) and any(
        word in refusal for word in ("past the limit of", "can hold", "header ends", "no pixel format")), refusal


def vm_data_kib():
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmData:"))


@pytest.mark.skipif("asan" in os.environ.get("LD_PRELOAD", ""),
                    reason="AddressSanitizer's quarantine keeps freed memory mapped; the fuzz target checks this "
                           "file with LeakSanitizer")
def test_an_ogg_whose_setup_fails_leaks_nothing(audio, write, ogg):
    # A sparse codebook of 2^24 entries, cut short: stb_vorbis kept its 16 MB of lengths on every load.
    book = ogg.index(b"BCV", ogg.index(b"\x05vorbis"))
    data = bytearray(ogg)
    data[book + 5:book + 8] = b"\xff\xff\xff"
    data[book + 8] = data[book + 8] & ~3 | 2
    path = write("setup.ogg", bytes(data[:book + 40]))
    assert Sound.load(path).valid is False
    before = vm_data_kib()
    assert not any(Sound.load(path).valid for _ in range(20))
    assert vm_data_kib() - before < 40 * 1024  # the allocator keeps one arena's worth; the leak was 320 MB


# -- sounds ----------------------------------------------------------------------------

def test_a_sound_without_frames_does_not_play(audio, write):
    # raylib's mixer divided by the size of its empty buffer a moment after play().
    for sound in (Sound.load(write("silent.wav", wav_bytes(1, 0))), Sound.load(write("silent.qoa", qoa(1, 0)))):
        assert (sound.valid, sound.frame_count) == (False, 0)
        sound.play()
        sound.resume()
        time.sleep(0.05)  # several mixer periods
        assert sound.playing is False


@pytest.mark.parametrize("data", [
    qoa(1, 40, total=1),  # a frame of 40 samples written into room for 1
    # A frame size below its own header wraps the decoder's capacity test, which then passes,
    # and 200 slices are read from a file that holds one.
    qoa(1, 4000, frame_size=10, slices=1),
    qoa(8, 20, total=0x10000000),  # samples * channels * 2 bytes past int
    qoa(13, 20),  # predictor state for 8 channels: the ninth on wrote over the loader's stack
], ids=["frame-past-total", "slices-past-file", "total-past-int", "channels-past-8"])
def test_qoa_files_whose_frames_overrun_raylibs_buffers_are_unreadable(audio, write, data):
    sound = Sound.load(write("bad.qoa", data))
    assert sound.valid is False and sound.frame_count == 0


@pytest.fixture(scope="module")
def ogg():
    return encoded("oggenc", ".ogg", lambda source, target: ["-Q", "-o", target, source])


@pytest.mark.parametrize("count, first", [(1000, 0xFFFFFFFF), (2, 0x100000), (0x7FFFFFFF, 4)])
def test_ogg_comment_lists_longer_than_their_packet_are_unreadable(audio, write, ogg, count, first):
    # A comment whose length the packet does not hold failed its allocation, and the decoder then
    # freed the comment pointers it had not set yet.
    (_, _, _), (count_at, _, _), (first_at, _, _) = ogg_comment_fields(ogg)
    data = set_field(set_field(ogg, count_at, 4, "<", count), first_at, 4, "<", first)
    assert Sound.load(write("comments.ogg", data)).valid is False


def test_valid_qoa_ogg_and_wav_files_still_load(audio, write, ogg):
    assert Sound.load(write("good.ogg", ogg)).frame_count > 0
    assert Sound.load(write("good.qoa", qoa(2, 45))).valid
    assert Sound.load(write("good.wav", wav_bytes(2, 100))).frame_count > 0


@pytest.mark.parametrize("order", [(0, 1, 2), (0, 2, 1), (1, 0, 2), (1, 2, 0), (2, 0, 1), (2, 1, 0)])
def test_aliases_of_a_c_level_alias_never_free_the_sample_data(audio, write, order):
    # The registry grouped the two aliases without their source, so the source and the
    # last alias both freed the same samples, whatever the order.
    source = Sound.load(write("tone.wav", wav_bytes(1, 2000)))
    first = probe.sound_c_alias(source)
    second = Sound.load_alias(first)
    assert first.is_alias and second.is_alias and second.valid
    family = [source, first, second]
    for index in order:
        family[index].unload()
    assert not any(member.valid for member in family)
    # The source's own aliases still share its data as before.
    again = Sound.load(write("again.wav", wav_bytes(1, 2000)))
    alias = Sound.load_alias(again)
    again.unload()
    alias.update(bytes(80), 10)
    alias.play()
    assert alias.playing
    alias.unload()


# -- module initialisation -------------------------------------------------------------

@pytest.mark.parametrize("name", ["colors", "image", "sound", "cursor", "parser", "sigil"])
def test_exec_slot_on_a_module_without_definition_refuses(name):
    module = __import__(f"tovara.{name}.{name}", fromlist=["_"])
    library = ctypes.PyDLL(module.__file__)
    init = getattr(library, f"PyInit_{name}")
    init.restype = ctypes.c_void_p
    execute = ctypes.pythonapi.PyModule_ExecDef
    execute.argtypes, execute.restype = [ctypes.py_object, ctypes.c_void_p], ctypes.c_int
    stranger = types.ModuleType(f"tovara.{name}.{name}")
    with pytest.raises(RuntimeError) as error:
        execute(stranger, init())
    assert str(error.value) == f"Module '{name}' has already been imported. Re-initialisation is not supported."


# -- destruction of subclasses ---------------------------------------------------------

def filled(kind, source):
    instance = kind()
    probe.image_fill(instance, source)
    return instance


def heap_in_use():
    """Bytes the C heap has handed out and not taken back: the sanitizer's count under it, else glibc's."""
    process = ctypes.CDLL(None)
    if hasattr(process, "__sanitizer_get_current_allocated_bytes"):
        process.__sanitizer_get_current_allocated_bytes.restype = ctypes.c_size_t
        return process.__sanitizer_get_current_allocated_bytes()

    class Info(ctypes.Structure):
        _fields_ = [(name, ctypes.c_size_t) for name in
                    "arena ordblks smblks hblks hblkhd usmblks fsmblks uordblks fordblks keepcost".split()]
    process.mallinfo2.restype = Info
    info = process.mallinfo2()
    return info.uordblks + info.hblkhd


@pytest.mark.parametrize("own_del", [False, True], ids=["finalizer", "own-__del__"])
def test_a_valid_that_keeps_self_resurrects_an_intact_object(own_del):
    kept = []

    class Keeper(Image):
        @property
        def valid(self):
            kept.append(self)
            return True

    if own_del:  # the decision waits for the destructor, after __del__ and the attributes went
        Keeper = type("KeeperWithDel", (Keeper,), {"__del__": lambda self: None})
    source = Image.generate_with_color(1024, 1024, Color(1, 2, 3, 4))
    pixels = probe.image_bytes(source)
    before = heap_in_use()
    instance = filled(Keeper, source)
    instance.tag = "kept"
    del instance
    gc.collect()
    assert len(kept) == 1
    survivor = kept.pop()
    # Alive and whole, its pixels kept though `valid` said to release them.
    assert (getattr(survivor, "tag", None), survivor.width) == (None if own_del else "kept", 1024)
    assert probe.image_bytes(survivor) == pixels and heap_in_use() - before > len(pixels) * 3 // 4
    del survivor
    gc.collect()
    assert kept == []  # decided once: its last death asks nothing, and releases what was decided
    assert heap_in_use() - before < len(pixels) // 4


def test_a_raising_valid_whose_traceback_is_kept_leaves_the_object_alive(rgba_image, monkeypatch):
    reports = []
    monkeypatch.setattr(sys, "unraisablehook", reports.append)

    class Broken(Image):
        @property
        def valid(self):
            raise KeyError("valid failed")

    instance = filled(Broken, rgba_image)
    del instance
    gc.collect()
    assert len(reports) == 1 and reports[0].exc_type is KeyError
    entry = reports[0].exc_traceback
    while "self" not in entry.tb_frame.f_locals:
        entry = entry.tb_next
    survivor = entry.tb_frame.f_locals["self"]
    assert type(survivor) is Broken and probe.image_bytes(survivor) == bytes(range(32))


def test_a_valid_that_sets_attributes_leaks_nothing(rgba_image):
    class Marker:
        pass
    markers = []

    class Marking(Image):
        @property
        def valid(self):
            marker = Marker()
            markers.append(weakref.ref(marker))
            self.note = marker
            return True

    class MarkingWithDel(Marking):
        def __del__(self):
            pass

    for kind in (Marking, MarkingWithDel):
        instance = filled(kind, rgba_image)
        del instance
        gc.collect()
    assert len(markers) == 2 and all(marker() is None for marker in markers)


def test_a_subclass_with_its_own_del_still_decides_the_release(rgba_image):
    asked = []

    class Finalized(Image):
        def __del__(self):
            asked.append("__del__")

        @property
        def valid(self):
            asked.append("valid")
            return True

    del_instance = filled(Finalized, rgba_image)
    del del_instance
    gc.collect()
    assert asked == ["__del__", "valid"]


# -- the fuzz run, bounded -------------------------------------------------------------

def test_mutated_files_of_every_format_load_and_play_without_a_crash(audio):
    tried = run(count=600, seed=20261208)
    formats = {name for name in tried if "raw" not in name}
    assert formats == {".png", ".bmp", ".qoi", ".gif", ".dds", ".wav", ".qoa", ".ogg", ".mp3"}
    assert sum(tried.values()) == 1200
