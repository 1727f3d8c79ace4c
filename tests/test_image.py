"""The Image type: ownership, loading, export, copying, dispatch to Python overrides."""
import copy
import gc
import pickle
import sys
import traceback

import pytest

import _capi_probe as probe
from conftest import RGBA, GRAYSCALE
from file_fuzz import dds, exported, gif
from tovara.image.image import Image
from tovara.sound.sound import Sound
import tovara.image.image as image_module

try:
    from PIL import Image as Pillow
except ImportError:  # the free-threaded interpreter has no Pillow
    Pillow = None
needs_pillow = pytest.mark.skipif(Pillow is None, reason="needs Pillow")

INVALID = "<Image Invalid/Unloaded>"


def address(image):
    return probe.image_record(image)[0]


# -- empty images and the type --------------------------------------------------

@pytest.mark.parametrize("make", [lambda: Image(), lambda: Image(1, 2), lambda: Image(x=3)])
def test_calling_the_class_gives_an_empty_image(make):
    image = make()
    assert (image.valid, image.width, image.height, image.mipmaps, image.format) == (False, 0, 0, 0, 0)
    assert repr(image) == INVALID
    assert probe.image_record(image) == (0, 0, 0, 0, 0, 0)


def test_subclasses_are_created_the_ordinary_way():
    class Sub(Image):
        def __init__(self, tag):
            self.tag = tag
    sub = Sub("t")
    assert sub.tag == "t" and sub.valid is False and repr(sub) == INVALID


@pytest.mark.parametrize("name", ["valid", "width", "height", "mipmaps", "format", "data_view", "frame_count",
                                  "frame_delays", "frames_view"])
def test_properties_are_read_only(rgba_image, name):
    with pytest.raises(AttributeError):
        setattr(rgba_image, name, 1)
    with pytest.raises(AttributeError):
        Image().anything = 1  # no instance dict


def test_method_objects_and_annotations():
    assert isinstance(Image.__dict__["load"], staticmethod)
    assert Image.load.__annotations__ == {"return": "Image"}
    assert Image.load_anim.__annotations__ == {"return": "tuple[Image, int]"}
    assert Image.export.__annotations__ == {}
    assert (Image.copy.__qualname__, Image.copy.__module__) == ("Image.copy", "tovara.image.image")
    assert image_module.__test__ == {}
    assert [name for name in vars(image_module) if not name.startswith("__")] == ["Image"]


# -- loading ---------------------------------------------------------------------

def test_load_raw_reads_the_file(rgba_image):
    assert (rgba_image.width, rgba_image.height, rgba_image.mipmaps, rgba_image.format) == (4, 2, 1, RGBA)
    assert rgba_image.valid and repr(rgba_image) == f"<Image 4x2 format={RGBA}>"
    assert probe.image_bytes(rgba_image) == bytes(range(32))
    assert probe.image_record(rgba_image)[5] == 1  # owning


def test_load_raw_skips_the_header(raw_file):
    image = Image.load_raw(raw_file(b"HEAD" + bytes(range(8))), width=4, height=2, format=GRAYSCALE, header=4)
    assert probe.image_bytes(image) == bytes(range(8))


def test_load_raw_of_a_file_too_short_gives_an_invalid_image(raw_file):
    image = Image.load_raw(raw_file(range(8)), 4, 4, RGBA, 0)
    assert image.valid is False and image.width == 0


@pytest.mark.parametrize("width, height, message", [
    (-1, 2, "width must not be negative, got -1"),
    (2, -5, "height must not be negative, got -5"),
    (65536, 65536, "width 65536 and height 65536 need more than 2147483647 bytes of pixel data"),
])
def test_load_raw_refuses_sizes_raylib_would_get_wrong(raw_file, width, height, message):
    with pytest.raises(ValueError) as error:
        Image.load_raw(raw_file(range(32)), width, height, RGBA, 0)
    assert str(error.value) == message


@pytest.mark.parametrize("width, height, format", [(-2, -4, RGBA), (0, -3, RGBA), (4, 2, 999), (4, 2, 0)])
def test_load_raw_of_a_record_raylib_cannot_handle_is_an_unreadable_file(raw_file, width, height, format):
    # An undefined format gave raylib no size to check: from_channel and export read far past the pixels.
    image = Image.load_raw(raw_file(range(32)), width, height, format, 0)
    assert (image.valid, image.width, image.height, image.format) == (False, 0, 0, 0)


def test_load_raw_converts_integers_before_checking_the_name():
    with pytest.raises(TypeError, match="^an integer is required$"):
        Image.load_raw(5, "4", 2, RGBA, 0)
    with pytest.raises(OverflowError, match="^value too large to convert to int$"):
        Image.load_raw("x", 4, 2, 2**40, 0)
    with pytest.raises(TypeError, match=r"^Argument 'file_name' has incorrect type \(expected str, got int\)$"):
        Image.load_raw(5, 4, 2, RGBA, 0)


def test_load_of_a_missing_file_gives_an_invalid_image(tmp_path):
    image = Image.load(str(tmp_path / "missing.png"))
    assert image.valid is False and repr(image) == INVALID


class Text(str):
    pass


@pytest.mark.parametrize("method", ["load", "load_anim"])
@pytest.mark.parametrize("name, error, message", [
    (None, AttributeError, "'NoneType' object has no attribute 'encode'"),
    (b"x.png", TypeError, "Argument 'file_name' has incorrect type (expected str, got bytes)"),
    (Text("x.png"), TypeError, "Argument 'file_name' has incorrect type (expected str, got Text)"),
    ("\udc80.png", UnicodeEncodeError, None),
])
def test_loaders_check_the_file_name(method, name, error, message):
    with pytest.raises(error) as raised:
        getattr(Image, method)(name)
    if message:
        assert str(raised.value) == message


@pytest.mark.parametrize("call, names", [
    (lambda: Image.load(None), ["Image.load", "Image.c_load"]),
    (lambda: Image.load_anim("\udc80"), ["Image.load_anim", "Image.c_load_anim"]),
    (lambda: Image.load_raw("x", -1, 2, RGBA, 0), ["Image.load_raw", "Image.c_load_raw"]),
])
def test_c_level_loaders_add_their_own_traceback_entry(call, names):
    with pytest.raises(Exception) as raised:
        call()
    found = [entry.name for entry in traceback.extract_tb(raised.value.__traceback__)]
    assert found[-2:] == ["tovara.image.image." + name for name in names]


@pytest.mark.parametrize("call, message", [
    (lambda: Image.load(), "load() takes exactly 1 positional argument (0 given)"),
    (lambda: Image.load("a", "b"), "load() takes exactly 1 positional argument (2 given)"),
    (lambda: Image.load(name="a"), "load() got an unexpected keyword argument 'name'"),
    (lambda: Image.load_raw("a", 1), "load_raw() takes exactly 5 positional arguments (2 given)"),
    (lambda: Image.load_from_screen(1), "load_from_screen() takes exactly 0 positional arguments (1 given)"),
    (lambda: Image().copy(1), "copy() takes exactly 0 positional arguments (1 given)"),
    (lambda: Image().unload(now=True), "unload() got an unexpected keyword argument 'now'"),
    (lambda: Image().__deepcopy__(), "__deepcopy__() takes exactly 1 positional argument (0 given)"),
    (lambda: Image.copy(), "unbound method Image.copy() needs an argument"),
])
def test_binding_errors(call, message):
    with pytest.raises(TypeError) as error:
        call()
    assert str(error.value) == message


@needs_pillow
def test_load_reads_a_png_written_by_pillow(tmp_path):
    path = tmp_path / "in.png"
    Pillow.new("RGBA", (3, 2), (10, 20, 30, 255)).save(path)
    image = Image.load(str(path))
    assert (image.width, image.height, image.format, image.valid) == (3, 2, RGBA, True)
    assert probe.image_bytes(image) == bytes([10, 20, 30, 255] * 6)


@needs_pillow
def test_load_anim_returns_the_image_and_its_frame_count(tmp_path):
    path = tmp_path / "anim.gif"
    frames = [Pillow.new("RGB", (4, 3), color) for color in [(255, 0, 0), (0, 255, 0), (0, 0, 255)]]
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=50)
    result = Image.load_anim(file_name=str(path))
    assert type(result) is tuple and len(result) == 2
    image, count = result
    assert type(image) is Image and count == 3
    assert (image.width, image.height, image.valid) == (4, 3, True)
    assert probe.image_c_load_anim(str(path))[1] == 3


def test_load_anim_of_a_missing_file(tmp_path):
    image, count = Image.load_anim(str(tmp_path / "none.gif"))
    assert image.valid is False and isinstance(count, int)


# -- loading from bytes ---------------------------------------------------------------

@pytest.fixture(scope="module")
def image_files():
    """A small file of each format the loaders read, by extension."""
    return {".png": exported(".png"), ".bmp": exported(".bmp"), ".qoi": exported(".qoi"), ".gif": gif(3),
            ".dds": dds(4, 4, flags=0x41, bit_count=32, mipmaps=2, data=bytes(range(84)))}


def described(image):
    pixels = bytes(image.frames_view) if image.valid else None
    return (image.valid, image.width, image.height, image.mipmaps, image.format, image.frame_count, image.frame_delays,
            pixels, probe.image_bytes(image))


@pytest.mark.parametrize("extension, cut", [(".png", None), (".bmp", None), (".qoi", None), (".gif", None),
                                            (".dds", None), (".PNG", None), (".Png", None), (".xyz", None),
                                            (".png", 60), (".gif", 40), (".qoi", 0)])
@pytest.mark.parametrize("make", [bytes, bytearray])  # decoded in place, or from a private copy
def test_loading_from_bytes_gives_what_the_file_gives(tmp_path, image_files, extension, cut, make):
    data = image_files.get(extension.lower(), image_files[".png"])[:cut]
    path = tmp_path / ("file" + extension)
    path.write_bytes(data)
    from_file, from_memory = Image.load(str(path)), Image.load_from_memory(extension, make(data))
    if cut is None:  # raylib compares the type in lower or upper case only
        assert from_file.valid is (extension not in (".Png", ".xyz"))
    assert described(from_memory) == described(from_file)
    (anim_file, count_file), (anim_memory, count_memory) = (Image.load_anim(str(path)),
                                                            Image.load_anim_from_memory(file_type=extension,
                                                                                        data=make(data)))
    assert count_memory == count_file == anim_file.frame_count
    assert described(anim_memory) == described(anim_file)


@pytest.mark.parametrize("load", [Image.load_from_memory, Image.load_anim_from_memory, Sound.load_from_memory])
@pytest.mark.parametrize("file_type, data, error, message", [
    (None, b"", TypeError, "Argument 'file_type' has incorrect type (expected str, got NoneType)"),
    (b".png", b"", TypeError, "Argument 'file_type' has incorrect type (expected str, got bytes)"),
    (".png\0.bmp", b"", ValueError, "embedded null character"),
    (".png", "pixels", TypeError, "a bytes-like object is required, not 'str'"),
    (".png", memoryview(bytes(8))[::2], BufferError, "data must be a C-contiguous buffer"),
])
def test_loading_from_bytes_checks_its_arguments(load, file_type, data, error, message):
    with pytest.raises(error) as raised:
        load(file_type, data)
    assert str(raised.value) == message


# -- frames -----------------------------------------------------------------------------

@pytest.mark.parametrize("make, count", [
    (Image, 0),
    (lambda name: Image.load_raw(name, 4, 2, RGBA, 0), 1),
    (lambda name: Image.load_raw(name, 4, 2, RGBA, 0).copy(), 1),
    (lambda name: Image.load_anim(name)[0], 1),  # any file but a GIF is one frame, readable or not
    (lambda name: Image.load_anim(name + ".gif")[0], 0),  # as many as load_anim counts
    (lambda name: Image.load_anim_from_memory(".gif", gif(3))[0].copy(), 1),  # a copy is of the first frame
])
def test_images_that_are_not_animations_have_one_frame_or_none(raw_file, make, count):
    image = make(raw_file(range(32)))
    assert (image.frame_count, image.frame_delays) == (count, (0,) * count)
    if image.valid:
        assert bytes(image.frames_view) == bytes(image.data_view) == bytes(image.frame(0).data_view)


def test_frame_refuses_what_the_image_does_not_hold(rgba_image):
    with pytest.raises(IndexError, match=r"^frame index -1 out of range: the image has 1 frame \(0 to 0\)$"):
        rgba_image.frame(-1)
    with pytest.raises(IndexError, match=r"^frame index 1 out of range"):
        rgba_image.frame(index=1)
    rgba_image.unload()
    assert rgba_image.frame_count == 1
    with pytest.raises(ValueError, match=r"^Image data is empty or Image has been unloaded\.$"):
        rgba_image.frame(0)


def test_load_from_screen_without_a_window_is_refused(python):
    result = python("""
        from tovara.image.image import Image
        try:
            Image.load_from_screen()
        except RuntimeError as error:
            print(error)""")
    assert result.stdout.strip() == "load_from_screen() needs an open window"


def test_load_from_screen_reads_the_window(window):
    image = Image.load_from_screen()
    assert image.valid and (image.width, image.height) == (64, 48)


# -- export ----------------------------------------------------------------------

@needs_pillow
def test_export_writes_a_png_that_pillow_reads(rgba_image, tmp_path):
    path = tmp_path / "out.png"
    assert rgba_image.export(file_name=str(path)) is True
    decoded = Pillow.open(path).convert("RGBA")
    assert decoded.size == (4, 2) and decoded.tobytes() == bytes(range(32))


def test_export_failures_are_false_not_exceptions(rgba_image, tmp_path):
    assert rgba_image.export(str(tmp_path / "no-such-dir" / "x.png")) is False
    assert rgba_image.export(str(tmp_path / "x.unknown")) is False
    rgba_image.unload()
    assert rgba_image.export(str(tmp_path / "y.png")) is False
    assert Image().export(str(tmp_path / "z.png")) is False


@pytest.mark.parametrize("call, writes", [
    (lambda image, name: Image.load(name), False),
    (lambda image, name: Image.load_raw(name, 4, 2, RGBA, 0), False),
    (lambda image, name: Image.load_anim(name), False),
    (lambda image, name: probe.image_c_load(name), False),
    (lambda image, name: probe.image_c_load_raw(name, 4, 2, RGBA, 0), False),
    (lambda image, name: probe.image_c_load_anim(name), False),
    (lambda image, name: image.export(name), True),
    (lambda image, name: probe.image_export(image, name, 1), True),
], ids=["load", "load_raw", "load_anim", "c_load", "c_load_raw", "c_load_anim", "export", "c-level export"])
def test_a_name_holding_a_nul_is_refused_before_raylib(rgba_image, tmp_path, call, writes):
    cut = tmp_path / "cut.png"  # what raylib would see of the name: a file to read, or one to write
    if not writes:
        rgba_image.export(str(cut))
    with pytest.raises(ValueError, match="^embedded null character$"):
        call(rgba_image, str(cut) + "\0.bmp")
    assert cut.exists() is not writes


@pytest.mark.parametrize("name, error", [(None, AttributeError), (b"x.png", TypeError), (Text("x"), TypeError)])
def test_export_checks_the_file_name(rgba_image, name, error):
    with pytest.raises(error):
        rgba_image.export(name)


# -- ownership, unloading, destruction ---------------------------------------------

def test_unload_keeps_the_sizes_and_is_repeatable(rgba_image):
    assert rgba_image.unload() is None
    assert rgba_image.valid is False and repr(rgba_image) == INVALID
    assert (rgba_image.width, rgba_image.height, rgba_image.mipmaps, rgba_image.format) == (4, 2, 1, RGBA)
    assert probe.image_record(rgba_image)[0] == 0
    assert rgba_image.unload() is None and Image().unload() is None


def test_borrowed_image_reports_like_its_owner_and_never_releases(rgba_image):
    borrowed = probe.image_new(rgba_image, 0)
    assert type(borrowed) is Image
    assert probe.image_record(borrowed) == probe.image_record(rgba_image)[:5] + (0,)
    assert (borrowed.valid, repr(borrowed)) == (True, repr(rgba_image))
    borrowed.unload()
    assert borrowed.valid is False and rgba_image.valid
    del borrowed
    gc.collect()
    assert probe.image_bytes(rgba_image) == bytes(range(32))


@pytest.mark.parametrize("is_owner", [None, 1, 5])
def test_new_owns_by_default_and_with_is_owner_true(rgba_image, is_owner):
    owned = probe.image_new_copy(rgba_image, is_owner)
    assert probe.image_record(owned)[5] == (1 if is_owner is None else is_owner)
    assert probe.image_bytes(owned) == bytes(range(32)) and address(owned) != address(rgba_image)
    assert repr(owned) == repr(rgba_image)


def test_new_stores_any_record_unchecked():
    empty = probe.image_new(Image(), None)
    assert probe.image_record(empty) == (0, 0, 0, 0, 0, 1) and empty.valid is False


def test_subclass_valid_decides_the_text_form():
    class Never(Image):
        valid = property(lambda self: False)
    never = Never()
    assert repr(never) == INVALID


class Shown(str):
    def __format__(self, spec):
        return "shown"


class Wide(int):
    def __format__(self, spec):
        return "wide"


def test_text_form_formats_every_value_but_exact_str_int_and_float():
    class Odd(Image):
        valid = True
        width = Shown("w")
        height = Wide(3)
        format = 2.5
    assert repr(Odd()) == "<Image shownxwide format=2.5>"
    Odd.width, Odd.height, Odd.format = "w", 3, None
    assert repr(Odd()) == "<Image wx3 format=None>"


def test_subclass_valid_decides_the_release_at_destruction(rgba_image, monkeypatch):
    seen = []
    monkeypatch.setattr(sys, "unraisablehook", lambda info: seen.append((info.exc_type, info.object)))

    class Broken(Image):
        @property
        def valid(self):
            raise KeyError("valid failed")

    class Vetoing(Image):
        valid = property(lambda self: False)

    class Plain(Image):
        pass

    for kind in (Broken, Vetoing, Plain):
        instance = kind()
        probe.image_fill(instance, rgba_image)
        assert probe.image_record(instance)[5] == 1 and probe.image_bytes(instance) == bytes(range(32))
        del instance
        gc.collect()
    # Only the raising `valid` is reported; it (and the vetoing one) keep their memory.
    assert seen == [(KeyError, "tovara.image.image.Image.__dealloc__")]


# -- copies and dispatch --------------------------------------------------------------

@pytest.mark.parametrize("make_copy", [lambda i: i.copy(), copy.copy, copy.deepcopy, lambda i: i.__deepcopy__({}),
                                       probe.image_c_copy, lambda i: probe.image_copy(i, 1)])
def test_copies_are_independent_owning_images(rgba_image, make_copy):
    duplicate = make_copy(rgba_image)
    assert type(duplicate) is Image and duplicate is not rgba_image
    assert address(duplicate) != address(rgba_image) and probe.image_record(duplicate)[5] == 1
    assert probe.image_bytes(duplicate) == bytes(range(32))
    duplicate.unload()
    assert rgba_image.valid and probe.image_bytes(rgba_image) == bytes(range(32))


@pytest.mark.parametrize("make", [Image, lambda: Image.load_raw("/nonexistent", 4, 2, RGBA, 0)])
def test_copy_without_pixel_memory_is_an_empty_image(make, rgba_image):
    rgba_image.unload()
    for source in (make(), rgba_image):
        duplicate = source.copy()
        assert duplicate.valid is False and probe.image_record(duplicate)[0] == 0


class StrCopy(Image):
    def copy(self):
        return "not an image"


class NoneCopy(Image):
    def copy(self):
        return None


class PlainSub(Image):
    pass


def test_copy_dispatches_to_a_python_override(rgba_image):
    with pytest.raises(TypeError, match=r"^Cannot convert str to tovara\.image\.image\.Image$"):
        copy.copy(StrCopy())
    assert copy.copy(NoneCopy()) is None and copy.deepcopy(NoneCopy()) is None
    assert type(copy.copy(PlainSub())) is Image

    class ImageCopy(Image):
        def copy(self):
            return rgba_image
    assert copy.copy(ImageCopy()) is rgba_image
    # The Python method itself never dispatches.
    assert type(StrCopy().copy()) is str and type(Image.copy(StrCopy())) is Image


def test_c_level_entries_dispatch_only_without_the_skip_flag(rgba_image, tmp_path):
    calls = []

    class Traced(Image):
        def export(self, file_name):
            calls.append(("export", file_name))
            return 7

        def unload(self):
            calls.append(("unload",))

        def copy(self):
            calls.append(("copy",))
            return None

        def from_channel(self, selected_channel):
            calls.append(("from_channel", selected_channel))
            return rgba_image

    traced = Traced()
    assert probe.image_export(traced, "f.png", 0) == 1
    assert probe.image_unload(traced, 0) is None
    assert probe.image_copy(traced, 0) is None
    assert probe.image_from_channel(traced, 2, 0) is rgba_image
    assert calls == [("export", "f.png"), ("unload",), ("copy",), ("from_channel", 2)]
    calls.clear()
    assert probe.image_export(traced, str(tmp_path / "f.png"), 1) == 0
    assert probe.image_unload(traced, 1) is None
    assert type(probe.image_copy(traced, 1)) is Image
    assert type(probe.image_from_channel(traced, 0, 1)) is Image
    assert calls == []


def test_override_errors_stay_set_for_the_c_caller():
    class Failing(Image):
        def unload(self):
            raise LookupError("no")

        def from_channel(self, selected_channel):
            return 3
    with pytest.raises(LookupError) as error:
        probe.image_unload(Failing(), 0)
    assert "tovara.image.image.Image.unload" in [f.f_code.co_name for f, _ in __import__("traceback").walk_tb(
        error.value.__traceback__)]
    with pytest.raises(TypeError, match="^Cannot convert int to tovara.image.image.Image$"):
        probe.image_from_channel(Failing(), 0, 0)


# -- pickling ---------------------------------------------------------------------------

def test_images_refuse_pickling(rgba_image):
    with pytest.raises(TypeError, match="^self._raw cannot be converted to a Python object for pickling$"):
        pickle.dumps(rgba_image)
    with pytest.raises(TypeError, match="^self._raw cannot be converted"):
        rgba_image.__setstate__(__pyx_state=None)
    assert not hasattr(Image, "__reduce_cython__") and not hasattr(Image, "__setstate_cython__")
    assert image_module.__reduce_cython__.__qualname__ == "Image.__reduce_cython__"
    assert image_module.__setstate_cython__.__qualname__ == "Image.__setstate_cython__"
