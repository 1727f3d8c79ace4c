// tovara.vector2.vector2: the 2D vector value of the package.
#include "vector2/vector2.h"

#include <structmember.h>

#include "docstrings/vector2.h"
#include "frame/convert.h"
#include "frame/module.h"
#include "frame/object.h"

namespace tovara::vector2 {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "vector2", "src/tovara/vector2/vector2", populate, docstrings::vector2};
extern PyTypeObject Vector2Type;  // defined with its slots below

PyObject* cfrom_struct(::Vector2 value);
const Vector2Table table{cfrom_struct};

PyObject* cfrom_struct(::Vector2 value) {
    Vector2Object* vector = allocate<Vector2Object>(&Vector2Type, &table);
    if (!vector) return nullptr;
    vector->data = value;
    return reinterpret_cast<PyObject*>(vector);
}

// Vector2(x, y): two numbers, stored as 32-bit floats.
PyObject* new_vector2(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    static const char* names[] = {"x", "y", nullptr};
    PyObject *x, *y;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "OO:Vector2", const_cast<char**>(names), &x, &y)) return nullptr;
    double coordinates[2];
    if (!to_double(x, coordinates[0]) || !to_double(y, coordinates[1])) return nullptr;
    Vector2Object* vector = allocate<Vector2Object>(type, &table);
    if (!vector) return nullptr;
    vector->data = vector2_new(coordinates[0], coordinates[1]);
    return reinterpret_cast<PyObject*>(vector);
}

PyMemberDef members[] = {
    {"x", Py_T_FLOAT, offsetof(Vector2Object, data.x), Py_READONLY, nullptr},
    {"y", Py_T_FLOAT, offsetof(Vector2Object, data.y), Py_READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyTypeObject Vector2Type =
    static_type("tovara.vector2.vector2.Vector2", sizeof(Vector2Object), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
                {.new_ = new_vector2, .members = members});

bool populate(Module& module) { return publish_type(module, &Vector2Type, &table); }

}  // namespace

}  // namespace tovara::vector2

PyMODINIT_FUNC PyInit_vector2() { return tovara::vector2::module_frame.init(); }
