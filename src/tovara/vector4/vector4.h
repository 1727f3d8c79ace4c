// Declarations of tovara.vector4.vector4 for the modules that import it.
#pragma once

#include <Python.h>

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

}  // namespace tovara::vector4
