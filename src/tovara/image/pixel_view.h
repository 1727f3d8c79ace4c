// The pixel view of the image module: a writable, one-dimensional view of
// unsigned bytes laid over an image's pixel memory, without copying it.
//
// Pixel memory that views are laid over is shared between its owning image and
// those views: an owner that lets go of it (unload, destruction) while views
// remain hands its release to the last of them, so no view, and no buffer
// exported from one, ever reaches released memory.
#pragma once

#include <Python.h>

#include "frame/module.h"

namespace tovara::image {

// Readies the view type, with its docstring from `module`'s table (not bound in
// the module: views come from data_view). Returns false with an exception set.
bool ready_pixel_view_type(const Module& module);

// Takes a lease on the block at `data` for a view about to be made; an owner
// lets go of it (below) only after the lease is taken. Cannot fail.
void lease_pixels(void* data);

// A new view of `length` bytes at `data`, taking over a lease taken by
// lease_pixels. Returns null with an exception set, the lease given back.
PyObject* new_pixel_view(unsigned char* data, Py_ssize_t length);

// Called by an owner letting go of `data`: true when the caller must release
// the memory now; false when views still use it (the last one releases it).
bool owner_releases(void* data);

}  // namespace tovara::image
