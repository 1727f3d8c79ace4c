"""Draws the pictures of docs/images with the package's own generators and `Image.export`.

    tools/pictures.py [FOLDER]   (default: docs/images)

Run against a build by `tools/devenv docs`. Every picture is 128 pixels wide, made by the call its
row names; the guide shows each beside that call, and the test run checks that the deterministic
ones regenerate byte for byte. White noise and cellular use raylib's random generator: they come
out the same from a fresh process that opens no window (raylib's default seed), so this script
does not churn them, but not in the test run, where opening a window has seeded it by the clock.
"""
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
    if not palette_swatch().export(str(folder / PALETTE)):
        raise SystemExit(f"could not write {folder / PALETTE}")
    return made + [PALETTE]


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "images"
    names = render(target)
    print(f"{len(names)} pictures in {target}: {', '.join(names)}")
