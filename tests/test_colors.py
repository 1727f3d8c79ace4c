"""The named color palette."""
import pickle

import pytest

import tovara.colors.colors as colors_module
from conftest import FREE_THREADED
from tovara.color.color import Color
from tovara.colors.colors import Colors, colors

# The palette, as #RRGGBBAA, kept apart from the module's own table.
EXPECTED = {
    "AliceBlue": "#F0F8FFFF",
    "AntiqueWhite": "#FAEBD7FF",
    "Aqua": "#00FFFFFF",
    "Aquamarine": "#7FFFD4FF",
    "Azure": "#F0FFFFFF",
    "Beige": "#F5F5DCFF",
    "Bisque": "#FFE4C4FF",
    "Black": "#000000FF",
    "Blank": "#00000000",
    "BlanchedAlmond": "#FFEBCDFF",
    "Blue": "#0000FFFF",
    "BlueViolet": "#8A2BE2FF",
    "Brown": "#A52A2AFF",
    "BurlyWood": "#DEB887FF",
    "CadetBlue": "#5F9EA0FF",
    "Chartreuse": "#7FFF00FF",
    "Chocolate": "#D2691EFF",
    "Coral": "#FF7F50FF",
    "CornflowerBlue": "#6495EDFF",
    "Cornsilk": "#FFF8DCFF",
    "Crimson": "#DC143CFF",
    "Cyan": "#00FFFFFF",
    "DarkBlue": "#00008BFF",
    "DarkCyan": "#008B8BFF",
    "DarkGoldenrod": "#B8860BFF",
    "DarkGray": "#A9A9A9FF",
    "DarkGrey": "#A9A9A9FF",
    "DarkGreen": "#006400FF",
    "DarkKhaki": "#BDB76BFF",
    "DarkMagenta": "#8B008BFF",
    "DarkOliveGreen": "#556B2FFF",
    "DarkOrange": "#FF8C00FF",
    "DarkOrchid": "#9932CCFF",
    "DarkRed": "#8B0000FF",
    "DarkSalmon": "#E9967AFF",
    "DarkSeaGreen": "#8FBC8FFF",
    "DarkSlateBlue": "#483D8BFF",
    "DarkSlateGray": "#2F4F4FFF",
    "DarkSlateGrey": "#2F4F4FFF",
    "DarkTurquoise": "#00CED1FF",
    "DarkViolet": "#9400D3FF",
    "DeepPink": "#FF1493FF",
    "DeepSkyBlue": "#00BFFFFF",
    "DimGray": "#696969FF",
    "DimGrey": "#696969FF",
    "DodgerBlue": "#1E90FFFF",
    "FireBrick": "#B22222FF",
    "FloralWhite": "#FFFAF0FF",
    "ForestGreen": "#228B22FF",
    "Fuchsia": "#FF00FFFF",
    "Gainsboro": "#DCDCDCFF",
    "GhostWhite": "#F8F8FFFF",
    "Gold": "#FFD700FF",
    "Goldenrod": "#DAA520FF",
    "Gray": "#808080FF",
    "Grey": "#808080FF",
    "Green": "#008000FF",
    "GreenYellow": "#ADFF2FFF",
    "Honeydew": "#F0FFF0FF",
    "HotPink": "#FF69B4FF",
    "IndianRed": "#CD5C5CFF",
    "Indigo": "#4B0082FF",
    "Ivory": "#FFFFF0FF",
    "Khaki": "#F0E68CFF",
    "Lavender": "#E6E6FAFF",
    "LavenderBlush": "#FFF0F5FF",
    "LawnGreen": "#7CFC00FF",
    "LemonChiffon": "#FFFACDFF",
    "LightBlue": "#ADD8E6FF",
    "LightCoral": "#F08080FF",
    "LightCyan": "#E0FFFFFF",
    "LightGoldenrodYellow": "#FAFAD2FF",
    "LightGray": "#D3D3D3FF",
    "LightGrey": "#D3D3D3FF",
    "LightGreen": "#90EE90FF",
    "LightPink": "#FFB6C1FF",
    "LightSalmon": "#FFA07AFF",
    "LightSeaGreen": "#20B2AAFF",
    "LightSkyBlue": "#87CEFAFF",
    "LightSlateGray": "#778899FF",
    "LightSlateGrey": "#778899FF",
    "LightSteelBlue": "#B0C4DEFF",
    "LightYellow": "#FFFFE0FF",
    "Lime": "#00FF00FF",
    "LimeGreen": "#32CD32FF",
    "Linen": "#FAF0E6FF",
    "Magenta": "#FF00FFFF",
    "Maroon": "#B03060FF",
    "MediumAquamarine": "#66CDAAFF",
    "MediumBlue": "#0000CDFF",
    "MediumForestGreen": "#32814BFF",
    "MediumOrchid": "#DB70DBFF",
    "MediumPurple": "#9370DBFF",
    "MediumSeaGreen": "#42AA71FF",
    "MediumSlateBlue": "#7FFFD4FF",
    "MediumSpringGreen": "#3CB371FF",
    "MediumTurquoise": "#70DBDBFF",
    "MediumVioletRed": "#C71585FF",
    "MidnightBlue": "#191970FF",
    "MintCream": "#F5FFFAFF",
    "MistyRose": "#FFE4E1FF",
    "Moccasin": "#FFE4B5FF",
    "NavajoWhite": "#FFDEADFF",
    "Navy": "#000080FF",
    "NavyBlue": "#000080FF",
    "OldLace": "#FDF5E6FF",
    "Olive": "#808000FF",
    "OliveDrab": "#6B8E23FF",
    "Orange": "#FFA500FF",
    "OrangeRed": "#FF4500FF",
    "Orchid": "#DA70D6FF",
    "PaleGoldenrod": "#EEE8AAFF",
    "PaleGreen": "#98FB98FF",
    "PaleTurquoise": "#AFEEEEFF",
    "PaleVioletRed": "#DB7093FF",
    "PapayaWhip": "#FFEFD5FF",
    "PeachPuff": "#FFDAB9FF",
    "Peru": "#CD853FFF",
    "Pink": "#FFC0CBFF",
    "Plum": "#DDA0DDFF",
    "PowderBlue": "#B0E0E6FF",
    "Purple": "#A020F0FF",
    "RebeccaPurple": "#663399FF",
    "Red": "#FF0000FF",
    "RosyBrown": "#BC8F8FFF",
    "RoyalBlue": "#4169E1FF",
    "SaddleBrown": "#8B4513FF",
    "Salmon": "#FA8072FF",
    "SandyBrown": "#F4A460FF",
    "SeaGreen": "#2E8B57FF",
    "Seashell": "#FFF5EEFF",
    "Sienna": "#A0522DFF",
    "Silver": "#C0C0C0FF",
    "SkyBlue": "#87CEEBFF",
    "SlateBlue": "#6A5ACDFF",
    "SlateGray": "#708090FF",
    "SlateGrey": "#708090FF",
    "Snow": "#FFFAFAFF",
    "SpringGreen": "#00FF7FFF",
    "SteelBlue": "#4682B4FF",
    "Tan": "#D2B48CFF",
    "Teal": "#008080FF",
    "Thistle": "#D8BFD8FF",
    "Tomato": "#FF6347FF",
    "Turquoise": "#40E0D0FF",
    "Violet": "#EE82EEFF",
    "VioletRed": "#D02090FF",
    "Wheat": "#F5DEB3FF",
    "White": "#FFFFFFFF",
    "WhiteSmoke": "#F5F5F5FF",
    "Yellow": "#FFFF00FF",
    "YellowGreen": "#9ACD32FF",
}


def rgba(color):
    return f"#{color.r:02X}{color.g:02X}{color.b:02X}{color.a:02X}"


@pytest.fixture
def palette():
    return Colors()


def test_every_color_has_its_value_in_table_order(palette):
    names = [name for name in vars(Colors) if not name.startswith("__")]
    assert names == list(EXPECTED)
    assert {name: rgba(getattr(palette, name)) for name in EXPECTED} == EXPECTED
    assert {name: rgba(getattr(colors, name)) for name in EXPECTED} == EXPECTED


def test_only_blank_is_transparent():
    assert [name for name, value in EXPECTED.items() if not value.endswith("FF")] == ["Blank"]
    assert colors.Blank.a == 0 and colors.MediumSlateBlue.a == 255


def test_reads_give_the_stored_object_and_equal_rows_distinct_objects(palette):
    assert palette.AliceBlue is palette.AliceBlue
    assert palette.Aqua is not palette.Cyan and rgba(palette.Aqua) == rgba(palette.Cyan)
    assert palette.Red is not colors.Red
    assert type(palette.Red) is Color


def test_assignment_stores_the_object_and_deletion_stores_none(palette):
    class Shade(Color):
        pass
    shade = Shade(1, 2, 3, 4)
    palette.Red = shade
    assert palette.Red is shade
    palette.Red = None
    assert palette.Red is None
    palette.Blue = Color(0, 0, 1, 1)
    del palette.Blue
    assert palette.Blue is None


@pytest.mark.parametrize("value, type_name", [((255, 0, 0), "tuple"), ("red", "str"), (0xFF0000, "int")])
def test_assigning_anything_else_is_refused(palette, value, type_name):
    before = palette.Red
    with pytest.raises(TypeError) as error:
        palette.Red = value
    assert str(error.value) == f"Cannot convert {type_name} to tovara.color.color.Color"
    assert palette.Red is before
    frames = [f.f_code.co_name for f, _ in __import__("traceback").walk_tb(error.value.__traceback__)]
    assert frames[-1] == "tovara.colors.colors.Colors.Red.__set__"


def test_unknown_attributes_are_refused(palette):
    with pytest.raises(AttributeError):
        palette.Chartreuse2 = Color(1, 2, 3, 4)


@pytest.mark.parametrize("call, message", [
    (lambda: Colors(1), "__init__() takes exactly 0 positional arguments (1 given)"),
    (lambda: Colors(1, 2), "__init__() takes exactly 0 positional arguments (2 given)"),
    (lambda: Colors(x=1), "__init__() got an unexpected keyword argument 'x'"),
    (lambda: colors.__init__(y=2), "__init__() got an unexpected keyword argument 'y'"),
])
def test_constructor_refuses_arguments(call, message):
    with pytest.raises(TypeError) as error:
        call()
    assert str(error.value) == message


def test_new_gives_an_empty_palette_and_init_refills_it(palette):
    empty = Colors.__new__(Colors)
    assert all(getattr(empty, name) is None for name in EXPECTED)
    old = palette.Red
    palette.Red = None
    del palette.Gold
    assert palette.__init__() is None
    assert palette.Red is not old and {name: rgba(getattr(palette, name)) for name in EXPECTED} == EXPECTED


def test_subclasses_use_their_own_init():
    class Themed(Colors):
        def __init__(self, accent):
            super().__init__()
            self.Red = accent
    accent = Color(200, 10, 10, 255)
    assert Themed(accent).Red is accent and Themed(accent).Blue.b == 255


SPY = """
    import sys, types
    import _capi_probe as probe
    fake = types.ModuleType("tovara.color.color")
    fake.Color = probe.Color  # ColorSpy, under the name it stands in for
    sys.modules["tovara.color.color"] = fake
    from tovara.colors.colors import Colors, colors
    calls = probe.color_spy({fail_at})
"""


def test_a_failing_color_call_leaves_the_palette_partly_refreshed(python):
    result = python(SPY.format(fail_at=152 + 5) + """
    first, blue = colors.AliceBlue, colors.Blue
    try:
        colors.__init__()
    except RuntimeError as error:
        import traceback
        print(error, "|", traceback.extract_tb(error.__traceback__)[-1].name)
    print(colors.AliceBlue is not first, colors.Azure is not None, colors.Beige is not None, colors.Blue is blue)
    print(Colors.__new__(Colors).Red is None)""")
    assert result.stdout.splitlines() == [
        "ColorSpy told to fail | tovara.colors.colors.Colors.__init__", "True True True True", "True"], result.stderr


def test_a_failing_color_call_leaves_the_rest_of_a_new_palette_none(python):
    result = python(SPY.format(fail_at=152 + 3) + """
    class Palette(Colors):
        pass
    palette = Palette.__new__(Palette)
    try:
        palette.__init__()
    except RuntimeError:
        pass
    print(palette.AliceBlue is not None, palette.AntiqueWhite is not None, palette.Aqua, palette.YellowGreen)""")
    assert result.stdout.split() == ["True", "True", "None", "None"], result.stderr


def test_argument_tuples_are_made_once_and_shared_between_equal_rows(python):
    result = python(SPY.format(fail_at=-1) + """
    Colors()
    first, second = calls[:152], calls[152:]
    print(all(a is b for a, b in zip(first, second)))  # reused by every palette
    names = [n for n in vars(Colors) if not n.startswith("__")]
    row = dict(zip(names, first))
    print(row["Aquamarine"] is row["MediumSlateBlue"], row["Gray"] is row["Grey"], row["Red"] is not row["Blue"])
    print(len({id(t) for t in first}), len(set(first)), first[0], type(first[0]).__name__)""")
    lines = result.stdout.splitlines()
    assert lines[:2] == ["True", "True True True"], result.stderr
    distinct = len(set(EXPECTED.values()))
    assert lines[2] == f"{distinct} {distinct} (240, 248, 255, 255) tuple"


def test_the_palette_is_not_picklable():
    with pytest.raises(TypeError):
        pickle.dumps(colors)
    assert colors_module.__test__ == {} and not hasattr(colors_module, "__reduce_cython__")


def test_concurrent_reads_and_writes_never_crash(python):
    result = python("""
        import threading, time
        from tovara.color.color import Color
        from tovara.colors.colors import Colors
        palette, stop, bad = Colors(), threading.Event(), []
        names = ["Red", "Green", "Blue", "Gold"]
        def reader():
            while not stop.is_set():
                for name in names:
                    value = getattr(palette, name)
                    if value is not None and not (0 <= value.r <= 255):
                        bad.append(name)
        def writer(seed):
            shades = [Color(seed, i, i, 255) for i in range(50)]
            while not stop.is_set():
                for i, name in enumerate(names):
                    setattr(palette, name, shades[i % 50])
                    delattr(palette, name) if i % 3 == 0 else None
                palette.__init__()
        threads = [threading.Thread(target=reader) for _ in range(4)]
        threads += [threading.Thread(target=writer, args=(n,)) for n in range(4)]
        for t in threads: t.start()
        time.sleep(1.5)
        stop.set()
        for t in threads: t.join()
        print("ok", bad)""", **({"PYTHON_GIL": "0"} if FREE_THREADED else {}))
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip() == "ok []"
