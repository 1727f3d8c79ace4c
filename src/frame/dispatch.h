// Overridable C-level entries. Called with skip_dispatch 0 on an instance of a
// Python subclass, such an entry lets the subclass's method of the same name
// run instead of its own body.
#pragma once

#include <Python.h>

#include "frame/function.h"
#include "frame/ref.h"

namespace tovara {

// Finds the override of the method `spec` on `self`: `found` is left null when
// the entry should run its own body (the caller skips dispatch, the type is not
// a Python subclass, or the attribute is still the package's own method).
// Returns false with an exception set when the attribute lookup fails.
bool find_override(PyObject* self, int skip_dispatch, const FunctionSpec& spec, Ref& found);

}  // namespace tovara
