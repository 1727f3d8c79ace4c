"""Hostile arguments: every public callable returns or raises an ordinary exception and leaves its objects usable."""
import collections
import copy
import math
import pickle
import wave

import pytest
from hypothesis import HealthCheck, given, settings, strategies as st

import _capi_probe as probe
import tovara.cursor.cursor as cursor_module
import tovara.image.image as image_module
import tovara.sigil.sigil as sigil_module
import tovara.sound.sound as sound_module
import tovara.window.window as window_module
from conftest import RGBA
from tovara.color.color import Color
from tovara.colors.colors import Colors
from tovara.cursor.cursor import Cursor
from tovara.image.image import Image
from tovara.rect.rect import Rect
from tovara.sigil.sigil import GlyphInfo
from tovara.sound.sound import Sound
from tovara.vector2.vector2 import Vector2


class Hostile(Exception):
    """What the hostile objects raise."""


ORDINARY = (TypeError, ValueError, OverflowError, AttributeError, IndexError, BufferError, MemoryError, KeyError,
            RuntimeError, pickle.PickleError, Hostile)


def fail(*_):
    raise Hostile


class Raises:
    __int__ = __float__ = __index__ = __len__ = __iter__ = __getitem__ = __bool__ = __buffer__ = fail


class Lies:
    """__len__ says 2 but iteration yields 5 items; the other hooks answer with the wrong type."""
    __int__, __float__, __index__, __bool__ = (lambda s: "3"), (lambda s: "3.0"), (lambda s: 2**100), (lambda s: 2)
    __len__, __buffer__, __getitem__ = (lambda s: 2), (lambda s, flags: 5), (lambda s, index: [1, 2][index])
    __iter__ = lambda self: iter([1, 2.5, self, None, 4])  # noqa: E731


class Clears(list):
    """Holds itself first: converting that item to a number empties the list."""
    def __init__(self):
        super().__init__([self, 1, 2, 3])

    def __int__(self):
        self.clear()
        return 7
    __float__ = __index__ = __int__


class LyingImage(Image):
    valid = property(lambda self: True)


class Pickled(Cursor):
    pass


COLOR = Color(1, 2, 3, 4)
# Positive sizes stop at 255 or jump past what raylib can size: no call allocates more than a few hundred kB.
NUMBERS = [0, 1, 3, 7, 255, -1, 2**31 - 1, 2**31, -2**31, -2**31 - 1, 2**63, -2**63, 2**100, True,
           0.5, -0.0, 1e-30, 1e308, math.inf, -math.inf, math.nan]
PALETTE = [name for name, member in vars(Colors).items() if type(member).__name__ == "getset_descriptor"]
HINTS = {"number": "width height format header direction check_x check_y offset_x offset_y tile_size selected_channel "
                   "frame_count protocol density factor scale setting flags index",
         "text": "file_name text file_type", "buffer": "data buffer", "sequence": "value", "key": "key",
         "state": "__pyx_state __pyx_type memo", "thing": "color start end inner outer col1 col2 source"}


@pytest.fixture(scope="module")
def pool(tmp_path_factory, window):
    """value_for(parameter name) and the receivers of each kind of method, as strategies."""
    if not window_module.open_audio():
        pytest.skip("no audio device could be opened")
    folder = tmp_path_factory.mktemp("hostile")
    tone, silent, pixels, loose = (str(folder / n) for n in ("tone.wav", "silent.wav", "pixels.raw", "loose.raw"))
    for name, frames in ((tone, 200), (silent, 0)):
        with wave.open(name, "wb") as out:
            out.setnchannels(1), out.setsampwidth(2), out.setframerate(22050), out.writeframes(bytes(2 * frames))
    for name in ("pixels.raw", "loose.raw"):  # calls may export over the loose one
        (folder / name).write_bytes(bytes(range(32)))

    def image():
        return Image.load_raw(pixels, 4, 2, RGBA, 0)

    def unloaded(made, keep_view=False):
        kept = made.data_view if keep_view else made
        made.unload()
        return kept

    def fixed(*values):
        return [lambda v=v: v for v in values]

    kinds = {  # what each kind of parameter is mostly given; any value of the pool otherwise
        "number": fixed(*NUMBERS),
        "text": fixed(*(str(folder / n) for n in ("out.png", "out.raw", "out.qoi", "no/x.bmp")), "", "a\0b",
                      "\udc80", ".", "/dev/null", tone, silent, loose),
        "buffer": fixed(b"", b"\xff", bytes(32), memoryview(b"abcd")[::2], Raises(), Lies()) + [bytearray],
        "sequence": fixed(0, 255, 2**31, b"\xff", [], (), [1, 2], (1, 2, 3), (1.5, 2, 3, 4), [1, 2, 3, 4, 5],
                          [[1, 2], [3]], (((),),), "ab", b"abc", (math.nan, -math.inf), [2**31, -2**63, 1e308, -0.0],
                          Lies(), Raises(), type("Endless", (Lies,), {"__len__": lambda s: 2**62})())
        + [lambda: list(range(100)), Clears, lambda: Vector2(1, 2), lambda: Rect(1, 2, 3, 4), lambda: COLOR],
        "state": fixed(None, {"a": 1}, ({"a": 1},), ({},), ((("a", 1),),), (Raises(),), object(), Cursor, Pickled, int),
        "thing": [lambda: COLOR, image, lambda: unloaded(image()), Image, Sound, lambda: Sound.load(tone),
                  lambda: Sound.load_alias(Sound.load(tone))],
        "key": fixed(slice(None, None, -1), slice(1, 2**62, 2**62), slice(-2**63, 2**63, 0), 0, -1, 31, 32, Lies())}
    receivers = {
        "image": [image, lambda: unloaded(image()), Image, LyingImage, lambda: Image.generate_with_color(0, 3, COLOR)],
        "view": [lambda: image().data_view, lambda: image().data_view[1:7], lambda: image().data_view[::-3],
                 lambda: unloaded(image(), keep_view=True)],  # a view that outlived its image's memory
        "sound": [lambda: Sound.load(tone), lambda: Sound.load_alias(Sound.load(tone)), Sound,
                  lambda: unloaded(Sound.load(tone)), lambda: Sound.load(silent)],
        "cursor": [Cursor, Pickled, lambda: cursor_module.cursor],
        "glyph": [GlyphInfo], "palette": [Colors, lambda: Colors.__new__(Colors)]}
    made = lambda makes: st.sampled_from(makes).map(lambda make: make())  # noqa: E731
    anything = made([make for makes in kinds.values() for make in makes])
    hinted = {name: st.one_of(made(kinds[kind]), made(kinds[kind]), anything)
              for kind, names in HINTS.items() for name in names.split()}
    hinted["__pyx_checksum"] = st.one_of(st.sampled_from([0xe3b0c44, 0xda39a3e, 0xd41d8cd]), anything)  # not a size
    yield (lambda name: hinted.get(name, anything)), {kind: made(m) for kind, m in receivers.items()}
    assert image().valid and Sound.load(tone).valid  # loading still works
    cursor_module.cursor.enable()
    cursor_module.cursor.show()


def state(value):
    """What a failed call must leave unchanged; reading it also shows the object still works."""
    if isinstance(value, Image):
        pixels = bytes(value.data_view) if type(value) is Image and value.valid else None
        return repr(value), value.valid, value.width, value.height, value.mipmaps, value.format, pixels
    if isinstance(value, Sound):
        assert value.playing in (False, True) and value.stream is value.stream
        return repr((value.valid, value.is_alias, value.frame_count, value.volume, value.pitch, value.pan))
    if isinstance(value, Cursor):
        return value.enabled, value.on_screen in (False, True)
    if isinstance(value, Colors):
        return [getattr(value, name) for name in PALETTE]
    if type(value).__name__ == "PixelView":
        return len(value), bytes(value), memoryview(value).tolist()
    return type(value)


def attribute(kind, *names):
    return [entry for name in names for entry in [
        (kind, lambda o, n=name: getattr(o, n), ()), (kind, lambda o, v, n=name: setattr(o, n, v), ("setting",)),
        (kind, lambda o, n=name: delattr(o, n), ())]]


def discovered(kind, owner, module=None, *extra):
    """The type, every function of its module, every member of the type (getting, setting and deleting each
    property) and `extra`, functions of the receiver; the parameters of the others come from their signatures."""
    entries = [(None, owner, None)] + [(None, f, None) for f in (vars(module) if module else {}).values()
                                       if type(f).__name__ == "tovara_function"]
    for name, member in vars(owner).items():
        if isinstance(member, staticmethod):
            entries.append((None, member.__func__, None))
        elif type(member).__name__ == "getset_descriptor":
            entries += attribute(kind, name)
        elif callable(member):
            entries.append((kind, member, None))
    return entries + [(kind, function, tuple(parameters)) for function, *parameters in extra]


CALLS = {
    "image": discovered("image", Image, image_module, (pickle.dumps, "protocol"), (copy.copy,), (copy.deepcopy,)),
    "view": discovered("view", type(Image.generate_with_color(1, 1, COLOR).data_view), None, (memoryview,)),
    "sound": discovered("sound", Sound, sound_module, (copy.copy,)),
    "cursor": discovered("cursor", Cursor, cursor_module, (copy.copy,), (lambda o: pickle.loads(pickle.dumps(o)),)),
    "glyph": discovered("glyph", GlyphInfo, sigil_module, (pickle.dumps, "protocol"), (copy.copy,), (copy.deepcopy,)),
    "palette": discovered("palette", Colors) + attribute("palette", "Bogus"),
    "parser": [(None, parse, None) for parse in (probe.parse_vector2, probe.parse_color, probe.parse_rect)],
}
EXAMPLES = {"image": 700, "view": 300, "sound": 300, "cursor": 200, "glyph": 100, "palette": 200, "parser": 300}
RETURNS = {"Image": Image, "Sound": Sound, "tuple[Image, int]": tuple}
PARSED = {probe.parse_vector2: 2, probe.parse_color: 4, probe.parse_rect: 4}


def parameters(function):
    signature = getattr(function, "__text_signature__", None) or "(a, b)"  # the constructors take anything
    return tuple(name for name in signature.strip("()").split(", ") if name.isidentifier())


@pytest.mark.parametrize("group", list(CALLS))
def test_hostile_calls_return_or_raise_and_leave_objects_usable(group, pool):
    value_for, receivers = pool
    outcomes = collections.Counter()

    @settings(max_examples=EXAMPLES[group], deadline=None, database=None, derandomize=True,
              suppress_health_check=list(HealthCheck))
    @given(st.data())
    def call(data):
        kind, function, names = data.draw(st.sampled_from(CALLS[group]))
        exact, names = names is not None, names if names is not None else parameters(function)
        count = len(names) if exact else data.draw(st.sampled_from([len(names)] * 4 + [0, len(names) + 1]))
        args = [data.draw(receivers[kind] if data.draw(st.integers(0, 9)) else value_for(""))] if kind else []
        args += [data.draw(value_for(name)) for name in (names + ("",) * count)[:count]]
        positional = exact or count > len(names) or "/" in (getattr(function, "__text_signature__", "") or "")
        keywords = 0 if positional else data.draw(st.integers(0, count))
        kwargs = dict(zip(names[count - keywords:], args[len(args) - keywords:]))
        del args[len(args) - keywords:]
        if not exact and not data.draw(st.integers(0, 15)):
            kwargs["bogus"] = None
        involved = args + list(kwargs.values())
        before = [state(value) for value in involved]
        try:
            result = function(*args, **kwargs)
        except ORDINARY as error:
            assert [state(value) for value in involved] == before, f"{error!r} changed an argument"
            outcomes[type(error).__name__] += 1
            return
        assert isinstance(result, RETURNS.get(getattr(function, "__annotations__", {}).get("return"), object))
        if function in PARSED:
            assert len(result) == PARSED[function]
            assert function is not probe.parse_color or all(0 <= c <= 255 for c in result)
        [state(value) for value in [result] + involved]
        outcomes["returned"] += 1

    call()
    print(group, outcomes.total(), dict(outcomes))  # shown with -s
    assert outcomes["returned"] and outcomes.total() > outcomes["returned"]


GENERATED = {"color": (COLOR,), "linear_gradient": (45, COLOR, COLOR), "radial_gradient": (0.5, COLOR, COLOR),
             "square_gradient": (0.5, COLOR, COLOR), "checked": (2, 2, COLOR, COLOR), "white_noise": (0.5,),
             "perlin_noise": (0, 0, 1.0), "cellular": (8,), "text": ("x",)}


@pytest.mark.parametrize("name", list(GENERATED) + ["load_raw"])
def test_sizes_past_what_raylib_can_count_are_refused_not_allocated(name):
    side = 50000 if name == "text" else 40000  # one byte a pixel: 40000 squared still fits a C int
    with pytest.raises(ValueError, match="need more than 2147483647 bytes of pixel data"):
        if name == "load_raw":
            Image.load_raw("/dev/null", side, side, RGBA, 0)
        else:
            getattr(Image, f"generate_with_{name}")(side, side, *GENERATED[name])


@pytest.mark.parametrize("call", [
    "Image.generate_with_cellular(-2**31, 0, -1)",  # raylib divides the sizes by the tile size
    "Image.generate_with_cellular(0, -2**31, -1)",
    "Image.load_raw(RAW, 4, 2, 7, 2**31 - 1)",  # raylib adds the header size to the data size
    "Image.load_raw(RAW, 4, 2, 7, 2**31 - 32)",
    "Image.generate_with_color(4, 4, Color(1, 2, 3, 4)).data_view[::-3][::2**62][0]",  # steps multiply
])
def test_edge_values_that_reach_raylib_arithmetic_return_or_raise(python, tmp_path, call):
    (tmp_path / "pixels.raw").write_bytes(bytes(32))
    done = python(f"""
        from tovara.color.color import Color
        from tovara.image.image import Image
        RAW = {str(tmp_path / "pixels.raw")!r}
        try:
            print(type({call}).__name__)
        except ValueError:
            print("refused")""")
    assert (done.returncode, done.stdout.split()[-1:]) in [(0, ["refused"]), (0, ["Image"]), (0, ["int"])], \
        done.stderr[-2000:]


def test_unpickling_into_a_tuple_of_types_is_refused():
    with pytest.raises(TypeError):
        cursor_module.__pyx_unpickle_Cursor((Cursor,), 0xe3b0c44, None)


def test_a_state_of_pairs_updates_an_instance_dict_of_a_dict_subclass():
    target = Pickled()
    target.__dict__ = type("Members", (dict,), {})()
    target.__setstate__(((("a", 1),),))
    assert target.__dict__ == {"a": 1}
