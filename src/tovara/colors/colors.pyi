"""A palette of 152 named colors; `colors` is the one made at import.

The names are the 148 CSS named colors in CamelCase plus `Blank`, `MediumForestGreen`, `NavyBlue`
and `VioletRed`; every value equals its CSS one except where a color's note says otherwise.
"""

from typing import Any

from typing_extensions import disjoint_base

from tovara.color.color import Color

@disjoint_base
class Colors:
    """152 named colors as attributes, each holding a `Color` object.

    Reading an attribute gives the stored object itself (the same one until it is replaced).
    Assigning stores a `Color` (or a subclass instance) or None, the object itself, not a copy;
    any other value raises TypeError ("Cannot convert tuple to tovara.color.color.Color") and
    leaves the attribute unchanged. Deleting an attribute sets it to None. A name outside the
    palette raises AttributeError on assignment. Reads and assignments are atomic across threads.

    Typing: reads are typed `Color` and assignments `Color | None`. A palette is filled when it
    is made and by `__init__()`, and an attribute reads None only after the program itself
    assigned None or deleted it; typing every read as optional would make each use check for a
    state that only the caller can cause. A program that clears attributes and reads them back
    should treat those reads as `Color | None` itself.
    """

    def __init__(self) -> None:
        """Fill (or refill) all 152 attributes with new `Color` objects of the palette's values.

        Raises:
            TypeError: any argument is given.
        """
    @property
    def AliceBlue(self) -> Color:
        """Color(240, 248, 255, 255)."""
    @AliceBlue.setter
    def AliceBlue(self, value: Color | None) -> None: ...
    @AliceBlue.deleter
    def AliceBlue(self) -> None: ...
    @property
    def AntiqueWhite(self) -> Color:
        """Color(250, 235, 215, 255)."""
    @AntiqueWhite.setter
    def AntiqueWhite(self, value: Color | None) -> None: ...
    @AntiqueWhite.deleter
    def AntiqueWhite(self) -> None: ...
    @property
    def Aqua(self) -> Color:
        """Color(0, 255, 255, 255)."""
    @Aqua.setter
    def Aqua(self, value: Color | None) -> None: ...
    @Aqua.deleter
    def Aqua(self) -> None: ...
    @property
    def Aquamarine(self) -> Color:
        """Color(127, 255, 212, 255)."""
    @Aquamarine.setter
    def Aquamarine(self, value: Color | None) -> None: ...
    @Aquamarine.deleter
    def Aquamarine(self) -> None: ...
    @property
    def Azure(self) -> Color:
        """Color(240, 255, 255, 255)."""
    @Azure.setter
    def Azure(self, value: Color | None) -> None: ...
    @Azure.deleter
    def Azure(self) -> None: ...
    @property
    def Beige(self) -> Color:
        """Color(245, 245, 220, 255)."""
    @Beige.setter
    def Beige(self, value: Color | None) -> None: ...
    @Beige.deleter
    def Beige(self) -> None: ...
    @property
    def Bisque(self) -> Color:
        """Color(255, 228, 196, 255)."""
    @Bisque.setter
    def Bisque(self, value: Color | None) -> None: ...
    @Bisque.deleter
    def Bisque(self) -> None: ...
    @property
    def Black(self) -> Color:
        """Color(0, 0, 0, 255)."""
    @Black.setter
    def Black(self, value: Color | None) -> None: ...
    @Black.deleter
    def Black(self) -> None: ...
    @property
    def Blank(self) -> Color:
        """Color(0, 0, 0, 0): transparent black; not a CSS name."""
    @Blank.setter
    def Blank(self, value: Color | None) -> None: ...
    @Blank.deleter
    def Blank(self) -> None: ...
    @property
    def BlanchedAlmond(self) -> Color:
        """Color(255, 235, 205, 255)."""
    @BlanchedAlmond.setter
    def BlanchedAlmond(self, value: Color | None) -> None: ...
    @BlanchedAlmond.deleter
    def BlanchedAlmond(self) -> None: ...
    @property
    def Blue(self) -> Color:
        """Color(0, 0, 255, 255)."""
    @Blue.setter
    def Blue(self, value: Color | None) -> None: ...
    @Blue.deleter
    def Blue(self) -> None: ...
    @property
    def BlueViolet(self) -> Color:
        """Color(138, 43, 226, 255)."""
    @BlueViolet.setter
    def BlueViolet(self, value: Color | None) -> None: ...
    @BlueViolet.deleter
    def BlueViolet(self) -> None: ...
    @property
    def Brown(self) -> Color:
        """Color(165, 42, 42, 255)."""
    @Brown.setter
    def Brown(self, value: Color | None) -> None: ...
    @Brown.deleter
    def Brown(self) -> None: ...
    @property
    def BurlyWood(self) -> Color:
        """Color(222, 184, 135, 255)."""
    @BurlyWood.setter
    def BurlyWood(self, value: Color | None) -> None: ...
    @BurlyWood.deleter
    def BurlyWood(self) -> None: ...
    @property
    def CadetBlue(self) -> Color:
        """Color(95, 158, 160, 255)."""
    @CadetBlue.setter
    def CadetBlue(self, value: Color | None) -> None: ...
    @CadetBlue.deleter
    def CadetBlue(self) -> None: ...
    @property
    def Chartreuse(self) -> Color:
        """Color(127, 255, 0, 255)."""
    @Chartreuse.setter
    def Chartreuse(self, value: Color | None) -> None: ...
    @Chartreuse.deleter
    def Chartreuse(self) -> None: ...
    @property
    def Chocolate(self) -> Color:
        """Color(210, 105, 30, 255)."""
    @Chocolate.setter
    def Chocolate(self, value: Color | None) -> None: ...
    @Chocolate.deleter
    def Chocolate(self) -> None: ...
    @property
    def Coral(self) -> Color:
        """Color(255, 127, 80, 255)."""
    @Coral.setter
    def Coral(self, value: Color | None) -> None: ...
    @Coral.deleter
    def Coral(self) -> None: ...
    @property
    def CornflowerBlue(self) -> Color:
        """Color(100, 149, 237, 255)."""
    @CornflowerBlue.setter
    def CornflowerBlue(self, value: Color | None) -> None: ...
    @CornflowerBlue.deleter
    def CornflowerBlue(self) -> None: ...
    @property
    def Cornsilk(self) -> Color:
        """Color(255, 248, 220, 255)."""
    @Cornsilk.setter
    def Cornsilk(self, value: Color | None) -> None: ...
    @Cornsilk.deleter
    def Cornsilk(self) -> None: ...
    @property
    def Crimson(self) -> Color:
        """Color(220, 20, 60, 255)."""
    @Crimson.setter
    def Crimson(self, value: Color | None) -> None: ...
    @Crimson.deleter
    def Crimson(self) -> None: ...
    @property
    def Cyan(self) -> Color:
        """Color(0, 255, 255, 255)."""
    @Cyan.setter
    def Cyan(self, value: Color | None) -> None: ...
    @Cyan.deleter
    def Cyan(self) -> None: ...
    @property
    def DarkBlue(self) -> Color:
        """Color(0, 0, 139, 255)."""
    @DarkBlue.setter
    def DarkBlue(self, value: Color | None) -> None: ...
    @DarkBlue.deleter
    def DarkBlue(self) -> None: ...
    @property
    def DarkCyan(self) -> Color:
        """Color(0, 139, 139, 255)."""
    @DarkCyan.setter
    def DarkCyan(self, value: Color | None) -> None: ...
    @DarkCyan.deleter
    def DarkCyan(self) -> None: ...
    @property
    def DarkGoldenrod(self) -> Color:
        """Color(184, 134, 11, 255)."""
    @DarkGoldenrod.setter
    def DarkGoldenrod(self, value: Color | None) -> None: ...
    @DarkGoldenrod.deleter
    def DarkGoldenrod(self) -> None: ...
    @property
    def DarkGray(self) -> Color:
        """Color(169, 169, 169, 255)."""
    @DarkGray.setter
    def DarkGray(self, value: Color | None) -> None: ...
    @DarkGray.deleter
    def DarkGray(self) -> None: ...
    @property
    def DarkGrey(self) -> Color:
        """Color(169, 169, 169, 255)."""
    @DarkGrey.setter
    def DarkGrey(self, value: Color | None) -> None: ...
    @DarkGrey.deleter
    def DarkGrey(self) -> None: ...
    @property
    def DarkGreen(self) -> Color:
        """Color(0, 100, 0, 255)."""
    @DarkGreen.setter
    def DarkGreen(self, value: Color | None) -> None: ...
    @DarkGreen.deleter
    def DarkGreen(self) -> None: ...
    @property
    def DarkKhaki(self) -> Color:
        """Color(189, 183, 107, 255)."""
    @DarkKhaki.setter
    def DarkKhaki(self, value: Color | None) -> None: ...
    @DarkKhaki.deleter
    def DarkKhaki(self) -> None: ...
    @property
    def DarkMagenta(self) -> Color:
        """Color(139, 0, 139, 255)."""
    @DarkMagenta.setter
    def DarkMagenta(self, value: Color | None) -> None: ...
    @DarkMagenta.deleter
    def DarkMagenta(self) -> None: ...
    @property
    def DarkOliveGreen(self) -> Color:
        """Color(85, 107, 47, 255)."""
    @DarkOliveGreen.setter
    def DarkOliveGreen(self, value: Color | None) -> None: ...
    @DarkOliveGreen.deleter
    def DarkOliveGreen(self) -> None: ...
    @property
    def DarkOrange(self) -> Color:
        """Color(255, 140, 0, 255)."""
    @DarkOrange.setter
    def DarkOrange(self, value: Color | None) -> None: ...
    @DarkOrange.deleter
    def DarkOrange(self) -> None: ...
    @property
    def DarkOrchid(self) -> Color:
        """Color(153, 50, 204, 255)."""
    @DarkOrchid.setter
    def DarkOrchid(self, value: Color | None) -> None: ...
    @DarkOrchid.deleter
    def DarkOrchid(self) -> None: ...
    @property
    def DarkRed(self) -> Color:
        """Color(139, 0, 0, 255)."""
    @DarkRed.setter
    def DarkRed(self, value: Color | None) -> None: ...
    @DarkRed.deleter
    def DarkRed(self) -> None: ...
    @property
    def DarkSalmon(self) -> Color:
        """Color(233, 150, 122, 255)."""
    @DarkSalmon.setter
    def DarkSalmon(self, value: Color | None) -> None: ...
    @DarkSalmon.deleter
    def DarkSalmon(self) -> None: ...
    @property
    def DarkSeaGreen(self) -> Color:
        """Color(143, 188, 143, 255)."""
    @DarkSeaGreen.setter
    def DarkSeaGreen(self, value: Color | None) -> None: ...
    @DarkSeaGreen.deleter
    def DarkSeaGreen(self) -> None: ...
    @property
    def DarkSlateBlue(self) -> Color:
        """Color(72, 61, 139, 255)."""
    @DarkSlateBlue.setter
    def DarkSlateBlue(self, value: Color | None) -> None: ...
    @DarkSlateBlue.deleter
    def DarkSlateBlue(self) -> None: ...
    @property
    def DarkSlateGray(self) -> Color:
        """Color(47, 79, 79, 255)."""
    @DarkSlateGray.setter
    def DarkSlateGray(self, value: Color | None) -> None: ...
    @DarkSlateGray.deleter
    def DarkSlateGray(self) -> None: ...
    @property
    def DarkSlateGrey(self) -> Color:
        """Color(47, 79, 79, 255)."""
    @DarkSlateGrey.setter
    def DarkSlateGrey(self, value: Color | None) -> None: ...
    @DarkSlateGrey.deleter
    def DarkSlateGrey(self) -> None: ...
    @property
    def DarkTurquoise(self) -> Color:
        """Color(0, 206, 209, 255)."""
    @DarkTurquoise.setter
    def DarkTurquoise(self, value: Color | None) -> None: ...
    @DarkTurquoise.deleter
    def DarkTurquoise(self) -> None: ...
    @property
    def DarkViolet(self) -> Color:
        """Color(148, 0, 211, 255)."""
    @DarkViolet.setter
    def DarkViolet(self, value: Color | None) -> None: ...
    @DarkViolet.deleter
    def DarkViolet(self) -> None: ...
    @property
    def DeepPink(self) -> Color:
        """Color(255, 20, 147, 255)."""
    @DeepPink.setter
    def DeepPink(self, value: Color | None) -> None: ...
    @DeepPink.deleter
    def DeepPink(self) -> None: ...
    @property
    def DeepSkyBlue(self) -> Color:
        """Color(0, 191, 255, 255)."""
    @DeepSkyBlue.setter
    def DeepSkyBlue(self, value: Color | None) -> None: ...
    @DeepSkyBlue.deleter
    def DeepSkyBlue(self) -> None: ...
    @property
    def DimGray(self) -> Color:
        """Color(105, 105, 105, 255)."""
    @DimGray.setter
    def DimGray(self, value: Color | None) -> None: ...
    @DimGray.deleter
    def DimGray(self) -> None: ...
    @property
    def DimGrey(self) -> Color:
        """Color(105, 105, 105, 255)."""
    @DimGrey.setter
    def DimGrey(self, value: Color | None) -> None: ...
    @DimGrey.deleter
    def DimGrey(self) -> None: ...
    @property
    def DodgerBlue(self) -> Color:
        """Color(30, 144, 255, 255)."""
    @DodgerBlue.setter
    def DodgerBlue(self, value: Color | None) -> None: ...
    @DodgerBlue.deleter
    def DodgerBlue(self) -> None: ...
    @property
    def FireBrick(self) -> Color:
        """Color(178, 34, 34, 255)."""
    @FireBrick.setter
    def FireBrick(self, value: Color | None) -> None: ...
    @FireBrick.deleter
    def FireBrick(self) -> None: ...
    @property
    def FloralWhite(self) -> Color:
        """Color(255, 250, 240, 255)."""
    @FloralWhite.setter
    def FloralWhite(self, value: Color | None) -> None: ...
    @FloralWhite.deleter
    def FloralWhite(self) -> None: ...
    @property
    def ForestGreen(self) -> Color:
        """Color(34, 139, 34, 255)."""
    @ForestGreen.setter
    def ForestGreen(self, value: Color | None) -> None: ...
    @ForestGreen.deleter
    def ForestGreen(self) -> None: ...
    @property
    def Fuchsia(self) -> Color:
        """Color(255, 0, 255, 255)."""
    @Fuchsia.setter
    def Fuchsia(self, value: Color | None) -> None: ...
    @Fuchsia.deleter
    def Fuchsia(self) -> None: ...
    @property
    def Gainsboro(self) -> Color:
        """Color(220, 220, 220, 255)."""
    @Gainsboro.setter
    def Gainsboro(self, value: Color | None) -> None: ...
    @Gainsboro.deleter
    def Gainsboro(self) -> None: ...
    @property
    def GhostWhite(self) -> Color:
        """Color(248, 248, 255, 255)."""
    @GhostWhite.setter
    def GhostWhite(self, value: Color | None) -> None: ...
    @GhostWhite.deleter
    def GhostWhite(self) -> None: ...
    @property
    def Gold(self) -> Color:
        """Color(255, 215, 0, 255)."""
    @Gold.setter
    def Gold(self, value: Color | None) -> None: ...
    @Gold.deleter
    def Gold(self) -> None: ...
    @property
    def Goldenrod(self) -> Color:
        """Color(218, 165, 32, 255)."""
    @Goldenrod.setter
    def Goldenrod(self, value: Color | None) -> None: ...
    @Goldenrod.deleter
    def Goldenrod(self) -> None: ...
    @property
    def Gray(self) -> Color:
        """Color(128, 128, 128, 255)."""
    @Gray.setter
    def Gray(self, value: Color | None) -> None: ...
    @Gray.deleter
    def Gray(self) -> None: ...
    @property
    def Grey(self) -> Color:
        """Color(128, 128, 128, 255)."""
    @Grey.setter
    def Grey(self, value: Color | None) -> None: ...
    @Grey.deleter
    def Grey(self) -> None: ...
    @property
    def Green(self) -> Color:
        """Color(0, 128, 0, 255)."""
    @Green.setter
    def Green(self, value: Color | None) -> None: ...
    @Green.deleter
    def Green(self) -> None: ...
    @property
    def GreenYellow(self) -> Color:
        """Color(173, 255, 47, 255)."""
    @GreenYellow.setter
    def GreenYellow(self, value: Color | None) -> None: ...
    @GreenYellow.deleter
    def GreenYellow(self) -> None: ...
    @property
    def Honeydew(self) -> Color:
        """Color(240, 255, 240, 255)."""
    @Honeydew.setter
    def Honeydew(self, value: Color | None) -> None: ...
    @Honeydew.deleter
    def Honeydew(self) -> None: ...
    @property
    def HotPink(self) -> Color:
        """Color(255, 105, 180, 255)."""
    @HotPink.setter
    def HotPink(self, value: Color | None) -> None: ...
    @HotPink.deleter
    def HotPink(self) -> None: ...
    @property
    def IndianRed(self) -> Color:
        """Color(205, 92, 92, 255)."""
    @IndianRed.setter
    def IndianRed(self, value: Color | None) -> None: ...
    @IndianRed.deleter
    def IndianRed(self) -> None: ...
    @property
    def Indigo(self) -> Color:
        """Color(75, 0, 130, 255)."""
    @Indigo.setter
    def Indigo(self, value: Color | None) -> None: ...
    @Indigo.deleter
    def Indigo(self) -> None: ...
    @property
    def Ivory(self) -> Color:
        """Color(255, 255, 240, 255)."""
    @Ivory.setter
    def Ivory(self, value: Color | None) -> None: ...
    @Ivory.deleter
    def Ivory(self) -> None: ...
    @property
    def Khaki(self) -> Color:
        """Color(240, 230, 140, 255)."""
    @Khaki.setter
    def Khaki(self, value: Color | None) -> None: ...
    @Khaki.deleter
    def Khaki(self) -> None: ...
    @property
    def Lavender(self) -> Color:
        """Color(230, 230, 250, 255)."""
    @Lavender.setter
    def Lavender(self, value: Color | None) -> None: ...
    @Lavender.deleter
    def Lavender(self) -> None: ...
    @property
    def LavenderBlush(self) -> Color:
        """Color(255, 240, 245, 255)."""
    @LavenderBlush.setter
    def LavenderBlush(self, value: Color | None) -> None: ...
    @LavenderBlush.deleter
    def LavenderBlush(self) -> None: ...
    @property
    def LawnGreen(self) -> Color:
        """Color(124, 252, 0, 255)."""
    @LawnGreen.setter
    def LawnGreen(self, value: Color | None) -> None: ...
    @LawnGreen.deleter
    def LawnGreen(self) -> None: ...
    @property
    def LemonChiffon(self) -> Color:
        """Color(255, 250, 205, 255)."""
    @LemonChiffon.setter
    def LemonChiffon(self, value: Color | None) -> None: ...
    @LemonChiffon.deleter
    def LemonChiffon(self) -> None: ...
    @property
    def LightBlue(self) -> Color:
        """Color(173, 216, 230, 255)."""
    @LightBlue.setter
    def LightBlue(self, value: Color | None) -> None: ...
    @LightBlue.deleter
    def LightBlue(self) -> None: ...
    @property
    def LightCoral(self) -> Color:
        """Color(240, 128, 128, 255)."""
    @LightCoral.setter
    def LightCoral(self, value: Color | None) -> None: ...
    @LightCoral.deleter
    def LightCoral(self) -> None: ...
    @property
    def LightCyan(self) -> Color:
        """Color(224, 255, 255, 255)."""
    @LightCyan.setter
    def LightCyan(self, value: Color | None) -> None: ...
    @LightCyan.deleter
    def LightCyan(self) -> None: ...
    @property
    def LightGoldenrodYellow(self) -> Color:
        """Color(250, 250, 210, 255)."""
    @LightGoldenrodYellow.setter
    def LightGoldenrodYellow(self, value: Color | None) -> None: ...
    @LightGoldenrodYellow.deleter
    def LightGoldenrodYellow(self) -> None: ...
    @property
    def LightGray(self) -> Color:
        """Color(211, 211, 211, 255)."""
    @LightGray.setter
    def LightGray(self, value: Color | None) -> None: ...
    @LightGray.deleter
    def LightGray(self) -> None: ...
    @property
    def LightGrey(self) -> Color:
        """Color(211, 211, 211, 255)."""
    @LightGrey.setter
    def LightGrey(self, value: Color | None) -> None: ...
    @LightGrey.deleter
    def LightGrey(self) -> None: ...
    @property
    def LightGreen(self) -> Color:
        """Color(144, 238, 144, 255)."""
    @LightGreen.setter
    def LightGreen(self, value: Color | None) -> None: ...
    @LightGreen.deleter
    def LightGreen(self) -> None: ...
    @property
    def LightPink(self) -> Color:
        """Color(255, 182, 193, 255)."""
    @LightPink.setter
    def LightPink(self, value: Color | None) -> None: ...
    @LightPink.deleter
    def LightPink(self) -> None: ...
    @property
    def LightSalmon(self) -> Color:
        """Color(255, 160, 122, 255)."""
    @LightSalmon.setter
    def LightSalmon(self, value: Color | None) -> None: ...
    @LightSalmon.deleter
    def LightSalmon(self) -> None: ...
    @property
    def LightSeaGreen(self) -> Color:
        """Color(32, 178, 170, 255)."""
    @LightSeaGreen.setter
    def LightSeaGreen(self, value: Color | None) -> None: ...
    @LightSeaGreen.deleter
    def LightSeaGreen(self) -> None: ...
    @property
    def LightSkyBlue(self) -> Color:
        """Color(135, 206, 250, 255)."""
    @LightSkyBlue.setter
    def LightSkyBlue(self, value: Color | None) -> None: ...
    @LightSkyBlue.deleter
    def LightSkyBlue(self) -> None: ...
    @property
    def LightSlateGray(self) -> Color:
        """Color(119, 136, 153, 255)."""
    @LightSlateGray.setter
    def LightSlateGray(self, value: Color | None) -> None: ...
    @LightSlateGray.deleter
    def LightSlateGray(self) -> None: ...
    @property
    def LightSlateGrey(self) -> Color:
        """Color(119, 136, 153, 255)."""
    @LightSlateGrey.setter
    def LightSlateGrey(self, value: Color | None) -> None: ...
    @LightSlateGrey.deleter
    def LightSlateGrey(self) -> None: ...
    @property
    def LightSteelBlue(self) -> Color:
        """Color(176, 196, 222, 255)."""
    @LightSteelBlue.setter
    def LightSteelBlue(self, value: Color | None) -> None: ...
    @LightSteelBlue.deleter
    def LightSteelBlue(self) -> None: ...
    @property
    def LightYellow(self) -> Color:
        """Color(255, 255, 224, 255)."""
    @LightYellow.setter
    def LightYellow(self, value: Color | None) -> None: ...
    @LightYellow.deleter
    def LightYellow(self) -> None: ...
    @property
    def Lime(self) -> Color:
        """Color(0, 255, 0, 255)."""
    @Lime.setter
    def Lime(self, value: Color | None) -> None: ...
    @Lime.deleter
    def Lime(self) -> None: ...
    @property
    def LimeGreen(self) -> Color:
        """Color(50, 205, 50, 255)."""
    @LimeGreen.setter
    def LimeGreen(self, value: Color | None) -> None: ...
    @LimeGreen.deleter
    def LimeGreen(self) -> None: ...
    @property
    def Linen(self) -> Color:
        """Color(250, 240, 230, 255)."""
    @Linen.setter
    def Linen(self, value: Color | None) -> None: ...
    @Linen.deleter
    def Linen(self) -> None: ...
    @property
    def Magenta(self) -> Color:
        """Color(255, 0, 255, 255)."""
    @Magenta.setter
    def Magenta(self, value: Color | None) -> None: ...
    @Magenta.deleter
    def Magenta(self) -> None: ...
    @property
    def Maroon(self) -> Color:
        """Color(176, 48, 96, 255): not CSS maroon (128, 0, 0)."""
    @Maroon.setter
    def Maroon(self, value: Color | None) -> None: ...
    @Maroon.deleter
    def Maroon(self) -> None: ...
    @property
    def MediumAquamarine(self) -> Color:
        """Color(102, 205, 170, 255)."""
    @MediumAquamarine.setter
    def MediumAquamarine(self, value: Color | None) -> None: ...
    @MediumAquamarine.deleter
    def MediumAquamarine(self) -> None: ...
    @property
    def MediumBlue(self) -> Color:
        """Color(0, 0, 205, 255)."""
    @MediumBlue.setter
    def MediumBlue(self, value: Color | None) -> None: ...
    @MediumBlue.deleter
    def MediumBlue(self) -> None: ...
    @property
    def MediumForestGreen(self) -> Color:
        """Color(50, 129, 75, 255): not a CSS name."""
    @MediumForestGreen.setter
    def MediumForestGreen(self, value: Color | None) -> None: ...
    @MediumForestGreen.deleter
    def MediumForestGreen(self) -> None: ...
    @property
    def MediumOrchid(self) -> Color:
        """Color(219, 112, 219, 255): not CSS mediumorchid (186, 85, 211)."""
    @MediumOrchid.setter
    def MediumOrchid(self, value: Color | None) -> None: ...
    @MediumOrchid.deleter
    def MediumOrchid(self) -> None: ...
    @property
    def MediumPurple(self) -> Color:
        """Color(147, 112, 219, 255)."""
    @MediumPurple.setter
    def MediumPurple(self, value: Color | None) -> None: ...
    @MediumPurple.deleter
    def MediumPurple(self) -> None: ...
    @property
    def MediumSeaGreen(self) -> Color:
        """Color(66, 170, 113, 255): not CSS mediumseagreen (60, 179, 113)."""
    @MediumSeaGreen.setter
    def MediumSeaGreen(self, value: Color | None) -> None: ...
    @MediumSeaGreen.deleter
    def MediumSeaGreen(self) -> None: ...
    @property
    def MediumSlateBlue(self) -> Color:
        """Color(127, 255, 212, 255): the value of `Aquamarine`, not CSS mediumslateblue (123, 104, 238)."""
    @MediumSlateBlue.setter
    def MediumSlateBlue(self, value: Color | None) -> None: ...
    @MediumSlateBlue.deleter
    def MediumSlateBlue(self) -> None: ...
    @property
    def MediumSpringGreen(self) -> Color:
        """Color(60, 179, 113, 255): not CSS mediumspringgreen (0, 250, 154)."""
    @MediumSpringGreen.setter
    def MediumSpringGreen(self, value: Color | None) -> None: ...
    @MediumSpringGreen.deleter
    def MediumSpringGreen(self) -> None: ...
    @property
    def MediumTurquoise(self) -> Color:
        """Color(112, 219, 219, 255): not CSS mediumturquoise (72, 209, 204)."""
    @MediumTurquoise.setter
    def MediumTurquoise(self, value: Color | None) -> None: ...
    @MediumTurquoise.deleter
    def MediumTurquoise(self) -> None: ...
    @property
    def MediumVioletRed(self) -> Color:
        """Color(199, 21, 133, 255)."""
    @MediumVioletRed.setter
    def MediumVioletRed(self, value: Color | None) -> None: ...
    @MediumVioletRed.deleter
    def MediumVioletRed(self) -> None: ...
    @property
    def MidnightBlue(self) -> Color:
        """Color(25, 25, 112, 255)."""
    @MidnightBlue.setter
    def MidnightBlue(self, value: Color | None) -> None: ...
    @MidnightBlue.deleter
    def MidnightBlue(self) -> None: ...
    @property
    def MintCream(self) -> Color:
        """Color(245, 255, 250, 255)."""
    @MintCream.setter
    def MintCream(self, value: Color | None) -> None: ...
    @MintCream.deleter
    def MintCream(self) -> None: ...
    @property
    def MistyRose(self) -> Color:
        """Color(255, 228, 225, 255)."""
    @MistyRose.setter
    def MistyRose(self, value: Color | None) -> None: ...
    @MistyRose.deleter
    def MistyRose(self) -> None: ...
    @property
    def Moccasin(self) -> Color:
        """Color(255, 228, 181, 255)."""
    @Moccasin.setter
    def Moccasin(self, value: Color | None) -> None: ...
    @Moccasin.deleter
    def Moccasin(self) -> None: ...
    @property
    def NavajoWhite(self) -> Color:
        """Color(255, 222, 173, 255)."""
    @NavajoWhite.setter
    def NavajoWhite(self, value: Color | None) -> None: ...
    @NavajoWhite.deleter
    def NavajoWhite(self) -> None: ...
    @property
    def Navy(self) -> Color:
        """Color(0, 0, 128, 255)."""
    @Navy.setter
    def Navy(self, value: Color | None) -> None: ...
    @Navy.deleter
    def Navy(self) -> None: ...
    @property
    def NavyBlue(self) -> Color:
        """Color(0, 0, 128, 255): the value of `Navy`; not a CSS name."""
    @NavyBlue.setter
    def NavyBlue(self, value: Color | None) -> None: ...
    @NavyBlue.deleter
    def NavyBlue(self) -> None: ...
    @property
    def OldLace(self) -> Color:
        """Color(253, 245, 230, 255)."""
    @OldLace.setter
    def OldLace(self, value: Color | None) -> None: ...
    @OldLace.deleter
    def OldLace(self) -> None: ...
    @property
    def Olive(self) -> Color:
        """Color(128, 128, 0, 255)."""
    @Olive.setter
    def Olive(self, value: Color | None) -> None: ...
    @Olive.deleter
    def Olive(self) -> None: ...
    @property
    def OliveDrab(self) -> Color:
        """Color(107, 142, 35, 255)."""
    @OliveDrab.setter
    def OliveDrab(self, value: Color | None) -> None: ...
    @OliveDrab.deleter
    def OliveDrab(self) -> None: ...
    @property
    def Orange(self) -> Color:
        """Color(255, 165, 0, 255)."""
    @Orange.setter
    def Orange(self, value: Color | None) -> None: ...
    @Orange.deleter
    def Orange(self) -> None: ...
    @property
    def OrangeRed(self) -> Color:
        """Color(255, 69, 0, 255)."""
    @OrangeRed.setter
    def OrangeRed(self, value: Color | None) -> None: ...
    @OrangeRed.deleter
    def OrangeRed(self) -> None: ...
    @property
    def Orchid(self) -> Color:
        """Color(218, 112, 214, 255)."""
    @Orchid.setter
    def Orchid(self, value: Color | None) -> None: ...
    @Orchid.deleter
    def Orchid(self) -> None: ...
    @property
    def PaleGoldenrod(self) -> Color:
        """Color(238, 232, 170, 255)."""
    @PaleGoldenrod.setter
    def PaleGoldenrod(self, value: Color | None) -> None: ...
    @PaleGoldenrod.deleter
    def PaleGoldenrod(self) -> None: ...
    @property
    def PaleGreen(self) -> Color:
        """Color(152, 251, 152, 255)."""
    @PaleGreen.setter
    def PaleGreen(self, value: Color | None) -> None: ...
    @PaleGreen.deleter
    def PaleGreen(self) -> None: ...
    @property
    def PaleTurquoise(self) -> Color:
        """Color(175, 238, 238, 255)."""
    @PaleTurquoise.setter
    def PaleTurquoise(self, value: Color | None) -> None: ...
    @PaleTurquoise.deleter
    def PaleTurquoise(self) -> None: ...
    @property
    def PaleVioletRed(self) -> Color:
        """Color(219, 112, 147, 255)."""
    @PaleVioletRed.setter
    def PaleVioletRed(self, value: Color | None) -> None: ...
    @PaleVioletRed.deleter
    def PaleVioletRed(self) -> None: ...
    @property
    def PapayaWhip(self) -> Color:
        """Color(255, 239, 213, 255)."""
    @PapayaWhip.setter
    def PapayaWhip(self, value: Color | None) -> None: ...
    @PapayaWhip.deleter
    def PapayaWhip(self) -> None: ...
    @property
    def PeachPuff(self) -> Color:
        """Color(255, 218, 185, 255)."""
    @PeachPuff.setter
    def PeachPuff(self, value: Color | None) -> None: ...
    @PeachPuff.deleter
    def PeachPuff(self) -> None: ...
    @property
    def Peru(self) -> Color:
        """Color(205, 133, 63, 255)."""
    @Peru.setter
    def Peru(self, value: Color | None) -> None: ...
    @Peru.deleter
    def Peru(self) -> None: ...
    @property
    def Pink(self) -> Color:
        """Color(255, 192, 203, 255)."""
    @Pink.setter
    def Pink(self, value: Color | None) -> None: ...
    @Pink.deleter
    def Pink(self) -> None: ...
    @property
    def Plum(self) -> Color:
        """Color(221, 160, 221, 255)."""
    @Plum.setter
    def Plum(self, value: Color | None) -> None: ...
    @Plum.deleter
    def Plum(self) -> None: ...
    @property
    def PowderBlue(self) -> Color:
        """Color(176, 224, 230, 255)."""
    @PowderBlue.setter
    def PowderBlue(self, value: Color | None) -> None: ...
    @PowderBlue.deleter
    def PowderBlue(self) -> None: ...
    @property
    def Purple(self) -> Color:
        """Color(160, 32, 240, 255): not CSS purple (128, 0, 128)."""
    @Purple.setter
    def Purple(self, value: Color | None) -> None: ...
    @Purple.deleter
    def Purple(self) -> None: ...
    @property
    def RebeccaPurple(self) -> Color:
        """Color(102, 51, 153, 255)."""
    @RebeccaPurple.setter
    def RebeccaPurple(self, value: Color | None) -> None: ...
    @RebeccaPurple.deleter
    def RebeccaPurple(self) -> None: ...
    @property
    def Red(self) -> Color:
        """Color(255, 0, 0, 255)."""
    @Red.setter
    def Red(self, value: Color | None) -> None: ...
    @Red.deleter
    def Red(self) -> None: ...
    @property
    def RosyBrown(self) -> Color:
        """Color(188, 143, 143, 255)."""
    @RosyBrown.setter
    def RosyBrown(self, value: Color | None) -> None: ...
    @RosyBrown.deleter
    def RosyBrown(self) -> None: ...
    @property
    def RoyalBlue(self) -> Color:
        """Color(65, 105, 225, 255)."""
    @RoyalBlue.setter
    def RoyalBlue(self, value: Color | None) -> None: ...
    @RoyalBlue.deleter
    def RoyalBlue(self) -> None: ...
    @property
    def SaddleBrown(self) -> Color:
        """Color(139, 69, 19, 255)."""
    @SaddleBrown.setter
    def SaddleBrown(self, value: Color | None) -> None: ...
    @SaddleBrown.deleter
    def SaddleBrown(self) -> None: ...
    @property
    def Salmon(self) -> Color:
        """Color(250, 128, 114, 255)."""
    @Salmon.setter
    def Salmon(self, value: Color | None) -> None: ...
    @Salmon.deleter
    def Salmon(self) -> None: ...
    @property
    def SandyBrown(self) -> Color:
        """Color(244, 164, 96, 255)."""
    @SandyBrown.setter
    def SandyBrown(self, value: Color | None) -> None: ...
    @SandyBrown.deleter
    def SandyBrown(self) -> None: ...
    @property
    def SeaGreen(self) -> Color:
        """Color(46, 139, 87, 255)."""
    @SeaGreen.setter
    def SeaGreen(self, value: Color | None) -> None: ...
    @SeaGreen.deleter
    def SeaGreen(self) -> None: ...
    @property
    def Seashell(self) -> Color:
        """Color(255, 245, 238, 255)."""
    @Seashell.setter
    def Seashell(self, value: Color | None) -> None: ...
    @Seashell.deleter
    def Seashell(self) -> None: ...
    @property
    def Sienna(self) -> Color:
        """Color(160, 82, 45, 255)."""
    @Sienna.setter
    def Sienna(self, value: Color | None) -> None: ...
    @Sienna.deleter
    def Sienna(self) -> None: ...
    @property
    def Silver(self) -> Color:
        """Color(192, 192, 192, 255)."""
    @Silver.setter
    def Silver(self, value: Color | None) -> None: ...
    @Silver.deleter
    def Silver(self) -> None: ...
    @property
    def SkyBlue(self) -> Color:
        """Color(135, 206, 235, 255)."""
    @SkyBlue.setter
    def SkyBlue(self, value: Color | None) -> None: ...
    @SkyBlue.deleter
    def SkyBlue(self) -> None: ...
    @property
    def SlateBlue(self) -> Color:
        """Color(106, 90, 205, 255)."""
    @SlateBlue.setter
    def SlateBlue(self, value: Color | None) -> None: ...
    @SlateBlue.deleter
    def SlateBlue(self) -> None: ...
    @property
    def SlateGray(self) -> Color:
        """Color(112, 128, 144, 255)."""
    @SlateGray.setter
    def SlateGray(self, value: Color | None) -> None: ...
    @SlateGray.deleter
    def SlateGray(self) -> None: ...
    @property
    def SlateGrey(self) -> Color:
        """Color(112, 128, 144, 255)."""
    @SlateGrey.setter
    def SlateGrey(self, value: Color | None) -> None: ...
    @SlateGrey.deleter
    def SlateGrey(self) -> None: ...
    @property
    def Snow(self) -> Color:
        """Color(255, 250, 250, 255)."""
    @Snow.setter
    def Snow(self, value: Color | None) -> None: ...
    @Snow.deleter
    def Snow(self) -> None: ...
    @property
    def SpringGreen(self) -> Color:
        """Color(0, 255, 127, 255)."""
    @SpringGreen.setter
    def SpringGreen(self, value: Color | None) -> None: ...
    @SpringGreen.deleter
    def SpringGreen(self) -> None: ...
    @property
    def SteelBlue(self) -> Color:
        """Color(70, 130, 180, 255)."""
    @SteelBlue.setter
    def SteelBlue(self, value: Color | None) -> None: ...
    @SteelBlue.deleter
    def SteelBlue(self) -> None: ...
    @property
    def Tan(self) -> Color:
        """Color(210, 180, 140, 255)."""
    @Tan.setter
    def Tan(self, value: Color | None) -> None: ...
    @Tan.deleter
    def Tan(self) -> None: ...
    @property
    def Teal(self) -> Color:
        """Color(0, 128, 128, 255)."""
    @Teal.setter
    def Teal(self, value: Color | None) -> None: ...
    @Teal.deleter
    def Teal(self) -> None: ...
    @property
    def Thistle(self) -> Color:
        """Color(216, 191, 216, 255)."""
    @Thistle.setter
    def Thistle(self, value: Color | None) -> None: ...
    @Thistle.deleter
    def Thistle(self) -> None: ...
    @property
    def Tomato(self) -> Color:
        """Color(255, 99, 71, 255)."""
    @Tomato.setter
    def Tomato(self, value: Color | None) -> None: ...
    @Tomato.deleter
    def Tomato(self) -> None: ...
    @property
    def Turquoise(self) -> Color:
        """Color(64, 224, 208, 255)."""
    @Turquoise.setter
    def Turquoise(self, value: Color | None) -> None: ...
    @Turquoise.deleter
    def Turquoise(self) -> None: ...
    @property
    def Violet(self) -> Color:
        """Color(238, 130, 238, 255)."""
    @Violet.setter
    def Violet(self, value: Color | None) -> None: ...
    @Violet.deleter
    def Violet(self) -> None: ...
    @property
    def VioletRed(self) -> Color:
        """Color(208, 32, 144, 255): not a CSS name."""
    @VioletRed.setter
    def VioletRed(self, value: Color | None) -> None: ...
    @VioletRed.deleter
    def VioletRed(self) -> None: ...
    @property
    def Wheat(self) -> Color:
        """Color(245, 222, 179, 255)."""
    @Wheat.setter
    def Wheat(self, value: Color | None) -> None: ...
    @Wheat.deleter
    def Wheat(self) -> None: ...
    @property
    def White(self) -> Color:
        """Color(255, 255, 255, 255)."""
    @White.setter
    def White(self, value: Color | None) -> None: ...
    @White.deleter
    def White(self) -> None: ...
    @property
    def WhiteSmoke(self) -> Color:
        """Color(245, 245, 245, 255)."""
    @WhiteSmoke.setter
    def WhiteSmoke(self, value: Color | None) -> None: ...
    @WhiteSmoke.deleter
    def WhiteSmoke(self) -> None: ...
    @property
    def Yellow(self) -> Color:
        """Color(255, 255, 0, 255)."""
    @Yellow.setter
    def Yellow(self, value: Color | None) -> None: ...
    @Yellow.deleter
    def Yellow(self) -> None: ...
    @property
    def YellowGreen(self) -> Color:
        """Color(154, 205, 50, 255)."""
    @YellowGreen.setter
    def YellowGreen(self, value: Color | None) -> None: ...
    @YellowGreen.deleter
    def YellowGreen(self) -> None: ...

colors: Colors
"""The palette made at import, shared by every importer: a change made by one is seen by all."""

__test__: dict[Any, Any]
"""An empty dict (doctest's hook); nothing in it."""
