"""Reference leaks: every public callable, success and error paths, in a loop on the debug interpreter.

Runs where sys.gettotalrefcount exists (CPython's debug build); skipped elsewhere.
"""
import copy
import gc
import pickle
import sys
import wave

import pytest

import _capi_probe as probe
from file_fuzz import dds, gif, qoa
import tovara.brook.brook as brook
import tovara.cursor.cursor as cursor_module
import tovara.window.window as window
from tovara.color.color import Color
from tovara.colors.colors import Colors, colors
from tovara.cursor.cursor import Cursor, cursor
from tovara.image.image import Image
from tovara.rect.rect import Rect
from tovara.sigil.sigil import GlyphInfo
from tovara.sound.sound import Sound
from tovara.vector2.vector2 import Vector2

pytestmark = pytest.mark.skipif(not hasattr(sys, "gettotalrefcount"), reason="needs a debug interpreter")

RGBA = 7
LOOPS = 100


def growth(call):
    """The least references and memory blocks gained per LOOPS calls over three rounds, after
    as many calls to fill caches: a leak grows every round, a cache settles."""
    for _ in range(LOOPS):
        call()
    rounds = []
    for _ in range(3):
        gc.collect()
        refs, blocks = sys.gettotalrefcount(), sys.getallocatedblocks()
        for _ in range(LOOPS):
            call()
        gc.collect()
        rounds.append((sys.gettotalrefcount() - refs, sys.getallocatedblocks() - blocks))
    return min(r for r, _ in rounds), min(b for _, b in rounds)


def failing(call, error=Exception):
    def run():
        try:
            call()
        except error:
            pass
        else:
            raise AssertionError("expected an exception")
    return run


@pytest.fixture(scope="module")
def files(tmp_path_factory):
    folder = tmp_path_factory.mktemp("leaks")
    raw = folder / "p.raw"
    raw.write_bytes(bytes(range(32)))
    wav = folder / "t.wav"
    with wave.open(str(wav), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(8000)
        out.writeframes(bytes(800))
    window.set_log_level(7)
    window.open_audio()
    written = {"bad.dds": dds(64, 64, flags=0x41, bit_count=32, data=bytes(16)),
               "good.dds": dds(4, 4, flags=0x41, bit_count=32, data=bytes(64)), "moving.gif": gif(3),
               "bad.qoa": qoa(1, 40, total=1), "good.qoa": qoa(1, 40), "noext": b"RIFF"}
    for name, data in written.items():
        (folder / name).write_bytes(data)
    return {"raw": str(raw), "wav": str(wav), "png": str(folder / "o.png"), "dir": folder,
            **{name: str(folder / name) for name in written}}


class Shade(Color):
    pass


class Sub(Image):
    def copy(self):
        return None


class Noting(Image):
    @property
    def valid(self):
        self.note = [self.width]
        return True


class NotingWithDel(Noting):
    def __del__(self):
        pass


def filled(kind, files):
    instance = kind()
    probe.image_fill(instance, image(files))
    return instance


class Pointer(Cursor):
    def hide(self):
        raise LookupError


def image(files):
    return Image.load_raw(files["raw"], 4, 2, RGBA, 0)


CASES = {
    # parser, through the capsules
    "parse objects": lambda f: (probe.parse_vector2(Vector2(1, 2)), probe.parse_color(Color(1, 2, 3, 4)),
                                probe.parse_rect(Rect(1, 2, 3, 4))),
    "parse sequences": lambda f: (probe.parse_vector2([1.5, 2]), probe.parse_color((1, 2.5, 3)),
                                  probe.parse_rect(range(4))),
    "parse errors": lambda f: [failing(lambda: probe.parse_color(v))() for v in ((1, 2), "abc", None, [1, 2, "x"],
                                                                                  (1, 2, 2**70))],
    # frame conversions and binding
    "conversions": lambda f: [failing(lambda: probe.to_int(v))() for v in ("x", 2**40, 2**80)],
    "binding errors": lambda f: [failing(c)() for c in (lambda: Image.load(), lambda: Image.load(x=1),
                                                         lambda: Image.load("a", file_name="b"))],
    # images
    "image load and copies": lambda f: (image(f).copy(), copy.copy(image(f)), copy.deepcopy(image(f))),
    "image export": lambda f: image(f).export(f["png"]),
    "image load missing": lambda f: (Image.load("/nonexistent.png"), Image.load_anim("/nonexistent.gif")),
    "image errors": lambda f: [failing(c)() for c in (lambda: Image.load(None), lambda: Image.load(b"x"),
                                                       lambda: Image.load_raw("x", -1, 1, 7, 0),
                                                       lambda: pickle.dumps(Image()),
                                                       lambda: Image().data_view)],
    "image repr and properties": lambda f: (repr(image(f)), repr(Image()), image(f).valid, image(f).width),
    "image unload": lambda f: image(f).unload(),
    "generators": lambda f: (Image.generate_with_color(4, 4, Color(1, 2, 3, 4)),
                             Image.generate_with_checked(4, 4, 2, 2, colors.Red, Shade(1, 2, 3, 4)),
                             Image.generate_with_text(4, 4, "abc"),
                             Image.generate_with_perlin_noise(4, 4, 0, 0, 1.0)),
    "generator errors": lambda f: [failing(c)() for c in (lambda: Image.generate_with_color(4, 4, None),
                                                           lambda: Image.generate_with_text(4, 4, None),
                                                           lambda: Image.generate_with_cellular(4, 4, 0))],
    "pixel views": lambda f: (lambda view: (bytes(view), view[1:9], view.__setitem__(0, 7), memoryview(view)))(
        image(f).data_view),
    "view after unload": lambda f: (lambda img: (img.data_view, img.unload()))(image(f)),
    "from_channel": lambda f: image(f).from_channel(1),
    "image slots": lambda f: (probe.image_new(image(f), 0), probe.image_c_copy(image(f)),
                              probe.image_copy(Sub(), 0), probe.image_export(image(f), f["png"], 1)),
    "checked image files": lambda f: (Image.load(f["bad.dds"]), Image.load(f["good.dds"]).data_view,
                                      Image.load_anim(f["moving.gif"]), Image.load(f["noext"])),
    "subclass destruction": lambda f: (filled(Noting, f), filled(NotingWithDel, f)),
    "image frames": lambda f: (lambda moving: (moving.frame(2), moving.frames_view, moving.frame_delays,
                                               failing(lambda: moving.frame(3), IndexError)()))(
        Image.load_anim(f["moving.gif"])[0]),
    "images from memory": lambda f: (Image.load_from_memory(".gif", gif(2)),
                                     Image.load_anim_from_memory(".gif", bytearray(gif(3))),
                                     Image.load_from_memory(".png", b"junk"), Image.from_buffer(bytes(32), 4, 2, RGBA)),
    "images from memory, errors": lambda f: [failing(c)() for c in (
        lambda: Image.from_buffer(bytes(3), 4, 2, RGBA), lambda: Image.from_buffer(memoryview(bytes(64))[::2], 4, 2, 7),
        lambda: Image.load_from_memory(None, b""), lambda: Image.load_anim_from_memory(".gif", "text"))],
    # sounds
    "checked sound files": lambda f: (Sound.load(f["bad.qoa"]), Sound.load(f["good.qoa"]).play(),
                                      Sound.load(f["noext"])),
    "aliases of a C-level alias": lambda f: (lambda s: (lambda a: (Sound.load_alias(a), a.unload()))(
        probe.sound_c_alias(s)))(Sound.load(f["wav"])),
    "sound load and alias": lambda f: (lambda s: (Sound.load_alias(s), s.stream, s.valid))(Sound.load(f["wav"])),
    "sound settings": lambda f: (lambda s: (setattr(s, "volume", 0.5), s.volume, setattr(s, "pan", 1), s.pitch))(
        Sound()),
    "sounds from memory": lambda f: (Sound.load_from_memory(".qoa", qoa(1, 40)),
                                     Sound.load_from_memory(".qoa", bytearray(qoa(1, 40))),
                                     failing(lambda: Sound.load_from_memory(".qoa", memoryview(b"qoaf")[::2]))()),
    "sound update": lambda f: (lambda s: s.update(bytes(8 * s.frame_count), s.frame_count))(Sound.load(f["wav"])),
    "sound errors": lambda f: [failing(c)() for c in (lambda: Sound.load(None), lambda: Sound.load_alias(None),
                                                       lambda: Sound.load_alias(Sound()),
                                                       lambda: Sound().update(5, 0),
                                                       lambda: Sound().update(b"", -1),
                                                       lambda: delattr(Sound(), "pan"))],
    "sound stream failure": lambda f: (brook._fail_cfrom_struct(1), failing(lambda: Sound.load(f["wav"]))()),
    # cursor
    "cursor": lambda f: (cursor.show(), cursor.enabled, cursor.hidden, pickle.loads(pickle.dumps(cursor)),
                         copy.deepcopy(Pointer())),
    "cursor errors": lambda f: [failing(c)() for c in (lambda: cursor_module.__pyx_unpickle_Cursor(Cursor, 1, ()),
                                                        lambda: Cursor().__setstate__(None),
                                                        lambda: probe.cursor_entry(Pointer(), "hide", 0))],
    # glyphs and colors
    "glyphs": lambda f: (GlyphInfo(), probe.glyph_new(image(f), 1, 2, 3, 4, False),
                         failing(lambda: probe.glyph_new(image(f), 1, 2, 3, 4, True))()),
    "palette": lambda f: (Colors(), colors.Red, setattr(colors, "Red", colors.Red),
                          failing(lambda: setattr(colors, "Red", (1, 2, 3)))()),
}


@pytest.mark.parametrize("name", list(CASES))
def test_no_references_or_memory_blocks_leak(files, name):
    refs, blocks = growth(lambda: CASES[name](files))
    # A few references come and go with caches; a leak shows as one or more per call.
    assert refs < LOOPS // 2, f"{refs} references gained over {LOOPS} calls"
    assert blocks < LOOPS // 2, f"{blocks} memory blocks gained over {LOOPS} calls"
