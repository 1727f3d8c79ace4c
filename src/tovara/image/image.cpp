// tovara.image.image: the Image type, which owns (or borrows) the pixel memory
// of one raylib Image and copies, unloads and destroys it. Loading and export
// are in loading.cpp, the generators in generators.cpp, the pixel view in
// pixel_view.cpp.
#include "docstrings/image.h"
#include "frame/dispatch.h"
#include "frame/errors.h"
#include "frame/names.h"
#include "frame/object.h"
#include "frame/pickling.h"
#include "frame/ref.h"
#include "hazards/hazards.h"
#include "image/internal.h"
#include "image/pixel_view.h"
#include "vector4/vector4.h"

namespace tovara::image {

namespace {
bool populate(Module& module);
}  // namespace

Module module_frame{module_path, "image", "src/tovara/image/image", populate, docstrings::image};

// Bound at import as the sibling contract asks; only Color's type is used.
PyTypeObject* ColorType;
namespace {
const color::ColorTable* color_table;
PyTypeObject* Vector4Type;
const vector4::Vector4Table* vector4_table;
}  // namespace

const ImageTable table{new_image, c_load,       c_load_raw,   c_load_anim, c_load_from_screen,
                       c_copy,    export_entry, unload_entry, copy_entry,  from_channel_entry};

PyObject* new_image(::Image rl_image, const NewOptions* options) {
    ImageObject* image = allocate<ImageObject>(&ImageType, &table);
    if (!image) {
        module_frame.traceback(&ImageType, "new");
        return nullptr;
    }
    image->_raw = rl_image;
    image->is_owner = options && options->count > 0 ? options->is_owner : 1;
    image->frames = 1;
    return reinterpret_cast<PyObject*>(image);
}

PyObject* adopt(::Image rl_image) {
    hazards::admit(rl_image);
    PyObject* image = new_image(rl_image, nullptr);
    if (!image) UnloadImage(rl_image);
    return image;
}

namespace {

// Releases the pixel memory an owning image holds, or leaves that to the
// last pixel view still laid over it.
void release_pixels(::Image pixels) {
    if (owner_releases(pixels.data)) UnloadImage(pixels);
}

PyObject* copy_pixels(ImageObject* self) {
    bool copyable = false;
    ::Image copy = read_pixels(self, [&](const ::Image& pixels) {
        copyable = pixels.data != nullptr && hazards::admissible(pixels);
        return hazards::copy_image(pixels);
    });
    // Without pixel memory (or with sizes raylib cannot handle, in a record
    // handed in at C level) the copy is an empty image.
    if (!copy.data) {
        if (copyable) return PyErr_NoMemory();
        NewOptions borrowed{1, 0};
        return new_image(::Image{}, &borrowed);
    }
    return adopt(copy);
}

}  // namespace

// -- copy and unload -------------------------------------------------------------

PyObject* c_copy(ImageObject* self) { return module_frame.traced(copy_pixels(self), &ImageType, "c_copy"); }

PyObject* expect_image(Ref result) {
    if (!result || result.get() == Py_None || PyObject_TypeCheck(result.get(), &ImageType)) return result.release();
    raise_cannot_convert(result.get(), &ImageType);
    return nullptr;
}

const FunctionSpec copy_spec{.name = "copy", .body = method<c_copy>};

PyObject* copy_entry(ImageObject* self, int skip_dispatch) {
    return run_overridable(
        module_frame, &ImageType, as_object(self), skip_dispatch, copy_spec, [&] { return c_copy(self); },
        [](PyObject* override) { return expect_image(Ref::steal(PyObject_CallNoArgs(override))); });
}

static PyObject* copy_dunder(ImageObject* self) { return copy_entry(self, 0); }
static PyObject* deepcopy(ImageObject* self, PyObject*) { return copy_entry(self, 0); }

const FunctionSpec copy_dunder_spec{.name = "__copy__", .body = method<copy_dunder>};
const FunctionSpec deepcopy_spec{.name = "__deepcopy__", .body = method<deepcopy>, .parameters = {"memo"}};

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

const FunctionSpec unload_spec{.name = "unload", .body = method<unload_body>};

void unload_entry(ImageObject* self, int skip_dispatch) {
    run_overridable(
        module_frame, &ImageType, as_object(self), skip_dispatch, unload_spec, [&] { unload_body(self); },
        [](PyObject* override) { Ref::steal(PyObject_CallNoArgs(override)); });
}

namespace {

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

}  // namespace

bool check_has_pixels(PyObject* self) {
    // The exact type's `valid` cannot be overridden: asked directly, without
    // the attribute lookup (whose shared descriptor threads would contend for).
    int valid = Py_TYPE(self) == &ImageType ? IsImageValid(as_image(self)->_raw) : read_valid(self);
    if (valid > 0) return true;
    if (valid == 0) PyErr_SetString(PyExc_ValueError, "Image data is empty or Image has been unloaded.");
    return false;
}

PyObject* pixel_view(PyObject* self, bool every_frame) {
    if (!check_has_pixels(self)) return nullptr;
    ImageObject* image = as_image(self);
    unsigned char* data;
    int size = 0;
    bool sized;
    // The lease is taken in the critical section unload() lets go of the pixels in.
    Py_BEGIN_CRITICAL_SECTION(self);
    data = static_cast<unsigned char*>(image->_raw.data);
    sized = hazards::pixel_data_size(image->_raw.width, image->_raw.height, image->_raw.format, size);
    if (data && sized && size > 0) lease_pixels(data);
    Py_END_CRITICAL_SECTION();
    if (!data) {
        PyErr_SetString(PyExc_ValueError, "Image has no pixel data to view.");
        return nullptr;
    }
    if (!sized) return nullptr;
    if (size <= 0) {
        PyErr_Format(PyExc_ValueError, "Invalid shape in axis %d: %d.", 0, size);
        return nullptr;
    }
    // The frames lie one after another, each of the first level's size; the
    // decoder allocated them all, within the pixel limit.
    return new_pixel_view(data, every_frame ? Py_ssize_t{size} * frames_held(image) : size);
}

namespace {

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

PyObject* repr_method(PyObject* self) { return module_frame.traced(repr(self), &ImageType, "__repr__"); }

// Image(...): an empty image; the arguments are not looked at.
PyObject* new_empty(PyTypeObject* type, PyObject*, PyObject*) {
    return reinterpret_cast<PyObject*>(allocate<ImageObject>(type, &table));
}

// The exact class skips building argument tuples.
PyObject* call_exact(PyObject* type, PyObject* const*, size_t, PyObject*) {
    return new_empty(reinterpret_cast<PyTypeObject*>(type), nullptr, nullptr);
}

// Decides, by the object's `valid` (a subclass may override it), whether its
// destruction releases the pixels it owns, and records the decision. The step
// runs Python code, so it runs where the interpreter runs finalizers: on an
// intact object, which that code may keep alive (resurrect). Such an object
// keeps its pixels; the decision releases them when it dies for good.
void decide_release(PyObject* self) {
    ImageObject* image = as_image(self);
    if (!image->is_owner || !image->_raw.data) return;
    Ref saved = Ref::steal(PyErr_GetRaisedException());
    int valid = read_valid(self);
    if (valid < 0) report_unraisable(module_frame.member_name(&ImageType, "__dealloc__").c_str(), true);
    image->at_death = valid > 0 ? PixelsAtDeath::release : PixelsAtDeath::keep;
    PyErr_SetRaisedException(saved.release());
}

// The finalizer of subclasses (an exact Image runs no Python code to die).
void finalize(PyObject* self) {
    if (Py_TYPE(self) != &ImageType) decide_release(self);
}

// A subclass whose own __del__ took the finalizer's place: the decision is
// made here, after the interpreter has cleared the instance's attributes. An
// object that Python code keeps now stays alive, its type reference kept for
// it; what the step gave it (attributes, weak references) goes with it
// otherwise.
bool decide_late_resurrects(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    Py_SET_REFCNT(self, 1);
    decide_release(self);
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
    // An exact Image always releases what it owns (raylib's validity test can
    // be false for memory it allocated, such as a 0 by 0 image); a subclass
    // releases as its finalizer decided, which the interpreter runs once (on
    // every death for a type outside the garbage collector).
    bool decides = type != &ImageType && image->is_owner && image->_raw.data;
    if (decides && image->at_death == PixelsAtDeath::undecided && decide_late_resurrects(self)) return;
    if (image->is_owner && image->_raw.data && (!decides || image->at_death == PixelsAtDeath::release))
        release_pixels(image->_raw);
    delete[] image->frame_delays;
    type->tp_free(self);
}

PyObject* get_data_view(PyObject* self, void*) {
    return module_frame.traced(pixel_view(self, false), &ImageType, {"data_view", "__get__"});
}

PyObject* get_frames_view(PyObject* self, void*) {
    return module_frame.traced(pixel_view(self, true), &ImageType, {"frames_view", "__get__"});
}

PyGetSetDef properties[] = {
    {"valid", get_valid, nullptr, nullptr, nullptr},   {"width", get_width, nullptr, nullptr, nullptr},
    {"height", get_height, nullptr, nullptr, nullptr}, {"mipmaps", get_mipmaps, nullptr, nullptr, nullptr},
    {"format", get_format, nullptr, nullptr, nullptr}, {"data_view", get_data_view, nullptr, nullptr, nullptr},
    {"frame_count", get_frame_count, nullptr, nullptr, nullptr},
    {"frame_delays", get_frame_delays, nullptr, nullptr, nullptr},
    {"frames_view", get_frames_view, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PyTypeObject ImageType =
    static_type("tovara.image.image.Image", sizeof(ImageObject), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
                {.new_ = new_empty,
                 .vectorcall = call_exact,
                 .dealloc = dealloc,
                 .finalize = finalize,
                 .repr = repr_method,
                 .getset = properties});

namespace {

bool populate(Module& module) {
    return publish_type(module, &ImageType, &table) && add_pickling_refusal(module, &ImageType) &&
           ready_pixel_view_type(module) && vector4::import_vector4_type(Vector4Type, vector4_table) &&
           color::import_color_type(ColorType, color_table) &&
           // The type's dict keeps this order, which callers see in dir() and
           // vars(): the copy hooks, export, unload and copy, the loaders, the
           // generators and from_channel, then the later additions.
           add_methods(
               module, &ImageType,
               {&copy_dunder_spec, &deepcopy_spec, &export_spec, &unload_spec, &copy_spec, &load_spec, &load_raw_spec,
                &load_anim_spec, &load_from_screen_spec, &generate_with_color_spec, &generate_with_linear_gradient_spec,
                &generate_with_radial_gradient_spec, &generate_with_square_gradient_spec, &generate_with_checked_spec,
                &generate_with_white_noise_spec, &generate_with_perlin_noise_spec, &generate_with_cellular_spec,
                &generate_with_text_spec, &from_channel_spec, &frame_spec, &load_from_memory_spec,
                &load_anim_from_memory_spec, &from_buffer_spec}) &&
           bind_pickling_refusal(module, &ImageType);
}

}  // namespace

}  // namespace tovara::image

PyMODINIT_FUNC PyInit_image() { return tovara::image::module_frame.init(); }
