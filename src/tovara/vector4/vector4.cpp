// tovara.vector4.vector4: the 4D vector value of the package.
#include "vector4/vector4.h"

#include <structmember.h>

#include "docstrings/vector4.h"
#include "frame/convert.h"
#include "frame/module.h"
#include "frame/object.h"

namespace tovara::vector4 {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "vector4", "src/tovara/vector4/vector4", populate, docstrings::vector4};
extern PyTypeObject Vector4Type;  // defined with its slots below

PyObject* cfrom_struct(vector4_t value);
const Vector4Table table{cfrom_struct};

PyObject* cfrom_struct(vector4_t value) {
    Vector4Object* vector = allocate<Vector4Object>(&Vector4Type, &table);
    if (!vector) return nullptr;
    vector->data = value;
    return reinterpret_cast<PyObject*>(vector);
}

// Vector4(x, y, z, w): four numbers, stored as doubles.
PyObject* new_vector4(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    static const char* names[] = {"x", "y", "z", "w", nullptr};
    PyObject* items[4];
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "OOOO:Vector4", const_cast<char**>(names), &items[0], &items[1],
                                     &items[2], &items[3]))
        return nullptr;
    vector4_t value;
    if (!to_double(items[0], value.x) || !to_double(items[1], value.y) || !to_double(items[2], value.z) ||
        !to_double(items[3], value.w))
        return nullptr;
    Vector4Object* vector = allocate<Vector4Object>(type, &table);
    if (!vector) return nullptr;
    vector->data = value;
    return reinterpret_cast<PyObject*>(vector);
}

PyMemberDef members[] = {
    {"x", Py_T_DOUBLE, offsetof(Vector4Object, data.x), Py_READONLY, nullptr},
    {"y", Py_T_DOUBLE, offsetof(Vector4Object, data.y), Py_READONLY, nullptr},
    {"z", Py_T_DOUBLE, offsetof(Vector4Object, data.z), Py_READONLY, nullptr},
    {"w", Py_T_DOUBLE, offsetof(Vector4Object, data.w), Py_READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyTypeObject Vector4Type =
    static_type("tovara.vector4.vector4.Vector4", sizeof(Vector4Object), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
                {.new_ = new_vector4, .members = members});

bool populate(Module& module) { return publish_type(module, &Vector4Type, &table); }

}  // namespace

}  // namespace tovara::vector4

PyMODINIT_FUNC PyInit_vector4() { return tovara::vector4::module_frame.init(); }
