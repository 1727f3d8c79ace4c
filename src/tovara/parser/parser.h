// C interface of tovara.parser.parser: conversion of loosely typed Python
// arguments into raylib value records, for the other modules of the package.
//
// Every function takes a borrowed, non-null reference, must be called attached
// to the interpreter with no exception pending, and keeps no reference to its
// argument. On failure it sets an exception, adds a traceback entry and returns
// an all-zero record; since every record is a valid result, callers test
// PyErr_Occurred() after each call.
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/ref.h"

namespace tovara::parser {

inline constexpr const char* module_path = "tovara.parser.parser";

// A Vector2 object, or any sequence of exactly 2 numbers.
using ParseVector2Like = ::Vector2 (*)(PyObject* dest);
// A Color object, or any sequence of 3 or 4 integers (clamped to 0..255; a defaults to 255).
using ParseColorLike = ::Color (*)(PyObject* color);
// A Rect object, or any sequence of exactly 4 numbers.
using ParseRectLike = ::Rectangle (*)(PyObject* rect);

// Capsule names: part of the interface, character for character.
inline constexpr const char* parse_vector2_like_signature = "struct Vector2 (PyObject *)";
inline constexpr const char* parse_color_like_signature = "struct Color (PyObject *)";
inline constexpr const char* parse_rect_like_signature = "struct Rectangle (PyObject *)";

struct Api {
    ParseVector2Like parse_vector2_like;
    ParseColorLike parse_color_like;
    ParseRectLike parse_rect_like;
};

// Imports the parser module and reads its three functions from __pyx_capi__.
// Returns false with an exception set.
inline bool import_api(Api& api) {
    Ref module = Ref::steal(PyImport_ImportModule(module_path));
    Ref capi = module ? Ref::steal(PyObject_GetAttrString(module.get(), "__pyx_capi__")) : Ref();
    if (!capi) return false;
    auto read = [&](const char* name, const char* signature) -> void* {
        PyObject* found = nullptr;
        int present = PyMapping_GetOptionalItemString(capi.get(), name, &found);
        Ref capsule = Ref::steal(found);
        if (present == 0)
            PyErr_Format(PyExc_ImportError, "%.200s does not export expected C function %.200s", module_path, name);
        return capsule ? PyCapsule_GetPointer(capsule.get(), signature) : nullptr;
    };
    // The module stays in sys.modules, so the functions stay loaded.
    void* vector2 = read("parse_vector2_like", parse_vector2_like_signature);
    void* color = vector2 ? read("parse_color_like", parse_color_like_signature) : nullptr;
    void* rect = color ? read("parse_rect_like", parse_rect_like_signature) : nullptr;
    if (!rect) return false;
    api = {reinterpret_cast<ParseVector2Like>(vector2), reinterpret_cast<ParseColorLike>(color),
           reinterpret_cast<ParseRectLike>(rect)};
    return true;
}

}  // namespace tovara::parser
