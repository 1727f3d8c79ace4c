// Loading images from files, bytes in memory and the screen, making them of
// pixels in a buffer, and exporting them to files.
#include "image/internal.h"

#include <climits>
#include <cstring>
#include <vector>

#include "frame/buffer.h"
#include "frame/dispatch.h"
#include "frame/ref.h"
#include "frame/text.h"
#include "hazards/hazards.h"

namespace tovara::image {

namespace {

// Runs `load` with the UTF-8 bytes of `file_name` (a str, or None).
template <typename Load>
PyObject* with_file_name(PyObject* file_name, Load load) {
    Ref encoded = encode_utf8(file_name);
    if (!encoded) return nullptr;
    return load(PyBytes_AS_STRING(encoded.get()));
}

// Runs `load(type, bytes, size)` with the UTF-8 bytes of `file_type` (a str)
// and the bytes of the buffer `data`, as the bytes of a file of that type.
template <typename Load>
PyObject* with_file_bytes(PyObject* file_type, PyObject* data, Load load) {
    Ref type = encode_utf8(file_type);
    if (!type) return nullptr;
    BufferBytes buffer;
    const unsigned char* bytes;
    int size;
    if (!buffer.acquire(data, "data") || !buffer.as_file(bytes, size)) return nullptr;
    return load(PyBytes_AS_STRING(type.get()), bytes, size);
}

// A new image of an animation's frames, with their count and delays.
PyObject* adopt_animation(::Image rl_image, int frames, const std::vector<int>& delays) {
    Ref image = Ref::steal(adopt(rl_image));
    if (!image || !set_frames(as_image(image.get()), frames, delays.data(), delays.size())) return nullptr;
    return image.release();
}

// load_anim's result: (image, frame count).
PyObject* animation_pair(PyObject* made, int frames) {
    Ref image = Ref::steal(made);
    if (!image) return nullptr;
    Ref count = Ref::steal(PyLong_FromLong(frames));
    return count ? PyTuple_Pack(2, image.get(), count.get()) : nullptr;
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
    return module_frame.traced(with_file_name(file_name,
                                              [&](const char* name) {
                                                  std::vector<int> delays;
                                                  ::Image image = hazards::load_image_anim(name, frames, &delays);
                                                  return adopt_animation(image, *frames, delays);
                                              }),
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
    PyObject* image = c_load_anim(file_name.object, &frames);
    return animation_pair(image, frames);
}

const FunctionSpec load_anim_spec{
    .name = "load_anim", .body = function<load_anim>, .parameters = {"file_name"}, .returns = "tuple[Image, int]"};

const FunctionSpec load_from_screen_spec{
    .name = "load_from_screen", .body = function<c_load_from_screen>, .returns = "Image"};

// -- from memory and from buffers ----------------------------------------------------

// The same bounds, decoders and door as a file of that type: only the file's
// read is left out.
static PyObject* load_from_memory(Str file_type, PyObject* data) {
    return with_file_bytes(file_type.object, data, [](const char* type, const unsigned char* bytes, int size) {
        return adopt(hazards::load_image_from_memory(type, bytes, size));
    });
}

const FunctionSpec load_from_memory_spec{.name = "load_from_memory",
                                         .body = function<load_from_memory>,
                                         .parameters = {"file_type", "data"},
                                         .returns = "Image"};

static PyObject* load_anim_from_memory(Str file_type, PyObject* data) {
    int frames = 0;
    PyObject* image =
        with_file_bytes(file_type.object, data, [&](const char* type, const unsigned char* bytes, int size) {
            std::vector<int> delays;
            ::Image decoded = hazards::load_image_anim_from_memory(type, bytes, size, &frames, &delays);
            return adopt_animation(decoded, frames, delays);
        });
    return animation_pair(image, frames);
}

const FunctionSpec load_anim_from_memory_spec{.name = "load_anim_from_memory",
                                              .body = function<load_anim_from_memory>,
                                              .parameters = {"file_type", "data"},
                                              .returns = "tuple[Image, int]"};

// from_buffer(data, width, height, format): the pixels copied into memory the
// new image owns, so that the buffer's owner may change or free it afterwards.
static PyObject* from_buffer(PyObject* data, int width, int height, int format) {
    if (width < 0 || height < 0) {
        PyErr_Format(PyExc_ValueError, "%s must not be negative, got %d", width < 0 ? "width" : "height",
                     width < 0 ? width : height);
        return nullptr;
    }
    if (hazards::bits_per_pixel(format) == 0) {
        PyErr_Format(PyExc_ValueError, "format %d is not a pixel format raylib defines (1 to 24)", format);
        return nullptr;
    }
    int size;
    if (!hazards::pixel_data_size(width, height, format, size)) return nullptr;
    ::Image record{nullptr, width, height, 1, format};
    // (A zero size makes an image without pixels, as the generators do.)
    if (size > 0 && !hazards::admissible(record)) {
        PyErr_Format(PyExc_ValueError,
                     "a %d by %d image is more than raylib can convert: as RGBA it needs more than %d bytes", width,
                     height, INT_MAX);
        return nullptr;
    }
    BufferBytes buffer;
    if (!buffer.acquire(data, "data")) return nullptr;
    if (buffer.size() != size) {
        PyErr_Format(PyExc_ValueError, "data holds %zd bytes, a %d by %d image of format %d needs %d", buffer.size(),
                     width, height, format, size);
        return nullptr;
    }
    if (size > 0) {
        record.data = allocate_pixels(static_cast<std::size_t>(size));
        if (!record.data) return PyErr_NoMemory();
        std::memcpy(record.data, buffer.data(), static_cast<std::size_t>(size));
    }
    return adopt(record);
}

const FunctionSpec from_buffer_spec{.name = "from_buffer",
                                    .body = function<from_buffer>,
                                    .parameters = {"data", "width", "height", "format"},
                                    .returns = "Image"};

}  // namespace tovara::image
