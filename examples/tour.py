"""A tour of tovara: what each module offers, run with `tools/devenv demo`."""
import tovara.parser.parser as parser
from tovara.color.color import Color
from tovara.rect.rect import Rect
from tovara.vector2.vector2 import Vector2
from tovara.vector4.vector4 import Vector4


def section(title: str) -> None:
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

section("Image: load raw pixels, export a PNG")
import os
import tempfile
from typing import Final

from tovara.image.image import Image

RGBA: Final = 7  # raylib's PIXELFORMAT_UNCOMPRESSED_R8G8B8A8
out = os.environ.get("TOVARA_TOUR_OUT") or tempfile.mkdtemp(prefix="tovara-tour-")
os.makedirs(out, exist_ok=True)
raw_path = os.path.join(out, "gradient.raw")
width, height = 16, 8
with open(raw_path, "wb") as f:
    f.write(bytes(v for y in range(height) for x in range(width) for v in (x * 16, y * 32, 128, 255)))
image = Image.load_raw(raw_path, width, height, RGBA, 0)
png_path = os.path.join(out, "gradient.png")
print(f"loaded {image!r} from {raw_path}")
print(f"exported: {image.export(png_path)} -> {png_path} ({os.path.getsize(png_path)} bytes)")
# .raw holds the bare pixel bytes: read back with the image's own sizes and format.
raw_again = os.path.join(out, "again.raw")
image.export(raw_again)
again = Image.load_raw(raw_again, image.width, image.height, image.format, 0)
print(f"raw round trip: {again!r}, same bytes: {bytes(again.data_view) == bytes(image.data_view)}")
copy = image.copy()
image.unload()
print(f"after unload: {image!r} (still {image.width}x{image.height}); its copy: {copy!r}")

section("Image generators")
from tovara.color.color import Color

sky, sun = Color(40, 90, 200, 255), Color(250, 200, 40, 255)
generated = {
    "color": Image.generate_with_color(64, 32, sky),
    "linear_gradient": Image.generate_with_linear_gradient(64, 32, 90, sky, sun),
    "radial_gradient": Image.generate_with_radial_gradient(64, 32, 0.2, sun, sky),
    "square_gradient": Image.generate_with_square_gradient(64, 32, 0.2, sun, sky),
    "checked": Image.generate_with_checked(64, 32, 8, 8, sky, sun),
    "white_noise": Image.generate_with_white_noise(64, 32, 0.3),
    "perlin_noise": Image.generate_with_perlin_noise(64, 32, 0, 0, 4.0),
    "cellular": Image.generate_with_cellular(64, 32, 8),
    "text": Image.generate_with_text(16, 4, "tovara: images from text bytes"),
}
for kind, picture in generated.items():
    path = os.path.join(out, f"{kind}.png")
    picture.export(path)
    print(f"{kind:16} {picture!r:28} -> {path}")

view = generated["color"].data_view
print(f"pixel view: {len(view)} bytes, first pixel {tuple(view[:4])}")
view[0:4] = bytes([sun.r, sun.g, sun.b, sun.a])
print(f"after writing through the view: first pixel {tuple(generated['color'].data_view[:4])}")

section("Cursor")
import tovara.window.window as window
from tovara.cursor.cursor import cursor

window.set_log_level(5)
if window.open_window(320, 200, "tovara tour"):
    cursor.hide()
    print(f"after hide(): hidden={cursor.hidden} enabled={cursor.enabled} on_screen={cursor.on_screen}")
    cursor.show()
    print(f"after show(): hidden={cursor.hidden}")
    cursor.disable()
    print(f"after disable(): enabled={cursor.enabled}")
    cursor.enable()
    print(f"after enable(): enabled={cursor.enabled}")
else:
    print("no window could be opened")

section("Sound: a tone, an alias, both played")
import math
import struct
import time
import wave

from tovara.sound.sound import Sound

tone_path = os.path.join(out, "tone.wav")
with wave.open(tone_path, "wb") as wav:
    wav.setnchannels(1)
    wav.setsampwidth(2)
    wav.setframerate(22050)
    wav.writeframes(b"".join(struct.pack("<h", int(6000 * math.sin(2 * math.pi * 440 * i / 22050)))
                             for i in range(22050 // 2)))
if window.open_audio():
    tone = Sound.load(tone_path)
    echo = Sound.load_alias(tone)
    echo.pitch = 1.5
    tone.play()
    echo.play()
    time.sleep(0.1)
    print(f"tone: {tone.frame_count} frames, playing={tone.playing}; alias: {echo.frame_count} frames, "
          f"playing={echo.playing}, pitch={echo.pitch}")
    tone.unload()  # the alias keeps the sample data alive
    time.sleep(0.05)
    print(f"after unloading the source: alias playing={echo.playing}")
    echo.stop()
    window.close_audio()
else:
    print("no audio device could be opened")

section("Colors: a swatch of the whole palette")
from tovara.colors.colors import Colors, colors

names = [name for name in vars(Colors) if not name.startswith("__")]
square, per_row = 16, 16
rows = (len(names) + per_row - 1) // per_row
swatch = Image.generate_with_color(square * per_row, square * rows, colors.White)
pixels = swatch.data_view
for index, name in enumerate(names):
    color = getattr(colors, name)
    tile = bytes(Image.generate_with_color(square, 1, color).data_view)
    left, top = (index % per_row) * square, (index // per_row) * square
    for y in range(top, top + square):
        start = (y * swatch.width + left) * 4
        pixels[start:start + len(tile)] = tile
swatch_path = os.path.join(out, "palette.png")
swatch.export(swatch_path)
print(f"{len(names)} colors, e.g. AliceBlue={colors.AliceBlue!r}; swatch written to {swatch_path}")
