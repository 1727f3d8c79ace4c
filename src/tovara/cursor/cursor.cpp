// tovara.cursor.cursor: shows, hides, locks and releases the mouse cursor of
// the raylib window, and reports its state. Every Cursor acts on the one
// cursor of the process; the module-level `cursor` is ready-made.
#include "cursor/cursor.h"

#include <raylib.h>

#include <cstdint>

#include "docstrings/cursor.h"
#include "frame/dispatch.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/names.h"
#include "frame/object.h"
#include "frame/pickling.h"
#include "frame/ref.h"

namespace tovara::cursor {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "cursor", "src/tovara/cursor/cursor", populate, docstrings::cursor};

extern PyTypeObject CursorType;  // defined with its slots below

// What went through this module last: enable() or disable(). Never read from raylib.
int cursor_enabled = 0;

// -- the C-level entries ----------------------------------------------------------

void c_enable(CursorObject*) {
    cursor_enabled = 1;
    EnableCursor();
}

void c_disable(CursorObject*) {
    cursor_enabled = 0;
    DisableCursor();
}

void c_show(CursorObject*) { ShowCursor(); }
void c_hide(CursorObject*) { HideCursor(); }

extern const FunctionSpec enable_spec, disable_spec, show_spec, hide_spec;

// The overridable entries: a Python subclass's method of the same name runs
// instead of the built-in one, unless the caller skips dispatch.
template <const FunctionSpec& spec, void (*builtin)(CursorObject*)>
void dispatched(CursorObject* self, int skip_dispatch) {
    run_overridable(
        module_frame, &CursorType, reinterpret_cast<PyObject*>(self), skip_dispatch, spec, [&] { builtin(self); },
        [](PyObject* override) { Ref::steal(PyObject_CallNoArgs(override)); });
}

const CursorTable table{c_enable,
                        c_disable,
                        c_show,
                        c_hide,
                        dispatched<enable_spec, c_enable>,
                        dispatched<disable_spec, c_disable>,
                        dispatched<show_spec, c_show>,
                        dispatched<hide_spec, c_hide>};

// -- methods and properties ------------------------------------------------------------

// The Python methods run the built-in behaviour, never an override.
const FunctionSpec enable_spec{.name = "enable", .body = method<c_enable>};
const FunctionSpec disable_spec{.name = "disable", .body = method<c_disable>};
const FunctionSpec show_spec{.name = "show", .body = method<c_show>};
const FunctionSpec hide_spec{.name = "hide", .body = method<c_hide>};

PyObject* get_on_screen(PyObject*, void*) { return PyBool_FromLong(IsCursorOnScreen()); }
PyObject* get_enabled(PyObject*, void*) { return PyBool_FromLong(cursor_enabled); }
PyObject* get_hidden(PyObject*, void*) { return PyBool_FromLong(IsCursorHidden()); }

PyGetSetDef properties[] = {
    {"on_screen", get_on_screen, nullptr, nullptr, nullptr},
    {"enabled", get_enabled, nullptr, nullptr, nullptr},
    {"hidden", get_hidden, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// -- pickling --------------------------------------------------------------------------

// Checksums of the (empty) list of state members: SHA-256, SHA-1 and MD5 of "".
constexpr const char* state_members = "";  // joined by commas
constexpr std::int64_t checksums[] = {0xe3b0c44, 0xda39a3e, 0xd41d8cd};
constexpr const char* reconstructor_name = "__pyx_unpickle_Cursor";

const AttributeName dict_name{"__dict__"}, update_name{"update"}, new_name{"__new__"};

// Applies a state tuple: its first item, when true, updates the instance dict.
bool apply_state(PyObject* result, PyObject* state) {
    if (PyTuple_GET_SIZE(state) == 0) return true;
    PyObject* items = PyTuple_GET_ITEM(state, 0);
    int wanted = PyObject_IsTrue(items);
    if (wanted <= 0) return wanted == 0;
    Ref dict = Ref::steal(get_attribute(result, dict_name));
    if (!dict) return false;
    if (PyDict_CheckExact(dict.get())) return PyDict_Update(dict.get(), items) == 0;
    PyObject* name = update_name.get();
    return name && Ref::steal(PyObject_CallMethodOneArg(dict.get(), name, items));
}

PyObject* reduce(PyObject* self) {
    Ref dict;
    bool failed = false;
    Py_BEGIN_CRITICAL_SECTION(self);
    PyObject* found = nullptr;
    PyObject* name = dict_name.get();
    failed = !name || PyObject_GetOptionalAttr(self, name, &found) < 0;
    dict = Ref::steal(found);
    Py_END_CRITICAL_SECTION();
    if (failed) return nullptr;
    int has_items = dict && dict.get() != Py_None ? PyObject_IsTrue(dict.get()) : 0;
    if (has_items < 0) return nullptr;
    PyObject* reconstructor = nullptr;
    if (PyDict_GetItemStringRef(module_frame.dict, reconstructor_name, &reconstructor) < 0) return nullptr;
    Ref function = Ref::steal(reconstructor);
    if (!function) {
        PyErr_Format(PyExc_NameError, "name '%s' is not defined", reconstructor_name);
        return nullptr;
    }
    PyObject* type = reinterpret_cast<PyObject*>(Py_TYPE(self));
    if (has_items)
        return Py_BuildValue("(O(OlO)(O))", function.get(), type, static_cast<long>(checksums[0]), Py_None, dict.get());
    return Py_BuildValue("(O(Ol()))", function.get(), type, static_cast<long>(checksums[0]));
}

PyObject* setstate(PyObject* self, PyObject* state) {
    if (state == Py_None) {
        PyErr_SetString(PyExc_TypeError, "cannot pass None into a C function argument that is declared 'not None'");
        return nullptr;
    }
    if (!PyTuple_CheckExact(state)) {
        PyErr_Format(PyExc_TypeError, "Expected %.42s, got %.200s", "tuple", Py_TYPE(state)->tp_name);
        return nullptr;
    }
    if (!apply_state(self, state)) return nullptr;
    Py_RETURN_NONE;
}

PyObject* unpickle(PyObject* type, std::int64_t checksum, TupleOrNone state_argument) {
    PyObject* state = state_argument.object;
    if (checksum != checksums[0] && checksum != checksums[1] && checksum != checksums[2]) {
        Ref pickle = Ref::steal(PyImport_ImportModule("pickle"));
        Ref error = pickle ? Ref::steal(PyObject_GetAttrString(pickle.get(), "PickleError")) : Ref();
        Ref given = error ? Ref::steal(PyLong_FromLongLong(checksum)) : Ref();
        // The given checksum may be any int: Python's own %x formats it.
        Ref text = given ? Ref::steal(PyUnicode_FromFormat(
                               "Incompatible checksums (0x%%x vs (0x%llx, 0x%llx, 0x%llx) = (%s))",
                               static_cast<long long>(checksums[0]), static_cast<long long>(checksums[1]),
                               static_cast<long long>(checksums[2]), state_members))
                         : Ref();
        Ref message = text ? Ref::steal(PyUnicode_Format(text.get(), given.get())) : Ref();
        if (message) PyErr_SetObject(error.get(), message.get());
        return nullptr;
    }
    PyObject* name = new_name.get();
    Ref result =
        name ? Ref::steal(PyObject_CallMethodOneArg(reinterpret_cast<PyObject*>(&CursorType), name, type)) : Ref();
    if (!result || (state != Py_None && !apply_state(result.get(), state))) return nullptr;
    return result.release();
}

const FunctionSpec reduce_spec{.name = "__reduce_cython__", .body = method<reduce>, .file = pickling_file, .line = 1};
const FunctionSpec setstate_spec{.name = "__setstate_cython__",
                                 .body = method<setstate>,
                                 .parameters = {"__pyx_state"},
                                 .file = pickling_file,
                                 .line = 16};
const FunctionSpec unpickle_spec{.name = reconstructor_name,
                                 .body = function<unpickle>,
                                 .parameters = {"__pyx_type", "__pyx_checksum", "__pyx_state"},
                                 .file = pickling_file,
                                 .line = 1};

// -- creation and import ------------------------------------------------------------------

// Cursor(...): the arguments are not looked at.
PyObject* new_cursor(PyTypeObject* type, PyObject*, PyObject*) {
    return reinterpret_cast<PyObject*>(allocate<CursorObject>(type, &table));
}

PyTypeObject CursorType =
    static_type("tovara.cursor.cursor.Cursor", sizeof(CursorObject), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
                {.new_ = new_cursor, .getset = properties});

bool populate(Module& module) {
    // The pickling hooks go in first, so that installing them moves them to
    // __reduce__ and __setstate__ (deleting their own names) ...
    if (!publish_type(module, &CursorType, &table) ||
        !add_methods(module, &CursorType, {&reduce_spec, &setstate_spec}) || !install_pickling(&CursorType))
        return false;
    // ... then an import resets the flag, even while the cursor is disabled ...
    cursor_enabled = 1;
    // ... and the methods go in, in member order, the hooks again under their
    // own names: the class keeps both.
    if (!add_methods(module, &CursorType,
                     {&enable_spec, &disable_spec, &show_spec, &hide_spec, &reduce_spec, &setstate_spec}))
        return false;
    Ref cursor = Ref::steal(PyObject_CallNoArgs(reinterpret_cast<PyObject*>(&CursorType)));
    return cursor && PyModule_AddObjectRef(module.module, "cursor", cursor.get()) == 0 &&
           add_functions(module, {&unpickle_spec});
}

}  // namespace

}  // namespace tovara::cursor

PyMODINIT_FUNC PyInit_cursor() { return tovara::cursor::module_frame.init(); }
