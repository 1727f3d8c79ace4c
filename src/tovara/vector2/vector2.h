// Declarations of tovara.vector2.vector2 for the modules that import it.
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/module.h"

namespace tovara::vector2 {

inline constexpr const char* module_path = "tovara.vector2.vector2";

struct Vector2Table;

struct Vector2Object {
    PyObject_HEAD
    const Vector2Table* table;
    ::Vector2 data;
};

struct Vector2Table {
    // A new Vector2 holding `value`, or null with an exception set.
    PyObject* (*cfrom_struct)(::Vector2 value);
};

inline ::Vector2 vector2_new(double x, double y) { return {static_cast<float>(x), static_cast<float>(y)}; }

// Imports the vector2 module and binds Vector2 with its size check and table.
// Returns false with an exception set.
inline bool import_vector2_type(PyTypeObject*& type, const Vector2Table*& table) {
    return import_type<Vector2Object>(module_path, "Vector2", type, table);
}

}  // namespace tovara::vector2
