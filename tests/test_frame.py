"""The module frame: import behaviour, argument binding, conversions, traceback entries, pickling refusal."""
import importlib
import pickle
import copy
import sys
import traceback
import warnings
from pathlib import Path

import pytest

import _capi_probe as probe
import tovara
from conftest import FREE_THREADED, exported_symbols

Widget = probe.Widget


def entries(error):
    return [(frame.f_code.co_name, frame.f_code.co_filename) for frame, _ in traceback.walk_tb(error.__traceback__)]


# -- import ------------------------------------------------------------------

@pytest.mark.parametrize("path", ["tovara.parser.parser", "tovara.color.color", "tovara.window.window"])
def test_reimport_yields_the_same_module(path):
    module = importlib.import_module(path)
    assert importlib.import_module(path) is module
    del sys.modules[path]
    try:
        assert importlib.import_module(path) is module
    finally:
        sys.modules[path] = module
    assert module.__test__ == {}
    assert module.__builtins__ is importlib.import_module("builtins")


BUILT = sorted(Path(tovara.__file__).parent.glob("*/*.so")) + [Path(probe.__file__)]


@pytest.mark.parametrize("library", BUILT, ids=lambda path: path.name.split(".")[0])
def test_each_module_exports_its_init_function_alone(library):
    assert exported_symbols(library) == ["PyInit_" + library.name.split(".")[0]]


def test_module_attributes_come_from_the_spec(python):
    result = python("""
        import tovara.parser.parser as parser
        spec = parser.__spec__
        print(parser.__name__, parser.__package__, parser.__file__ == spec.origin, parser.__loader__ is spec.loader,
              hasattr(parser, "__path__"))""")
    assert result.stdout.split() == ["tovara.parser.parser", "tovara.parser", "True", "True", "False"]


def test_published_method_table_is_an_unnamed_capsule():
    import tovara.color.color as color
    capsule = color.Color.__dict__["__pyx_vtable__"]
    assert type(capsule).__name__ == "PyCapsule"
    assert repr(capsule).startswith("<capsule object NULL")


FAKE_SIBLING = """
    import sys, types, warnings
    import tovara.color.color as real
    capsule = real.Color.__dict__["__pyx_vtable__"]
    fake = types.ModuleType("tovara.color.color")
    {body}
    sys.modules["tovara.color.color"] = fake
    try:
        import tovara.parser.parser
    except BaseException as error:
        import traceback
        names = [f.f_code.co_name for f, _ in traceback.walk_tb(error.__traceback__)]
        print(type(error).__name__, "|", error, "|", names[-1])
        sys.modules["tovara.color.color"] = real
        import tovara.parser.parser  # a failed import can be retried
        print("retried", tovara.parser.parser.__name__)
    else:
        print("imported")
"""


def run_with_fake_color(python, body, **env):
    result = python(FAKE_SIBLING.format(body=body), **env)
    assert result.returncode == 0, result.stderr
    return result


def test_missing_sibling_fails_the_import_with_its_own_error(python):
    result = run_with_fake_color(python, "fake = None")
    assert result.stdout.splitlines() == [
        "ModuleNotFoundError | import of tovara.color.color halted; None in sys.modules | init tovara.parser.parser",
        "retried tovara.parser.parser",
    ]


def test_smaller_sibling_type_fails_with_the_size_error(python):
    result = run_with_fake_color(python, """
    class Color: __slots__ = ()
    Color.__pyx_vtable__ = capsule
    fake.Color = Color
    print(real.Color.__basicsize__, Color.__basicsize__)""")
    expected, actual = result.stdout.split()[:2]
    assert result.stdout.splitlines()[1] == (
        f"ValueError | tovara.color.color.Color size changed, may indicate binary incompatibility. "
        f"Expected {expected} from C header, got {actual} from PyObject | init tovara.parser.parser")


def test_larger_stand_in_warns_and_is_refused_for_not_being_the_modules_type(python):
    # A class with another type's table would have that table called on its own layout.
    result = run_with_fake_color(python, """
    class Color: __slots__ = tuple("abcdefgh")
    Color.__pyx_vtable__ = capsule
    fake.Color = Color""")
    assert result.stdout.startswith(
        "TypeError | tovara.color.color.Color is not the type that module defines | init tovara.parser.parser")
    assert "RuntimeWarning: tovara.color.color.Color size changed" in result.stderr


def test_larger_sibling_type_fails_when_warnings_are_errors(python):
    result = run_with_fake_color(python, """
    class Color: __slots__ = tuple("abcdefgh")
    Color.__pyx_vtable__ = capsule
    fake.Color = Color
    warnings.simplefilter("error")""")
    assert result.stdout.startswith("RuntimeWarning | tovara.color.color.Color size changed")


@pytest.mark.parametrize("body, expected", [
    ("class Color: __slots__ = tuple('abcdefgh')\n    fake.Color = Color", "KeyError | '__pyx_vtable__'"),
    ("fake.Color = 5", "TypeError | tovara.color.color.Color is not a type object"),
    ("fake.Color = None", "TypeError | tovara.color.color.Color is not a type object"),
    ("pass", "AttributeError | module 'tovara.color.color' has no attribute 'Color'"),
    # another type's table on the sibling's layout: a double free once it was called
    ("import tovara.image.image as image\n    class Color(real.Color): pass\n"
     "    Color.__pyx_vtable__ = image.Image.__dict__['__pyx_vtable__']\n    fake.Color = Color",
     "TypeError | tovara.color.color.Color is not the type that module defines"),
    ("Color = type('tovara.color.color.Color', (real.Color,), {'__pyx_vtable__': capsule})\n    fake.Color = Color",
     "TypeError | tovara.color.color.Color is not the type that module defines"),
    ("import datetime\n    class Color: __slots__ = tuple('abcdefgh')\n"
     "    Color.__pyx_vtable__ = datetime.datetime_CAPI\n    fake.Color = Color",
     "ValueError | PyCapsule_GetPointer called with incorrect name"),
])
def test_unusable_sibling_type_fails_the_import(python, body, expected):
    result = run_with_fake_color(python, body)
    assert result.stdout.startswith(expected)
    assert "| init tovara.parser.parser" in result.stdout


@pytest.mark.skipif(not FREE_THREADED, reason="needs the free-threaded interpreter")
@pytest.mark.parametrize("gil, before, after", [(None, "False", "True"), ("0", "False", "False")])
def test_importing_a_module_turns_the_gil_on_unless_forced_off(python, gil, before, after):
    code = """
        import sys
        print(sys._is_gil_enabled())
        import tovara.parser.parser
        print(sys._is_gil_enabled())"""
    result = python(code, PYTHON_GIL=gil)
    assert result.stdout.split() == [before, after], result.stderr


@pytest.mark.skipif(not FREE_THREADED, reason="needs the free-threaded interpreter")
def test_the_free_threaded_suite_runs_with_the_gil_forced_off():
    # Importing a module would turn it on; it stays off only because tools/in-root sets PYTHON_GIL=0.
    import tovara.parser.parser  # noqa: F401
    assert not sys._is_gil_enabled(), "run the suite with PYTHON_GIL=0, as tools/devenv test does"


def test_a_second_interpreter_is_refused(python):
    result = python("""
        try:
            from concurrent import interpreters
        except ImportError:
            print("skip"); raise SystemExit
        interp = interpreters.create()
        try:
            interp.exec("import tovara.color.color")
        except interpreters.ExecutionFailed as failure:
            print(failure.excinfo.type.__name__, "|", failure.excinfo.msg)
        else:
            print("imported")""")
    if result.stdout.strip() == "skip":
        pytest.skip("no concurrent.interpreters")
    # Either the interpreter or the module itself refuses; never a second copy.
    assert result.stdout.strip() in (
        "ImportError | Interpreter change detected - this module can only be loaded into one interpreter per process.",
        "ImportError | module tovara.color.color does not support loading in subinterpreters")


# -- functions and methods ---------------------------------------------------

def test_functions_carry_names_and_bind_as_methods():
    w = Widget()
    assert (Widget.echo.__name__, Widget.echo.__qualname__, Widget.echo.__module__) == ("echo", "Widget.echo",
                                                                                        "_capi_probe")
    assert w.echo.__self__ is w and w.echo.__func__ is Widget.__dict__["echo"]
    assert isinstance(Widget.__dict__["triple"], staticmethod)
    assert Widget.triple.__annotations__ == {"return": "tuple"}
    assert Widget.echo.__annotations__ == {}
    assert (w.ping(), w.echo(w), Widget.echo(w, 5)) == ("pong", w, 5)


@pytest.mark.parametrize("call, message", [
    (lambda: Widget.ping(), "unbound method Widget.ping() needs an argument"),
    (lambda: probe.__reduce_cython__(), "unbound method Widget.__reduce_cython__() needs an argument"),
    (lambda: Widget.echo(3, 4), "descriptor 'echo' for '_capi_probe.Widget' objects doesn't apply to a 'int' object"),
    (lambda: Widget().ping(1), "ping() takes exactly 0 positional arguments (1 given)"),
    (lambda: Widget().ping(x=1), "ping() got an unexpected keyword argument 'x'"),
    (lambda: Widget().echo(), "echo() takes exactly 1 positional argument (0 given)"),
    (lambda: Widget().echo(1, 2), "echo() takes exactly 1 positional argument (2 given)"),
    (lambda: Widget().echo(1, value=2), "echo() got multiple values for keyword argument 'value'"),
    (lambda: Widget().echo(valeu=2), "echo() got an unexpected keyword argument 'valeu'"),
    (lambda: Widget.triple(1, third=3), "triple() takes exactly 3 positional arguments (1 given)"),
    (lambda: Widget.triple(1, 2, 3, 4), "triple() takes exactly 3 positional arguments (4 given)"),
    (lambda: Widget.triple(1, 2, 3, x=4), "triple() got an unexpected keyword argument 'x'"),
    # Keywords out of order that are not exactly the remaining parameters.
    (lambda: Widget.triple(2, third=3, first=1), "triple() got multiple values for keyword argument 'first'"),
    (lambda: Widget.triple(third=3, first=1, sceond=2), "triple() got an unexpected keyword argument 'sceond'"),
    (lambda: Widget.ping(3), "descriptor 'ping' for '_capi_probe.Widget' objects doesn't apply to a 'int' object"),
])
def test_binding_errors(call, message):
    with pytest.raises(TypeError) as error:
        call()
    assert str(error.value) == message


@pytest.mark.parametrize("kwargs, expected", [
    ({"first": 1, "second": 2, "third": 3}, (1, 2, 3)),
    ({"third": 3, "first": 1, "second": 2}, (1, 2, 3)),
    # Keyword names made at run time: equal to the parameters' names, not the same objects.
    ({"".join(["th", "ird"]): 3, "".join(["fir", "st"]): 1, "second": 2}, (1, 2, 3)),
])
def test_keywords_in_any_order(kwargs, expected):
    assert Widget.triple(**kwargs) == expected
    assert Widget().triple(**kwargs) == expected


def test_typed_bodies_receive_converted_values():
    assert probe.typed(None, 7.9, 0.1, Widget()) == (None, 7, pytest.approx(0.1), 0)
    assert probe.typed(widget=Widget(), ratio=2, count=True, name="n") == ("n", 1, 2.0, 0)


# Numbers convert first, then the other kinds are checked, each in parameter
# order: the first failure in that order is the one reported.
@pytest.mark.parametrize("arguments, error, message", [
    ((5, "x", 1.0, None), TypeError, "an integer is required"),
    ((5, 1, "y", None), TypeError, "must be real number, not str"),
    ((5, 1, 1.0, None), TypeError, "Argument 'name' has incorrect type (expected str, got int)"),
    (("n", 1, 1.0, None), TypeError, "Argument 'widget' has incorrect type (expected _capi_probe.Widget, got NoneType)"),
    (("n", 2**40, 1.0, None), OverflowError, "value too large to convert to int"),
])
def test_typed_conversion_order(arguments, error, message):
    with pytest.raises(error) as raised:
        probe.typed(*arguments)
    assert message in str(raised.value)


def test_a_spec_naming_other_parameters_than_its_body_takes_is_refused():
    with pytest.raises(SystemError, match=r"misnamed\(\) names 2 parameters, its body takes 1"):
        probe.make_misnamed()


def test_failing_method_adds_one_traceback_entry_named_by_module_class_and_method():
    with pytest.raises(ValueError) as error:
        Widget().echo("fail")
    assert entries(error.value)[-1] == ("_capi_probe.Widget.echo", "tests/ext/capi_probe")
    assert len(entries(error.value)) == 2


# -- pickling refusal ----------------------------------------------------------

@pytest.mark.parametrize("action", [pickle.dumps, copy.copy, copy.deepcopy, lambda w: w.__reduce_ex__(2),
                                    lambda w: w.__setstate__(None), lambda w: w.__setstate__(__pyx_state=())])
def test_pickling_is_refused(action):
    with pytest.raises(TypeError, match=r"^self\._raw cannot be converted to a Python object for pickling$") as error:
        action(Widget())
    assert entries(error.value)[-1][1] == "(tree fragment)"
    assert entries(error.value)[-1][0] in ("_capi_probe.Widget.__reduce_cython__",
                                           "_capi_probe.Widget.__setstate_cython__")


def test_pickling_hooks_are_installed_under_the_protocol_names():
    assert not hasattr(Widget, "__reduce_cython__") and not hasattr(Widget, "__setstate_cython__")
    assert Widget.__reduce__.__name__ == "__reduce_cython__"
    assert Widget.__setstate__.__name__ == "__setstate_cython__"
    assert probe.__reduce_cython__.__qualname__ == "Widget.__reduce_cython__"
    assert probe.__setstate_cython__.__qualname__ == "Widget.__setstate_cython__"
    with pytest.raises(TypeError, match="cannot be converted"):
        probe.__reduce_cython__(object())  # any first argument


@pytest.mark.parametrize("call, message", [
    (lambda w: w.__reduce__(1), "__reduce_cython__() takes exactly 0 positional arguments (1 given)"),
    (lambda w: w.__reduce__(k=1), "__reduce_cython__() got an unexpected keyword argument 'k'"),
    (lambda w: w.__setstate__(), "__setstate_cython__() takes exactly 1 positional argument (0 given)"),
    (lambda w: w.__setstate__(None, x=1), "__setstate_cython__() got an unexpected keyword argument 'x'"),
    (lambda w: w.__setstate__(x=1), "__setstate_cython__() got an unexpected keyword argument 'x'"),
])
def test_pickling_hooks_bind_arguments_under_their_own_names(call, message):
    with pytest.raises(TypeError) as error:
        call(Widget())
    assert str(error.value) == message


# -- integer and float conversion ------------------------------------------------

class IntLike:
    def __init__(self, value):
        self.value = value

    def __int__(self):
        return self.value


class IndexOnly:
    def __index__(self):
        return 3


class StrictIntSubclass(int):
    pass


@pytest.mark.parametrize("value, expected", [
    (7, 7), (True, 1), (-2**31, -2**31), (2**31 - 1, 2**31 - 1), (2.9, 2), (-0.5, 0), (-2.9, -2),
    (IntLike(12), 12), (StrictIntSubclass(5), 5),
])
def test_int_conversion(value, expected):
    assert probe.to_int(value) == expected


@pytest.mark.parametrize("value, error, message", [
    ("3", TypeError, "an integer is required"),
    (None, TypeError, "an integer is required"),
    (IndexOnly(), TypeError, "an integer is required"),
    (IntLike("x"), TypeError, "__int__ returned non-int (type str)"),
    (2**31, OverflowError, "value too large to convert to int"),
    (-2**31 - 1, OverflowError, "value too large to convert to int"),
    (2**40, OverflowError, "value too large to convert to int"),
    (IntLike(2**40), OverflowError, "value too large to convert to int"),
    (2**70, OverflowError, "Python int too large to convert to C int"),
    (float("inf"), OverflowError, "cannot convert float infinity to integer"),
    (float("nan"), ValueError, "cannot convert float NaN to integer"),
])
def test_int_conversion_errors(value, error, message):
    with pytest.raises(error) as raised:
        probe.to_int(value)
    assert str(raised.value) == message


def test_int_subclass_from_dunder_int_warns_and_is_used():
    message = ("__int__ returned non-int (type StrictIntSubclass).  The ability to return an instance of a strict "
               "subclass of int is deprecated, and may be removed in a future version of Python.")
    with pytest.warns(DeprecationWarning) as caught:
        assert probe.to_int(IntLike(StrictIntSubclass(9))) == 9
    assert [str(w.message) for w in caught] == [message]
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(DeprecationWarning, match="strict subclass"):
            probe.to_int(IntLike(StrictIntSubclass(9)))


@pytest.mark.parametrize("value, expected", [(0, 0), (255, 255), (7.9, 7), (True, 1)])
def test_unsigned_char_conversion(value, expected):
    assert probe.to_uchar(value) == expected


@pytest.mark.parametrize("value, message", [
    (256, "value too large to convert to unsigned char"),
    (-1, "can't convert negative value to unsigned char"),
    (-2**100, "can't convert negative value to unsigned char"),
    (2**100, "Python int too large to convert to C unsigned long"),
])
def test_unsigned_char_conversion_errors(value, message):
    with pytest.raises(OverflowError) as raised:
        probe.to_uchar(value)
    assert str(raised.value) == message


@pytest.mark.parametrize("value", [0xe3b0c44, -2**63, 2**63 - 1])
def test_int64_conversion(value):
    assert probe.to_int64(value) == value


@pytest.mark.parametrize("value, expected", [(1.5, 1.5), (-1, -1.0), (2**53, 2.0**53), (True, 1.0)])
def test_float_conversion(value, expected):
    assert probe.to_float(value) == expected


@pytest.mark.parametrize("value, error", [("1", TypeError), (None, TypeError), (10**400, OverflowError)])
def test_float_conversion_errors(value, error):
    with pytest.raises(error):
        probe.to_float(value)
