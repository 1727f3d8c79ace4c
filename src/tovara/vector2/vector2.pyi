"""Vector2: a 2D vector of 32-bit floats."""

from typing import Any, Self

from typing_extensions import disjoint_base

@disjoint_base
class Vector2:
    def __new__(cls, x: float, y: float) -> Self: ...
    @property
    def x(self) -> float: ...
    @property
    def y(self) -> float: ...

__test__: dict[Any, Any]
