// The frames of an animation (load_anim): how many the pixel memory holds,
// their delays, and one of them taken out as a still image of its own. The
// view over every frame is the pixel view's (image.cpp).
#include "image/internal.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "frame/ref.h"
#include "hazards/hazards.h"

namespace tovara::image {

bool set_frames(ImageObject* image, int frames, const int* delays, std::size_t count) {
    image->frames = frames;
    std::size_t kept = std::min(count, static_cast<std::size_t>(std::max(frames, 0)));
    // Most images have no delays: no memory for them.
    if (std::all_of(delays, delays + kept, [](int delay) { return delay == 0; })) return true;
    int* owned = new (std::nothrow) int[static_cast<std::size_t>(frames)]();
    if (!owned) {
        PyErr_NoMemory();
        return false;
    }
    std::copy(delays, delays + kept, owned);
    delete[] image->frame_delays;
    image->frame_delays = owned;
    return true;
}

// The count and delays are set once, before the image is shared, and unload()
// leaves them: no lock to read them.
PyObject* get_frame_count(PyObject* self, void*) { return PyLong_FromLong(as_image(self)->frames); }

PyObject* get_frame_delays(PyObject* self, void*) {
    const ImageObject* image = as_image(self);
    Ref delays = Ref::steal(PyTuple_New(image->frames));
    for (int i = 0; delays && i < image->frames; ++i) {
        PyObject* delay = PyLong_FromLong(image->frame_delays ? image->frame_delays[i] : 0);
        if (!delay) delays.reset();
        else PyTuple_SET_ITEM(delays.get(), i, delay);
    }
    return module_frame.traced(delays.release(), &ImageType, {"frame_delays", "__get__"});
}

namespace {

enum class Taken { frame, out_of_range, no_pixels, no_memory };

// Copies frame `index` out of the pixel memory into memory of its own, in the
// critical section unload() lets go of the pixels in.
Taken take_frame(ImageObject* self, int index, int frames, ::Image& taken) {
    Taken outcome;
    Py_BEGIN_CRITICAL_SECTION(self);
    const ::Image& raw = self->_raw;
    hazards::ImageBytes bytes;
    if (index < 0 || index >= frames) {
        outcome = Taken::out_of_range;
    } else if (!raw.data || !hazards::admissible(raw, &bytes)) {
        outcome = Taken::no_pixels;
    } else {
        auto size = static_cast<std::size_t>(bytes.first_level);
        taken = ::Image{allocate_pixels(size), raw.width, raw.height, 1, raw.format};
        if (taken.data) std::memcpy(taken.data, static_cast<const unsigned char*>(raw.data) + index * size, size);
        outcome = taken.data ? Taken::frame : Taken::no_memory;
    }
    Py_END_CRITICAL_SECTION();
    return outcome;
}

}  // namespace

// frame(index): frame `index` as a new still image that owns a copy of its
// pixels, with that frame's delay.
static PyObject* frame(ImageObject* self, int index) {
    if (!check_has_pixels(as_object(self))) return nullptr;
    int frames = frames_held(self);
    ::Image taken{};
    switch (take_frame(self, index, frames, taken)) {
        case Taken::out_of_range:
            PyErr_Format(PyExc_IndexError, "frame index %d out of range: the image has %d frame%s (0 to %d)", index,
                         frames, frames == 1 ? "" : "s", frames - 1);
            return nullptr;
        case Taken::no_pixels:
            PyErr_SetString(PyExc_ValueError, "Image has no pixel data to take a frame of.");
            return nullptr;
        case Taken::no_memory:
            return PyErr_NoMemory();
        case Taken::frame:
            break;
    }
    Ref image = Ref::steal(adopt(taken));
    int delay = self->frame_delays ? self->frame_delays[index] : 0;
    if (!image || !set_frames(as_image(image.get()), 1, &delay, 1)) return nullptr;
    return image.release();
}

const FunctionSpec frame_spec{.name = "frame", .body = method<frame>, .parameters = {"index"}, .returns = "Image"};

}  // namespace tovara::image
