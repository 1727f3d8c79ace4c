"""The mouse cursor of the raylib window: shown, hidden, enabled (locked) and released.

The operations act on the window opened elsewhere (`tovara.window.window.open_window`). Without
one, raylib only records the change (so `hidden` follows `hide()` and `show()`) and nothing is
shown. Every method refuses arguments: any raises TypeError.
"""

from typing import Any, TypeVar

from typing_extensions import disjoint_base

_C = TypeVar("_C", bound=Cursor)

@disjoint_base
class Cursor:
    """Control of the one mouse cursor of the process; every `Cursor` acts on the same cursor.

    Instances hold no state of their own, so they pickle and copy. `cursor` is a ready-made one.
    A Python subclass may override `enable`, `disable`, `show` and `hide`; other modules calling
    them at C level then run the override.
    """

    def __init__(self, *args: object, **kwargs: object) -> None:
        """Make a `Cursor`; the arguments are ignored."""
    @property
    def on_screen(self) -> bool:
        """True while the mouse pointer is over the window (raylib's record); False without one."""
    @property
    def enabled(self) -> bool:
        """True after `enable()` and at import, False after `disable()`: what this module last did.

        Shared by every `Cursor`; never read from raylib.
        """
    @property
    def hidden(self) -> bool:
        """True after `hide()` or `disable()`, False after `show()` or `enable()` (raylib's record)."""
    def enable(self) -> None:
        """Release the cursor: show it, unlock it and move it to the window's center."""
    def disable(self) -> None:
        """Lock the cursor to the window and hide it (for mouse-look), moving it to the window's center."""
    def show(self) -> None:
        """Show the cursor over the window."""
    def hide(self) -> None:
        """Hide the cursor over the window; it still moves and clicks."""
    def __reduce__(self) -> tuple[Any, ...]:
        """Pickle support: `(__pyx_unpickle_Cursor, (type, 238750788, ()))` for a plain `Cursor`.

        A subclass instance with a non-empty `__dict__` adds it as the state.
        """
    def __setstate__(self, __pyx_state: tuple[Any, ...]) -> None:
        """Apply a pickled state: a tuple whose first item, when true, updates the instance `__dict__`.

        Raises:
            TypeError: the state is None or not exactly a tuple.
            AttributeError: the state carries a dict and the instance has no `__dict__`.
        """
    def __reduce_cython__(self) -> tuple[Any, ...]:
        """Same as `__reduce__`."""
    def __setstate_cython__(self, __pyx_state: tuple[Any, ...]) -> None:
        """Same as `__setstate__`."""

cursor: Cursor
"""The ready-made `Cursor`, made at import."""

def __pyx_unpickle_Cursor(__pyx_type: type[_C], __pyx_checksum: int, __pyx_state: tuple[Any, ...] | None) -> _C:
    """Rebuild a pickled `Cursor` of type `__pyx_type`, applying `__pyx_state` unless it is None.

    Raises:
        pickle.PickleError: `__pyx_checksum` is none of 0xe3b0c44, 0xda39a3e and 0xd41d8cd.
        TypeError: `__pyx_state` is neither a tuple nor None; `__pyx_type` is not a `Cursor` type.
    """

__test__: dict[Any, Any]
"""An empty dict (doctest's hook); nothing in it."""
