"""Vector4: a 4D vector of doubles."""

from typing import Any, Self

from typing_extensions import disjoint_base

@disjoint_base
class Vector4:
    def __new__(cls, x: float, y: float, z: float, w: float) -> Self: ...
    @property
    def x(self) -> float: ...
    @property
    def y(self) -> float: ...
    @property
    def z(self) -> float: ...
    @property
    def w(self) -> float: ...

__test__: dict[Any, Any]
