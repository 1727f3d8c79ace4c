// Binding of vectorcall arguments to named parameters, with the package's messages.
#pragma once

#include <Python.h>

#include <cstddef>

namespace tovara {

inline constexpr std::size_t max_parameters = 8;

struct ParameterList {
    const char* function_name;  // plain name, as in "load_raw() takes ..."
    PyObject* const* names;     // interned str objects, in order
    Py_ssize_t count;
    Py_ssize_t required;  // the first `required` parameters have no default
};

// Fills slots[0, count) from positional arguments and keywords: borrowed
// references, null for an optional parameter left out. Returns false with the
// binding TypeError set.
bool bind_arguments(const ParameterList& parameters, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                    PyObject** slots);

// The same for a call made with an argument tuple and a keyword dict (or
// null), as tp_init receives them. The slots borrow from `args` and `kwargs`.
bool bind_tuple_arguments(const ParameterList& parameters, PyObject* args, PyObject* kwargs, PyObject** slots);

// True when the keywords name, by identity and in order, every parameter after
// the positional arguments: the vectorcall array is then in parameter order
// as it is, and no binding error is possible.
inline bool keywords_in_order(const ParameterList& parameters, Py_ssize_t nargs, PyObject* kwnames) {
    Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
    if (nargs + nkw != parameters.count) return false;
    for (Py_ssize_t k = 0; k < nkw; ++k)
        if (PyTuple_GET_ITEM(kwnames, k) != parameters.names[nargs + k]) return false;
    return true;
}

// The common case of keywords out of order, bound without any check that
// could fail: every parameter is given, the keywords being, by identity, the
// names of distinct parameters after the positional arguments. Returns false,
// with no exception set and `slots` in no particular state, for any other
// call, which bind_arguments then binds or refuses with its messages.
inline bool bind_by_identity(const ParameterList& parameters, PyObject* const* args, Py_ssize_t nargs,
                             PyObject* kwnames, PyObject** slots) {
    const Py_ssize_t count = parameters.count, nkw = PyTuple_GET_SIZE(kwnames);
    if (nargs + nkw != count) return false;
    for (Py_ssize_t i = 0; i < count; ++i) slots[i] = i < nargs ? args[i] : nullptr;
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        PyObject* keyword = PyTuple_GET_ITEM(kwnames, k);
        Py_ssize_t index = nargs;
        while (index < count && parameters.names[index] != keyword) ++index;
        if (index == count || slots[index]) return false;
        slots[index] = args[nargs + k];
    }
    return true;
}

// The TypeError for a wrong number of positional arguments.
void raise_argument_count(const char* function_name, bool exact, Py_ssize_t min, Py_ssize_t max, Py_ssize_t given);

// The TypeError for an argument of the wrong type ("Argument 'x' has incorrect type ...").
void raise_argument_type(const char* parameter, const char* expected, PyObject* argument);

// The TypeError "Cannot convert <value's type> to <type>" of an object that
// should have been an instance of `type`.
void raise_cannot_convert(PyObject* value, PyTypeObject* type);

// True when `argument` is exactly of `type`, or (for the package's own types)
// of a subclass; otherwise raises the argument-type TypeError.
bool check_exact_type(PyObject* argument, PyTypeObject* type, const char* parameter);
bool check_instance_type(PyObject* argument, PyTypeObject* type, const char* parameter);

}  // namespace tovara
