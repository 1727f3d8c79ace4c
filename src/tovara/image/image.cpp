// tovara.image.image: the Image type, which owns (or borrows) the pixel memory
// of one raylib Image and loads, exports, generates, copies and unloads images.
#include "image/image.h"

#include <climits>

#include "color/color.h"
#include "frame/binding.h"
#include "frame/convert.h"
#include "frame/dispatch.h"
#include "frame/errors.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/names.h"
#include "frame/object.h"
#include "frame/pickling.h"
#include "frame/ref.h"
#include "frame/text.h"
#include "hazards/hazards.h"
#include "image/pixel_view.h"
#include "vector4/vector4.h"

namespace tovara::image {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "image", "src/tovara/image/image", populate};

PyTypeObject ImageType = static_type("tovara.image.image.Image", sizeof(ImageObject),
                                     Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE);

// Bound at import as the sibling contract asks; only Color's type is used (the
// generators read Color._raw directly).
PyTypeObject* Vector4Type;
const vector4::Vector4Table* vector4_table;
PyTypeObject* ColorType;
const color::ColorTable* color_table;

ImageObject* as_image(PyObject* object) { return reinterpret_cast<ImageObject*>(object); }
PyObject* as_object(ImageObject* image) { return reinterpret_cast<PyObject*>(image); }

// -- the C-level entries ------------------------------------------------------

PyObject* new_image(::Image rl_image, const NewOptions* options);
PyObject* c_load(PyObject* file_name);
PyObject* c_load_raw(PyObject* file_name, int width, int height, int format, int header_size);
PyObject* c_load_anim(PyObject* file_name, int* frames);
PyObject* c_load_from_screen();
PyObject* c_copy(ImageObject* self);
int export_entry(ImageObject* self, PyObject* file_name, int skip_dispatch);
void unload_entry(ImageObject* self, int skip_dispatch);
PyObject* copy_entry(ImageObject* self, int skip_dispatch);
PyObject* from_channel_entry(ImageObject* self, int selected_channel, int skip_dispatch);

const ImageTable table{new_image,  c_load,       c_load_raw,   c_load_anim, c_load_from_screen,
                       c_copy,     export_entry, unload_entry, copy_entry,  from_channel_entry};

PyObject* new_image(::Image rl_image, const NewOptions* options) {
    ImageObject* image = allocate<ImageObject>(&ImageType, &table);
    if (!image) {
        module_frame.traceback(&ImageType, "new");
        return nullptr;
    }
    image->_raw = rl_image;
    image->is_owner = options && options->count > 0 ? options->is_owner : 1;
    return reinterpret_cast<PyObject*>(image);
}

// A new owning Image for memory raylib just allocated; releases it again when
// no object can be made for it.
PyObject* adopt(::Image rl_image) {
    PyObject* image = new_image(rl_image, nullptr);
    if (!image) UnloadImage(rl_image);
    return image;
}

// Releases the pixel memory an owning image holds, or leaves that to the
// last pixel view still laid over it.
void release_pixels(::Image pixels) {
    if (owner_releases(pixels.data)) UnloadImage(pixels);
}

// Runs `load` with the UTF-8 bytes of `file_name` (a str, or None).
template <typename Load>
PyObject* with_file_name(PyObject* file_name, Load load) {
    Ref encoded = encode_utf8(file_name);
    if (!encoded) return nullptr;
    return load(PyBytes_AS_STRING(encoded.get()));
}

PyObject* c_load(PyObject* file_name) {
    return module_frame.traced(
        with_file_name(file_name, [](const char* name) { return adopt(hazards::load_image(name)); }),
        &ImageType, "c_load");
}

PyObject* c_load_raw(PyObject* file_name, int width, int height, int format, int header_size) {
    PyObject* image = hazards::check_raw_header(width, height, format, header_size)
                          ? with_file_name(file_name,
                                           [&](const char* name) {
                                               return adopt(LoadImageRaw(name, width, height, format, header_size));
                                           })
                          : nullptr;
    return module_frame.traced(image, &ImageType, "c_load_raw");
}

PyObject* c_load_anim(PyObject* file_name, int* frames) {
    return module_frame.traced(
        with_file_name(file_name, [&](const char* name) { return adopt(hazards::load_image_anim(name, frames)); }),
        &ImageType, "c_load_anim");
}

PyObject* c_load_from_screen() {
    PyObject* image = hazards::check_window_open() ? adopt(LoadImageFromScreen()) : nullptr;
    return module_frame.traced(image, &ImageType, "c_load_from_screen");
}

// Runs `read` on the image's value inside the object's critical section, the
// one unload() lets go of the pixels in: a racing unload never frees memory
// under a reader.
template <typename Read>
auto read_pixels(ImageObject* self, Read read) {
    decltype(read(self->_raw)) result{};
    Py_BEGIN_CRITICAL_SECTION(self);
    result = read(self->_raw);
    Py_END_CRITICAL_SECTION();
    return result;
}

PyObject* copy_pixels(ImageObject* self) {
    bool had_pixels = false;
    ::Image copy = read_pixels(self, [&](const ::Image& pixels) {
        // raylib's ImageCopy reads the held sizes' worth of bytes from the data
        // pointer: without pixel memory the copy is an empty image.
        had_pixels = pixels.data != nullptr;
        return had_pixels ? ImageCopy(pixels) : ::Image{};
    });
    if (!had_pixels) {
        NewOptions borrowed{1, 0};
        return new_image(::Image{}, &borrowed);
    }
    return copy.data ? adopt(copy) : PyErr_NoMemory();
}

PyObject* c_copy(ImageObject* self) { return module_frame.traced(copy_pixels(self), &ImageType, "c_copy"); }

// The result of a Python override of copy or from_channel: None or an Image.
PyObject* expect_image(Ref result) {
    if (!result || result.get() == Py_None || PyObject_TypeCheck(result.get(), &ImageType)) return result.release();
    raise_cannot_convert(result.get(), &ImageType);
    return nullptr;
}

extern const FunctionSpec export_spec, unload_spec, copy_spec, from_channel_spec;

int export_body(ImageObject* self, PyObject* file_name) {
    Ref encoded = encode_utf8(file_name);
    if (!encoded) return 0;
    const char* name = PyBytes_AS_STRING(encoded.get());
    return read_pixels(self, [&](const ::Image& pixels) {
               return hazards::export_is_safe(pixels, name) && ExportImage(pixels, name);
           })
               ? 1
               : 0;
}

int export_entry(ImageObject* self, PyObject* file_name, int skip_dispatch) {
    return run_overridable(
        module_frame, &ImageType, as_object(self), skip_dispatch, export_spec, [&] { return export_body(self, file_name); },
        [&](PyObject* override) {
            Ref result = Ref::steal(PyObject_CallOneArg(override, file_name));
            int truth = result ? PyObject_IsTrue(result.get()) : -1;
            return truth < 0 ? 0 : truth;
        });
}

void unload_body(ImageObject* self) {
    // Taken under the object's lock, so that two threads unloading at once
    // cannot both release the memory.
    ::Image pixels;
    Py_BEGIN_CRITICAL_SECTION(self);
    pixels = self->_raw;
    self->_raw.data = nullptr;
    Py_END_CRITICAL_SECTION();
    // A borrowed image lets go of the memory without releasing it: it is its owner's.
    if (self->is_owner) release_pixels(pixels);
}

void unload_entry(ImageObject* self, int skip_dispatch) {
    run_overridable(module_frame, &ImageType, as_object(self), skip_dispatch, unload_spec, [&] { unload_body(self); },
                    [](PyObject* override) { Ref::steal(PyObject_CallNoArgs(override)); });
}

PyObject* copy_entry(ImageObject* self, int skip_dispatch) {
    return run_overridable(module_frame, &ImageType, as_object(self), skip_dispatch, copy_spec, [&] { return c_copy(self); },
                           [](PyObject* override) { return expect_image(Ref::steal(PyObject_CallNoArgs(override))); });
}

PyObject* from_channel_body(ImageObject* self, int selected_channel) {
    return adopt(read_pixels(self, [&](const ::Image& pixels) { return ImageFromChannel(pixels, selected_channel); }));
}

PyObject* from_channel_entry(ImageObject* self, int selected_channel, int skip_dispatch) {
    return run_overridable(
        module_frame, &ImageType, as_object(self), skip_dispatch, from_channel_spec,
        [&] { return from_channel_body(self, selected_channel); },
        [&](PyObject* override) -> PyObject* {
            Ref channel = Ref::steal(PyLong_FromLong(selected_channel));
            return channel ? expect_image(Ref::steal(PyObject_CallOneArg(override, channel.get()))) : nullptr;
        });
}

// -- Python methods -------------------------------------------------------------

PyObject* copy_dunder(PyObject* self, PyObject* const*) { return copy_entry(as_image(self), 0); }

PyObject* export_method(PyObject* self, PyObject* const* args) {
    if (!check_str_or_none(args[0], "file_name")) return nullptr;
    int result = export_body(as_image(self), args[0]);
    if (PyErr_Occurred()) return nullptr;
    return PyBool_FromLong(result);
}

PyObject* unload_method(PyObject* self, PyObject* const*) {
    unload_body(as_image(self));
    return none_unless_error();
}

PyObject* copy_method(PyObject* self, PyObject* const*) { return c_copy(as_image(self)); }

PyObject* load(PyObject*, PyObject* const* args) {
    if (!check_str_or_none(args[0], "file_name")) return nullptr;
    return c_load(args[0]);
}

PyObject* load_raw(PyObject*, PyObject* const* args) {
    int width, height, format, header;
    if (!to_c_int(args[1], width) || !to_c_int(args[2], height) || !to_c_int(args[3], format) ||
        !to_c_int(args[4], header))
        return nullptr;
    if (!check_str_or_none(args[0], "file_name")) return nullptr;
    return c_load_raw(args[0], width, height, format, header);
}

PyObject* load_anim(PyObject*, PyObject* const* args) {
    if (!check_str_or_none(args[0], "file_name")) return nullptr;
    int frames = 0;
    Ref image = Ref::steal(c_load_anim(args[0], &frames));
    if (!image) return nullptr;
    Ref count = Ref::steal(PyLong_FromLong(frames));
    return count ? PyTuple_Pack(2, image.get(), count.get()) : nullptr;
}

PyObject* load_from_screen(PyObject*, PyObject* const*) { return c_load_from_screen(); }

PyObject* from_channel_method(PyObject* self, PyObject* const* args) {
    int channel;
    if (!to_c_int(args[0], channel)) return nullptr;
    return from_channel_body(as_image(self), channel);
}

// -- generators ---------------------------------------------------------------

// The raylib color of a Color argument (or an instance of a subclass).
const ::Color* color_arg(PyObject* value, const char* parameter) {
    if (!check_instance_type(value, ColorType, parameter)) return nullptr;
    return &reinterpret_cast<color::ColorObject*>(value)->_raw;
}

bool to_float(PyObject* value, float& out) {
    double wide;
    if (!to_double(value, wide)) return false;
    out = static_cast<float>(wide);
    return true;
}

PyObject* generate_with_color(PyObject*, PyObject* const* args) {
    int width, height;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height)) return nullptr;
    const ::Color* color = color_arg(args[2], "color");
    if (!color || !hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImageColor(width, height, *color));
}

PyObject* generate_with_linear_gradient(PyObject*, PyObject* const* args) {
    int width, height, direction;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height) || !to_c_int(args[2], direction)) return nullptr;
    const ::Color* start = color_arg(args[3], "start");
    const ::Color* end = start ? color_arg(args[4], "end") : nullptr;
    if (!end || !hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImageGradientLinear(width, height, direction, *start, *end));
}

template <::Image (*generate)(int, int, float, ::Color, ::Color)>
PyObject* generate_with_density(PyObject*, PyObject* const* args) {
    int width, height;
    float density;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height) || !to_float(args[2], density)) return nullptr;
    const ::Color* inner = color_arg(args[3], "inner");
    const ::Color* outer = inner ? color_arg(args[4], "outer") : nullptr;
    if (!outer || !hazards::check_generated_size(width, height)) return nullptr;
    return adopt(generate(width, height, density, *inner, *outer));
}

PyObject* generate_with_checked(PyObject*, PyObject* const* args) {
    int width, height, check_x, check_y;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height) || !to_c_int(args[2], check_x) ||
        !to_c_int(args[3], check_y))
        return nullptr;
    const ::Color* col1 = color_arg(args[4], "col1");
    const ::Color* col2 = col1 ? color_arg(args[5], "col2") : nullptr;
    if (!col2 || !hazards::check_generated_size(width, height)) return nullptr;
    // raylib divides pixel coordinates by the check sizes, for every pixel.
    if (width > 0 && height > 0 && (!hazards::check_divisor(check_x, "check_x") || !hazards::check_divisor(check_y, "check_y")))
        return nullptr;
    return adopt(GenImageChecked(width, height, check_x, check_y, *col1, *col2));
}

PyObject* generate_with_white_noise(PyObject*, PyObject* const* args) {
    int width, height;
    float factor;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height) || !to_float(args[2], factor)) return nullptr;
    if (!hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImageWhiteNoise(width, height, factor));
}

PyObject* generate_with_perlin_noise(PyObject*, PyObject* const* args) {
    int width, height, offset_x, offset_y;
    float scale;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height) || !to_c_int(args[2], offset_x) ||
        !to_c_int(args[3], offset_y) || !to_float(args[4], scale))
        return nullptr;
    if (!hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImagePerlinNoise(width, height, offset_x, offset_y, scale));
}

PyObject* generate_with_cellular(PyObject*, PyObject* const* args) {
    int width, height, tile_size;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height) || !to_c_int(args[2], tile_size)) return nullptr;
    // raylib divides the sizes by the tile size before anything else: by zero,
    // or the least int by -1, the division itself fails.
    if (!hazards::check_generated_size(width, height) || !hazards::check_cellular(width, height, tile_size))
        return nullptr;
    return adopt(GenImageCellular(width, height, tile_size));
}

PyObject* generate_with_text(PyObject*, PyObject* const* args) {
    int width, height;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height)) return nullptr;
    if (!check_str_or_none(args[2], "text")) return nullptr;
    Ref text = encode_utf8(args[2]);
    if (!text || !hazards::check_copied_pixels(width, height, PIXELFORMAT_UNCOMPRESSED_GRAYSCALE)) return nullptr;
    return adopt(GenImageText(width, height, PyBytes_AS_STRING(text.get())));
}

constexpr const char* generated = "Image";

const FunctionSpec generator_specs[] = {
    {.name = "generate_with_color",
     .body = generate_with_color,
     .parameters = {"width", "height", "color"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_linear_gradient",
     .body = generate_with_linear_gradient,
     .parameters = {"width", "height", "direction", "start", "end"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_radial_gradient",
     .body = generate_with_density<GenImageGradientRadial>,
     .parameters = {"width", "height", "density", "inner", "outer"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_square_gradient",
     .body = generate_with_density<GenImageGradientSquare>,
     .parameters = {"width", "height", "density", "inner", "outer"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_checked",
     .body = generate_with_checked,
     .parameters = {"width", "height", "check_x", "check_y", "col1", "col2"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_white_noise",
     .body = generate_with_white_noise,
     .parameters = {"width", "height", "factor"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_perlin_noise",
     .body = generate_with_perlin_noise,
     .parameters = {"width", "height", "offset_x", "offset_y", "scale"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_cellular",
     .body = generate_with_cellular,
     .parameters = {"width", "height", "tile_size"},
     .calling = Calling::plain,
     .returns = generated},
    {.name = "generate_with_text",
     .body = generate_with_text,
     .parameters = {"width", "height", "text"},
     .calling = Calling::plain,
     .returns = generated},
};

const FunctionSpec copy_dunder_spec{.name = "__copy__", .body = copy_dunder};
const FunctionSpec deepcopy_spec{.name = "__deepcopy__", .body = copy_dunder, .parameters = {"memo"}};
const FunctionSpec export_spec{.name = "export", .body = export_method, .parameters = {"file_name"}};
const FunctionSpec unload_spec{.name = "unload", .body = unload_method};
const FunctionSpec copy_spec{.name = "copy", .body = copy_method};
const FunctionSpec load_spec{
    .name = "load", .body = load, .parameters = {"file_name"}, .calling = Calling::plain, .returns = "Image"};
const FunctionSpec load_raw_spec{.name = "load_raw",
                                 .body = load_raw,
                                 .parameters = {"file_name", "width", "height", "format", "header"},
                                 .calling = Calling::plain,
                                 .returns = "Image"};
const FunctionSpec load_anim_spec{.name = "load_anim",
                                  .body = load_anim,
                                  .parameters = {"file_name"},
                                  .calling = Calling::plain,
                                  .returns = "tuple[Image, int]"};
const FunctionSpec load_from_screen_spec{
    .name = "load_from_screen", .body = load_from_screen, .calling = Calling::plain, .returns = "Image"};
const FunctionSpec from_channel_spec{
    .name = "from_channel", .body = from_channel_method, .parameters = {"selected_channel"}, .returns = "Image"};

// -- properties, text form, creation and destruction -----------------------------

PyObject* get_valid(PyObject* self, void*) { return PyBool_FromLong(IsImageValid(as_image(self)->_raw)); }
PyObject* get_width(PyObject* self, void*) { return PyLong_FromLong(as_image(self)->_raw.width); }
PyObject* get_height(PyObject* self, void*) { return PyLong_FromLong(as_image(self)->_raw.height); }
PyObject* get_mipmaps(PyObject* self, void*) { return PyLong_FromLong(as_image(self)->_raw.mipmaps); }
PyObject* get_format(PyObject* self, void*) { return PyLong_FromLong(as_image(self)->_raw.format); }

// The truth of the object's `valid` attribute (a subclass may override it); -1 on error.
int read_valid(PyObject* self) {
    static const AttributeName valid_name{"valid"};
    Ref valid = Ref::steal(get_attribute(self, valid_name));
    return valid ? PyObject_IsTrue(valid.get()) : -1;
}

// A str as it is, str() of an int or float, format(value, "") of anything else (subclasses included).
Ref as_text(PyObject* value) {
    if (PyUnicode_CheckExact(value)) return Ref::borrow(value);
    if (PyLong_CheckExact(value) || PyFloat_CheckExact(value)) return Ref::steal(PyObject_Str(value));
    return Ref::steal(PyObject_Format(value, nullptr));
}

PyObject* repr(PyObject* self) {
    int valid = read_valid(self);
    if (valid < 0) return nullptr;
    if (!valid) return PyUnicode_FromString("<Image Invalid/Unloaded>");
    Ref texts[3];
    static const AttributeName names[] = {AttributeName{"width"}, AttributeName{"height"}, AttributeName{"format"}};
    for (int i = 0; i < 3; ++i) {
        Ref value = Ref::steal(get_attribute(self, names[i]));
        texts[i] = value ? as_text(value.get()) : Ref();
        if (!texts[i]) return nullptr;
    }
    return PyUnicode_FromFormat("<Image %Ux%U format=%U>", texts[0].get(), texts[1].get(), texts[2].get());
}

PyObject* repr_method(PyObject* self) {
    return module_frame.traced(repr(self), &ImageType, "__repr__");
}

// Image(...): an empty image; the arguments are not looked at.
PyObject* new_empty(PyTypeObject* type, PyObject*, PyObject*) {
    return reinterpret_cast<PyObject*>(allocate<ImageObject>(type, &table));
}

// The exact class skips building argument tuples.
PyObject* call_exact(PyObject* type, PyObject* const*, size_t, PyObject*) {
    return new_empty(reinterpret_cast<PyTypeObject*>(type), nullptr, nullptr);
}

// Releases what an owning image holds when its `valid` (a subclass may
// override it) says so. The step runs Python code, so it runs where the
// interpreter runs finalizers: on an intact object, which that code may keep
// alive (resurrect) without harm.
void release_if_valid(PyObject* self) {
    ImageObject* image = as_image(self);
    if (!image->is_owner || !image->_raw.data) return;
    Ref saved = Ref::steal(PyErr_GetRaisedException());
    int release = read_valid(self);
    if (release < 0)
        report_unraisable(module_frame.member_name(&ImageType, "__dealloc__").c_str(), true);
    else if (release)
        unload_body(image);
    PyErr_SetRaisedException(saved.release());
}

// The finalizer of subclasses (an exact Image runs no Python code to die).
void finalize(PyObject* self) {
    if (Py_TYPE(self) != &ImageType) release_if_valid(self);
}

// A subclass whose own __del__ took the finalizer's place: the step runs here,
// after the interpreter has cleared the instance's attributes. An object that
// Python code keeps now stays alive, its type reference kept for it; what the
// step gave it (attributes, weak references) goes with it otherwise.
bool release_late_resurrects(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    Py_SET_REFCNT(self, 1);
    release_if_valid(self);
    if (Py_REFCNT(self) > 1) {
        Py_SET_REFCNT(self, Py_REFCNT(self) - 1);
        if (type->tp_flags & Py_TPFLAGS_HEAPTYPE) Py_INCREF(type);  // the subclass's destructor drops one after us
        return true;
    }
    if (PyType_HasFeature(type, Py_TPFLAGS_MANAGED_DICT)) PyObject_ClearManagedDict(self);
    Py_SET_REFCNT(self, 0);
    if (type->tp_weaklistoffset) PyObject_ClearWeakRefs(self);  // wants the object dead
    return false;
}

void dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    ImageObject* image = as_image(self);
    if (image->is_owner && image->_raw.data) {
        // An exact Image always releases what it owns (raylib's validity test
        // can be false for memory it allocated, such as a 0 by 0 image); a
        // subclass decides through its `valid`, normally in its finalizer,
        // which the interpreter runs once (on every death for a type outside
        // the garbage collector).
        bool finalized = type->tp_finalize == finalize && (!PyType_IS_GC(type) || PyObject_GC_IsFinalized(self));
        if (type == &ImageType)
            release_pixels(image->_raw);
        else if (!finalized && release_late_resurrects(self))
            return;
    }
    type->tp_free(self);
}

PyObject* data_view(PyObject* self) {
    int valid = read_valid(self);
    if (valid < 0) return nullptr;
    if (!valid) {
        PyErr_SetString(PyExc_ValueError, "Image data is empty or Image has been unloaded.");
        return nullptr;
    }
    ImageObject* image = as_image(self);
    unsigned char* data;
    int size;
    // The lease is taken in the critical section unload() lets go of the pixels in.
    Py_BEGIN_CRITICAL_SECTION(self);
    data = static_cast<unsigned char*>(image->_raw.data);
    size = GetPixelDataSize(image->_raw.width, image->_raw.height, image->_raw.format);
    if (data && size > 0) lease_pixels(data);
    Py_END_CRITICAL_SECTION();
    if (!data) {
        PyErr_SetString(PyExc_ValueError, "Image has no pixel data to view.");
        return nullptr;
    }
    if (size <= 0) {
        PyErr_Format(PyExc_ValueError, "Invalid shape in axis %d: %d.", 0, size);
        return nullptr;
    }
    return new_pixel_view(data, size);
}

PyObject* get_data_view(PyObject* self, void*) {
    return module_frame.traced(data_view(self), &ImageType, "data_view.__get__");
}

PyGetSetDef properties[] = {
    {"valid", get_valid, nullptr, nullptr, nullptr},
    {"width", get_width, nullptr, nullptr, nullptr},
    {"height", get_height, nullptr, nullptr, nullptr},
    {"mipmaps", get_mipmaps, nullptr, nullptr, nullptr},
    {"format", get_format, nullptr, nullptr, nullptr},
    {"data_view", get_data_view, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

bool populate(Module& module) {
    ImageType.tp_new = new_empty;
    ImageType.tp_vectorcall = call_exact;
    ImageType.tp_dealloc = dealloc;
    ImageType.tp_finalize = finalize;
    ImageType.tp_repr = repr_method;
    ImageType.tp_getset = properties;
    return publish_type(module, &ImageType, &table) && add_pickling_refusal(module, &ImageType) &&
           ready_pixel_view_type() &&
           import_type<vector4::Vector4Object>(vector4::module_path, "Vector4", Vector4Type, vector4_table) &&
           import_type<color::ColorObject>(color::module_path, "Color", ColorType, color_table) &&
           add_methods(module, &ImageType,
                       {&copy_dunder_spec, &deepcopy_spec, &export_spec, &unload_spec, &copy_spec, &load_spec,
                        &load_raw_spec, &load_anim_spec, &load_from_screen_spec}) &&
           add_methods(module, &ImageType, generator_specs) &&
           add_methods(module, &ImageType, {&from_channel_spec}) &&
           bind_pickling_refusal(module, &ImageType);
}

}  // namespace

}  // namespace tovara::image

PyMODINIT_FUNC PyInit_image() { return tovara::image::module_frame.init(); }
