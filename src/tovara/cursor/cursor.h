// Declarations of tovara.cursor.cursor for the modules that use its Cursor type.
//
// Every entry returns nothing; the overridable ones (enable, disable, show,
// hide) may leave an exception set when a Python override fails, so callers
// test PyErr_Occurred() after them.
#pragma once

#include <Python.h>

#include "frame/module.h"

namespace tovara::cursor {

inline constexpr const char* module_path = "tovara.cursor.cursor";

struct CursorTable;

// A Cursor has no fields of its own: every one acts on the process's cursor.
struct CursorObject {
    PyObject_HEAD
    const CursorTable* table;
};

// Slots in table order. `skip_dispatch` 0 lets a Python subclass's method of
// the same name run instead of the built-in behaviour.
struct CursorTable {
    void (*c_enable)(CursorObject* self);
    void (*c_disable)(CursorObject* self);
    void (*c_show)(CursorObject* self);
    void (*c_hide)(CursorObject* self);
    void (*enable)(CursorObject* self, int skip_dispatch);
    void (*disable)(CursorObject* self, int skip_dispatch);
    void (*show)(CursorObject* self, int skip_dispatch);
    void (*hide)(CursorObject* self, int skip_dispatch);
};

inline bool import_cursor_type(PyTypeObject*& type, const CursorTable*& table) {
    return import_type<CursorObject>(module_path, "Cursor", type, table);
}

}  // namespace tovara::cursor
