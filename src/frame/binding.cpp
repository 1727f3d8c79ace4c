#include "frame/binding.h"

#include <vector>

#include "frame/ref.h"

namespace tovara {

namespace {

// `keyword` is a str. Keywords are almost always the interned names
// themselves: every identity is tried before any text is compared.
Py_ssize_t find_parameter(const ParameterList& parameters, PyObject* keyword) {
    for (Py_ssize_t i = 0; i < parameters.count; ++i)
        if (parameters.names[i] == keyword) return i;
    for (Py_ssize_t i = 0; i < parameters.count; ++i)
        if (PyUnicode_Compare(parameters.names[i], keyword) == 0) return i;
    return -1;
}

}  // namespace

void raise_argument_count(const char* function_name, bool exact, Py_ssize_t min, Py_ssize_t max, Py_ssize_t given) {
    const char* bound = exact ? "exactly" : given < min ? "at least" : "at most";
    Py_ssize_t expected = given < min ? min : max;
    PyErr_Format(PyExc_TypeError, "%.200s() takes %.8s %zd positional argument%.1s (%zd given)", function_name, bound,
                 expected, expected == 1 ? "" : "s", given);
}

bool bind_arguments(const ParameterList& parameters, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                    PyObject** slots) {
    const bool exact = parameters.required == parameters.count;
    auto count_error = [&](Py_ssize_t given) {
        raise_argument_count(parameters.function_name, exact, parameters.required, parameters.count, given);
        return false;
    };
    if (nargs > parameters.count) return count_error(nargs);
    for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = args[i];
    for (Py_ssize_t i = nargs; i < parameters.count; ++i) slots[i] = nullptr;

    // Keywords first, in the order given: the first one that names no
    // parameter, or one already given, is the error.
    Py_ssize_t nkw = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
    PyObject* const* kwvalues = args + nargs;
    for (Py_ssize_t k = 0; k < nkw; ++k) {
        PyObject* keyword = PyTuple_GET_ITEM(kwnames, k);
        if (!PyUnicode_Check(keyword)) {
            PyErr_Format(PyExc_TypeError, "%.200s() keywords must be strings", parameters.function_name);
            return false;
        }
        Py_ssize_t index = find_parameter(parameters, keyword);
        if (index < 0) {
            PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", parameters.function_name,
                         keyword);
            return false;
        }
        if (slots[index]) {
            PyErr_Format(PyExc_TypeError, "%s() got multiple values for keyword argument '%U'",
                         parameters.function_name, keyword);
            return false;
        }
        slots[index] = kwvalues[k];
    }
    // A required parameter given neither way: counted as the positional
    // arguments that would have had to reach it.
    for (Py_ssize_t i = nargs; i < parameters.required; ++i)
        if (!slots[i]) return count_error(i);
    return true;
}

bool bind_tuple_arguments(const ParameterList& parameters, PyObject* args, PyObject* kwargs, PyObject** slots) {
    Py_ssize_t nargs = PyTuple_GET_SIZE(args);
    Py_ssize_t nkw = kwargs ? PyDict_GET_SIZE(kwargs) : 0;
    // The vectorcall form: positional values, then keyword values, their names in a tuple.
    std::vector<PyObject*> values(nargs + nkw);
    for (Py_ssize_t i = 0; i < nargs; ++i) values[i] = PyTuple_GET_ITEM(args, i);
    Ref kwnames;
    if (nkw > 0) {
        kwnames = Ref::steal(PyTuple_New(nkw));
        if (!kwnames) return false;
        Py_ssize_t position = 0, k = 0;
        PyObject *key, *value;
        while (PyDict_Next(kwargs, &position, &key, &value)) {
            PyTuple_SET_ITEM(kwnames.get(), k, Py_NewRef(key));
            values[nargs + k++] = value;
        }
    }
    return bind_arguments(parameters, values.data(), nargs, kwnames.get(), slots);
}

void raise_argument_type(const char* parameter, const char* expected, PyObject* argument) {
    PyErr_Format(PyExc_TypeError, "Argument '%.200s' has incorrect type (expected %.200s, got %.200s)", parameter,
                 expected, Py_TYPE(argument)->tp_name);
}

void raise_cannot_convert(PyObject* value, PyTypeObject* type) {
    PyErr_Format(PyExc_TypeError, "%.1sCannot convert %.200s to %.200s", "", Py_TYPE(value)->tp_name, type->tp_name);
}

bool check_exact_type(PyObject* argument, PyTypeObject* type, const char* parameter) {
    if (Py_IS_TYPE(argument, type)) return true;
    raise_argument_type(parameter, type->tp_name, argument);
    return false;
}

bool check_instance_type(PyObject* argument, PyTypeObject* type, const char* parameter) {
    if (PyObject_TypeCheck(argument, type)) return true;
    raise_argument_type(parameter, type->tp_name, argument);
    return false;
}

}  // namespace tovara
