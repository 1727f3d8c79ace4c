// tovara.parser.parser: turns a value object of the package, a tuple, a list
// or any sequence into a raylib Vector2, Color or Rectangle. Its only public
// surface is the C interface in __pyx_capi__ (see parser.h).
#include "parser/parser.h"

#include "color/color.h"
#include "docstrings/parser.h"
#include "frame/convert.h"
#include "frame/module.h"
#include "frame/names.h"
#include "frame/ref.h"
#include "rect/rect.h"
#include "vector2/vector2.h"
#include "vector4/vector4.h"

namespace tovara::parser {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "parser", "src/tovara/parser/parser", populate, docstrings::parser};

// Sibling types, bound once at import. Only the first, third and fourth are
// compared against; the tables are read to prove the types are ours.
PyTypeObject* Vector2Type;
const vector2::Vector2Table* vector2_table;
PyTypeObject* Vector4Type;
const vector4::Vector4Table* vector4_table;
PyTypeObject* ColorType;
const color::ColorTable* color_table;
PyTypeObject* RectType;
const rect::RectTable* rect_table;
PyTypeObject* TypeType;

// One kind of like-argument: how many items it takes and what its errors say.
struct Shape {
    const char* function;
    const char* noun;          // "vector2-like", in count errors
    const char* counts;        // "2", "3-4", "4"
    Py_ssize_t min_items;
    Py_ssize_t max_items;
    const char* type_prefix;   // type errors: prefix, type name, suffix
    const char* type_suffix;
};

constexpr Shape vector2_shape{"parse_vector2_like", "vector2-like", "2", 2, 2,
                              "vector2-like argument must be Vector2, or any sequence, got ", "."};
constexpr Shape color_shape{"parse_color_like", "color-like", "3-4", 3, 4,
                            "color-like argument must be Color, or any sequence, got ", "."};
constexpr Shape rect_shape{"parse_rect_like", "rect-like", "4", 4, 4,
                           "rect_like argument must be Rect, tuple, or list, got ", ""};

constexpr Py_ssize_t most_items = 4;

// Coordinates: read as doubles, narrowed by the caller.
struct FloatItems {
    using Value = double;
    static bool fast(PyObject* item, Value& out) { return fast_double(item, out); }
    static bool convert(PyObject* item, Value& out) { return to_double(item, out); }
};

// Color components: C ints, clamped by the caller.
struct IntItems {
    using Value = int;
    static bool fast(PyObject* item, Value& out) { return fast_c_int(item, out); }
    static bool convert(PyObject* item, Value& out) { return to_c_int(item, out); }
};

bool raise_count(const Shape& shape, const char* container) {
    PyErr_Format(PyExc_ValueError, "%s for %s argument must have only %s elements.", container, shape.noun,
                 shape.counts);
    return false;
}

bool raise_type(const Shape& shape, PyObject* argument) {
    static const AttributeName name_name{"__name__"};
    Ref name = Ref::steal(get_attribute(reinterpret_cast<PyObject*>(Py_TYPE(argument)), name_name));
    if (name && !PyUnicode_Check(name.get())) name = Ref::steal(PyObject_Format(name.get(), nullptr));
    if (name) PyErr_Format(PyExc_TypeError, "%s%U%s", shape.type_prefix, name.get(), shape.type_suffix);
    return false;
}

bool counted(const Shape& shape, Py_ssize_t count) { return count >= shape.min_items && count <= shape.max_items; }

// Items of a tuple, read in place: a tuple cannot change under us.
template <typename Items, const Shape& shape>
bool read_tuple(const char* container, PyObject* tuple, typename Items::Value* values,
                Py_ssize_t& count) {
    count = PyTuple_GET_SIZE(tuple);
    if (!counted(shape, count)) return raise_count(shape, container);
    for (Py_ssize_t i = 0; i < count; ++i)
        if (!Items::convert(PyTuple_GET_ITEM(tuple, i), values[i])) return false;
    return true;
}

// Items of a list, which an item's own __int__ or __float__ (or another
// thread) may change while we convert: either every item converts without
// running Python code, read under the list's lock, or we convert a snapshot of
// strong references taken under it. The count is the list's when checked.
// Strong references to a list's items, taken under its lock.
struct Snapshot {
    PyObject* items[most_items];
    Py_ssize_t count = 0;
    ~Snapshot() {
        for (Py_ssize_t i = 0; i < count; ++i) Py_DECREF(items[i]);
    }
};

template <typename Items, const Shape& shape>
bool read_list(const char* container, PyObject* list, typename Items::Value* values,
               Py_ssize_t& count) {
    Snapshot snapshot;
    bool in_range = false;
    bool converted = false;
    Py_BEGIN_CRITICAL_SECTION(list);
    count = PyList_GET_SIZE(list);
    in_range = counted(shape, count);
    if (in_range) {
        converted = true;
        for (Py_ssize_t i = 0; converted && i < count; ++i) converted = Items::fast(PyList_GET_ITEM(list, i), values[i]);
        if (!converted) {
            for (Py_ssize_t i = 0; i < count; ++i) snapshot.items[i] = Py_NewRef(PyList_GET_ITEM(list, i));
            snapshot.count = count;
        }
    }
    Py_END_CRITICAL_SECTION();
    if (!in_range) return raise_count(shape, container);
    if (converted) return true;
    for (Py_ssize_t i = 0; i < count; ++i)
        if (!Items::convert(snapshot.items[i], values[i])) return false;
    return true;
}

// The shape is a template argument so that its counts are constants: a
// fixed-count shape then reads its items without a loop.
template <typename Items, const Shape& shape>
bool read_items(PyObject* argument, typename Items::Value* values, Py_ssize_t& count) {
    if (PyTuple_CheckExact(argument)) return read_tuple<Items, shape>("tuple", argument, values, count);
    if (PyList_CheckExact(argument)) return read_list<Items, shape>("list", argument, values, count);
    if (!PySequence_Check(argument)) return raise_type(shape, argument);
    Ref items = Ref::steal(PySequence_Fast(argument, "expected sequence"));
    if (!items) return false;
    // A list or tuple subclass comes back as itself, so it may still be a list.
    if (PyList_Check(items.get())) return read_list<Items, shape>("sequence", items.get(), values, count);
    return read_tuple<Items, shape>("sequence", items.get(), values, count);
}

template <typename Result>
Result fail(const Shape& shape, int line) {
    module_frame.traceback(shape.function, line);
    return Result{};
}

// Flattened, so the fast paths run without a call; not vectorised, since a
// wide load of items stored one by one stalls on store forwarding.
#ifdef __clang__  // (GCC's optimize attribute; clang, for the fuzz build, only flattens)
#define TOVARA_PARSER_ENTRY [[gnu::flatten]]
#else
#define TOVARA_PARSER_ENTRY [[gnu::flatten, gnu::optimize("no-tree-slp-vectorize")]]
#endif

TOVARA_PARSER_ENTRY ::Vector2 parse_vector2_like(PyObject* dest) {
    if (Py_IS_TYPE(dest, Vector2Type)) return reinterpret_cast<vector2::Vector2Object*>(dest)->data;
    double items[most_items];
    Py_ssize_t count;
    if (!read_items<FloatItems, vector2_shape>(dest, items, count)) return fail<::Vector2>(vector2_shape, __LINE__);
    return vector2::vector2_new(items[0], items[1]);
}

TOVARA_PARSER_ENTRY ::Color parse_color_like(PyObject* color) {
    if (Py_IS_TYPE(color, ColorType)) return reinterpret_cast<color::ColorObject*>(color)->_raw;
    int items[most_items];
    Py_ssize_t count;
    if (!read_items<IntItems, color_shape>(color, items, count)) return fail<::Color>(color_shape, __LINE__);
    return color::color_new(items[0], items[1], items[2], count == 4 ? items[3] : 255);
}

TOVARA_PARSER_ENTRY ::Rectangle parse_rect_like(PyObject* rect) {
    if (Py_IS_TYPE(rect, RectType)) return reinterpret_cast<rect::RectObject*>(rect)->_raw;
    double items[most_items];
    Py_ssize_t count;
    if (!read_items<FloatItems, rect_shape>(rect, items, count)) return fail<::Rectangle>(rect_shape, __LINE__);
    return rect::rectangle_new(static_cast<float>(items[0]), static_cast<float>(items[1]),
                               static_cast<float>(items[2]), static_cast<float>(items[3]));
}

// Publishes the three functions in __pyx_capi__, each in a capsule named by its signature.
bool export_functions(Module& module) {
    PyObject* found = nullptr;
    if (PyDict_GetItemStringRef(module.dict, "__pyx_capi__", &found) < 0) return false;
    Ref capi = Ref::steal(found);
    if (!capi) {
        capi = Ref::steal(PyDict_New());
        if (!capi || PyModule_AddObjectRef(module.module, "__pyx_capi__", capi.get()) < 0) return false;
    }
    struct Export {
        const char* name;
        void* function;
        const char* signature;
    };
    const Export exports[] = {
        {"parse_color_like", reinterpret_cast<void*>(parse_color_like), parse_color_like_signature},
        {"parse_rect_like", reinterpret_cast<void*>(parse_rect_like), parse_rect_like_signature},
        {"parse_vector2_like", reinterpret_cast<void*>(parse_vector2_like), parse_vector2_like_signature},
    };
    for (const Export& entry : exports) {
        Ref capsule = Ref::steal(PyCapsule_New(entry.function, entry.signature, nullptr));
        if (!capsule || PyDict_SetItemString(capi.get(), entry.name, capsule.get()) < 0) return false;
    }
    return true;
}

bool populate(Module& module) {
    return export_functions(module) &&
           vector2::import_vector2_type(Vector2Type, vector2_table) &&
           vector4::import_vector4_type(Vector4Type, vector4_table) &&
           color::import_color_type(ColorType, color_table) &&
           rect::import_rect_type(RectType, rect_table) &&
           (TypeType = import_type("builtins", "type", sizeof(PyHeapTypeObject), nullptr)) != nullptr;
}

}  // namespace

}  // namespace tovara::parser

PyMODINIT_FUNC PyInit_parser() { return tovara::parser::module_frame.init(); }
