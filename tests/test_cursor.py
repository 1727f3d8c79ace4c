"""The Cursor type: its state, dispatch to Python overrides, and its pickled form."""
import copy
import pickle
import traceback

import pytest

import _capi_probe as probe
import tovara.cursor.cursor as cursor_module
from tovara.cursor.cursor import Cursor, cursor

unpickle = cursor_module.__pyx_unpickle_Cursor
CHECKSUM = 0xe3b0c44


@pytest.fixture
def enabled_after():
    yield
    cursor.enable()
    cursor.show()


def test_module_attributes():
    assert type(cursor) is Cursor and cursor.enabled is True
    assert cursor_module.__test__ == {}
    assert [name for name in Cursor.__dict__ if name in ("enable", "disable", "show", "hide")] == [
        "enable", "disable", "show", "hide"]
    assert Cursor.__reduce__.__name__ == Cursor.__reduce_cython__.__name__ == "__reduce_cython__"
    assert Cursor.__setstate__.__name__ == Cursor.__setstate_cython__.__name__ == "__setstate_cython__"


def test_enabled_is_shared_by_every_cursor(enabled_after):
    other = Cursor(1, 2, k=3)
    cursor.disable()
    assert (cursor.enabled, other.enabled, Cursor().enabled) == (False, False, False)
    other.enable()
    assert cursor.enabled is True


@pytest.mark.parametrize("call, message", [
    (lambda: cursor.disable(1), "disable() takes exactly 0 positional arguments (1 given)"),
    (lambda: cursor.disable(now=True), "disable() got an unexpected keyword argument 'now'"),
])
def test_argument_errors_leave_the_flag_alone(call, message):
    with pytest.raises(TypeError) as error:
        call()
    assert str(error.value) == message and cursor.enabled is True


def test_hide_and_show_change_raylib_state(window, enabled_after):
    cursor.hide()
    assert cursor.hidden is True
    cursor.show()
    assert cursor.hidden is False
    assert isinstance(cursor.on_screen, bool)


@pytest.mark.parametrize("name", ["on_screen", "enabled", "hidden"])
def test_properties_are_read_only(name):
    with pytest.raises(AttributeError):
        setattr(cursor, name, True)
    with pytest.raises(AttributeError):
        delattr(cursor, name)


# -- pickled form --------------------------------------------------------------------

def test_reduce_of_a_plain_cursor():
    assert cursor.__reduce__() == (unpickle, (Cursor, 238750788, ()))
    assert cursor.__reduce_cython__() == cursor.__reduce__()


@pytest.mark.parametrize("clone", [lambda c: pickle.loads(pickle.dumps(c)), copy.copy, copy.deepcopy])
def test_round_trips_make_new_cursors(clone):
    twin = clone(cursor)
    assert type(twin) is Cursor and twin is not cursor


class Pointer(Cursor):
    pass


def test_subclass_with_attributes_pickles_with_its_state():
    pointer = Pointer()
    assert pointer.__reduce__() == (unpickle, (Pointer, CHECKSUM, ()))  # empty dict: like a plain Cursor
    pointer.speed = 3
    assert pointer.__reduce__() == (unpickle, (Pointer, CHECKSUM, None), ({"speed": 3},))
    for clone in (pickle.loads(pickle.dumps(pointer)), copy.copy(pointer), copy.deepcopy(pointer)):
        assert type(clone) is Pointer and clone.speed == 3 and clone is not pointer


@pytest.mark.parametrize("checksum", [0xe3b0c44, 0xda39a3e, 0xd41d8cd])
def test_accepted_checksums(checksum):
    assert type(unpickle(Cursor, checksum, ())) is Cursor
    assert type(unpickle(__pyx_type=Pointer, __pyx_checksum=checksum, __pyx_state=None)) is Pointer


@pytest.mark.parametrize("checksum, shown", [(1, "0x1"), (0xabc, "0xabc"), (-5, "0x-5")])
def test_other_checksums_raise_pickle_error(checksum, shown):
    with pytest.raises(pickle.PickleError) as error:
        unpickle(Cursor, checksum, ())
    assert str(error.value) == f"Incompatible checksums ({shown} vs (0xe3b0c44, 0xda39a3e, 0xd41d8cd) = ())"


@pytest.mark.parametrize("args, error, message", [
    ((Cursor, 1, []), TypeError, "Argument '__pyx_state' has incorrect type (expected tuple, got list)"),
    ((Cursor, "x", ()), TypeError, "an integer is required"),
    ((Cursor, 2**70, ()), OverflowError, None),
    ((int, CHECKSUM, ()), TypeError, None),
    ((Cursor, CHECKSUM, ({"a": 1},)), AttributeError, None),
    ((Cursor, CHECKSUM), TypeError, "__pyx_unpickle_Cursor() takes exactly 3 positional arguments (2 given)"),
])
def test_unpickle_errors(args, error, message):
    with pytest.raises(error) as raised:
        unpickle(*args)
    if message:
        assert str(raised.value) == message


def test_setstate():
    plain = Cursor()
    assert plain.__setstate__(()) is None and plain.__setstate__(({},)) is None
    with pytest.raises(TypeError, match="^cannot pass None into a C function argument that is declared 'not None'$"):
        plain.__setstate__(None)
    with pytest.raises(TypeError, match="^Expected tuple, got list$"):
        plain.__setstate__([])

    class Tuple(tuple):
        pass
    with pytest.raises(TypeError, match="^Expected tuple, got Tuple$"):
        plain.__setstate__(Tuple())
    with pytest.raises(AttributeError):
        plain.__setstate__(({"a": 1},))
    pointer = Pointer()
    pointer.__setstate__(__pyx_state=({"a": 1, "b": 2},))
    assert (pointer.a, pointer.b) == (1, 2)


# -- the C-level table --------------------------------------------------------------------

class Traced(Cursor):
    calls = []

    def enable(self):
        self.calls.append("enable")

    def hide(self):
        raise RuntimeError("hide failed")


@pytest.mark.parametrize("skip", [0, 1])
def test_c_level_entries_dispatch_to_overrides_unless_skipped(skip, enabled_after):
    traced = Traced()
    Traced.calls.clear()
    cursor.disable()
    probe.cursor_entry(traced, "enable", skip)
    assert Traced.calls == ([] if skip else ["enable"])
    assert cursor.enabled is bool(skip)
    probe.cursor_entry(traced, "disable", skip)  # not overridden: runs the built-in either way
    assert cursor.enabled is False


def test_failing_override_leaves_its_error_for_the_c_caller():
    with pytest.raises(RuntimeError, match="hide failed") as error:
        probe.cursor_entry(Traced(), "hide", 0)
    names = [frame.f_code.co_name for frame, _ in traceback.walk_tb(error.value.__traceback__)]
    assert "tovara.cursor.cursor.Cursor.hide" in names


def test_c_level_entries_of_a_plain_cursor(enabled_after):
    probe.cursor_entry(cursor, "c_disable", 0)
    assert cursor.enabled is False
    probe.cursor_entry(cursor, "c_enable", 0)
    assert cursor.enabled is True
