"""The like-argument parsers, called through their capsules as another module of the package calls them."""
import array
import collections
import datetime
import math
import traceback
import warnings

import pytest
from hypothesis import given, settings, strategies as st

import _capi_probe as probe
import tovara.parser.parser as parser
from tovara.color.color import Color
from tovara.rect.rect import Rect
from tovara.vector2.vector2 import Vector2

PARSE = {"vector2": probe.parse_vector2, "color": probe.parse_color, "rect": probe.parse_rect}
COUNTS = {"vector2": (2,), "color": (3, 4), "rect": (4,)}
COUNT_TEXT = {"vector2": "2", "color": "3-4", "rect": "4"}
TYPE_TEXT = {"vector2": ("vector2-like argument must be Vector2, or any sequence, got ", "."),
             "color": ("color-like argument must be Color, or any sequence, got ", "."),
             "rect": ("rect_like argument must be Rect, tuple, or list, got ", "")}
C_INT_OVERFLOW = "Python int too large to convert to C int"


def f32(value):
    return array.array("f", [value])[0]


def count_message(kind, container):
    return f"{container} for {kind}-like argument must have only {COUNT_TEXT[kind]} elements."


def float_error(value):
    """The exception the interpreter's float conversion raises for `value`."""
    with pytest.raises(Exception) as caught:
        math.isfinite(value)
    return type(caught.value), str(caught.value)


class Seq:
    """A sequence known only by __len__ and __getitem__."""
    def __init__(self, *items):
        self.items = items

    def __len__(self):
        return len(self.items)

    def __getitem__(self, index):
        return self.items[index]


class Stream:
    """A generator-like sequence: each item can be read once, whatever its index, and __len__ lies."""
    def __init__(self, *items):
        self.rest = iter(items)

    def __len__(self):
        return 2

    def __getitem__(self, index):
        try:
            return next(self.rest)
        except StopIteration:
            raise IndexError(index) from None


class Num:
    """A number that is neither int nor float: __int__ returns `value` as it is; counts conversions."""
    def __init__(self, value):
        self.value, self.calls = value, 0

    def __float__(self):
        self.calls += 1
        return float(self.value)

    def __int__(self):
        self.calls += 1
        return self.value


class Raising:
    def __float__(self):
        return 1 / 0

    __int__ = __float__


class Flipped(tuple):
    def __iter__(self):
        return reversed(tuple(super().__iter__()))


class IndexOnly:
    def __index__(self):
        return 4


class StrictInt(int):
    def __int__(self):
        raise AssertionError("an int subclass is read as an int")


class ListSub(list):
    pass


class Meta(type):
    __name__ = property(lambda cls: cls.label())


Point = collections.namedtuple("Point", "x y")
Numbered = Meta("Numbered", (), {"label": staticmethod(lambda: 42)})
Nameless = Meta("Nameless", (), {"label": staticmethod(lambda: {}["no name"])})


def test_capsules_carry_their_signatures():
    capi = parser.__pyx_capi__
    assert list(capi) == ["parse_color_like", "parse_rect_like", "parse_vector2_like"]
    for name, signature in [("parse_color_like", "struct Color (PyObject *)"),
                            ("parse_rect_like", "struct Rectangle (PyObject *)"),
                            ("parse_vector2_like", "struct Vector2 (PyObject *)")]:
        assert repr(capi[name]).startswith(f'<capsule object "{signature}" at ')


@pytest.mark.parametrize("kind, value, fields", [
    ("vector2", Vector2(0.1, -2.5), "x y"),
    ("vector2", Vector2(1e39, -0.0), "x y"),
    ("color", Color(0, 7, 128, 255), "r g b a"),
    ("rect", Rect(0.1, -1, -10, 0), "x y width height"),
])
def test_value_objects_give_their_stored_struct(kind, value, fields):
    assert PARSE[kind](value) == tuple(getattr(value, name) for name in fields.split())


def test_value_subclasses_are_not_read_as_value_objects():
    class Pair(Vector2):
        def __len__(self):
            return 2

        def __getitem__(self, index):
            if index >= 2:
                raise IndexError(index)
            return 9.0 + index

    class Shade(Color):
        pass

    assert probe.parse_vector2(Pair(1, 2)) == (9.0, 10.0)
    with pytest.raises(TypeError) as error:
        probe.parse_color(Shade(1, 2, 3, 4))
    assert str(error.value) == "color-like argument must be Color, or any sequence, got Shade."


@pytest.mark.parametrize("kind, value, expected", [
    ("vector2", (-1, -1), (-1.0, -1.0)),
    ("vector2", [Num(-1), Num(-1.0)], (-1.0, -1.0)),
    ("vector2", [0.1, 2], (f32(0.1), 2.0)),
    ("vector2", (1e39, -1e300), (math.inf, -math.inf)),
    ("vector2", (True, 2 ** 62), (1.0, float(2 ** 62))),
    ("vector2", [Num(2.5), IndexOnly()], (2.5, 4.0)),
    ("vector2", Point(1.5, 2.5), (1.5, 2.5)),
    ("vector2", Stream(3.0, 4.0), (3.0, 4.0)),
    ("vector2", Flipped((1.0, 2.0)), (2.0, 1.0)),
    ("rect", (0, 0, -10, -20), (0.0, 0.0, -10.0, -20.0)),
    ("rect", range(4), (0.0, 1.0, 2.0, 3.0)),
    ("rect", ListSub([1, 2.5, 3, 4]), (1.0, 2.5, 3.0, 4.0)),
    ("rect", Stream(1, 2, 3, 4), (1.0, 2.0, 3.0, 4.0)),
    ("color", (1.9, 2.5, 300.7), (1, 2, 255, 255)),
    ("color", [-5, 0, 128, 999], (0, 0, 128, 255)),
    ("color", (True, False, 1), (1, 0, 1, 255)),
    ("color", bytes([16, 32, 48]), (16, 32, 48, 255)),
    ("color", (-0.5, -1.5, 255.9, Num(77)), (0, 0, 255, 77)),
    ("color", [2 ** 31 - 1, -2 ** 31, 256, StrictInt(7)], (255, 0, 255, 7)),
    ("color", Seq(10, 20, 30, 40), (10, 20, 30, 40)),
    ("color", Stream(1, 2, 3), (1, 2, 3, 255)),
])
def test_sequences(kind, value, expected):
    assert PARSE[kind](value) == expected


@pytest.mark.parametrize("kind", PARSE)
@pytest.mark.parametrize("make, container", [
    (tuple, "tuple"), (list, "list"), (lambda items: Seq(*items), "sequence"), (ListSub, "sequence"),
    (Flipped, "sequence"), (lambda items: "z" * len(items), "sequence"),
])
def test_count_errors_come_before_any_conversion(kind, make, container):
    for count in {0, min(COUNTS[kind]) - 1, max(COUNTS[kind]) + 1}:
        items = [Num(i) for i in range(count)]
        with pytest.raises(ValueError) as error:
            PARSE[kind](make(items))
        assert str(error.value) == count_message(kind, container)
        assert all(item.calls == 0 for item in items)


def test_the_count_is_what_iteration_produced():
    with pytest.raises(ValueError, match="^sequence for vector2-like"):
        probe.parse_vector2(Stream(1.0, 2.0, 3.0))  # __len__ says 2
    stream = Stream(1.0, 2.0)
    assert probe.parse_vector2(stream) == (1.0, 2.0)
    with pytest.raises(ValueError, match="^sequence for vector2-like"):
        probe.parse_vector2(stream)  # consumed by the first call


@pytest.mark.parametrize("kind", PARSE)
@pytest.mark.parametrize("value, name", [
    (None, "NoneType"), (1.5, "float"), (3, "int"), ({1: 2}, "dict"), (collections.OrderedDict(), "OrderedDict"),
    ({1, 2}, "set"), (datetime.date(2000, 1, 1), "date"), (Numbered(), "42"),
])
def test_type_errors(kind, value, name):
    prefix, suffix = TYPE_TEXT[kind]
    with pytest.raises(TypeError) as error:
        PARSE[kind](value)
    assert str(error.value) == prefix + name + suffix


def test_a_failing_type_name_lookup_is_raised_instead():
    with pytest.raises(KeyError, match="^'no name'$"):
        probe.parse_rect(Nameless())


class NotIterable(Seq):
    __iter__ = None


class BadIter(Seq):
    def __init__(self, error):
        self.error = error

    def __iter__(self):
        raise self.error


@pytest.mark.parametrize("value, error, message", [
    (NotIterable(1, 2), TypeError, "expected sequence"),
    (BadIter(TypeError("nope")), TypeError, "expected sequence"),
    (BadIter(KeyError("kept")), KeyError, "'kept'"),
])
def test_sequences_that_cannot_be_iterated(value, error, message):
    with pytest.raises(error) as caught:
        probe.parse_vector2(value)
    assert str(caught.value) == message


@pytest.mark.parametrize("kind, items, bad", [
    ("vector2", (1.0, "x"), "x"),
    ("vector2", [Num(1), None], None),
    ("rect", (0, 0, 0, 10 ** 400), 10 ** 400),
    ("rect", [0, 0, [1], 0], [1]),
    ("rect", [0, Raising(), 0, 0], Raising()),
])
def test_float_item_errors(kind, items, bad):
    expected_type, message = float_error(bad)
    with pytest.raises(expected_type) as error:
        PARSE[kind](items)
    assert str(error.value) == message


@pytest.mark.parametrize("kind, container", [("rect", tuple), ("color", list), ("color", Flipped)])
def test_items_convert_in_order_and_stop_at_the_first_failure(kind, container):
    first, last = Num(1), Num(2)
    items = (first, "x", 0, last)
    with pytest.raises(TypeError):
        PARSE[kind](container(reversed(items) if container is Flipped else items))
    assert (first.calls, last.calls) == (1, 0)


@pytest.mark.parametrize("item, error, message", [
    (IndexOnly(), TypeError, "an integer is required"),
    (None, TypeError, "an integer is required"),
    (Raising(), ZeroDivisionError, "division by zero"),
    (Num("7"), TypeError, "__int__ returned non-int (type str)"),
    (Num(7.0), TypeError, "__int__ returned non-int (type float)"),
    (2 ** 31, OverflowError, "value too large to convert to int"),
    (-2 ** 40, OverflowError, "value too large to convert to int"),
    (2 ** 40, OverflowError, "value too large to convert to int"),
    (2 ** 60 - 1, OverflowError, "value too large to convert to int"),
    (Num(2 ** 40), OverflowError, "value too large to convert to int"),
    (1e10, OverflowError, "value too large to convert to int"),
    (2 ** 60, OverflowError, C_INT_OVERFLOW),
    (2 ** 70, OverflowError, C_INT_OVERFLOW),
    (-2 ** 70, OverflowError, C_INT_OVERFLOW),
    (math.nan, ValueError, "cannot convert float NaN to integer"),
    (math.inf, OverflowError, "cannot convert float infinity to integer"),
])
def test_color_item_errors(item, error, message):
    with pytest.raises(error) as caught:
        probe.parse_color((10, 20, item))
    assert str(caught.value) == message


@pytest.mark.parametrize("kind, value, error", [
    ("color", "abc", (TypeError, "an integer is required")),
    ("vector2", "ab", float_error("a")),
    ("color", "abcde", (ValueError, count_message("color", "sequence"))),
])
def test_a_str_is_a_sequence_of_str(kind, value, error):
    with pytest.raises(error[0]) as caught:
        PARSE[kind](value)
    assert str(caught.value) == error[1]


DEPRECATED = ("__int__ returned non-int (type StrictInt).  The ability to return an instance of a strict "
              "subclass of int is deprecated, and may be removed in a future version of Python.")


def test_int_subclass_from_int_is_used_with_a_warning():
    with pytest.warns(DeprecationWarning) as record:
        assert probe.parse_color((Num(StrictInt(300)), 5, 6)) == (255, 5, 6, 255)
    assert [str(w.message) for w in record] == [DEPRECATED]
    with warnings.catch_warnings():
        warnings.simplefilter("error", DeprecationWarning)
        with pytest.raises(DeprecationWarning) as error:
            probe.parse_color((Num(StrictInt(300)), 5, 6))
    assert str(error.value) == DEPRECATED


@pytest.mark.parametrize("kind, value", [
    ("vector2", None), ("vector2", (1, 2, 3)), ("vector2", [1, "y"]),
    ("color", {}), ("color", Seq(1, 2)), ("color", (1, 2, 2 ** 40)),
    ("rect", 5), ("rect", range(3)), ("rect", (1, 2, 3, "h")),
])
def test_failures_add_one_traceback_entry(kind, value):
    with pytest.raises(Exception) as error:
        PARSE[kind](value)
    entries = [(frame.f_code.co_name, frame.f_code.co_filename)
               for frame, _ in traceback.walk_tb(error.value.__traceback__)]
    assert entries.count((f"tovara.parser.parser.parse_{kind}_like", "src/tovara/parser/parser")) == 1


@pytest.mark.parametrize("value, zeroed", [
    ((1, 2, 3), None), ((10, 20, 30, "x"), True), ([10, 20, 30, 2 ** 40], True),
    ((10, 20, 30, 40, 50), True), (1.5, True), (Seq(10, 20, None), True),
])
def test_failure_returns_a_zeroed_color(value, zeroed):
    assert probe.parse_color_zeroed_on_error(value) is zeroed


# -- properties ----------------------------------------------------------------

def expected_parse(kind, value):
    """What parsing `value` gives, by the rules above, in plain Python."""
    if type(value) in (tuple, list):
        container = type(value).__name__
    elif isinstance(value, (str, bytes)):
        container = "sequence"
    else:
        prefix, suffix = TYPE_TEXT[kind]
        raise TypeError(prefix + type(value).__name__ + suffix)
    if len(value) not in COUNTS[kind]:
        raise ValueError(count_message(kind, container))
    if kind != "color":
        for item in value:
            math.isfinite(item)  # raises what the C float conversion raises
        return tuple(f32(float(item)) for item in value)
    components = []
    for item in value:
        if not isinstance(item, (int, float)):
            raise TypeError("an integer is required")
        number = int(item)
        if not -2 ** 31 <= number < 2 ** 31:
            raise OverflowError("value too large to convert to int" if abs(number) < 2 ** 60 else C_INT_OVERFLOW)
        components.append(min(max(number, 0), 255))
    return tuple(components) + (255,) * (4 - len(components))


def outcome(call, *args):
    try:
        return repr(call(*args))  # repr: nan compares equal to itself
    except (TypeError, ValueError, OverflowError) as error:
        return type(error), str(error)


numbers = st.one_of(st.integers(-300, 300), st.integers(), st.integers(-2 ** 100, 2 ** 100), st.booleans(),
                    st.floats())
scalars = numbers | st.text(max_size=5) | st.binary(max_size=5) | st.none()
nested = st.recursive(scalars, lambda inner: st.lists(inner, max_size=5) | st.lists(inner, max_size=5).map(tuple),
                      max_leaves=12)
flat = st.lists(st.one_of(numbers, numbers, numbers, nested), min_size=2, max_size=4)
values = st.one_of(nested, flat, flat.map(tuple))


@settings(max_examples=400, deadline=None)
@given(st.sampled_from(sorted(PARSE)), values)
def test_parsing_matches_the_rules(kind, value):
    assert outcome(PARSE[kind], value) == outcome(expected_parse, kind, value)


class Mutator:
    """A number whose conversion changes the list that holds it."""
    def __init__(self, value, mutate):
        self.value, self.mutate, self.target = value, mutate, None

    def __float__(self):
        self.mutate(self.target)
        return float(self.value)

    def __int__(self):
        self.mutate(self.target)
        return self.value


MUTATIONS = {
    "clear": lambda items: items.clear(),
    "delete the rest": lambda items: items.__delitem__(slice(1, None)),
    "replace the rest": lambda items: items.__setitem__(slice(1, None), [Num(-7) for _ in items[1:]]),
    "grow": lambda items: items.extend(Num(99) for _ in range(1000)),
    "reverse": lambda items: items.reverse(),
    "replace itself": lambda items: items.__setitem__(0, Num(-3)),
}


@pytest.mark.parametrize("kind", PARSE)
@pytest.mark.parametrize("mutation", MUTATIONS)
@pytest.mark.parametrize("container", [list, ListSub])
def test_a_list_changed_while_parsed_is_read_safely(kind, mutation, container):
    count = max(COUNTS[kind])
    expected = PARSE[kind](list(range(1, count + 1)))
    for _ in range(50):
        mutator = Mutator(1, MUTATIONS[mutation])
        # The other items live only in the list, so a mutation frees them.
        items = mutator.target = container([mutator] + [Num(i) for i in range(2, count + 1)])
        try:
            result = PARSE[kind](items)
        except Exception as error:
            assert not isinstance(error, SystemError)
        else:
            assert result == expected
