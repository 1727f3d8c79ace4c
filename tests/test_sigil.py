"""The glyph record: an opaque carrier made at C level, with a borrowing Image of its bitmap."""
import copy
import gc
import pickle

import pytest

import _capi_probe as probe
import tovara.sigil.sigil as sigil
from tovara.image.image import Image
from tovara.sigil.sigil import GlyphInfo

REFUSAL = "^self._raw cannot be converted to a Python object for pickling$"


def live_glyphs():
    gc.collect()
    return sum(type(o) is GlyphInfo for o in gc.get_objects())


@pytest.mark.parametrize("make", [GlyphInfo, lambda: GlyphInfo(1, 2), lambda: GlyphInfo(x=3)])
def test_records_made_from_python_are_empty(make):
    assert probe.glyph_fields(make()) == (0, 0, 0, 0, (0, 0, 0, 0, 0), None)


def test_no_attributes_of_its_own():
    glyph = GlyphInfo()
    with pytest.raises(AttributeError):
        glyph.value = 1
    assert not [name for name in vars(GlyphInfo) if not name.startswith("__")]


def test_python_subclass_runs_its_own_init():
    class Glyph(GlyphInfo):
        def __init__(self, tag):
            self.tag = tag
    assert Glyph("a").tag == "a"


def test_new_builds_a_record_with_a_borrowing_image(rgba_image):
    glyph = probe.glyph_new(rgba_image, 65, -1, 2, 7, False)
    value, offset_x, offset_y, advance_x, bitmap, image = probe.glyph_fields(glyph)
    assert (value, offset_x, offset_y, advance_x) == (65, -1, 2, 7)
    assert bitmap == probe.image_record(rgba_image)[:5]
    assert type(image) is Image and probe.image_record(image) == bitmap + (0,)  # not the owner
    assert repr(image) == repr(rgba_image)


def test_the_owner_keeps_its_memory_after_the_record_is_gone(rgba_image):
    glyph = probe.glyph_new(rgba_image, 1, 0, 0, 0, False)
    image = probe.glyph_fields(glyph)[5]
    image.unload()  # borrowed: lets go without releasing
    del glyph, image
    gc.collect()
    assert rgba_image.valid and probe.image_bytes(rgba_image) == bytes(range(32))


def test_new_stores_a_null_bitmap_unchecked():
    glyph = probe.glyph_new(Image(), -5, 0, 0, 0, False)
    assert probe.glyph_fields(glyph)[4] == (0, 0, 0, 0, 0)
    assert probe.glyph_fields(glyph)[5].valid is False


def test_a_failing_image_leaves_no_record(rgba_image):
    before = live_glyphs()
    with pytest.raises(MemoryError) as error:
        probe.glyph_new(rgba_image, 1, 0, 0, 0, True)
    names = [frame.f_code.co_name for frame, _ in __import__("traceback").walk_tb(error.value.__traceback__)]
    assert names[-2:] == ["tovara.sigil.sigil.GlyphInfo.new", "tovara.image.image.Image.new"]
    assert live_glyphs() == before
    assert type(probe.glyph_new(rgba_image, 1, 0, 0, 0, False)) is GlyphInfo  # allocation restored


def test_records_are_collected_in_cycles(rgba_image):
    class Holder(GlyphInfo):
        pass
    holder = Holder()
    holder.cycle = holder
    before = live_glyphs()
    del holder
    assert live_glyphs() == before


@pytest.mark.parametrize("action", [pickle.dumps, copy.copy, copy.deepcopy, lambda g: g.__setstate__(None)])
def test_pickling_and_copies_are_refused(action):
    with pytest.raises(TypeError, match=REFUSAL) as error:
        action(GlyphInfo())
    frame = list(__import__("traceback").walk_tb(error.value.__traceback__))[-1][0]
    assert frame.f_code.co_filename == "(tree fragment)"
    assert frame.f_code.co_name.startswith("tovara.sigil.sigil.GlyphInfo.__")


@pytest.mark.parametrize("call, message", [
    (lambda g: g.__setstate__(), "__setstate_cython__() takes exactly 1 positional argument (0 given)"),
    (lambda g: g.__setstate__(1, 2), "__setstate_cython__() takes exactly 1 positional argument (2 given)"),
    (lambda g: g.__setstate__(state=1), "__setstate_cython__() got an unexpected keyword argument 'state'"),
    (lambda g: g.__reduce__(1), "__reduce_cython__() takes exactly 0 positional arguments (1 given)"),
    (lambda g: g.__reduce__(k=1), "__reduce_cython__() got an unexpected keyword argument 'k'"),
    (lambda g: sigil.__reduce_cython__(), "unbound method GlyphInfo.__reduce_cython__() needs an argument"),
    (lambda g: sigil.__setstate_cython__(), "unbound method GlyphInfo.__setstate_cython__() needs an argument"),
])
def test_pickling_hook_binding_errors(call, message):
    with pytest.raises(TypeError) as error:
        call(GlyphInfo())
    assert str(error.value) == message


def test_module_attributes():
    assert sigil.__test__ == {} and sigil.GlyphInfo is GlyphInfo
    assert sigil.__reduce_cython__.__qualname__ == "GlyphInfo.__reduce_cython__"
    with pytest.raises(TypeError, match=REFUSAL):
        sigil.__setstate_cython__(object(), __pyx_state=None)
    assert not hasattr(GlyphInfo, "__reduce_cython__")
