"""Conversion of value objects and sequences into raylib structs, for other modules at C level."""

from typing import Any

# Capsules of the C functions parse_color_like, parse_rect_like and parse_vector2_like.
__pyx_capi__: dict[str, object]
__test__: dict[Any, Any]
