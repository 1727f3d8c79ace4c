// Traceback entries for exceptions raised by the package's C++ code.
#pragma once

#include <Python.h>

namespace tovara {

// Adds an entry naming `function` at `file`:`line` to the pending exception's
// traceback. Keeps the pending exception as it is if the entry cannot be made.
void add_traceback(const char* function, const char* file, int line);

// None, or null when an exception is pending: the result of a method whose C
// work reports failure only through the pending exception.
inline PyObject* none_unless_error() {
    if (PyErr_Occurred()) return nullptr;
    Py_RETURN_NONE;
}

// Reports the pending exception through the interpreter's unraisable hook,
// with `context` (a qualified name) as the object; with `print_first`, prints
// its traceback before. Clears it.
void report_unraisable(const char* context, bool print_first);

}  // namespace tovara
