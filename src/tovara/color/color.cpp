// tovara.color.color: the RGBA color value of the package.
#include "color/color.h"

#include <structmember.h>

#include "docstrings/color.h"
#include "frame/convert.h"
#include "frame/module.h"
#include "frame/object.h"

namespace tovara::color {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "color", "src/tovara/color/color", populate, docstrings::color};
extern PyTypeObject ColorType;  // defined with its slots below

PyObject* cfrom_struct(::Color value);
const ColorTable table{cfrom_struct};

PyObject* cfrom_struct(::Color value) {
    ColorObject* color = allocate<ColorObject>(&ColorType, &table);
    if (!color) return nullptr;
    color->_raw = value;
    return reinterpret_cast<PyObject*>(color);
}

// Color(r, g, b, a): each component an integer, clamped to 0..255.
PyObject* new_color(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    static const char* names[] = {"r", "g", "b", "a", nullptr};
    PyObject* items[4];
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "OOOO:Color", const_cast<char**>(names), &items[0], &items[1],
                                     &items[2], &items[3]))
        return nullptr;
    int components[4];
    for (int i = 0; i < 4; ++i)
        if (!to_c_int(items[i], components[i])) return nullptr;
    ColorObject* color = allocate<ColorObject>(type, &table);
    if (!color) return nullptr;
    color->_raw = color_new(components[0], components[1], components[2], components[3]);
    return reinterpret_cast<PyObject*>(color);
}

PyObject* repr(PyObject* self) {
    const ::Color& c = reinterpret_cast<ColorObject*>(self)->_raw;
    return PyUnicode_FromFormat("Color(%d, %d, %d, %d)", c.r, c.g, c.b, c.a);
}

PyMemberDef members[] = {
    {"r", Py_T_UBYTE, offsetof(ColorObject, _raw.r), Py_READONLY, nullptr},
    {"g", Py_T_UBYTE, offsetof(ColorObject, _raw.g), Py_READONLY, nullptr},
    {"b", Py_T_UBYTE, offsetof(ColorObject, _raw.b), Py_READONLY, nullptr},
    {"a", Py_T_UBYTE, offsetof(ColorObject, _raw.a), Py_READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

PyTypeObject ColorType =
    static_type("tovara.color.color.Color", sizeof(ColorObject), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
                {.new_ = new_color, .repr = repr, .members = members});

bool populate(Module& module) { return publish_type(module, &ColorType, &table); }

}  // namespace

}  // namespace tovara::color

PyMODINIT_FUNC PyInit_color() { return tovara::color::module_frame.init(); }
