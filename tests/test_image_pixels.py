"""Image generators, images made of buffers, and the pixel data view."""
import array
import ctypes
import gc

import pytest

import _capi_probe as probe
from conftest import GRAYSCALE, RGBA
from file_fuzz import gif
from tovara.color.color import Color
from tovara.image.image import Image

try:
    import numpy
except ImportError:  # no numpy for the free-threaded interpreter
    numpy = None

RED, BLUE = Color(255, 0, 0, 255), Color(0, 0, 255, 128)


class Shade(Color):
    pass


def pixel(image, x, y):
    offset = (y * image.width + x) * 4
    return tuple(image.data_view[offset:offset + 4])


# -- generators ------------------------------------------------------------------

GENERATORS = [
    ("generate_with_color", (5, 3, RED)),
    ("generate_with_linear_gradient", (5, 3, 90, RED, BLUE)),
    ("generate_with_radial_gradient", (5, 3, 0.5, RED, BLUE)),
    ("generate_with_square_gradient", (5, 3, 0.5, RED, BLUE)),
    ("generate_with_checked", (5, 3, 2, 2, RED, BLUE)),
    ("generate_with_white_noise", (5, 3, 0.5)),
    ("generate_with_perlin_noise", (5, 3, 0, 0, 1.0)),
    ("generate_with_cellular", (5, 3, 2)),
]


@pytest.mark.parametrize("name, args", GENERATORS)
def test_generators_make_owning_rgba_images(name, args):
    image = getattr(Image, name)(*args)
    assert type(image) is Image and image.valid
    assert (image.width, image.height, image.mipmaps, image.format) == (5, 3, 1, RGBA)
    assert probe.image_record(image)[5] == 1
    assert len(image.data_view) == 5 * 3 * 4
    assert getattr(Image, name).__annotations__ == {"return": "Image"}
    assert getattr(Image(), name)(*args).width == 5  # also callable on an instance


def test_generate_with_color_fills_every_pixel():
    image = Image.generate_with_color(width=4, height=3, color=Color(1, 2, 3, 4))
    assert bytes(image.data_view) == bytes([1, 2, 3, 4]) * 12


def test_checked_puts_the_two_colors_in_squares():
    image = Image.generate_with_checked(4, 4, 2, 2, RED, BLUE)
    assert pixel(image, 0, 0) == pixel(image, 1, 1) == pixel(image, 3, 3) == (255, 0, 0, 255)
    assert pixel(image, 2, 0) == pixel(image, 0, 2) == (0, 0, 255, 128)


START, END = (10, 200, 0, 255), (250, 0, 100, 255)  # channels rising, falling and shared


def blend(fraction):
    """The exact color `fraction` of the way from START to END."""
    return [s + (e - s) * fraction for s, e in zip(START, END)]


def truncated(exact, pixels):
    """Each channel of each pixel is `exact`'s, or less by under one: raylib truncates its float blend."""
    return all(-1e-3 <= x - p <= 1 + 1e-3 for found in pixels for x, p in zip(exact, found))


@pytest.mark.parametrize("width, height", [(4, 4), (5, 3), (16, 9), (128, 37)])
def test_linear_gradient_reaches_its_colors_as_its_docstring_says(width, height):
    made = {d: Image.generate_with_linear_gradient(width, height, d, Color(*START), Color(*END))
            for d in (0, 90, 180, 270)}
    rows = {d: [[pixel(image, x, y) for x in range(width)] for y in range(height)] for d, image in made.items()}
    columns = {d: [list(column) for column in zip(*grid)] for d, grid in rows.items()}
    assert {*columns[90][0]} == {START} and {*columns[90][-1]} == {END}
    assert truncated(blend(0), rows[0][0]) and truncated(blend(1), rows[0][-1])
    assert truncated(blend(1), rows[180][0]) and truncated(blend(2 / (height + 1)), rows[180][-1])
    assert truncated(blend(1), columns[270][0]) and truncated(blend(2 / (width + 1)), columns[270][-1])
    # Alpha, 255 in both colors, reads one less here and there.
    alphas = {p[3] for grid in rows.values() for row in grid for p in row}
    assert alphas == {254, 255}


def test_white_noise_is_black_or_white_and_follows_the_factor():
    assert set(bytes(Image.generate_with_white_noise(8, 8, 1.0).data_view)) == {255}
    assert set(bytes(Image.generate_with_white_noise(8, 8, 0.0).data_view)[0::4]) == {0}


def test_text_image_is_grayscale_bytes_of_the_text():
    image = Image.generate_with_text(4, 2, "héllo")
    assert (image.format, len(image.data_view)) == (GRAYSCALE, 8)
    assert bytes(image.data_view) == "héllo".encode() + b"\0\0"
    assert bytes(Image.generate_with_text(2, 2, "toolong").data_view) == b"tool"
    assert bytes(Image.generate_with_text(2, 1, "").data_view) == b"\0\0"


def test_keyword_calls_and_subclass_colors():
    image = Image.generate_with_cellular(width=8, height=8, tile_size=2)
    assert image.width == 8
    assert bytes(Image.generate_with_color(1, 1, Shade(9, 8, 7, 6)).data_view) == bytes([9, 8, 7, 6])
    assert Image.generate_with_radial_gradient(4, 4, 1, RED, BLUE).valid  # an int density


def test_int_parameters_take_floats_truncated():
    assert (Image.generate_with_color(3.9, 2.2, RED).width, Image.generate_with_color(3.9, 2.2, RED).height) == (3, 2)


@pytest.mark.parametrize("call, error, message", [
    (lambda: Image.generate_with_color(4, 3, "red"), TypeError,
     "Argument 'color' has incorrect type (expected tovara.color.color.Color, got str)"),
    (lambda: Image.generate_with_color(4, 3, None), TypeError,
     "Argument 'color' has incorrect type (expected tovara.color.color.Color, got NoneType)"),
    (lambda: Image.generate_with_color(4, 3, (255, 0, 0)), TypeError,
     "Argument 'color' has incorrect type (expected tovara.color.color.Color, got tuple)"),
    (lambda: Image.generate_with_linear_gradient(4, 3, "up", "x", "y"), TypeError, "an integer is required"),
    (lambda: Image.generate_with_linear_gradient(4, 3, 0, RED, 5), TypeError,
     "Argument 'end' has incorrect type (expected tovara.color.color.Color, got int)"),
    (lambda: Image.generate_with_checked(4, 4, 1, 1, None, None), TypeError,
     "Argument 'col1' has incorrect type (expected tovara.color.color.Color, got NoneType)"),
    (lambda: Image.generate_with_white_noise("4", 4, 0.5), TypeError, "an integer is required"),
    (lambda: Image.generate_with_white_noise(4, 4, "x"), TypeError, "must be real number, not str"),
    (lambda: Image.generate_with_text(4, 4, None), AttributeError, "'NoneType' object has no attribute 'encode'"),
    (lambda: Image.generate_with_text(4, 4, b"x"), TypeError,
     "Argument 'text' has incorrect type (expected str, got bytes)"),
    (lambda: Image.generate_with_text(4, 4, "a\0b"), ValueError, "embedded null character"),
    (lambda: Image.generate_with_checked(1, 2, 3, 4, 5), TypeError,
     "generate_with_checked() takes exactly 6 positional arguments (5 given)"),
    (lambda: Image.generate_with_cellular(8, 8, tile=2), TypeError,
     "generate_with_cellular() got an unexpected keyword argument 'tile'"),
    (lambda: Image.generate_with_color(2**31, 1, RED), OverflowError, "value too large to convert to int"),
])
def test_generator_argument_errors(call, error, message):
    with pytest.raises(error) as raised:
        call()
    assert str(raised.value) == message


def test_text_that_cannot_be_encoded():
    with pytest.raises(UnicodeEncodeError):
        Image.generate_with_text(4, 4, "\udc80")


@pytest.mark.parametrize("call, message", [
    (lambda: Image.generate_with_color(65536, 65536, RED),
     "width 65536 and height 65536 need more than 2147483647 bytes of pixel data"),
    (lambda: Image.generate_with_perlin_noise(40000, 40000, 0, 0, 1.0),
     "width 40000 and height 40000 need more than 2147483647 bytes of pixel data"),
    (lambda: Image.generate_with_text(-1, 4, "x"), "width must not be negative, got -1"),
    (lambda: Image.generate_with_text(4, -2, ""), "height must not be negative, got -2"),
    (lambda: Image.generate_with_checked(4, 4, 0, 2, RED, BLUE), "check_x must not be zero: raylib divides by it"),
    (lambda: Image.generate_with_checked(4, 4, 2, 0, RED, BLUE), "check_y must not be zero: raylib divides by it"),
    (lambda: Image.generate_with_cellular(4, 4, 0), "tile_size must not be zero: raylib divides by it"),
])
def test_sizes_raylib_would_mishandle_are_refused(call, message):
    with pytest.raises(ValueError) as raised:
        call()
    assert str(raised.value) == message


@pytest.mark.parametrize("call", [
    lambda: Image.generate_with_color(0, 4, RED),
    lambda: Image.generate_with_color(-3, 4, RED),
    lambda: Image.generate_with_checked(0, 4, 0, 0, RED, BLUE),
    lambda: Image.generate_with_cellular(4, 4, -2),
    lambda: Image.generate_with_text(0, 0, "abc"),
    lambda: Image.generate_with_white_noise(4, -1, 0.5),
    # Two negative sizes make a positive pixel count: raylib allocates and fills it.
    lambda: Image.generate_with_color(-2, -3, RED),
    lambda: Image.generate_with_cellular(-4, -4, 2),
    lambda: Image.generate_with_text(-2, -3, "hello world"),
    lambda: Image.generate_with_text(-3, 0, "abc"),
])
def test_sizes_raylib_handles_safely_go_through(call):
    image = call()
    assert type(image) is Image
    if image.width <= 0 or image.height <= 0:
        assert image.valid is False
        assert image.copy().valid is False and image.export("/nonexistent/x.png") is False


def test_from_channel_makes_a_new_grayscale_image(rgba_image):
    channel = rgba_image.from_channel(selected_channel=2)
    assert channel is not rgba_image and type(channel) is Image
    assert (channel.width, channel.height, channel.format) == (4, 2, GRAYSCALE)
    assert bytes(channel.data_view) == bytes(range(2, 32, 4))
    assert probe.image_bytes(rgba_image) == bytes(range(32))
    assert Image().from_channel(0).valid is False  # raylib returns nothing for no pixels


# -- images made of buffers ---------------------------------------------------------

DXT1_RGB = 14


@pytest.mark.parametrize("data, width, height, format", [
    (bytes(range(32)), 4, 2, RGBA),
    (bytearray(range(8)), 4, 2, GRAYSCALE),
    (memoryview(bytes(range(48)))[8:26], 3, 2, 4),  # R8G8B8, a slice of a larger buffer
    (array.array("I", range(8)), 4, 2, RGBA),  # items of 4 bytes: only the bytes count
    (bytes(range(8)), 2, 3, DXT1_RGB),  # one whole 4 by 4 block
    (b"", 0, 3, RGBA),  # no pixels, as the generators make for a zero size
])
def test_from_buffer_copies_the_bytes_into_memory_of_its_own(data, width, height, format):
    expected = bytes(data)
    image = Image.from_buffer(data, width, height, format)
    assert (image.width, image.height, image.mipmaps, image.format, image.frame_count) == (width, height, 1, format, 1)
    assert image.valid is (len(expected) > 0) and probe.image_record(image)[5] == 1
    if image.valid:
        if isinstance(data, bytearray):
            data[:] = bytes(len(data))
        assert bytes(image.data_view) == expected


@pytest.mark.parametrize("data, width, height, format, error, message", [
    (bytes(12), 2, 2, RGBA, ValueError, "data holds 12 bytes, a 2 by 2 image of format 7 needs 16"),
    (bytes(17), 2, 2, RGBA, ValueError, "data holds 17 bytes, a 2 by 2 image of format 7 needs 16"),
    (bytes(16), 2, -2, RGBA, ValueError, "height must not be negative, got -2"),
    (bytes(16), -2, -2, RGBA, ValueError, "width must not be negative, got -2"),  # raylib's size would be positive
    (bytes(16), 2, 2, 0, ValueError, "format 0 is not a pixel format raylib defines (1 to 24)"),
    (bytes(16), 2, 2, 25, ValueError, "format 25 is not a pixel format raylib defines (1 to 24)"),
    (bytes(16), 65536, 65536, RGBA, ValueError,
     "width 65536 and height 65536 need more than 2147483647 bytes of pixel data"),
    (bytes(16), 30000, 30000, GRAYSCALE, ValueError,
     "a 30000 by 30000 image is more than raylib can convert: as RGBA it needs more than 2147483647 bytes"),
    (memoryview(bytes(32))[::2], 2, 2, RGBA, BufferError, "data must be a C-contiguous buffer"),
    ("pixels", 2, 2, RGBA, TypeError, "a bytes-like object is required, not 'str'"),
    (bytes(16), "2", 2, RGBA, TypeError, "an integer is required"),
])
def test_from_buffer_refuses_what_is_not_exactly_the_pixels(data, width, height, format, error, message):
    with pytest.raises(error) as raised:
        Image.from_buffer(data, width, height, format)
    assert str(raised.value) == message


@pytest.mark.skipif(numpy is None, reason="needs numpy")
def test_numpy_round_trip_through_from_buffer_and_the_views(tmp_path):
    pixels = numpy.random.default_rng(25).integers(0, 256, (6, 5, 4), dtype=numpy.uint8)
    image = Image.from_buffer(pixels, 5, 6, RGBA)
    path = str(tmp_path / "round.png")
    assert image.export(path)
    back = numpy.frombuffer(Image.load(path).data_view, numpy.uint8).reshape(image.height, image.width, 4)
    assert (back == pixels).all()
    for scattered in (pixels[:, ::2], numpy.asfortranarray(pixels)):
        with pytest.raises(BufferError):
            Image.from_buffer(scattered, 5, 6, RGBA)
    # Every frame of an animation at once, without a copy, and one frame back into an image.
    animation, count = Image.load_anim_from_memory(".gif", gif(3))
    frames = numpy.frombuffer(animation.frames_view, numpy.uint8).reshape(count, animation.height, animation.width, 4)
    assert [bytes(animation.frame(index).data_view) for index in range(count)] == [frame.tobytes() for frame in frames]
    assert bytes(Image.from_buffer(frames[2], animation.width, animation.height, RGBA).data_view) == frames[2].tobytes()
    frames[1, 0, 0] = 7
    assert tuple(animation.frame(1).data_view[:4]) == (7, 7, 7, 7)


# -- the pixel view ----------------------------------------------------------------

def test_view_covers_the_first_level_byte_for_byte(rgba_image):
    view = rgba_image.data_view
    assert len(view) == 32 and bytes(view) == bytes(range(32))
    assert (view[0], view[31], view[-1], view[-32]) == (0, 31, 31, 0)
    assert list(view[4:8]) == [4, 5, 6, 7] and bytes(view[::8]) == bytes([0, 8, 16, 24])
    memory = memoryview(view)
    assert (memory.format, memory.itemsize, memory.ndim, memory.shape, memory.strides, memory.readonly) == (
        "B", 1, 1, (32,), (1,), False)


def test_each_read_gives_a_new_view_of_the_same_memory(rgba_image):
    first, second = rgba_image.data_view, rgba_image.data_view
    assert first is not second
    first[3] = 200
    assert second[3] == 200


def test_writes_reach_the_image(rgba_image, tmp_path):
    rgba_image.data_view[0] = 255
    rgba_image.data_view[4:8] = b"\x09\x08\x07\x06"
    assert probe.image_bytes(rgba_image)[:8] == bytes([255, 1, 2, 3, 9, 8, 7, 6])
    assert bytes(rgba_image.copy().data_view)[:8] == bytes([255, 1, 2, 3, 9, 8, 7, 6])
    path = str(tmp_path / "written.raw.png")
    assert rgba_image.export(path)
    assert bytes(Image.load(path).data_view)[:8] == bytes([255, 1, 2, 3, 9, 8, 7, 6])


@pytest.mark.parametrize("index, value, error, message", [
    (0, 256, OverflowError, "value too large to convert to unsigned char"),
    (0, -1, OverflowError, "can't convert negative value to unsigned char"),
    (0, "x", TypeError, "an integer is required"),
    (32, 1, IndexError, "Out of bounds on buffer access (axis 0)"),
    (-33, 1, IndexError, "Out of bounds on buffer access (axis 0)"),
])
def test_bad_writes_change_nothing(rgba_image, index, value, error, message):
    view = rgba_image.data_view
    with pytest.raises(error) as raised:
        view[index] = value
    assert str(raised.value) == message
    assert bytes(view) == bytes(range(32))


def test_reading_out_of_bounds(rgba_image):
    view = rgba_image.data_view
    with pytest.raises(IndexError, match=r"^Out of bounds on buffer access \(axis 0\)$"):
        view[len(view)]
    with pytest.raises(ValueError, match="cannot assign 3 bytes to a slice of 4"):
        view[0:4] = b"abc"


@pytest.mark.parametrize("target, source", [(slice(1, 9), slice(0, 8)), (slice(0, 8), slice(1, 9)),
                                            (slice(0, 16, 2), slice(4, 12))])
def test_slice_assignment_from_the_same_memory(rgba_image, target, source):
    view = rgba_image.data_view
    expected = bytearray(range(32))
    expected[target] = expected[source]
    view[target] = view[source]
    assert bytes(view) == bytes(expected)


class NotValid(Image):
    valid = property(lambda self: False)


class AlwaysValid(Image):
    valid = property(lambda self: True)


@pytest.mark.parametrize("make, message", [
    (Image, "Image data is empty or Image has been unloaded."),
    (NotValid, "Image data is empty or Image has been unloaded."),
    (AlwaysValid, "Image has no pixel data to view."),
])
def test_images_without_pixels_have_no_view(make, message):
    with pytest.raises(ValueError) as raised:
        make().data_view
    assert str(raised.value) == message


def test_unloaded_image_has_no_view(rgba_image):
    rgba_image.unload()
    with pytest.raises(ValueError, match=r"^Image data is empty or Image has been unloaded\.$"):
        rgba_image.data_view


def test_view_of_size_zero_is_refused(rgba_image):
    image = probe.image_new_record(rgba_image, 2, 2, 1, 999)  # a format raylib gives no size
    assert image.valid
    with pytest.raises(ValueError, match=r"^Invalid shape in axis 0: 0\.$"):
        image.data_view


def test_views_keep_the_memory_after_unload_and_destruction(rgba_image):
    view = rgba_image.data_view
    exported = memoryview(view[8:16])
    rgba_image.unload()
    assert rgba_image.valid is False
    assert bytes(view) == bytes(range(32))  # still the pixels, not released memory
    view[0] = 99
    del rgba_image
    gc.collect()
    assert view[0] == 99 and bytes(exported) == bytes(range(8, 16))
    exported[0] = 1
    del view
    assert exported[0] == 1 and exported.tobytes()[1:] == bytes(range(9, 16))


def test_view_of_a_borrowed_image_outlives_the_owner(rgba_image):
    borrowed = probe.image_new(rgba_image, 0)
    view = borrowed.data_view
    del borrowed
    rgba_image.unload()
    assert bytes(view) == bytes(range(32))


@pytest.mark.skipif(numpy is None, reason="needs numpy")
def test_numpy_shares_the_pixel_memory():
    image = Image.generate_with_color(64, 64, Color(1, 1, 1, 1))
    array = numpy.frombuffer(image.data_view, numpy.uint8)
    assert array.sum() == 64 * 64 * 4
    array[:4] = 7
    assert tuple(image.data_view[:4]) == (7, 7, 7, 7)
    image.unload()
    del image
    assert int(array[0]) == 7 and int(array[-1]) == 1


class PyBuffer(ctypes.Structure):
    _fields_ = [("buf", ctypes.c_void_p), ("obj", ctypes.py_object), ("len", ctypes.c_ssize_t),
                ("itemsize", ctypes.c_ssize_t), ("readonly", ctypes.c_int), ("ndim", ctypes.c_int),
                ("format", ctypes.c_char_p), ("shape", ctypes.POINTER(ctypes.c_ssize_t)),
                ("strides", ctypes.POINTER(ctypes.c_ssize_t)), ("suboffsets", ctypes.c_void_p),
                ("internal", ctypes.c_void_p)]


def consume(exporter, flags):
    """What a C consumer requesting `flags` reads, by the layout the exporter reports."""
    record = PyBuffer()
    if ctypes.pythonapi.PyObject_GetBuffer(ctypes.py_object(exporter), ctypes.byref(record), flags) < 0:
        raise AssertionError("unreachable: ctypes raises the exporter's error")
    try:
        layout = (record.format is not None, bool(record.shape), bool(record.strides))
        count = record.shape[0] if record.shape else record.len
        step = record.strides[0] if record.strides else 1
        return layout, bytes(ctypes.c_ubyte.from_address(record.buf + i * step).value for i in range(count))
    finally:
        ctypes.pythonapi.PyBuffer_Release(ctypes.byref(record))


ctypes.pythonapi.PyObject_GetBuffer.argtypes = [ctypes.py_object, ctypes.c_void_p, ctypes.c_int]
ctypes.pythonapi.PyBuffer_Release.argtypes = [ctypes.c_void_p]
SIMPLE, WRITABLE, FORMAT, ND, STRIDES = 0, 0x1, 0x4, 0x8, 0x18
C_CONTIGUOUS, F_CONTIGUOUS, ANY_CONTIGUOUS = 0x38, 0x58, 0x98


VIEW_SHAPES = {"contiguous": lambda v: v[4:12], "step 2": lambda v: v[1::2], "step -3": lambda v: v[::-3],
               "empty": lambda v: v[5:5], "released image": lambda v: v}


@pytest.mark.parametrize("flags", [SIMPLE, WRITABLE, FORMAT, ND, ND | FORMAT, STRIDES, STRIDES | WRITABLE | FORMAT,
                                   C_CONTIGUOUS, F_CONTIGUOUS, ANY_CONTIGUOUS, 0x11C])
@pytest.mark.parametrize("shape", VIEW_SHAPES)
def test_every_request_flag_gets_the_layout_it_can_handle(rgba_image, shape, flags):
    # A consumer that takes no strides, or asks for contiguity, reads len bytes from buf: a stepped
    # view handed to it would make it read past the image (as Sound.update did).
    view = VIEW_SHAPES[shape](rgba_image.data_view)
    if shape == "released image":
        rgba_image.unload()
    stepped = shape.startswith("step")
    if stepped and ((flags & STRIDES) != STRIDES or flags & 0xE0):
        with pytest.raises(BufferError, match="this pixel view is not contiguous"):
            consume(view, flags)
        return
    layout, read = consume(view, flags)
    assert read == bytes(list(view))
    assert layout == (bool(flags & FORMAT), (flags & ND) == ND, (flags & STRIDES) == STRIDES)

