// Declarations of tovara.rect.rect for the modules that import it.
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/module.h"

namespace tovara::rect {

inline constexpr const char* module_path = "tovara.rect.rect";

struct RectTable;

struct RectObject {
    PyObject_HEAD
    const RectTable* table;
    ::Rectangle _raw;
};

struct RectTable {
    // A new Rect holding `value`, or null with an exception set.
    PyObject* (*cfrom_struct)(::Rectangle value);
};

inline ::Rectangle rectangle_new(float x, float y, float width, float height) { return {x, y, width, height}; }

// Imports the rect module and binds Rect with its size check and table.
// Returns false with an exception set.
inline bool import_rect_type(PyTypeObject*& type, const RectTable*& table) {
    return import_type<RectObject>(module_path, "Rect", type, table);
}

}  // namespace tovara::rect
