"""AudioStream: the description of a raylib audio stream; it never releases the audio data."""

from typing import Any, Self

from typing_extensions import disjoint_base

@disjoint_base
class AudioStream:
    def __new__(cls) -> Self: ...
    @property
    def sample_rate(self) -> int: ...
    @property
    def sample_size(self) -> int: ...
    @property
    def channels(self) -> int: ...
    @property
    def is_owner(self) -> int: ...

# A test hook: makes the next `count` creations of a stream view fail with MemoryError.
def _fail_cfrom_struct(count: int) -> None: ...

__test__: dict[Any, Any]
