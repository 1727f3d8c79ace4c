// Declarations of tovara.vector4.vector4 for the modules that import it.
#pragma once

#include <Python.h>

#include "frame/module.h"

namespace tovara::vector4 {

inline constexpr const char* module_path = "tovara.vector4.vector4";

struct vector4_t {
    double x, y, z, w;
};

struct Vector4Table;

struct Vector4Object {
    PyObject_HEAD
    const Vector4Table* table;
    vector4_t data;
};

struct Vector4Table {
    // A new Vector4 holding `value`, or null with an exception set.
    PyObject* (*cfrom_struct)(vector4_t value);
};

// Imports the vector4 module and binds Vector4 with its size check and table.
// Returns false with an exception set.
inline bool import_vector4_type(PyTypeObject*& type, const Vector4Table*& table) {
    return import_type<Vector4Object>(module_path, "Vector4", type, table);
}

}  // namespace tovara::vector4
