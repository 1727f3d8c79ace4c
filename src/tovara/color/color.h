// Declarations of tovara.color.color for the modules that import it.
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/module.h"

namespace tovara::color {

inline constexpr const char* module_path = "tovara.color.color";

struct ColorTable;

struct ColorObject {
    PyObject_HEAD
    const ColorTable* table;
    ::Color _raw;
};

struct ColorTable {
    // A new Color holding `value`, or null with an exception set.
    PyObject* (*cfrom_struct)(::Color value);
};

// Below 0 gives 0, above 255 gives 255.
inline unsigned char clamp_byte(int value) {
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

inline ::Color color_new(int r, int g, int b, int a) {
    return {clamp_byte(r), clamp_byte(g), clamp_byte(b), clamp_byte(a)};
}

// Imports the color module and binds Color with its size check and table.
// Returns false with an exception set.
inline bool import_color_type(PyTypeObject*& type, const ColorTable*& table) {
    return import_type<ColorObject>(module_path, "Color", type, table);
}

}  // namespace tovara::color
