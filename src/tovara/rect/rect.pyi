"""Rect: a rectangle of 32-bit floats."""

from typing import Any, Self

from typing_extensions import disjoint_base

@disjoint_base
class Rect:
    def __new__(cls, x: float, y: float, width: float, height: float) -> Self: ...
    @property
    def x(self) -> float: ...
    @property
    def y(self) -> float: ...
    @property
    def width(self) -> float: ...
    @property
    def height(self) -> float: ...

__test__: dict[Any, Any]
