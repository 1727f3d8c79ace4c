"""Color: an RGBA color of bytes; components given outside 0..255 are clamped."""

from typing import Any, Self

from typing_extensions import disjoint_base

@disjoint_base
class Color:
    def __new__(cls, r: int, g: int, b: int, a: int) -> Self: ...
    @property
    def r(self) -> int: ...
    @property
    def g(self) -> int: ...
    @property
    def b(self) -> int: ...
    @property
    def a(self) -> int: ...

__test__: dict[Any, Any]
