"""A tour of tovara: what each module offers, run with `tools/devenv demo`."""
import tovara.parser.parser as parser
from tovara.color.color import Color
from tovara.rect.rect import Rect
from tovara.vector2.vector2 import Vector2
from tovara.vector4.vector4 import Vector4


def section(title):
    print(f"\n== {title}")


section("Value types")
v = Vector2(1.5, -2)
c = Color(255, 128, 300, -4)  # components are clamped to 0..255
r = Rect(0, 0, 640, 480)
q = Vector4(1, 2, 3, 4)
print(f"Vector2 x={v.x} y={v.y}")
print(f"Color   {c!r}")
print(f"Rect    x={r.x} y={r.y} width={r.width} height={r.height}")
print(f"Vector4 ({q.x}, {q.y}, {q.z}, {q.w})")

section("Parser: C functions other modules import")
for name, capsule in parser.__pyx_capi__.items():
    signature = repr(capsule).split('"')[1]
    print(f"{name:20} {signature}")
print("It accepts a value object, a tuple, a list or any sequence, for example:")
print("  (10, 20) or Vector2(10, 20)        -> Vector2")
print("  [255, 0, 0] or Color(255, 0, 0, 255) -> Color (alpha defaults to 255)")
print("  range(4) or Rect(0, 1, 2, 3)         -> Rectangle")
