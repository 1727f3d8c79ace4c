// tovara.rect.rect: the rectangle value of the package.
#include "rect/rect.h"

#include <structmember.h>

#include "docstrings/rect.h"
#include "frame/convert.h"
#include "frame/module.h"
#include "frame/object.h"

namespace tovara::rect {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "rect", "src/tovara/rect/rect", populate, docstrings::rect};
extern PyTypeObject RectType;  // defined with its slots below

PyObject* cfrom_struct(::Rectangle value);
const RectTable table{cfrom_struct};

PyObject* cfrom_struct(::Rectangle value) {
    RectObject* rect = allocate<RectObject>(&RectType, &table);
    if (!rect) return nullptr;
    rect->_raw = value;
    return reinterpret_cast<PyObject*>(rect);
}

// Rect(x, y, width, height): four numbers, stored as 32-bit floats.
PyObject* new_rect(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    static const char* names[] = {"x", "y", "width", "height", nullptr};
    PyObject* items[4];
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "OOOO:Rect", const_cast<char**>(names), &items[0], &items[1],
                                     &items[2], &items[3]))
        return nullptr;
    double values[4];
    for (int i = 0; i < 4; ++i)
        if (!to_double(items[i], values[i])) return nullptr;
    RectObject* rect = allocate<RectObject>(type, &table);
    if (!rect) return nullptr;
    rect->_raw = rectangle_new(static_cast<float>(values[0]), static_cast<float>(values[1]),
                               static_cast<float>(values[2]), static_cast<float>(values[3]));
    return reinterpret_cast<PyObject*>(rect);
}

PyMemberDef members[] = {
    {"x", Py_T_FLOAT, offsetof(RectObject, _raw.x), Py_READONLY, nullptr},
    {"y", Py_T_FLOAT, offsetof(RectObject, _raw.y), Py_READONLY, nullptr},
    {"width", Py_T_FLOAT, offsetof(RectObject, _raw.width), Py_READONLY, nullptr},
    {"height", Py_T_FLOAT, offsetof(RectObject, _raw.height), Py_READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyTypeObject RectType = static_type("tovara.rect.rect.Rect", sizeof(RectObject),
                                    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE, {.new_ = new_rect, .members = members});

bool populate(Module& module) { return publish_type(module, &RectType, &table); }

}  // namespace

}  // namespace tovara::rect

PyMODINIT_FUNC PyInit_rect() { return tovara::rect::module_frame.init(); }
