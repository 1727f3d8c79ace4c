"""Sounds and sound aliases: loading, sample updates, playback and its settings.

Sounds need raylib's audio device, opened elsewhere (`tovara.window.window.open_audio()`): without
it a sound loads as invalid and playback does nothing. Unload sounds before the device is closed.

Shared rules of this module's methods: a wrong number of arguments, a repeated or an unknown
keyword raises TypeError; integer parameters take an `int` or an object with `__int__`, anything
else raising TypeError "an integer is required" and a value outside the 32-bit signed range
OverflowError "value too large to convert to int".
"""

from collections.abc import Buffer
from typing import Any, NoReturn

from typing_extensions import disjoint_base

from tovara.brook.brook import AudioStream

@disjoint_base
class Sound:
    """One raylib sound: sample data and a playback buffer of its own.

    raylib converts a sound at load time to the device's format: 32-bit float samples, two
    channels, at the device's sample rate. A loaded sound releases its raylib resources once, at
    `unload()` or when it is garbage collected. `Sound()` makes an empty sound (any arguments are
    ignored): not valid, no stream, every setting 0.0. Sounds cannot be pickled or copied.
    """

    def __init__(self, *args: object, **kwargs: object) -> None:
        """Make an empty sound: nothing loaded, `stream` None. The arguments are ignored."""
    @property
    def valid(self) -> bool:
        """True while the sound is loaded and raylib accepts it (frames, a buffer, a format).

        False for an empty sound, after `unload()`, and for a file that could not be loaded.
        """
    @property
    def is_alias(self) -> bool:
        """True for a sound made by `load_alias`."""
    @property
    def frame_count(self) -> int:
        """Number of frames (one sample per channel) in the device's format; kept after `unload()`."""
    @property
    def stream(self) -> AudioStream | None:
        """The stream's description: sample rate in Hz, sample size in bits, channels.

        The same object on every read, made when the sound was; None for `Sound()`. It is not
        updated by `unload()` and never releases audio data.
        """
    @property
    def playing(self) -> bool:
        """True while raylib plays the sound.

        False before `play()`, after `stop()` or `pause()`, once the sound has ended, and for a
        sound that is not loaded.
        """
    @property
    def volume(self) -> float:
        """Loudness factor: 1.0 as recorded, 0.0 silent; above 1 amplifies. No range is enforced.

        Starts at 1.0 for a loaded sound (and an alias). Setting it passes the value to raylib at
        once; it is kept as a 32-bit float, so the nearest such value reads back (0.1 reads as
        0.10000000149011612).

        Raises:
            TypeError: the value set is not a number ("must be real number, not str").
            NotImplementedError: on deletion ("__del__").
        """
    @volume.setter
    def volume(self, value: float) -> None: ...
    @property
    def pitch(self) -> float:
        """Playback speed factor: 1.0 as recorded, 2.0 an octave higher and twice as fast.

        Starts at 1.0 for a loaded sound (and an alias). raylib ignores a value of 0 or less (the
        sound keeps its previous pitch, though this property reads the value set). Kept as a
        32-bit float.

        Raises:
            TypeError: the value set is not a number.
            NotImplementedError: on deletion ("__del__").
        """
    @pitch.setter
    def pitch(self, value: float) -> None: ...
    @property
    def pan(self) -> float:
        """Stereo position: -1.0 full left, 0.0 center, 1.0 full right.

        Starts at 0.0. raylib clamps values outside -1..1 (this property reads the value set). Kept
        as a 32-bit float.

        Raises:
            TypeError: the value set is not a number.
            NotImplementedError: on deletion ("__del__").
        """
    @pan.setter
    def pan(self, value: float) -> None: ...
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
    def unload(self) -> None:
        """Release the sound now instead of when it is garbage collected.

        Afterwards `valid` is False; `frame_count`, `stream` and the settings keep their values.
        Unloading again, or unloading an empty sound, does nothing. The sample data stays alive
        while an alias of the sound (or its source) is still loaded.
        """
    @staticmethod
    def load(file_name: str) -> Sound:
        """Read a sound file: WAV, OGG (Vorbis), MP3 or QOA, chosen by the file name's extension.

        Args:
            file_name: Path of the file.

        Returns:
            A new sound, converted to the device's format, with volume 1.0, pitch 1.0 and pan 0.0.
            Without an open audio device, or for a file that is missing, unreadable, damaged or too
            large for raylib's buffers, the sound's `valid` is False; no exception.

        Raises:
            TypeError: `file_name` is not a `str` (a subclass is refused too).
            AttributeError: `file_name` is None.
            UnicodeEncodeError: `file_name` cannot be encoded as UTF-8.
            ValueError: `file_name` holds a NUL character ("embedded null character").
        """
    @staticmethod
    def load_from_memory(file_type: str, data: Buffer) -> Sound:
        """Read a sound from the bytes of a file held in memory (read from an archive, a network...).

        The bytes go through the same checks and decoders as a file of that type: the result is
        what `load` gives for a file holding them.

        Args:
            file_type: The file's extension, with its dot: `".wav"`, `".ogg"`, `".mp3"`, `".qoa"`,
                in lower or upper case (`".WAV"`; not `".Wav"`, nor `"wav"`), as raylib compares it.
            data: The file's bytes: `bytes`, a `bytearray`, a memoryview, an `array.array`... any
                C-contiguous buffer. They are not kept: the buffer may change once the call returns.

        Returns:
            A new sound, as `load` would give. An unknown type, unreadable, damaged or empty data,
            data longer than 2,147,483,647 bytes, or no open audio device give a sound whose
            `valid` is False; no exception.

        Raises:
            TypeError: `file_type` is not a `str`; `data` does not offer the buffer protocol.
            BufferError: `data` is not C-contiguous ("data must be a C-contiguous buffer").
            UnicodeEncodeError: `file_type` cannot be encoded as UTF-8.
            ValueError: `file_type` holds a NUL character.
        """
    @staticmethod
    def load_alias(source: Sound) -> Sound:
        """Make a sound that plays the sample data of `source` through a playback buffer of its own.

        Both can play at once, each with its own settings; the alias starts at volume 1.0, pitch
        1.0 and pan 0.0. The shared data lives while the source or any alias is loaded, so
        unloading the source does not silence its aliases. An alias of an alias shares the same
        data.

        Args:
            source: A loaded sound or alias.

        Returns:
            A new sound whose `is_alias` is True.

        Raises:
            TypeError: `source` is not a `Sound`.
            ValueError: `source` has nothing loaded ("load_alias() needs a source with a sound
                loaded").
        """
    def update(self, data: Buffer, frame_count: int) -> None:
        """Stop the sound and replace its first `frame_count` frames of sample data.

        The data is read as frames of the stream's format: `stream.channels` samples of
        `stream.sample_size` bits each, interleaved; for a loaded sound, two 32-bit floats per
        frame (for example an `array.array("f")` of left, right, left, right...). A sound and its
        aliases share their sample data, so all of them change.

        Args:
            data: Any contiguous buffer (bytes, bytearray, `array.array`, a memoryview...).
            frame_count: Number of frames to copy, from 0 to `frame_count` of the sound.

        Raises:
            ValueError: `frame_count` is negative, larger than the sound's frame count, or larger
                than `data` holds ("data holds 8 bytes, 100 frames of 8 bytes (2 channels of 32
                bits) need 800").
            TypeError: `data` does not offer the buffer protocol.
        """
    def play(self) -> None:
        """Start playing from the beginning, restarting if the sound is playing.

        Does nothing for a sound that is not loaded, or has no frames.
        """
    def stop(self) -> None:
        """Stop playing; the next `play()` starts from the beginning."""
    def pause(self) -> None:
        """Pause playing, keeping the position for `resume()`."""
    def resume(self) -> None:
        """Continue a paused sound where it stopped; a stopped sound stays stopped."""

def __reduce_cython__(self: object, /) -> NoReturn:
    """`Sound.__reduce__` as a module function: always raises TypeError."""

def __setstate_cython__(self: object, /, __pyx_state: object) -> NoReturn:
    """`Sound.__setstate__` as a module function: always raises TypeError."""

__test__: dict[Any, Any]
"""An empty dict (doctest's hook); nothing in it."""
