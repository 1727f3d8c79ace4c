// How the package's types take part in pickling.
#pragma once

#include <Python.h>

#include "frame/function.h"

namespace tovara {

// The file the pickling functions name in their traceback entries.
inline constexpr const char* pickling_file = "(tree fragment)";

// __reduce_cython__ and __setstate_cython__ of types that hold a raylib record
// and so refuse pickling: both raise TypeError.
extern const FunctionSpec refuse_reduce;
extern const FunctionSpec refuse_setstate;

// With __reduce_cython__ and __setstate_cython__ already in the type's dict,
// installs them as __reduce__ and __setstate__ (removing their own entries)
// unless the type defines its own pickling. Returns false with an exception set.
bool install_pickling(PyTypeObject* type);

// Everything a type that refuses pickling needs: the two methods on the type,
// installed as above. The module functions of the same names are bound by
// bind_pickling_refusal. Both return false with an exception set.
bool add_pickling_refusal(const Module& module, PyTypeObject* type);
bool bind_pickling_refusal(const Module& module, PyTypeObject* type);

}  // namespace tovara
