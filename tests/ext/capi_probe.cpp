// _capi_probe: a test-only module that reaches the package's C interfaces
// exactly as another module of the package does (capsules in __pyx_capi__,
// method tables in __pyx_vtable__), and times them in C loops.
#include <Python.h>
#include <raylib.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "color/color.h"
#include "cursor/cursor.h"
#include "frame/convert.h"
#include "frame/errors.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/object.h"
#include "frame/pickling.h"
#include "frame/ref.h"
#include "image/image.h"
#include "parser/parser.h"
#include "rect/rect.h"
#include "sigil/sigil.h"
#include "sound/sound.h"
#include "vector2/vector2.h"

namespace probe {

using namespace tovara;

namespace {

bool populate(Module& module);
Module module_frame{"_capi_probe", "_capi_probe", "tests/ext/capi_probe", populate};

parser::Api parser_api;
PyTypeObject* Vector2Type;
const vector2::Vector2Table* vector2_table;
PyTypeObject* ColorType;
const color::ColorTable* color_table;
PyTypeObject* RectType;
const rect::RectTable* rect_table;

// parse_vector2(value) -> (x, y), through the capsule.
PyObject* parse_vector2(PyObject* value) {
    ::Vector2 v = parser_api.parse_vector2_like(value);
    if (PyErr_Occurred()) return nullptr;
    return Py_BuildValue("(dd)", static_cast<double>(v.x), static_cast<double>(v.y));
}

PyObject* parse_color(PyObject* value) {
    ::Color c = parser_api.parse_color_like(value);
    if (PyErr_Occurred()) return nullptr;
    return Py_BuildValue("(iiii)", c.r, c.g, c.b, c.a);
}

PyObject* parse_rect(PyObject* value) {
    ::Rectangle r = parser_api.parse_rect_like(value);
    if (PyErr_Occurred()) return nullptr;
    return Py_BuildValue("(dddd)", static_cast<double>(r.x), static_cast<double>(r.y), static_cast<double>(r.width),
                         static_cast<double>(r.height));
}

// The raw error a parser function leaves: whether the record came back all zero.
PyObject* parse_color_zeroed_on_error(PyObject* value) {
    ::Color c = parser_api.parse_color_like(value);
    if (!PyErr_Occurred()) Py_RETURN_NONE;
    PyErr_Clear();
    return PyBool_FromLong(c.r == 0 && c.g == 0 && c.b == 0 && c.a == 0);
}

volatile float float_sink;
volatile int int_sink;

// The floor the parser is measured against: the same reads with the same
// calling convention (a function pointer returning the record, then a test
// for a pending error), assuming well-formed input and checking nothing else.
double baseline_number(PyObject* item) {
    return PyFloat_CheckExact(item)
               ? PyFloat_AS_DOUBLE(item)
               : static_cast<double>(PyUnstable_Long_CompactValue(reinterpret_cast<PyLongObject*>(item)));
}

template <Py_ssize_t Count>
void baseline_read(PyObject* value, double* out) {
    if (PyTuple_CheckExact(value)) {
        if (PyTuple_GET_SIZE(value) == Count)
            for (Py_ssize_t i = 0; i < Count; ++i) out[i] = baseline_number(PyTuple_GET_ITEM(value, i));
    } else if (PyList_CheckExact(value)) {
        if (PyList_GET_SIZE(value) == Count)
            for (Py_ssize_t i = 0; i < Count; ++i) out[i] = baseline_number(PyList_GET_ITEM(value, i));
    } else {
        Ref items = Ref::steal(PySequence_Fast(value, "expected sequence"));
        if (items && PySequence_Fast_GET_SIZE(items.get()) == Count)
            for (Py_ssize_t i = 0; i < Count; ++i) out[i] = baseline_number(PySequence_Fast_GET_ITEM(items.get(), i));
    }
}

[[gnu::noinline]] ::Vector2 baseline_vector2(PyObject* value) {
    if (Py_IS_TYPE(value, Vector2Type)) return reinterpret_cast<vector2::Vector2Object*>(value)->data;
    double items[2] = {0, 0};
    baseline_read<2>(value, items);
    return {static_cast<float>(items[0]), static_cast<float>(items[1])};
}

[[gnu::noinline]] ::Color baseline_color(PyObject* value) {
    if (Py_IS_TYPE(value, ColorType)) return reinterpret_cast<color::ColorObject*>(value)->_raw;
    double items[4] = {0, 0, 0, 0};
    baseline_read<4>(value, items);
    return color::color_new(static_cast<int>(items[0]), static_cast<int>(items[1]), static_cast<int>(items[2]),
                            static_cast<int>(items[3]));
}

[[gnu::noinline]] ::Rectangle baseline_rect(PyObject* value) {
    if (Py_IS_TYPE(value, RectType)) return reinterpret_cast<rect::RectObject*>(value)->_raw;
    double items[4] = {0, 0, 0, 0};
    baseline_read<4>(value, items);
    return {static_cast<float>(items[0]), static_cast<float>(items[1]), static_cast<float>(items[2]),
            static_cast<float>(items[3])};
}

// Read through a volatile pointer, so neither side is inlined into the loop.
parser::Api* volatile baseline_api = nullptr;
parser::Api baseline_functions{baseline_vector2, baseline_color, baseline_rect};

bool call_once(const parser::Api& api, char kind, PyObject* value) {
    switch (kind) {
        case 'v':
            float_sink = api.parse_vector2_like(value).x;
            break;
        case 'c':
            int_sink = api.parse_color_like(value).r;
            break;
        default:
            float_sink = api.parse_rect_like(value).x;
    }
    return !PyErr_Occurred();
}

// time_parse(kind, value, count, baseline) -> nanoseconds per call, where kind
// is "vector2", "color" or "rect", in a C loop of `count` calls.
PyObject* time_parse(Str kind_name, PyObject* value, int count, PyObject* baseline_flag) {
    const char* kind = PyUnicode_AsUTF8(kind_name.object);
    if (!kind) return nullptr;
    int baseline = PyObject_IsTrue(baseline_flag);
    if (baseline < 0) return nullptr;
    baseline_api = &baseline_functions;
    const parser::Api& api = baseline ? *baseline_api : parser_api;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i)
        if (!call_once(api, kind[0], value)) return nullptr;
    std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return PyFloat_FromDouble(elapsed.count() / (count > 0 ? count : 1));
}

// Conversions of the frame, one function each: to_int(value) and so on.
PyObject* to_int(int value) { return PyLong_FromLong(value); }

PyObject* to_uchar(unsigned char value) { return PyLong_FromLong(value); }

PyObject* to_i64(std::int64_t value) { return PyLong_FromLongLong(value); }

PyObject* to_float(double value) { return PyFloat_FromDouble(value); }

// Widget: a small type of the frame's own making, to test methods, static
// methods, annotations and the pickling refusal apart from any raylib type.
struct WidgetTable {
    int (*answer)();
};

struct WidgetObject {
    PyObject_HEAD
    const WidgetTable* table;
    int value;
};

int answer() { return 42; }
const WidgetTable widget_table{answer};
PyTypeObject WidgetType =
    static_type("_capi_probe.Widget", sizeof(WidgetObject), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE);

PyObject* new_widget(PyTypeObject* type, PyObject*, PyObject*) {
    return reinterpret_cast<PyObject*>(allocate<WidgetObject>(type, &widget_table));
}

PyObject* widget_ping(PyObject*) { return PyUnicode_FromString("pong"); }

// echo(value): the value back; ValueError for the text "fail".
PyObject* widget_echo(PyObject*, PyObject* value) {
    if (PyUnicode_Check(value) && PyUnicode_CompareWithASCIIString(value, "fail") == 0) {
        PyErr_SetString(PyExc_ValueError, "asked to fail");
        return nullptr;
    }
    return Py_NewRef(value);
}

PyObject* widget_triple(PyObject* first, PyObject* second, PyObject* third) {
    return PyTuple_Pack(3, first, second, third);
}

const FunctionSpec widget_ping_spec{.name = "ping", .body = method<widget_ping>};
const FunctionSpec widget_echo_spec{.name = "echo", .body = method<widget_echo>, .parameters = {"value"}};
const FunctionSpec widget_triple_spec{
    .name = "triple", .body = function<widget_triple>, .parameters = {"first", "second", "third"}, .returns = "tuple"};

// typed(name, count, ratio, widget): what the frame converted, as a tuple.
PyObject* typed_values(StrOrNone name, int count, float ratio, Instance<WidgetType, WidgetObject> widget) {
    return Py_BuildValue("(Oidi)", name.object, count, static_cast<double>(ratio), widget->value);
}

const FunctionSpec typed_spec{
    .name = "typed", .body = function<typed_values>, .parameters = {"name", "count", "ratio", "widget"}};

// misnamed(): makes a function whose spec names two parameters for a body of one.
PyObject* one_parameter(PyObject* value) { return Py_NewRef(value); }
const FunctionSpec misnamed_spec{.name = "misnamed", .body = function<one_parameter>, .parameters = {"a", "b"}};

PyObject* make_misnamed() { return new_function(misnamed_spec, module_frame, nullptr); }

const FunctionSpec make_misnamed_spec{.name = "make_misnamed", .body = function<make_misnamed>};

bool publish_widget(Module& module) {
    WidgetType.tp_new = new_widget;
    return publish_type(module, &WidgetType, &widget_table) && add_pickling_refusal(module, &WidgetType) &&
           add_methods(module, &WidgetType, {&widget_ping_spec, &widget_echo_spec, &widget_triple_spec}) &&
           bind_pickling_refusal(module, &WidgetType) && add_functions(module, {&typed_spec, &make_misnamed_spec});
}

// -- Image's method table ------------------------------------------------------

PyTypeObject* ImageType;
const image::ImageTable* image_table;

image::ImageObject* image_arg(PyObject* value) {
    if (!PyObject_TypeCheck(value, ImageType)) {
        PyErr_SetString(PyExc_TypeError, "an Image is required");
        return nullptr;
    }
    return reinterpret_cast<image::ImageObject*>(value);
}

// Calls slot 0 with `record`; is_owner None passes no options (the default).
PyObject* call_image_new(const ::Image& record, PyObject* is_owner_arg) {
    if (is_owner_arg == Py_None) return image_table->new_(record, nullptr);
    int is_owner;
    if (!to_c_int(is_owner_arg, is_owner)) return nullptr;
    image::NewOptions options{1, is_owner};
    return image_table->new_(record, &options);
}

// image_new(image, is_owner): slot 0 over the very record `image` holds. Only
// safe with is_owner 0: the memory stays `image`'s.
PyObject* image_new(PyObject* image, PyObject* is_owner) {
    image::ImageObject* source = image_arg(image);
    return source ? call_image_new(source->_raw, is_owner) : nullptr;
}

// image_new_record(image, width, height, mipmaps, format): slot 0, borrowing,
// over `image`'s memory with other sizes and format: a record handed in at C
// level that raylib cannot handle.
PyObject* image_new_record(PyObject* image, int width, int height, int mipmaps, int format) {
    image::ImageObject* source = image_arg(image);
    if (!source) return nullptr;
    image::NewOptions borrowed{1, 0};
    return image_table->new_(::Image{source->_raw.data, width, height, mipmaps, format}, &borrowed);
}

// image_new_copy(image, is_owner): slot 0 over a fresh raylib copy of the pixels.
PyObject* image_new_copy(PyObject* image, PyObject* is_owner) {
    image::ImageObject* source = image_arg(image);
    return source ? call_image_new(ImageCopy(source->_raw), is_owner) : nullptr;
}

// image_record(image) -> (data address, width, height, mipmaps, format, is_owner)
PyObject* image_record(PyObject* object) {
    image::ImageObject* image = image_arg(object);
    if (!image) return nullptr;
    const ::Image& raw = image->_raw;
    return Py_BuildValue("(Kiiiii)", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(raw.data)), raw.width,
                         raw.height, raw.mipmaps, raw.format, image->is_owner);
}

// image_bytes(image): a copy of the first level's pixel bytes.
PyObject* image_bytes(PyObject* object) {
    image::ImageObject* image = image_arg(object);
    if (!image) return nullptr;
    const ::Image& raw = image->_raw;
    if (!raw.data) Py_RETURN_NONE;
    return PyBytes_FromStringAndSize(static_cast<const char*>(raw.data),
                                     GetPixelDataSize(raw.width, raw.height, raw.format));
}

// image_frames(image, count): a copy of `count` first levels' bytes, the
// frames of an animation.
PyObject* image_frames(PyObject* object, int count) {
    image::ImageObject* image = image_arg(object);
    if (!image) return nullptr;
    const ::Image& raw = image->_raw;
    if (!raw.data || count < 0) Py_RETURN_NONE;
    return PyBytes_FromStringAndSize(static_cast<const char*>(raw.data),
                                     Py_ssize_t{count} * GetPixelDataSize(raw.width, raw.height, raw.format));
}

// image_fill(instance, source): gives an empty instance (of a Python subclass,
// say) owned memory, a raylib copy of `source`'s pixels, as only C can.
PyObject* image_fill(PyObject* instance_object, PyObject* source_object) {
    image::ImageObject* instance = image_arg(instance_object);
    image::ImageObject* source = instance ? image_arg(source_object) : nullptr;
    if (!source) return nullptr;
    if (instance->_raw.data) {
        PyErr_SetString(PyExc_ValueError, "the instance already holds pixels");
        return nullptr;
    }
    instance->_raw = ImageCopy(source->_raw);
    instance->is_owner = 1;
    instance->frames = 1;  // a still image, as new makes
    Py_RETURN_NONE;
}

PyObject* image_c_load(PyObject* file_name) { return image_table->c_load(file_name); }

PyObject* image_c_load_raw(PyObject* file_name, int width, int height, int format, int header_size) {
    return image_table->c_load_raw(file_name, width, height, format, header_size);
}

PyObject* image_c_load_anim(PyObject* file_name) {
    int frames = -1;
    Ref image = Ref::steal(image_table->c_load_anim(file_name, &frames));
    return image ? Py_BuildValue("(Oi)", image.get(), frames) : nullptr;
}

PyObject* image_c_copy(PyObject* object) {
    image::ImageObject* image = image_arg(object);
    return image ? image_table->c_copy(image) : nullptr;
}

PyObject* image_export(PyObject* image_object, PyObject* file_name, int skip_dispatch) {
    image::ImageObject* image = image_arg(image_object);
    if (!image) return nullptr;
    int result = image_table->export_(image, file_name, skip_dispatch);
    if (PyErr_Occurred()) return nullptr;
    return PyLong_FromLong(result);
}

PyObject* image_unload(PyObject* image_object, int skip_dispatch) {
    image::ImageObject* image = image_arg(image_object);
    if (!image) return nullptr;
    image_table->unload(image, skip_dispatch);
    return none_unless_error();
}

PyObject* image_copy(PyObject* image_object, int skip_dispatch) {
    image::ImageObject* image = image_arg(image_object);
    return image ? image_table->copy(image, skip_dispatch) : nullptr;
}

PyObject* image_from_channel(PyObject* image_object, int selected_channel, int skip_dispatch) {
    image::ImageObject* image = image_arg(image_object);
    return image ? image_table->from_channel(image, selected_channel, skip_dispatch) : nullptr;
}

const FunctionSpec image_functions[] = {
    {.name = "image_new", .body = function<image_new>, .parameters = {"image", "is_owner"}},
    {.name = "image_new_copy", .body = function<image_new_copy>, .parameters = {"image", "is_owner"}},
    {.name = "image_frames", .body = function<image_frames>, .parameters = {"image", "count"}},
    {.name = "image_new_record",
     .body = function<image_new_record>,
     .parameters = {"image", "width", "height", "mipmaps", "format"}},
    {.name = "image_record", .body = function<image_record>, .parameters = {"image"}},
    {.name = "image_bytes", .body = function<image_bytes>, .parameters = {"image"}},
    {.name = "image_fill", .body = function<image_fill>, .parameters = {"instance", "source"}},
    {.name = "image_c_load", .body = function<image_c_load>, .parameters = {"file_name"}},
    {.name = "image_c_load_raw",
     .body = function<image_c_load_raw>,
     .parameters = {"file_name", "width", "height", "format", "header_size"}},
    {.name = "image_c_load_anim", .body = function<image_c_load_anim>, .parameters = {"file_name"}},
    {.name = "image_c_copy", .body = function<image_c_copy>, .parameters = {"image"}},
    {.name = "image_export", .body = function<image_export>, .parameters = {"image", "file_name", "skip_dispatch"}},
    {.name = "image_unload", .body = function<image_unload>, .parameters = {"image", "skip_dispatch"}},
    {.name = "image_copy", .body = function<image_copy>, .parameters = {"image", "skip_dispatch"}},
    {.name = "image_from_channel",
     .body = function<image_from_channel>,
     .parameters = {"image", "selected_channel", "skip_dispatch"}},
};

// -- Cursor's method table --------------------------------------------------------

PyTypeObject* CursorType;
const cursor::CursorTable* cursor_table;

// cursor_entry(cursor, name, skip_dispatch): calls the slot `name` of the table.
PyObject* cursor_entry(PyObject* object, Str slot_name, int skip) {
    if (!PyObject_TypeCheck(object, CursorType)) {
        PyErr_SetString(PyExc_TypeError, "a Cursor is required");
        return nullptr;
    }
    auto* self = reinterpret_cast<cursor::CursorObject*>(object);
    const char* name = PyUnicode_AsUTF8(slot_name.object);
    if (!name) return nullptr;
    struct Slot {
        const char* name;
        void (*plain)(cursor::CursorObject*);
        void (*dispatched)(cursor::CursorObject*, int);
    };
    const Slot slots[] = {
        {"c_enable", cursor_table->c_enable, nullptr}, {"c_disable", cursor_table->c_disable, nullptr},
        {"c_show", cursor_table->c_show, nullptr},     {"c_hide", cursor_table->c_hide, nullptr},
        {"enable", nullptr, cursor_table->enable},     {"disable", nullptr, cursor_table->disable},
        {"show", nullptr, cursor_table->show},         {"hide", nullptr, cursor_table->hide},
    };
    for (const Slot& slot : slots) {
        if (std::strcmp(slot.name, name) != 0) continue;
        if (slot.plain)
            slot.plain(self);
        else
            slot.dispatched(self, skip);
        return none_unless_error();
    }
    PyErr_Format(PyExc_ValueError, "no slot %s", name);
    return nullptr;
}

const FunctionSpec cursor_functions[] = {
    {.name = "cursor_entry", .body = function<cursor_entry>, .parameters = {"cursor", "name", "skip_dispatch"}},
};

// -- GlyphInfo's method table -------------------------------------------------------

PyTypeObject* GlyphInfoType;
const sigil::GlyphInfoTable* glyph_table;

PyObject* failing_alloc(PyTypeObject*, Py_ssize_t) { return PyErr_NoMemory(); }

// glyph_new(image, value, offset_x, offset_y, advance_x, exhaust): slot 0 with a
// glyph whose bitmap is `image`'s record; with `exhaust` true, Image's
// allocation fails for the duration of the call.
PyObject* glyph_new(PyObject* image, int value, int offset_x, int offset_y, int advance_x, PyObject* exhaust_flag) {
    image::ImageObject* bitmap = image_arg(image);
    int exhaust = bitmap ? PyObject_IsTrue(exhaust_flag) : -1;
    if (exhaust < 0) return nullptr;
    ::GlyphInfo raw{value, offset_x, offset_y, advance_x, bitmap->_raw};
    allocfunc saved = ImageType->tp_alloc;
    if (exhaust) ImageType->tp_alloc = failing_alloc;
    PyObject* glyph = glyph_table->new_(raw);
    ImageType->tp_alloc = saved;
    return glyph;
}

// glyph_fields(glyph) -> (value, offsetX, offsetY, advanceX, bitmap record, _image)
PyObject* glyph_fields(PyObject* object) {
    if (!PyObject_TypeCheck(object, GlyphInfoType)) {
        PyErr_SetString(PyExc_TypeError, "a GlyphInfo is required");
        return nullptr;
    }
    auto* glyph = reinterpret_cast<sigil::GlyphInfoObject*>(object);
    const ::GlyphInfo& raw = glyph->_raw;
    return Py_BuildValue("(iiii(Kiiii)O)", raw.value, raw.offsetX, raw.offsetY, raw.advanceX,
                         static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(raw.image.data)), raw.image.width,
                         raw.image.height, raw.image.mipmaps, raw.image.format, glyph->_image);
}

const FunctionSpec glyph_functions[] = {
    {.name = "glyph_new",
     .body = function<glyph_new>,
     .parameters = {"image", "value", "offset_x", "offset_y", "advance_x", "exhaust"}},
    {.name = "glyph_fields", .body = function<glyph_fields>, .parameters = {"glyph"}},
};

// -- ColorSpy: a Color subclass that records the argument tuples it is called
// with and can be told to fail, to stand in for Color in a subprocess. A type
// made in C under Color's own name: the import takes nothing else. -----------

PyObject* spy_calls;
Py_ssize_t spy_fail_at = -1;
PyTypeObject ColorSpyType =
    static_type("tovara.color.color.Color", sizeof(color::ColorObject), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE);

PyObject* spy_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    if (PyList_Append(spy_calls, args) < 0) return nullptr;
    if (PyList_GET_SIZE(spy_calls) == spy_fail_at) {
        PyErr_SetString(PyExc_RuntimeError, "ColorSpy told to fail");
        return nullptr;
    }
    return ColorType->tp_new(type, args, kwargs);
}

// color_spy(fail_at) -> the list of argument tuples received so far (and from now on).
PyObject* color_spy(int fail_at) {
    spy_fail_at = fail_at;
    return Py_NewRef(spy_calls);
}

bool publish_color_spy(Module& module) {
    spy_calls = PyList_New(0);
    ColorSpyType.tp_base = ColorType;
    ColorSpyType.tp_new = spy_new;
    return spy_calls && publish_type(module, &ColorSpyType, color_table);
}

const FunctionSpec functions[] = {
    {.name = "color_spy", .body = function<color_spy>, .parameters = {"fail_at"}},
    {.name = "to_int", .body = function<to_int>, .parameters = {"value"}},
    {.name = "to_uchar", .body = function<to_uchar>, .parameters = {"value"}},
    {.name = "to_int64", .body = function<to_i64>, .parameters = {"value"}},
    {.name = "to_float", .body = function<to_float>, .parameters = {"value"}},
    {.name = "parse_vector2", .body = function<parse_vector2>, .parameters = {"value"}},
    {.name = "parse_color", .body = function<parse_color>, .parameters = {"value"}},
    {.name = "parse_rect", .body = function<parse_rect>, .parameters = {"value"}},
    {.name = "parse_color_zeroed_on_error", .body = function<parse_color_zeroed_on_error>, .parameters = {"value"}},
    {.name = "time_parse", .body = function<time_parse>, .parameters = {"kind", "value", "count", "baseline"}},
};

PyTypeObject* SoundType;
const sound::SoundTable* sound_table;

// sound_c_alias(sound): an alias made at C level, as another module would make
// one: raylib's LoadSoundAlias, then slot 0 with is_alias true.
PyObject* sound_c_alias(PyObject* object) {
    if (!PyObject_TypeCheck(object, SoundType)) {
        PyErr_SetString(PyExc_TypeError, "a Sound is required");
        return nullptr;
    }
    const ::Sound& source = reinterpret_cast<sound::SoundObject*>(object)->_raw;
    if (!source.stream.buffer) {
        PyErr_SetString(PyExc_ValueError, "the source holds no sound");
        return nullptr;
    }
    sound::NewOptions alias{1, 1};
    return sound_table->new_(LoadSoundAlias(source), &alias);
}

// The loudest sample of each channel of what raylib's mixer sends to the
// device (two float channels), while mixed_peaks listens.
std::atomic<float> mixed_peak[2];

void listen_to_mix(void* frames, unsigned int count) {
    const float* samples = static_cast<const float*>(frames);
    for (unsigned int i = 0; i < 2 * count; ++i) {
        float level = std::fabs(samples[i]);
        if (level > mixed_peak[i % 2].load(std::memory_order_relaxed))
            mixed_peak[i % 2].store(level, std::memory_order_relaxed);
    }
}

// mixed_peaks(seconds) -> (left, right): the peaks of the device's output over that time.
PyObject* mixed_peaks(double seconds) {
    for (auto& peak : mixed_peak) peak.store(0);
    AttachAudioMixedProcessor(listen_to_mix);
    Py_BEGIN_ALLOW_THREADS;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    Py_END_ALLOW_THREADS;
    DetachAudioMixedProcessor(listen_to_mix);
    return Py_BuildValue("(dd)", double{mixed_peak[0].load()}, double{mixed_peak[1].load()});
}

const FunctionSpec sound_functions[] = {
    {.name = "sound_c_alias", .body = function<sound_c_alias>, .parameters = {"sound"}},
    {.name = "mixed_peaks", .body = function<mixed_peaks>, .parameters = {"seconds"}},
};

bool populate(Module& module) {
    return parser::import_api(parser_api) && vector2::import_vector2_type(Vector2Type, vector2_table) &&
           color::import_color_type(ColorType, color_table) && rect::import_rect_type(RectType, rect_table) &&
           add_functions(module, functions) && publish_widget(module) && publish_color_spy(module) &&
           image::import_image_type(ImageType, image_table) && add_functions(module, image_functions) &&
           cursor::import_cursor_type(CursorType, cursor_table) && add_functions(module, cursor_functions) &&
           sigil::import_glyph_info_type(GlyphInfoType, glyph_table) && add_functions(module, glyph_functions) &&
           sound::import_sound_type(SoundType, sound_table) && add_functions(module, sound_functions);
}

}  // namespace

}  // namespace probe

PyMODINIT_FUNC PyInit__capi_probe() { return probe::module_frame.init(); }
