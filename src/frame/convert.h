// Conversion of Python numbers to C numbers, with the package's messages.
//
// Integers: an int (bool and other subclasses included) converts directly; any
// other object through its __int__ slot, so a float is truncated toward zero.
// No __index__ fallback. Every function returns false with an exception set.
#pragma once

#include <Python.h>

#include <cstdint>

namespace tovara {

inline bool to_c_int(PyObject* value, int& out);
bool to_unsigned_char(PyObject* value, unsigned char& out);
bool to_int64(PyObject* value, std::int64_t& out);

// An exact float is read directly; anything else goes through PyFloat_AsDouble.
inline bool to_double(PyObject* value, double& out);

// Fast paths for hot loops: true when `value` is an exact float or an exact
// compact int (such values convert without calling into Python).
inline bool fast_double(PyObject* value, double& out) {
    if (PyFloat_CheckExact(value)) {
        out = PyFloat_AS_DOUBLE(value);
        return true;
    }
    if (PyLong_CheckExact(value) && PyUnstable_Long_IsCompact(reinterpret_cast<PyLongObject*>(value))) {
        out = static_cast<double>(PyUnstable_Long_CompactValue(reinterpret_cast<PyLongObject*>(value)));
        return true;
    }
    return false;
}

inline bool fast_c_int(PyObject* value, int& out) {
    if (PyLong_CheckExact(value) && PyUnstable_Long_IsCompact(reinterpret_cast<PyLongObject*>(value))) {
        // Compact ints hold one 30-bit digit, so they always fit a C int.
        out = static_cast<int>(PyUnstable_Long_CompactValue(reinterpret_cast<PyLongObject*>(value)));
        return true;
    }
    return false;
}

// The general cases of to_c_int and to_double.
bool to_c_int_slow(PyObject* value, int& out);
bool to_double_slow(PyObject* value, double& out);

inline bool to_c_int(PyObject* value, int& out) { return fast_c_int(value, out) || to_c_int_slow(value, out); }
inline bool to_double(PyObject* value, double& out) { return fast_double(value, out) || to_double_slow(value, out); }

// to_double, narrowed to single precision as C narrows.
inline bool to_float(PyObject* value, float& out) {
    double wide;
    if (!to_double(value, wide)) return false;
    out = static_cast<float>(wide);
    return true;
}

}  // namespace tovara
