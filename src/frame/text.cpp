#include "frame/text.h"

#include <cstring>

#include "frame/binding.h"

namespace tovara {

bool check_str_or_none(PyObject* argument, const char* parameter) {
    if (argument == Py_None || PyUnicode_CheckExact(argument)) return true;
    raise_argument_type(parameter, "str", argument);
    return false;
}

Ref encode_utf8(PyObject* text) {
    if (text == Py_None) {
        PyErr_Format(PyExc_AttributeError, "'NoneType' object has no attribute '%.30s'", "encode");
        return Ref();
    }
    Ref encoded = Ref::steal(PyUnicode_AsUTF8String(text));
    if (encoded && std::memchr(PyBytes_AS_STRING(encoded.get()), '\0', PyBytes_GET_SIZE(encoded.get()))) {
        PyErr_SetString(PyExc_ValueError, "embedded null character");
        return Ref();
    }
    return encoded;
}

}  // namespace tovara
