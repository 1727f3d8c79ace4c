// Loading images from files and the screen, and exporting them to files.
#include "frame/dispatch.h"
#include "frame/ref.h"
#include "frame/text.h"
#include "hazards/hazards.h"
#include "image/internal.h"

namespace tovara::image {

namespace {

// Runs `load` with the UTF-8 bytes of `file_name` (a str, or None).
template <typename Load>
PyObject* with_file_name(PyObject* file_name, Load load) {
    Ref encoded = encode_utf8(file_name);
    if (!encoded) return nullptr;
    return load(PyBytes_AS_STRING(encoded.get()));
}

int export_body(ImageObject* self, PyObject* file_name) {
    Ref encoded = encode_utf8(file_name);
    if (!encoded) return 0;
    const char* name = PyBytes_AS_STRING(encoded.get());
    return read_pixels(self, [&](const ::Image& pixels) { return hazards::export_image(pixels, name); }) ? 1 : 0;
}

}  // namespace

PyObject* c_load(PyObject* file_name) {
    return module_frame.traced(
        with_file_name(file_name, [](const char* name) { return adopt(hazards::load_image(name)); }), &ImageType,
        "c_load");
}

PyObject* c_load_raw(PyObject* file_name, int width, int height, int format, int header_size) {
    PyObject* image =
        hazards::check_raw_header(width, height, format, header_size)
            ? with_file_name(file_name,
                             [&](const char* name) {
                                 return adopt(hazards::load_image_raw(name, width, height, format, header_size));
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

int export_entry(ImageObject* self, PyObject* file_name, int skip_dispatch) {
    return run_overridable(
        module_frame, &ImageType, as_object(self), skip_dispatch, export_spec,
        [&] { return export_body(self, file_name); },
        [&](PyObject* override) {
            Ref result = Ref::steal(PyObject_CallOneArg(override, file_name));
            int truth = result ? PyObject_IsTrue(result.get()) : -1;
            return truth < 0 ? 0 : truth;
        });
}

static PyObject* export_method(ImageObject* self, StrOrNone file_name) {
    int result = export_body(self, file_name.object);
    if (PyErr_Occurred()) return nullptr;
    return PyBool_FromLong(result);
}

const FunctionSpec export_spec{.name = "export", .body = method<export_method>, .parameters = {"file_name"}};

static PyObject* load(StrOrNone file_name) { return c_load(file_name.object); }

const FunctionSpec load_spec{.name = "load", .body = function<load>, .parameters = {"file_name"}, .returns = "Image"};

// The four ints convert before the file name is checked (the frame converts
// numbers first): a bad size is reported even when the name is bad too.
static PyObject* load_raw(StrOrNone file_name, int width, int height, int format, int header) {
    return c_load_raw(file_name.object, width, height, format, header);
}

const FunctionSpec load_raw_spec{.name = "load_raw",
                                 .body = function<load_raw>,
                                 .parameters = {"file_name", "width", "height", "format", "header"},
                                 .returns = "Image"};

static PyObject* load_anim(StrOrNone file_name) {
    int frames = 0;
    Ref image = Ref::steal(c_load_anim(file_name.object, &frames));
    if (!image) return nullptr;
    Ref count = Ref::steal(PyLong_FromLong(frames));
    return count ? PyTuple_Pack(2, image.get(), count.get()) : nullptr;
}

const FunctionSpec load_anim_spec{
    .name = "load_anim", .body = function<load_anim>, .parameters = {"file_name"}, .returns = "tuple[Image, int]"};

const FunctionSpec load_from_screen_spec{
    .name = "load_from_screen", .body = function<c_load_from_screen>, .returns = "Image"};

}  // namespace tovara::image
