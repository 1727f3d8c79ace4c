// Declarations of tovara.image.image for the modules that use its Image type.
//
// Other modules import the type with its size check and reach it only through
// the method table in its __pyx_vtable__ capsule (import_image_type below).
//
// Failure conventions: entries returning an object return a new reference, or
// null with an exception set; export_ returns 1 or 0, 0 with an exception set
// on failure; unload may leave an exception set (callers test PyErr_Occurred()).
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/module.h"

namespace tovara::image {

inline constexpr const char* module_path = "tovara.image.image";

struct ImageTable;

// What destruction does with the pixels a subclass instance owns, as its
// finalizer decided by asking its `valid`.
enum class PixelsAtDeath : int { undecided, release, keep };

// The instance layout: other modules rely on this order.
struct ImageObject {
    PyObject_HEAD
    const ImageTable* table;
    ::Image _raw;
    int is_owner;  // true when this object releases _raw.data
    // The image module's own bookkeeping; other modules never touch it.
    PixelsAtDeath at_death;
    int frames;          // frames _raw.data holds, one after another: 1 but for load_anim, 0 for Image()
    int* frame_delays;   // owned: `frames` delays in milliseconds, or null when all are 0
};

// Optional arguments of `new`: how many are given (0 or 1), then is_owner.
struct NewOptions {
    int count;
    int is_owner;
};

// Slots in table order. Names ending in an underscore are C++ keywords
// otherwise (new, export). `skip_dispatch` 0 lets a Python subclass's
// override of the method of the same name run instead.
struct ImageTable {
    // A new exact Image holding `rl_image`; is_owner true unless options say otherwise.
    PyObject* (*new_)(::Image rl_image, const NewOptions* options);
    PyObject* (*c_load)(PyObject* file_name);
    PyObject* (*c_load_raw)(PyObject* file_name, int width, int height, int format, int header_size);
    PyObject* (*c_load_anim)(PyObject* file_name, int* frames);
    PyObject* (*c_load_from_screen)();
    PyObject* (*c_copy)(ImageObject* self);
    int (*export_)(ImageObject* self, PyObject* file_name, int skip_dispatch);
    void (*unload)(ImageObject* self, int skip_dispatch);
    PyObject* (*copy)(ImageObject* self, int skip_dispatch);
    PyObject* (*from_channel)(ImageObject* self, int selected_channel, int skip_dispatch);
};

// Imports the image module and binds Image with its size check and table.
// Returns false with an exception set.
inline bool import_image_type(PyTypeObject*& type, const ImageTable*& table) {
    return import_type<ImageObject>(module_path, "Image", type, table);
}

}  // namespace tovara::image
