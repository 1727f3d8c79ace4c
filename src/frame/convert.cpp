#include "frame/convert.h"

#include <climits>
#include <limits>

#include "frame/ref.h"

namespace tovara {

namespace {

// The int an object stands for: itself, or the result of its __int__ slot.
Ref as_int(PyObject* value) {
    if (PyLong_Check(value)) return Ref::borrow(value);
    PyNumberMethods* number = Py_TYPE(value)->tp_as_number;
    Ref result = number && number->nb_int ? Ref::steal(number->nb_int(value)) : Ref();
    if (!result) {
        if (!PyErr_Occurred()) PyErr_SetString(PyExc_TypeError, "an integer is required");
        return result;
    }
    if (PyLong_CheckExact(result.get())) return result;
    if (PyLong_Check(result.get())) {
        if (PyErr_WarnFormat(PyExc_DeprecationWarning, 1,
                             "__int__ returned non-int (type %.200s).  The ability to return an instance of a "
                             "strict subclass of int is deprecated, and may be removed in a future version of "
                             "Python.",
                             Py_TYPE(result.get())->tp_name) < 0)
            return Ref();
        return result;
    }
    PyErr_Format(PyExc_TypeError, "__int__ returned non-int (type %.200s)", Py_TYPE(result.get())->tp_name);
    return Ref();
}

constexpr long long small_limit = 1LL << 60;  // two 30-bit digits

template <typename T>
struct IntegerTarget;
template <>
struct IntegerTarget<int> {
    static constexpr const char* name = "int";
    static bool large(PyObject* v, int& out) {
        out = PyLong_AsInt(v);
        return !(out == -1 && PyErr_Occurred());
    }
};
template <>
struct IntegerTarget<unsigned char> {
    static constexpr const char* name = "unsigned char";
    static bool large(PyObject* v, unsigned char& out) {
        unsigned long wide = PyLong_AsUnsignedLong(v);
        if (wide == static_cast<unsigned long>(-1) && PyErr_Occurred()) return false;
        if (wide > UCHAR_MAX) {
            PyErr_SetString(PyExc_OverflowError, "value too large to convert to unsigned char");
            return false;
        }
        out = static_cast<unsigned char>(wide);
        return true;
    }
};
template <>
struct IntegerTarget<std::int64_t> {
    static constexpr const char* name = "int64_t";
    static bool large(PyObject* v, std::int64_t& out) {
        out = PyLong_AsLongLong(v);
        return !(out == -1 && PyErr_Occurred());
    }
};

template <typename T>
bool to_integer(PyObject* value, T& out) {
    using Target = IntegerTarget<T>;
    Ref number = as_int(value);
    if (!number) return false;
    int overflow = 0;
    long long wide = PyLong_AsLongLongAndOverflow(number.get(), &overflow);
    if (wide == -1 && PyErr_Occurred()) return false;
    if (std::numeric_limits<T>::min() == 0 && (overflow < 0 || (!overflow && wide < 0))) {
        PyErr_Format(PyExc_OverflowError, "can't convert negative value to %.200s", Target::name);
        return false;
    }
    if (overflow || wide >= small_limit || wide <= -small_limit) return Target::large(number.get(), out);
    if (wide < static_cast<long long>(std::numeric_limits<T>::min()) ||
        wide > static_cast<long long>(std::numeric_limits<T>::max())) {
        PyErr_Format(PyExc_OverflowError, "value too large to convert to %.200s", Target::name);
        return false;
    }
    out = static_cast<T>(wide);
    return true;
}

}  // namespace

bool to_c_int_slow(PyObject* value, int& out) { return to_integer(value, out); }

bool to_unsigned_char(PyObject* value, unsigned char& out) { return to_integer(value, out); }

bool to_int64(PyObject* value, std::int64_t& out) { return to_integer(value, out); }

bool to_double_slow(PyObject* value, double& out) {
    out = PyFloat_AsDouble(value);
    return !(out == -1.0 && PyErr_Occurred());
}

}  // namespace tovara
