#include "frame/pickling.h"

#include "frame/module.h"
#include "frame/ref.h"

namespace tovara {

namespace {

PyObject* refuse_reduce_body(PyObject*) {
    PyErr_SetString(PyExc_TypeError, "self._raw cannot be converted to a Python object for pickling");
    return nullptr;
}

PyObject* refuse_setstate_body(PyObject* self, PyObject*) { return refuse_reduce_body(self); }

// Traceback entries of the pickling hooks name this file, whatever the module.

// A lookup on the type that answers null without an exception when the attribute is missing.
Ref lookup(PyTypeObject* type, const char* name) {
    PyObject* value = nullptr;
    if (PyObject_GetOptionalAttrString(reinterpret_cast<PyObject*>(type), name, &value) < 0) return Ref();
    return Ref::steal(value);
}

bool is_named(PyObject* object, const char* name) {
    PyObject* found = nullptr;
    if (PyObject_GetOptionalAttrString(object, "__name__", &found) <= 0) {
        PyErr_Clear();
        return false;
    }
    Ref own = Ref::steal(found);
    return PyUnicode_Check(found) && PyUnicode_CompareWithASCIIString(found, name) == 0;
}

bool install(PyTypeObject* type) {
    PyObject* object_type = reinterpret_cast<PyObject*>(&PyBaseObject_Type);
    Ref object_reduce = Ref::steal(PyObject_GetAttrString(object_type, "__reduce__"));
    Ref object_reduce_ex = Ref::steal(PyObject_GetAttrString(object_type, "__reduce_ex__"));
    Ref object_getstate = Ref::steal(PyObject_GetAttrString(object_type, "__getstate__"));
    if (!object_reduce || !object_reduce_ex || !object_getstate) return false;

    Ref getstate = lookup(type, "__getstate__");
    if (PyErr_Occurred()) return false;
    if (getstate && getstate.get() != object_getstate.get()) return true;  // the type pickles itself

    Ref reduce_ex = lookup(type, "__reduce_ex__");
    if (!reduce_ex) return false;
    if (reduce_ex.get() != object_reduce_ex.get()) return true;
    Ref reduce = lookup(type, "__reduce__");
    if (!reduce) return false;
    if (reduce.get() != object_reduce.get() && !is_named(reduce.get(), "__reduce_cython__")) return true;

    Ref dict = Ref::steal(PyType_GetDict(type));
    if (!dict) return false;
    Ref reduce_cython = lookup(type, "__reduce_cython__");
    if (!reduce_cython) return PyErr_Occurred() == nullptr && reduce.get() != object_reduce.get();
    if (PyDict_SetItemString(dict.get(), "__reduce__", reduce_cython.get()) < 0 ||
        PyDict_DelItemString(dict.get(), "__reduce_cython__") < 0)
        return false;
    // Documented under the name it is now reached by.
    document_as(reduce_cython.get(), class_name(type), "__reduce__");

    Ref setstate = lookup(type, "__setstate__");
    if (PyErr_Occurred()) return false;
    if (!setstate || is_named(setstate.get(), "__setstate_cython__")) {
        Ref setstate_cython = lookup(type, "__setstate_cython__");
        if (setstate_cython) {
            if (PyDict_SetItemString(dict.get(), "__setstate__", setstate_cython.get()) < 0 ||
                PyDict_DelItemString(dict.get(), "__setstate_cython__") < 0)
                return false;
            document_as(setstate_cython.get(), class_name(type), "__setstate__");
        } else if (!setstate || PyErr_Occurred()) {
            return false;
        }
    }
    PyType_Modified(type);
    return true;
}

}  // namespace

const FunctionSpec refuse_reduce{
    .name = "__reduce_cython__", .body = method_of_any<refuse_reduce_body>, .file = pickling_file, .line = 2};
const FunctionSpec refuse_setstate{.name = "__setstate_cython__",
                                   .body = method_of_any<refuse_setstate_body>,
                                   .parameters = {"__pyx_state"},
                                   .file = pickling_file,
                                   .line = 4};

bool install_pickling(PyTypeObject* type) {
    if (install(type)) return true;
    if (!PyErr_Occurred()) PyErr_Format(PyExc_RuntimeError, "Unable to initialize pickling for %.200s", type->tp_name);
    return false;
}

bool add_pickling_refusal(const Module& module, PyTypeObject* type) {
    return add_methods(module, type, {&refuse_reduce, &refuse_setstate}) && install_pickling(type);
}

bool bind_pickling_refusal(const Module& module, PyTypeObject* type) {
    return add_functions(module, {&refuse_reduce, &refuse_setstate}, type);
}

}  // namespace tovara
