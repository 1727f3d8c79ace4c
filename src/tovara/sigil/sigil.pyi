"""GlyphInfo: an opaque record of one font glyph, made by other modules at C level."""

from typing import Any, NoReturn

from typing_extensions import disjoint_base

@disjoint_base
class GlyphInfo:
    """One raylib glyph: its code point, drawing offsets, advance and bitmap.

    Records with content are made by other extension modules at C level, with an `Image` that
    borrows the glyph's bitmap (it never releases the font's memory). From Python you can only make
    an empty record; it has no public attributes, and it cannot be pickled or copied.
    """

    def __init__(self, *args: object, **kwargs: object) -> None:
        """Make an empty record; the arguments are ignored."""
    def __reduce__(self) -> NoReturn:
        """Refuse to pickle (and to copy).

        Raises:
            TypeError: always ("self._raw cannot be converted to a Python object for pickling").
        """
    def __setstate__(self, __pyx_state: object) -> NoReturn:
        """Refuse to unpickle.

        Raises:
            TypeError: always ("self._raw cannot be converted to a Python object for pickling").
        """

def __reduce_cython__(self: object, /) -> NoReturn:
    """`GlyphInfo.__reduce__` as a module function: always raises TypeError."""

def __setstate_cython__(self: object, /, __pyx_state: object) -> NoReturn:
    """`GlyphInfo.__setstate__` as a module function: always raises TypeError."""

__test__: dict[Any, Any]
"""An empty dict (doctest's hook); nothing in it."""
