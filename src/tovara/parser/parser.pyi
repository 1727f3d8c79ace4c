"""Conversion of value objects and sequences into raylib structs, for other modules at C level.

The module has no Python functions. It publishes three C functions in `__pyx_capi__` that other
extension modules of the package import, each turning a loosely typed Python value into a raylib
struct: a `Vector2`, `Color` or `Rect` object, a tuple, a list or any other sequence.
"""

from typing import Any

__pyx_capi__: dict[str, object]
"""Capsules of the C functions, by name; each capsule is named by the function's C signature.

- `parse_vector2_like`: two numbers, or a `Vector2`, to a raylib `Vector2` of 32-bit floats.
- `parse_color_like`: three or four integers (alpha 255 when absent), each clamped to 0..255, or
  a `Color`, to a raylib `Color`.
- `parse_rect_like`: four numbers (x, y, width, height), or a `Rect`, to a raylib `Rectangle`.
"""

__test__: dict[Any, Any]
"""An empty dict (doctest's hook); nothing in it."""
