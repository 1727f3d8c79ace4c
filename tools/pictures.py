"""Draws the pictures of docs/images with the package's own generators, frames and `Image.export`.

    tools/pictures.py [FOLDER]   (default: docs/images)

Run against a build by `tools/devenv docs`. Every picture is 128 pixels wide, made by the call its
row names; the guide shows each beside that call, and the test run checks that the deterministic
ones regenerate byte for byte. White noise and cellular use raylib's random generator: they come
out the same from a fresh process that opens no window (raylib's default seed), so this script
does not churn them, but not in the test run, where opening a window has seeded it by the clock.
"""
import math
import struct
import sys
from pathlib import Path

from tovara.colors.colors import Colors, colors
from tovara.image.image import Image

ROOT = Path(__file__).resolve().parents[1]
SIZE = 128

# (file, call): each call is evaluated with `Image` and `colors` in scope.
PICTURES = [
    ("linear_gradient_0.png", "Image.generate_with_linear_gradient(128, 128, 0, colors.DarkBlue, colors.Gold)"),
    ("linear_gradient_45.png", "Image.generate_with_linear_gradient(128, 128, 45, colors.DarkBlue, colors.Gold)"),
    ("linear_gradient_90.png", "Image.generate_with_linear_gradient(128, 128, 90, colors.DarkBlue, colors.Gold)"),
    ("radial_gradient_0.png", "Image.generate_with_radial_gradient(128, 128, 0.0, colors.Gold, colors.DarkBlue)"),
    ("radial_gradient_0.5.png", "Image.generate_with_radial_gradient(128, 128, 0.5, colors.Gold, colors.DarkBlue)"),
    ("square_gradient_0.png", "Image.generate_with_square_gradient(128, 128, 0.0, colors.Gold, colors.DarkBlue)"),
    ("square_gradient_0.5.png", "Image.generate_with_square_gradient(128, 128, 0.5, colors.Gold, colors.DarkBlue)"),
    ("checked.png", "Image.generate_with_checked(128, 128, 32, 16, colors.DarkBlue, colors.Gold)"),
    ("white_noise.png", "Image.generate_with_white_noise(128, 128, 0.3)"),
    ("perlin_noise.png", "Image.generate_with_perlin_noise(128, 128, 0, 0, 4.0)"),
    ("cellular.png", "Image.generate_with_cellular(128, 128, 32)"),
    ("text.png", 'Image.generate_with_text(128, 128, "Hello, raylib! " * 800)'),
    ("from_channel.png",
     "Image.generate_with_linear_gradient(128, 128, 45, colors.DarkBlue, colors.Gold).from_channel(0)"),
]
RANDOM = {"white_noise.png", "cellular.png"}
PALETTE = "palette.png"
SPRITE_SHEET = "sprite_sheet.png"


def palette_swatch():
    """Every color of the palette in its order, an 8x8 square each, 16 to a row."""
    names = [name for name in vars(Colors) if not name.startswith("__")]
    swatch = Image.generate_with_color(SIZE, 8 * ((len(names) + 15) // 16), colors.White)
    view = swatch.data_view
    for index, name in enumerate(names):
        square = bytes(Image.generate_with_color(8, 1, getattr(colors, name)).data_view)
        left, top = index % 16 * 8, index // 16 * 8
        for y in range(top, top + 8):
            start = (y * SIZE + left) * 4
            view[start:start + len(square)] = square
    return swatch


def gif(frames, side, palette, delay):
    """An animated GIF of `side` by `side` frames (bytes of palette indices, index 0 transparent),
    each shown `delay` milliseconds, then disposed to the background. Its LZW codes keep to 3 bits:
    a clear code before every two pixels stops the code table from growing."""
    data = b"GIF89a" + struct.pack("<HHBBB", side, side, 0x81, 0, 0) + bytes(sum(palette, ()))
    for pixels in frames:
        codes = [code for at in range(0, len(pixels), 2) for code in (4, *pixels[at:at + 2])] + [5]
        packed = sum(code << 3 * i for i, code in enumerate(codes)).to_bytes((3 * len(codes) + 7) // 8, "little")
        blocks = b"".join(bytes([len(packed[at:at + 255])]) + packed[at:at + 255] for at in range(0, len(packed), 255))
        data += b"!\xf9\x04\x09" + struct.pack("<H", delay // 10) + b"\x00\x00"  # to background, 0 transparent
        data += b"," + struct.pack("<HHHHB", 0, 0, side, side, 0) + b"\x02" + blocks + b"\x00"
    return data + b";"


def bouncing_ball(count=8, side=32):
    """The frames of a ball bouncing once, squashed where it meets the floor, over its shadow."""
    frames = []
    for frame in range(count):
        height = math.sin(math.pi * frame / count)  # 0 on the floor, 1 at the top
        squash = 0.25 * max(0.0, 1 - 4 * height)
        rx, ry = 6 * (1 + squash), 6 * (1 - squash)
        floor = side - 4
        cx, cy = side / 2, floor - ry - 14 * height
        shadow = 8 - 4 * height
        pixels = bytearray(side * side)
        for y in range(side):
            for x in range(side):
                dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1:
                    pixels[y * side + x] = 2 if dx + dy > 0.6 else 1  # shaded toward the lower right
                elif ((x + 0.5 - side / 2) / shadow) ** 2 + ((y + 0.5 - floor) / 2) ** 2 <= 1:
                    pixels[y * side + x] = 3
        frames.append(bytes(pixels))
    return frames


def sprite_sheet(columns=4):
    """The bouncing ball's frames, as `load_anim_from_memory` reads them from its GIF, laid out
    left to right and top to bottom in one image."""
    palette = [(0, 0, 0), (255, 203, 0), (200, 120, 0), (90, 90, 110)]
    animation, count = Image.load_anim_from_memory(".gif", gif(bouncing_ball(), 32, palette, 60))
    side = animation.width
    sheet = Image.generate_with_color(side * columns, side * -(-count // columns), colors.Blank)
    cells = sheet.data_view
    for index in range(count):
        pixels = animation.frame(index).data_view
        left, top = index % columns * side, index // columns * side
        for y in range(side):
            start = ((top + y) * sheet.width + left) * 4
            cells[start:start + side * 4] = pixels[y * side * 4:(y + 1) * side * 4]
    return sheet


def render(folder):
    """Writes every picture into `folder`; returns their names."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    made = []
    for name, call in PICTURES:
        image = eval(call, {"Image": Image, "colors": colors})
        if not image.export(str(folder / name)):
            raise SystemExit(f"could not write {folder / name}")
        made.append(name)
    for name, picture in ((PALETTE, palette_swatch()), (SPRITE_SHEET, sprite_sheet())):
        if not picture.export(str(folder / name)):
            raise SystemExit(f"could not write {folder / name}")
    return made + [PALETTE, SPRITE_SHEET]


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "images"
    names = render(target)
    print(f"{len(names)} pictures in {target}: {', '.join(names)}")
