#include "frame/errors.h"

#include <frameobject.h>

#include "frame/ref.h"

namespace tovara {

namespace {

// The globals of traceback frames; they are never executed.
PyObject* traceback_globals() {
    static PyObject* globals = PyDict_New();
    return globals;
}

}  // namespace

void add_traceback(const char* function, const char* file, int line) {
    Ref pending = Ref::steal(PyErr_GetRaisedException());
    if (!pending) return;
    PyObject* globals = traceback_globals();
    Ref code = globals ? Ref::steal(reinterpret_cast<PyObject*>(PyCode_NewEmpty(file, function, line)))
                       : Ref();
    Ref frame = code ? Ref::steal(reinterpret_cast<PyObject*>(PyFrame_New(
                           PyThreadState_Get(), reinterpret_cast<PyCodeObject*>(code.get()), globals, nullptr)))
                     : Ref();
    PyErr_Clear();  // a failure to make the entry must not replace the real error
    PyErr_SetRaisedException(pending.release());
    if (frame) PyTraceBack_Here(reinterpret_cast<PyFrameObject*>(frame.get()));
}

void report_unraisable(const char* context, bool print_first) {
    Ref error = Ref::steal(PyErr_GetRaisedException());
    if (!error) return;
    if (print_first) {
        PyErr_SetRaisedException(Py_NewRef(error.get()));
        PyErr_PrintEx(0);
    }
    Ref name = Ref::steal(PyUnicode_FromString(context));
    PyErr_Clear();
    PyErr_SetRaisedException(error.release());
    PyErr_WriteUnraisable(name ? name.get() : Py_None);
}

}  // namespace tovara
