// tovara.colors.colors: a palette of 152 named colors as attributes of one
// object, `colors`, made at import. Each attribute holds a Color (of the
// sibling module tovara.color.color) or None.
#include <Python.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "color/color.h"
#include "docstrings/colors.h"
#include "frame/binding.h"
#include "frame/module.h"
#include "frame/object.h"
#include "frame/ref.h"
#include "vector4/vector4.h"

namespace tovara::colors {

namespace {

struct NamedColor {
    const char* name;
    int r, g, b, a;
};

constexpr NamedColor palette[] = {
    {"AliceBlue", 240, 248, 255, 255},
    {"AntiqueWhite", 250, 235, 215, 255},
    {"Aqua", 0, 255, 255, 255},
    {"Aquamarine", 127, 255, 212, 255},
    {"Azure", 240, 255, 255, 255},
    {"Beige", 245, 245, 220, 255},
    {"Bisque", 255, 228, 196, 255},
    {"Black", 0, 0, 0, 255},
    {"Blank", 0, 0, 0, 0},
    {"BlanchedAlmond", 255, 235, 205, 255},
    {"Blue", 0, 0, 255, 255},
    {"BlueViolet", 138, 43, 226, 255},
    {"Brown", 165, 42, 42, 255},
    {"BurlyWood", 222, 184, 135, 255},
    {"CadetBlue", 95, 158, 160, 255},
    {"Chartreuse", 127, 255, 0, 255},
    {"Chocolate", 210, 105, 30, 255},
    {"Coral", 255, 127, 80, 255},
    {"CornflowerBlue", 100, 149, 237, 255},
    {"Cornsilk", 255, 248, 220, 255},
    {"Crimson", 220, 20, 60, 255},
    {"Cyan", 0, 255, 255, 255},
    {"DarkBlue", 0, 0, 139, 255},
    {"DarkCyan", 0, 139, 139, 255},
    {"DarkGoldenrod", 184, 134, 11, 255},
    {"DarkGray", 169, 169, 169, 255},
    {"DarkGrey", 169, 169, 169, 255},
    {"DarkGreen", 0, 100, 0, 255},
    {"DarkKhaki", 189, 183, 107, 255},
    {"DarkMagenta", 139, 0, 139, 255},
    {"DarkOliveGreen", 85, 107, 47, 255},
    {"DarkOrange", 255, 140, 0, 255},
    {"DarkOrchid", 153, 50, 204, 255},
    {"DarkRed", 139, 0, 0, 255},
    {"DarkSalmon", 233, 150, 122, 255},
    {"DarkSeaGreen", 143, 188, 143, 255},
    {"DarkSlateBlue", 72, 61, 139, 255},
    {"DarkSlateGray", 47, 79, 79, 255},
    {"DarkSlateGrey", 47, 79, 79, 255},
    {"DarkTurquoise", 0, 206, 209, 255},
    {"DarkViolet", 148, 0, 211, 255},
    {"DeepPink", 255, 20, 147, 255},
    {"DeepSkyBlue", 0, 191, 255, 255},
    {"DimGray", 105, 105, 105, 255},
    {"DimGrey", 105, 105, 105, 255},
    {"DodgerBlue", 30, 144, 255, 255},
    {"FireBrick", 178, 34, 34, 255},
    {"FloralWhite", 255, 250, 240, 255},
    {"ForestGreen", 34, 139, 34, 255},
    {"Fuchsia", 255, 0, 255, 255},
    {"Gainsboro", 220, 220, 220, 255},
    {"GhostWhite", 248, 248, 255, 255},
    {"Gold", 255, 215, 0, 255},
    {"Goldenrod", 218, 165, 32, 255},
    {"Gray", 128, 128, 128, 255},
    {"Grey", 128, 128, 128, 255},
    {"Green", 0, 128, 0, 255},
    {"GreenYellow", 173, 255, 47, 255},
    {"Honeydew", 240, 255, 240, 255},
    {"HotPink", 255, 105, 180, 255},
    {"IndianRed", 205, 92, 92, 255},
    {"Indigo", 75, 0, 130, 255},
    {"Ivory", 255, 255, 240, 255},
    {"Khaki", 240, 230, 140, 255},
    {"Lavender", 230, 230, 250, 255},
    {"LavenderBlush", 255, 240, 245, 255},
    {"LawnGreen", 124, 252, 0, 255},
    {"LemonChiffon", 255, 250, 205, 255},
    {"LightBlue", 173, 216, 230, 255},
    {"LightCoral", 240, 128, 128, 255},
    {"LightCyan", 224, 255, 255, 255},
    {"LightGoldenrodYellow", 250, 250, 210, 255},
    {"LightGray", 211, 211, 211, 255},
    {"LightGrey", 211, 211, 211, 255},
    {"LightGreen", 144, 238, 144, 255},
    {"LightPink", 255, 182, 193, 255},
    {"LightSalmon", 255, 160, 122, 255},
    {"LightSeaGreen", 32, 178, 170, 255},
    {"LightSkyBlue", 135, 206, 250, 255},
    {"LightSlateGray", 119, 136, 153, 255},
    {"LightSlateGrey", 119, 136, 153, 255},
    {"LightSteelBlue", 176, 196, 222, 255},
    {"LightYellow", 255, 255, 224, 255},
    {"Lime", 0, 255, 0, 255},
    {"LimeGreen", 50, 205, 50, 255},
    {"Linen", 250, 240, 230, 255},
    {"Magenta", 255, 0, 255, 255},
    {"Maroon", 176, 48, 96, 255},
    {"MediumAquamarine", 102, 205, 170, 255},
    {"MediumBlue", 0, 0, 205, 255},
    {"MediumForestGreen", 50, 129, 75, 255},
    {"MediumOrchid", 219, 112, 219, 255},
    {"MediumPurple", 147, 112, 219, 255},
    {"MediumSeaGreen", 66, 170, 113, 255},
    {"MediumSlateBlue", 127, 255, 212, 255},
    {"MediumSpringGreen", 60, 179, 113, 255},
    {"MediumTurquoise", 112, 219, 219, 255},
    {"MediumVioletRed", 199, 21, 133, 255},
    {"MidnightBlue", 25, 25, 112, 255},
    {"MintCream", 245, 255, 250, 255},
    {"MistyRose", 255, 228, 225, 255},
    {"Moccasin", 255, 228, 181, 255},
    {"NavajoWhite", 255, 222, 173, 255},
    {"Navy", 0, 0, 128, 255},
    {"NavyBlue", 0, 0, 128, 255},
    {"OldLace", 253, 245, 230, 255},
    {"Olive", 128, 128, 0, 255},
    {"OliveDrab", 107, 142, 35, 255},
    {"Orange", 255, 165, 0, 255},
    {"OrangeRed", 255, 69, 0, 255},
    {"Orchid", 218, 112, 214, 255},
    {"PaleGoldenrod", 238, 232, 170, 255},
    {"PaleGreen", 152, 251, 152, 255},
    {"PaleTurquoise", 175, 238, 238, 255},
    {"PaleVioletRed", 219, 112, 147, 255},
    {"PapayaWhip", 255, 239, 213, 255},
    {"PeachPuff", 255, 218, 185, 255},
    {"Peru", 205, 133, 63, 255},
    {"Pink", 255, 192, 203, 255},
    {"Plum", 221, 160, 221, 255},
    {"PowderBlue", 176, 224, 230, 255},
    {"Purple", 160, 32, 240, 255},
    {"RebeccaPurple", 102, 51, 153, 255},
    {"Red", 255, 0, 0, 255},
    {"RosyBrown", 188, 143, 143, 255},
    {"RoyalBlue", 65, 105, 225, 255},
    {"SaddleBrown", 139, 69, 19, 255},
    {"Salmon", 250, 128, 114, 255},
    {"SandyBrown", 244, 164, 96, 255},
    {"SeaGreen", 46, 139, 87, 255},
    {"Seashell", 255, 245, 238, 255},
    {"Sienna", 160, 82, 45, 255},
    {"Silver", 192, 192, 192, 255},
    {"SkyBlue", 135, 206, 235, 255},
    {"SlateBlue", 106, 90, 205, 255},
    {"SlateGray", 112, 128, 144, 255},
    {"SlateGrey", 112, 128, 144, 255},
    {"Snow", 255, 250, 250, 255},
    {"SpringGreen", 0, 255, 127, 255},
    {"SteelBlue", 70, 130, 180, 255},
    {"Tan", 210, 180, 140, 255},
    {"Teal", 0, 128, 128, 255},
    {"Thistle", 216, 191, 216, 255},
    {"Tomato", 255, 99, 71, 255},
    {"Turquoise", 64, 224, 208, 255},
    {"Violet", 238, 130, 238, 255},
    {"VioletRed", 208, 32, 144, 255},
    {"Wheat", 245, 222, 179, 255},
    {"White", 255, 255, 255, 255},
    {"WhiteSmoke", 245, 245, 245, 255},
    {"Yellow", 255, 255, 0, 255},
    {"YellowGreen", 154, 205, 50, 255},
};

constexpr std::size_t palette_size = std::size(palette);
static_assert(palette_size == 152);

bool populate(Module& module);
Module module_frame{"tovara.colors.colors", "colors", "src/tovara/colors/colors", populate, docstrings::colors};

// No method table: the object header, then one field per named color.
struct ColorsObject {
    PyObject_HEAD
    PyObject* fields[palette_size];
};

extern PyTypeObject ColorsType;  // defined with its slots below

// Bound at import as the sibling contract asks; only Color (and its type) is used here.
PyTypeObject* Vector4Type;
const vector4::Vector4Table* vector4_table;
PyTypeObject* ColorType;
const color::ColorTable* color_table;

// The (r, g, b, a) arguments of each row, made once; equal rows share a tuple.
PyObject* arguments[palette_size];

ColorsObject* as_colors(PyObject* object) { return reinterpret_cast<ColorsObject*>(object); }

bool build_arguments() {
    std::unordered_map<std::uint32_t, Ref> made;
    for (std::size_t i = 0; i < palette_size; ++i) {
        const NamedColor& row = palette[i];
        std::uint32_t key = static_cast<std::uint32_t>(row.r << 24 | row.g << 16 | row.b << 8 | row.a);
        Ref& shared = made[key];
        if (!shared) shared = Ref::steal(Py_BuildValue("(iiii)", row.r, row.g, row.b, row.a));
        if (!shared) return false;
        arguments[i] = Py_NewRef(shared.get());  // each row holds its own reference
    }
    return true;
}

// -- attributes: read and replaced inside the palette's critical section -----------

PyObject* get_color(PyObject* self, void* closure) {
    std::size_t index = reinterpret_cast<std::uintptr_t>(closure);
    PyObject* value;
    Py_BEGIN_CRITICAL_SECTION(self);
    value = Py_NewRef(as_colors(self)->fields[index]);
    Py_END_CRITICAL_SECTION();
    return value;
}

// Stores `value` (a new reference) in a field under the palette's critical
// section; the previous object goes once the section is left.
void replace_field(PyObject* self, std::size_t index, PyObject* value) {
    Ref previous;
    Py_BEGIN_CRITICAL_SECTION(self);
    previous = Ref::steal(as_colors(self)->fields[index]);
    as_colors(self)->fields[index] = value;
    Py_END_CRITICAL_SECTION();
}

int set_color(PyObject* self, PyObject* value, void* closure) {
    std::size_t index = reinterpret_cast<std::uintptr_t>(closure);
    if (value && value != Py_None && !PyObject_TypeCheck(value, ColorType)) {
        raise_cannot_convert(value, ColorType);
        module_frame.traceback(&ColorsType, {palette[index].name, "__set__"});
        return -1;
    }
    replace_field(self, index, Py_NewRef(value ? value : Py_None));  // deleting stores None
    return 0;
}

std::array<PyGetSetDef, palette_size + 1> attributes = [] {
    std::array<PyGetSetDef, palette_size + 1> made{};
    for (std::size_t i = 0; i < palette_size; ++i)
        made[i] = {palette[i].name, get_color, set_color, nullptr,
                   reinterpret_cast<void*>(static_cast<std::uintptr_t>(i))};
    return made;
}();

// -- creation ---------------------------------------------------------------------

// Every field None: what __new__ gives.
PyObject* new_palette(PyTypeObject* type, PyObject*, PyObject*) {
    ColorsObject* palette_object = reinterpret_cast<ColorsObject*>(type->tp_alloc(type, 0));
    if (!palette_object) return nullptr;
    for (PyObject*& field : palette_object->fields) field = Py_NewRef(Py_None);
    return reinterpret_cast<PyObject*>(palette_object);
}

// A fresh Color in every field, in table order; on a failure the fields from
// the failing one on keep their values. Each replacement takes the palette's
// critical section like an assignment does, since other threads may read or
// assign (or run __init__) at the same time.
bool fill(PyObject* self) {
    for (std::size_t i = 0; i < palette_size; ++i) {
        PyObject* made = PyObject_Call(reinterpret_cast<PyObject*>(ColorType), arguments[i], nullptr);
        if (!made) return false;
        replace_field(self, i, made);
    }
    return true;
}

// __init__ takes no arguments; the frame's binder words the refusal.
const ParameterList init_parameters{"__init__", nullptr, 0, 0};

int init(PyObject* self, PyObject* args, PyObject* kwargs) {
    PyObject* none_bound[1];
    if (bind_tuple_arguments(init_parameters, args, kwargs, none_bound) && fill(self)) return 0;
    module_frame.traceback(&ColorsType, "__init__");
    return -1;
}

// Colors() itself: allocation and filling without argument tuples.
PyObject* call_exact(PyObject* type, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
    PyObject* none_bound[1];
    if (!bind_arguments(init_parameters, args, PyVectorcall_NARGS(nargsf), kwnames, none_bound)) {
        module_frame.traceback(&ColorsType, "__init__");
        return nullptr;
    }
    Ref made = Ref::steal(new_palette(reinterpret_cast<PyTypeObject*>(type), nullptr, nullptr));
    if (made && !fill(made.get())) {
        module_frame.traceback(&ColorsType, "__init__");
        return nullptr;
    }
    return made.release();
}

int traverse(PyObject* self, visitproc visit, void* arg) {
    for (PyObject* field : as_colors(self)->fields) Py_VISIT(field);
    return 0;
}

int clear(PyObject* self) {
    for (PyObject*& field : as_colors(self)->fields) Py_XSETREF(field, Py_NewRef(Py_None));
    return 0;
}

void release(PyObject* self) {
    for (PyObject*& field : as_colors(self)->fields) Py_CLEAR(field);
}

PyTypeObject ColorsType = static_type("tovara.colors.colors.Colors", sizeof(ColorsObject),
                                      Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC,
                                      {.new_ = new_palette,
                                       .init = init,
                                       .vectorcall = call_exact,
                                       .dealloc = collected_dealloc<release>,
                                       .traverse = traverse,
                                       .clear = clear,
                                       .getset = attributes.data()});

bool populate(Module& module) {
    if (!build_arguments()) return false;
    if (!publish_type(module, &ColorsType, nullptr) || !vector4::import_vector4_type(Vector4Type, vector4_table) ||
        !color::import_color_type(ColorType, color_table))
        return false;
    Ref palette_object = Ref::steal(PyObject_CallNoArgs(reinterpret_cast<PyObject*>(&ColorsType)));
    return palette_object && PyModule_AddObjectRef(module.module, "colors", palette_object.get()) == 0;
}

}  // namespace

}  // namespace tovara::colors

PyMODINIT_FUNC PyInit_colors() { return tovara::colors::module_frame.init(); }
