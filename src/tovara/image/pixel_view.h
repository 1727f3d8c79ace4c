// The pixel view of the image module: a writable, one-dimensional view of
// unsigned bytes laid over an image's pixel memory, without copying it.
//
// Pixel memory that views are laid over is shared between its owning image and
// those views: an owner that lets go of it (unload, destruction) while views
// remain hands its release to the last of them, so no view, and no buffer
// exported from one, ever reaches released memory.
#pragma once

#include <Python.h>

namespace tovara {
struct Module;
}

namespace tovara::image {

// Readies the view type and binds it in the module as PixelView. Returns
// false with an exception set.
bool publish_pixel_view_type(Module& module);

// A new view of `length` bytes at `data`. Returns null with an exception set.
PyObject* new_pixel_view(unsigned char* data, Py_ssize_t length);

// Called by an owner letting go of `data`: true when the caller must release
// the memory now; false when views still use it (the last one releases it).
bool owner_releases(void* data);

}  // namespace tovara::image
