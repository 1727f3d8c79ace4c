"""Images: pixel memory owned (or borrowed) by an Image, loaded, generated and viewed.

Shared rules of this module's methods:

- A wrong number of arguments, a repeated or an unknown keyword raises TypeError.
- Integer parameters take an `int` or an object with `__int__` (a float is truncated toward
  zero); anything else raises TypeError "an integer is required", and a value outside the 32-bit
  signed range OverflowError "value too large to convert to int".
- File names are `str` (a subclass is refused with TypeError), passed to raylib as UTF-8: None
  raises AttributeError, a lone surrogate UnicodeEncodeError, an embedded NUL character ValueError
  "embedded null character".
- A file that cannot be read is not an error: the loaders return an image whose `valid` is False.
- Only `Image.load_from_screen` needs a window; nothing here needs the audio device.
"""

from collections.abc import Buffer, Iterator
from typing import Any, Literal, NoReturn, SupportsIndex, TypeAlias, final, overload

from typing_extensions import disjoint_base

from tovara.color.color import Color

# raylib's pixel formats: layout, then bytes per pixel as raylib's GetPixelDataSize counts them.
# The compressed formats store 4x4 blocks; an image under 4x4 pixels takes one whole block
# (8 bytes for formats 14 to 16, 18 and 19, 16 bytes for 17 and 20 to 23).
PixelFormat: TypeAlias = Literal[
    1,  # GRAYSCALE: 8-bit gray; 1 byte
    2,  # GRAY_ALPHA: 8-bit gray, 8-bit alpha; 2 bytes
    3,  # R5G6B5: 16-bit RGB, 5, 6 and 5 bits; 2 bytes
    4,  # R8G8B8: 8-bit RGB; 3 bytes
    5,  # R5G5B5A1: 16-bit RGBA, 5 bits per color, 1-bit alpha; 2 bytes
    6,  # R4G4B4A4: 16-bit RGBA, 4 bits each; 2 bytes
    7,  # R8G8B8A8: 8-bit RGBA; 4 bytes
    8,  # R32: one 32-bit float; 4 bytes
    9,  # R32G32B32: 32-bit float RGB; 12 bytes
    10,  # R32G32B32A32: 32-bit float RGBA; 16 bytes
    11,  # R16: one 16-bit half float; 2 bytes
    12,  # R16G16B16: 16-bit half float RGB; 6 bytes
    13,  # R16G16B16A16: 16-bit half float RGBA; 8 bytes
    14,  # DXT1_RGB: compressed, no alpha; 1/2 byte (4 bits)
    15,  # DXT1_RGBA: compressed, 1-bit alpha; 1/2 byte (4 bits)
    16,  # DXT3_RGBA: compressed; 1 byte
    17,  # DXT5_RGBA: compressed; 1 byte
    18,  # ETC1_RGB: compressed; 1/2 byte (4 bits)
    19,  # ETC2_RGB: compressed; 1/2 byte (4 bits)
    20,  # ETC2_EAC_RGBA: compressed; 1 byte
    21,  # PVRT_RGB: compressed; 1/2 byte (4 bits)
    22,  # PVRT_RGBA: compressed; 1/2 byte (4 bits)
    23,  # ASTC_4x4_RGBA: compressed; 1 byte
    24,  # ASTC_8x8_RGBA: compressed; 1/4 byte (2 bits)
]
"""raylib's pixel format numbers (a name for type checkers only: the module has no such attribute).

An image's `data_view` holds width x height x bytes-per-pixel bytes, row by row from the top-left,
channels in the order the name gives (7: R, G, B, A). The generators make format 7, except
`generate_with_text` and `from_channel`, which make format 1.
"""

@final
class PixelView:
    """A writable one-dimensional view of unsigned bytes over an image's pixel memory.

    Made by `Image.data_view`; not a module attribute. It supports `len`, indexing (negative indices
    count from the end), slicing (a slice is again a view of the same memory), item and slice
    assignment, iteration and the buffer protocol (format "B"), so `bytes()`, `memoryview()` and
    `numpy.frombuffer` see the pixels without a copy. The view keeps the memory it shows alive, also
    after `Image.unload()` or after the image itself is gone.
    """

    def __len__(self) -> int:
        """The number of bytes in the view."""
    @overload
    def __getitem__(self, key: SupportsIndex, /) -> int:
        """One byte, 0 to 255.

        Raises:
            IndexError: the index is outside the view ("Out of bounds on buffer access (axis 0)").
        """
    @overload
    def __getitem__(self, key: slice, /) -> PixelView:
        """A view of the selected bytes, sharing the same memory."""
    @overload
    def __setitem__(self, key: SupportsIndex, value: int, /) -> None:
        """Store one byte.

        Raises:
            IndexError: the index is outside the view.
            OverflowError: `value` is negative or over 255.
            TypeError: `value` has no integer form ("an integer is required").
        """
    @overload
    def __setitem__(self, key: slice, value: Buffer, /) -> None:
        """Copy the bytes of a buffer into the selected bytes.

        Raises:
            ValueError: the buffer's length differs from the slice's ("cannot assign 3 bytes to a
                slice of 4").
        """
    def __iter__(self) -> Iterator[int]:
        """The bytes, as ints from 0 to 255."""
    def __buffer__(self, flags: int, /) -> memoryview:
        """The view's bytes for the buffer protocol: format "B", writable.

        Raises:
            BufferError: a contiguous buffer is asked of a slice with a step.
        """

@disjoint_base
class Image:
    """One raylib image: pixel memory with its width, height, mipmap count and pixel format.

    An image made by a loader, a generator, `copy()` or `from_channel()` owns its pixel memory and
    releases it once: at `unload()`, or when the image is garbage collected. An image inside a glyph
    record borrows the font's memory and never releases it. `Image()` makes an empty image (any
    arguments are ignored), which is not valid. Images cannot be pickled; they copy with `copy()`,
    `copy.copy` and `copy.deepcopy`.
    """

    def __init__(self, *args: object, **kwargs: object) -> None:
        """Make an empty image: no pixels, every size 0, `valid` False. The arguments are ignored."""
    @property
    def valid(self) -> bool:
        """True when raylib accepts the image: pixel memory, positive sizes, a format and a mipmap.

        False for an empty image, after `unload()`, and for a file that could not be loaded.
        """
    @property
    def width(self) -> int:
        """Width in pixels; kept after `unload()`, 0 for an empty image."""
    @property
    def height(self) -> int:
        """Height in pixels; kept after `unload()`, 0 for an empty image."""
    @property
    def mipmaps(self) -> int:
        """Number of mipmap levels, 1 for a plain image (0 for an empty one)."""
    @property
    def format(self) -> PixelFormat:
        """The pixel format, a `PixelFormat` number (7: 8-bit RGBA, 1: grayscale); 0, outside the type, when empty."""
    @property
    def data_view(self) -> PixelView:
        """A writable view of the pixel bytes of the full-size level, without a copy.

        Its length is width x height x the format's bytes per pixel (see `PixelFormat`); mipmap
        levels stored after it are not included, and for an image from `load_anim` it covers the
        first frame only (`frames_view` covers them all). Writes change the image itself. Each read makes a new view; a view keeps
        the memory alive after `unload()`. With numpy, an RGBA image reads as
        `numpy.frombuffer(image.data_view, numpy.uint8).reshape(image.height, image.width, 4)`.

        Raises:
            ValueError: the image is not valid ("Image data is empty or Image has been unloaded."),
                or its format has no size raylib knows ("Invalid shape in axis 0: 0.").
        """
    @property
    def frame_count(self) -> int:
        """Frames the image holds: as many as `load_anim` counted, 1 for every other image, 0 for `Image()`."""
    @property
    def frame_delays(self) -> tuple[int, ...]:
        """How long each frame shows, in milliseconds: one item per frame (`frame_count` of them).

        For a GIF, the delay of each frame's graphic control extension (GIF counts hundredths of a
        second, so a multiple of 10), as the file gives it: 0 for a frame without one, and also 0
        or 10 where browsers, by custom, wait 100 ms instead. 0 for any other image; a frame taken
        with `frame(i)` keeps its own. Kept after `unload()`.
        """
    @property
    def frames_view(self) -> PixelView:
        """A writable view of every frame's pixel bytes, one frame after another, without a copy.

        For an image from `load_anim`, `frame_count` frames of `len(data_view)` bytes each, RGBA
        (format 7); for any other image the same bytes as `data_view`. Its cost does not grow with
        the number of frames. With numpy, an animation reads as
        `numpy.frombuffer(image.frames_view, numpy.uint8).reshape(image.frame_count, image.height,
        image.width, 4)`. It is a `PixelView` like `data_view`, with the same rules: writes change
        the image, and the view keeps the memory alive after `unload()`.

        Raises:
            ValueError: as `data_view`.
        """
    def __copy__(self) -> Image:
        """Same as `copy()`; a subclass's own `copy` is called instead when it has one.

        Raises:
            TypeError: a subclass's `copy` returned something other than an `Image` or None.
        """
    def __deepcopy__(self, memo: object) -> Image:
        """Same as `__copy__()`; `memo` is not used, an image holds no Python objects."""
    def __reduce__(self) -> NoReturn:
        """Refuse to pickle.

        Raises:
            TypeError: always ("self._raw cannot be converted to a Python object for pickling").
        """
    def __setstate__(self, __pyx_state: object) -> NoReturn:
        """Refuse to unpickle.

        Raises:
            TypeError: always ("self._raw cannot be converted to a Python object for pickling").
        """
    def export(self, file_name: str) -> bool:
        """Write the image to a file, in the format its extension names.

        raylib 6.0 as packaged writes `.png`, `.bmp`, `.qoi` (formats 4 and 7 only) and `.raw` (the
        bare pixel bytes, readable with `load_raw`); the extension's case does not matter. PNG and BMP
        files of formats other than 1, 2, 4 and 7 are written as RGBA.

        Args:
            file_name: Path of the file to write; an existing file is replaced.

        Returns:
            True when the file was written. False, without an exception, when it was not: another
            extension (`.jpg`, `.tga` and `.gif` included), a folder that does not exist, an image
            without pixels, an extension of 16 characters or more (its dot included), or a
            block-compressed image (formats 14 to 24: DXT, ETC, PVRT, ASTC) to any file but `.raw`,
            whose pixels raylib cannot read to encode them.

        Raises:
            TypeError: `file_name` is not a `str`.
            AttributeError: `file_name` is None.
            UnicodeEncodeError: `file_name` cannot be encoded as UTF-8.
            ValueError: `file_name` holds a NUL character.
        """
    def unload(self) -> None:
        """Release the pixel memory now instead of when the image is garbage collected.

        Afterwards `valid` is False; width, height, mipmaps and format keep their values. Unloading
        again, or unloading an empty image, does nothing. An image that borrows its memory lets go of
        it without releasing it. Views taken earlier keep the memory alive until they go.
        """
    def copy(self) -> Image:
        """Return a new image with its own copy of the pixel memory, mipmaps included.

        An empty or unloaded image copies to an empty image; an animation copies its first frame
        (`frame(i)` takes any frame).

        Raises:
            MemoryError: the copy could not be allocated.
        """
    def from_channel(self, selected_channel: int) -> Image:
        """Make a grayscale image (format 1) of one channel of this one.

        Args:
            selected_channel: 0 red, 1 green, 2 blue, 3 alpha. raylib clamps it: a negative
                channel reads 0; above 3 reads alpha; above 1 of a gray-alpha image reads alpha;
                above 2 of an RGB image reads red (0); a one-channel image always reads its channel.

        Returns:
            A new image of the same size. Float channels are scaled from 0..1 to 0..255. A
            block-compressed format, whose pixels raylib cannot read, and an image without pixels
            give an invalid image. This image is not changed.
        """
    def frame(self, index: int) -> Image:
        """Take one frame of an animation as an image of its own, with a copy of its pixels.

        The result is a still image (one frame, one mipmap) of this image's size and format that
        owns its pixel memory: it stays valid after this image is unloaded, and changing one does
        not change the other. Its `frame_delays` holds the frame's own delay. `frame(0)` of a still
        image copies its first mipmap level.

        Args:
            index: From 0 to `frame_count` - 1. Negative indices do not count from the end.

        Raises:
            IndexError: `index` is negative or not below `frame_count` ("frame index 5 out of
                range: the image has 5 frames (0 to 4)").
            ValueError: the image is not valid ("Image data is empty or Image has been unloaded.").
            MemoryError: the copy could not be allocated.
        """
    @staticmethod
    def load(file_name: str) -> Image:
        """Read an image file.

        raylib 6.0 as packaged reads PNG, BMP, GIF (its first frame), QOI and DDS, chosen by the
        file name's extension. The image keeps the file's layout: a grayscale PNG loads as format
        1, an RGBA one as format 7.

        Args:
            file_name: Path of the file.

        Returns:
            A new image. A file that is missing, unreadable, of another format, damaged, or larger
            than 89,478,485 pixels gives an image whose `valid` is False; no exception.

        Raises:
            TypeError: `file_name` is not a `str`.
            AttributeError: `file_name` is None.
            UnicodeEncodeError: `file_name` cannot be encoded as UTF-8.
            ValueError: `file_name` holds a NUL character.
        """
    @staticmethod
    def load_raw(file_name: str, width: int, height: int, format: PixelFormat, header: int) -> Image:
        """Read bare pixel bytes of a known size and format from a file.

        Args:
            file_name: Path of the file.
            width: Width in pixels.
            height: Height in pixels.
            format: The bytes' pixel format (see `PixelFormat`).
            header: Number of bytes to skip at the start of the file. raylib skips them only when
                the file holds the header plus the pixel data; otherwise, and for a negative
                header, it reads the pixels from the file's first byte. Bytes after the pixels are
                ignored.

        Returns:
            A new image with one mipmap. A missing file, one shorter than the pixel data, a format
            number raylib does not define, sizes that are not both positive, or more than
            89,478,485 pixels give an image whose `valid` is False (all of its sizes 0).

        Raises:
            ValueError: one of `width` and `height` is negative ("width must not be negative, got
                -1"), or the pixel data, or the header plus the pixel data, exceed 2,147,483,647
                bytes; also a NUL character in `file_name`.
            TypeError: `file_name` is not a `str`; a size is not an integer.
            AttributeError: `file_name` is None.
            UnicodeEncodeError: `file_name` cannot be encoded as UTF-8.
        """
    @staticmethod
    def load_anim(file_name: str) -> tuple[Image, int]:
        """Read an animated GIF with all its frames.

        Args:
            file_name: Path of the file.

        Returns:
            The image and its frame count, which the image also knows as `frame_count`. For a GIF
            the image holds every frame as RGBA (format 7), one after another, composed as a
            viewer shows them (each frame's disposal applied); `width` and `height` are those of
            one frame. `data_view` covers the first frame; `frames_view` every frame,
            `frame(i)` takes one, and `frame_delays` gives their delays. Any other file loads as
            `load` would, with a count of 1. A file that cannot be read (or whose frames together
            exceed 89,478,485 pixels) gives an invalid image, with a count of 0 for a GIF and 1
            for any other name.

        Raises:
            TypeError: `file_name` is not a `str`.
            AttributeError: `file_name` is None.
            UnicodeEncodeError: `file_name` cannot be encoded as UTF-8.
            ValueError: `file_name` holds a NUL character.
        """
    @staticmethod
    def load_from_memory(file_type: str, data: Buffer) -> Image:
        """Read an image from the bytes of a file held in memory (read from an archive, a network...).

        The bytes go through the same checks and decoders as a file of that type: the result is
        what `load` gives for a file holding them, without the file.

        Args:
            file_type: The file's extension, with its dot: `".png"`, `".bmp"`, `".gif"`, `".qoi"`,
                `".dds"`, in lower or upper case (`".PNG"`; not `".Png"`, nor `"png"`), as raylib
                compares it.
            data: The file's bytes: `bytes`, a `bytearray`, a memoryview, a numpy array... any
                C-contiguous buffer. They are not kept: the buffer may change once the call returns.

        Returns:
            A new image. An unknown type, unreadable, damaged or empty data, data longer than
            2,147,483,647 bytes, or more than 89,478,485 pixels give an image whose `valid` is
            False; no exception.

        Raises:
            TypeError: `file_type` is not a `str`; `data` does not offer the buffer protocol.
            BufferError: `data` is not C-contiguous ("data must be a C-contiguous buffer").
            UnicodeEncodeError: `file_type` cannot be encoded as UTF-8.
            ValueError: `file_type` holds a NUL character.
        """
    @staticmethod
    def load_anim_from_memory(file_type: str, data: Buffer) -> tuple[Image, int]:
        """Read an animated GIF (or any image) from the bytes of a file held in memory.

        What `load_anim` gives for a file holding the bytes: `".gif"` in any case is an animation,
        any other type loads as `load_from_memory` would, with a count of 1.

        Args:
            file_type: The file's extension, with its dot, as for `load_from_memory`.
            data: The file's bytes, any C-contiguous buffer; not kept.

        Returns:
            The image and its frame count, as `load_anim` returns them.

        Raises:
            TypeError: `file_type` is not a `str`; `data` does not offer the buffer protocol.
            BufferError: `data` is not C-contiguous.
            UnicodeEncodeError: `file_type` cannot be encoded as UTF-8.
            ValueError: `file_type` holds a NUL character.
        """
    @staticmethod
    def load_from_screen() -> Image:
        """Copy what the window shows into a new RGBA image (format 7) of the window's size.

        Raises:
            RuntimeError: no window is open ("load_from_screen() needs an open window").
        """
    @staticmethod
    def from_buffer(data: Buffer, width: int, height: int, format: PixelFormat) -> Image:
        """Make an image of pixel bytes held in any buffer: bytes, a bytearray, a numpy array...

        The bytes are copied into memory the new image owns, so the buffer may change or go
        afterwards. They are read as `load_raw` reads a file: row by row from the top-left, in the
        layout of `format`. A numpy RGBA array of shape (height, width, 4) and dtype uint8 becomes
        an image with `Image.from_buffer(array, width, height, 7)`.

        Args:
            data: Exactly width x height x the format's bytes per pixel (see `PixelFormat`), as
                one C-contiguous block; its item type does not matter, only its bytes.
            width: Width in pixels.
            height: Height in pixels.
            format: The bytes' pixel format (see `PixelFormat`).

        Returns:
            A new image with one mipmap. A zero width or height (with empty data) gives an image
            without pixels, whose `valid` is False.

        Raises:
            ValueError: `data` holds another number of bytes ("data holds 12 bytes, a 2 by 2 image
                of format 7 needs 16"); a negative size ("width must not be negative, got -1"); a
                format raylib does not define ("format 0 is not a pixel format raylib defines (1 to
                24)"); an image larger than raylib can count or convert (its pixel data, or its
                RGBA copy, over 2,147,483,647 bytes).
            BufferError: `data` is not C-contiguous ("data must be a C-contiguous buffer").
            TypeError: `data` does not offer the buffer protocol; a size or the format is not an
                integer.
            MemoryError: the copy could not be allocated.
        """
    @staticmethod
    def generate_with_color(width: int, height: int, color: Color) -> Image:
        """Make an RGBA image (format 7) filled with one color.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            color: The fill.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            TypeError: `color` is not a `Color`.
            ValueError: width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_linear_gradient(width: int, height: int, direction: int, start: Color, end: Color) -> Image:
        """Make an RGBA image (format 7) that blends from `start` to `end` along a direction.

        raylib blends each channel in 32-bit floats and truncates toward zero, so a channel can come
        out one below the exact blend, also where `start` and `end` agree: with both alphas 255,
        some pixels read 254.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            direction: Angle in degrees, counter-clockwise on screen: 0 runs
                from `start` at the top to `end` at the bottom, 90 from left to right, 45 from the
                top-left corner to the bottom-right one, 180 from bottom to top, 270 from right to
                left. Only 0 and 90 span both colors: at 90 the first column is exactly `start`
                and the last exactly `end`; at 0 the first and last rows are within that one unit
                of them. 180 and 270 begin with `end` (within one unit) but stop two rows' (or
                columns') worth of the blend short of `start`, and other directions stop short of
                one color or both at the edges. To reverse a gradient, swap `start` and `end`.
            start: Color where the gradient begins.
            end: Color where it ends.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            TypeError: `start` or `end` is not a `Color`.
            ValueError: width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_radial_gradient(width: int, height: int, density: float, inner: Color, outer: Color) -> Image:
        """Make an RGBA image (format 7) of a disk that blends from `inner` at the center to `outer`.

        The disk's radius is half the shorter side; beyond it, in the corners, the image is `outer`.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            density: Share of the radius, from 0 to 1, that is solid `inner` before the blend
                begins: 0 blends from the center, 0.5 from half the radius, 1 makes a hard-edged
                disk. Above 1 the center turns `outer`; below 0 the center is already blended.
            inner: Color at the center.
            outer: Color at the radius and beyond.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            TypeError: `inner` or `outer` is not a `Color`; `density` is not a number.
            ValueError: width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_square_gradient(width: int, height: int, density: float, inner: Color, outer: Color) -> Image:
        """Make an RGBA image (format 7) of nested rectangles, `inner` at the center to `outer` at the edges.

        The rectangles have the image's own proportions: the blend reaches `outer` at every edge.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            density: Share of the half-size, from 0 to 1, that is solid `inner` before the blend
                begins: 0 blends from the center; 1 fills the whole image with `inner`, above 1
                with `outer`.
            inner: Color at the center.
            outer: Color at the edges.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            TypeError: `inner` or `outer` is not a `Color`; `density` is not a number.
            ValueError: width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_checked(
        width: int, height: int, check_x: int, check_y: int, col1: Color, col2: Color
    ) -> Image:
        """Make an RGBA image (format 7) of a checkerboard.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            check_x: Width of one check in pixels (not the number of checks); positive.
            check_y: Height of one check in pixels; positive.
            col1: Color of the check in the top-left corner and every other one.
            col2: Color of the other checks.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            TypeError: `col1` or `col2` is not a `Color`.
            ValueError: `check_x` or `check_y` is 0 ("check_x must not be zero: raylib divides by
                it"), or width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_white_noise(width: int, height: int, factor: float) -> Image:
        """Make an RGBA image (format 7) of random black and white pixels.

        raylib draws from its own random generator: two calls give different images.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            factor: Chance that a pixel is white, from 0 (all black) to 1 (all white), in steps of
                0.01; values outside act as the nearer end.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            TypeError: `factor` is not a number.
            ValueError: width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_perlin_noise(width: int, height: int, offset_x: int, offset_y: int, scale: float) -> Image:
        """Make an RGBA image (format 7) of gray Perlin noise (fractal, six octaves), opaque.

        The same arguments always give the same image.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            offset_x: Horizontal shift of the sampled window, in pixels: the image's column x shows
                what column x + offset_x shows at offset 0.
            offset_y: Vertical shift, in pixels.
            scale: Zoom of the noise: the number of noise cells across the shorter side. Larger
                values give finer detail; 1 to 10 is a useful range.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            TypeError: `scale` is not a number.
            ValueError: width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_cellular(width: int, height: int, tile_size: int) -> Image:
        """Make an RGBA image (format 7) of gray cells: each pixel's distance to the nearest seed point.

        raylib places one random seed in each whole `tile_size` square (two calls differ); pixels
        at a seed are black, and grow lighter with distance, white at a tile's size or more.

        Args:
            width: Width in pixels.
            height: Height in pixels.
            tile_size: Side of the square tiles in pixels; positive. Larger values make larger
                cells; a tile larger than the image leaves no seed and an all-white image.

        Returns:
            A new image. A zero or negative size gives an image without pixels (`valid` False).

        Raises:
            ValueError: `tile_size` is 0 ("tile_size must not be zero: raylib divides by it"), or
                width x height x 4 bytes exceed 2,147,483,647.
        """
    @staticmethod
    def generate_with_text(width: int, height: int, text: str) -> Image:
        """Make a grayscale image (format 1) whose pixels are the bytes of `text`; no text is drawn.

        The UTF-8 bytes of `text` fill the pixels row by row from the top-left, one byte per pixel
        as its gray level; text longer than width x height is cut, and the pixels after it are
        black (0).

        Args:
            width: Width in pixels.
            height: Height in pixels.
            text: The text whose bytes become pixels.

        Returns:
            A new image. A zero size, or two negative ones, gives an image without pixels (`valid`
            False).

        Raises:
            TypeError: `text` is not a `str`.
            AttributeError: `text` is None.
            UnicodeEncodeError: `text` cannot be encoded as UTF-8.
            ValueError: exactly one of `width` and `height` is negative ("width must not be
                negative, got -1"), or width x height bytes exceed 2,147,483,647.
        """

def __reduce_cython__(self: object, /) -> NoReturn:
    """`Image.__reduce__` as a module function: always raises TypeError."""

def __setstate_cython__(self: object, /, __pyx_state: object) -> NoReturn:
    """`Image.__setstate__` as a module function: always raises TypeError."""

__test__: dict[Any, Any]
"""An empty dict (doctest's hook); nothing in it."""
