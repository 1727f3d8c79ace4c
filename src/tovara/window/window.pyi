"""Opens and closes the raylib window and audio device.

The other modules never open them: `Image.load_from_screen()` and the `Cursor` operations need an
open window, loading and playing sounds an open audio device. Nothing else does. The window needs
a display (on a headless machine, run under Xvfb); the audio device needs a sound card, or raylib's
null device (see the guide's "Audio without a sound card"). raylib logs to standard output;
`set_log_level` sets its threshold.
"""

from typing import Any

def open_window(width: int, height: int, title: str) -> bool:
    """Open the raylib window (raylib's InitWindow), unless one is open already.

    Args:
        width: Width in pixels.
        height: Height in pixels.
        title: The window's title.

    Returns:
        True when a window is ready afterwards (also when one was open already, which is left as it
        is); False when it could not be opened, for example without a display.

    Raises:
        TypeError: `title` is not a `str`; a size is not an integer.
        OverflowError: a size is outside the 32-bit signed range.
    """

def close_window() -> None:
    """Close the window; does nothing when none is open."""

def window_ready() -> bool:
    """True while the window is open."""

def open_audio() -> bool:
    """Open the audio device (raylib's InitAudioDevice), unless it is open already.

    Returns:
        True when the device is ready afterwards (also when it was open already); False when no
        device could be opened: raylib then logs why.
    """

def close_audio() -> None:
    """Close the audio device; does nothing when it is not open. Unload your sounds first."""

def audio_ready() -> bool:
    """True while the audio device is open."""

def set_log_level(level: int) -> None:
    """Set the threshold of raylib's log (SetTraceLogLevel).

    Args:
        level: raylib's levels: 0 logs everything, 3 is information (raylib's default), 4
            warnings, 5 errors only, 7 nothing.
    """

__test__: dict[Any, Any]
"""An empty dict (doctest's hook); nothing in it."""
