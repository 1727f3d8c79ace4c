// What the files of the image module share: the type, its C-level table, the
// sibling types bound at import, and the steps of making and releasing images.
// Not for other modules, which see only image.h.
#pragma once

#include <Python.h>
#include <raylib.h>

#include <cstddef>
#include <cstdlib>

#include "color/color.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/parameters.h"
#include "frame/ref.h"
#include "image/image.h"

namespace tovara::image {

extern Module module_frame;
extern PyTypeObject ImageType;
extern const ImageTable table;

// Bound at import; the generators read Color._raw directly.
extern PyTypeObject* ColorType;
using ColorArg = Instance<ColorType, color::ColorObject>;

inline ImageObject* as_image(PyObject* object) { return reinterpret_cast<ImageObject*>(object); }
inline PyObject* as_object(ImageObject* image) { return reinterpret_cast<PyObject*>(image); }

// The C-level entries (image.h tells their conventions).
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

// A new owning Image for memory raylib just allocated; releases it again when
// no object can be made for it. Returns null with an exception set.
PyObject* adopt(::Image rl_image);

// Memory for pixel bytes about to be written whole (a frame, a buffer's
// copy): raylib releases pixel memory with free(), so malloc's, without the
// zeroing MemAlloc (calloc) spends on it. Null when it cannot be had.
inline void* allocate_pixels(std::size_t size) { return std::malloc(size); }

// unload()'s work: lets go of the pixels, releasing them when the image owns them.
void unload_body(ImageObject* self);

// -- frames (frames.cpp) -----------------------------------------------------------

// Frames an image's pixel memory holds: at least 1, for records filled in at
// C level without a count.
inline int frames_held(const ImageObject* image) { return image->frames > 1 ? image->frames : 1; }

// Records the frames of an image just made, and their delays in milliseconds
// (`count` of them; fewer, or none, leave the rest 0), before any other thread
// can see it. Returns false with MemoryError.
bool set_frames(ImageObject* image, int frames, const int* delays, std::size_t count);

// The property getters of frame_count and frame_delays.
PyObject* get_frame_count(PyObject* self, void*);
PyObject* get_frame_delays(PyObject* self, void*);

// -- pixel views (image.cpp) ---------------------------------------------------------

// True when the image's `valid` (a subclass may override it) is true;
// otherwise false with ValueError, or with the error `valid` raised.
bool check_has_pixels(PyObject* self);

// data_view, or with `every_frame` frames_view: a view of the first level, or
// of every frame. Returns null with an exception set.
PyObject* pixel_view(PyObject* self, bool every_frame);

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

// The result of a Python override of copy or from_channel: None or an Image.
// Returns null with an exception set.
PyObject* expect_image(Ref result);

// The methods, each defined beside its body; populate puts them in the type's
// dict in the order listed there.
extern const FunctionSpec copy_dunder_spec, deepcopy_spec, unload_spec, copy_spec;                       // image.cpp
extern const FunctionSpec export_spec, load_spec, load_raw_spec, load_anim_spec, load_from_screen_spec;  // loading.cpp
extern const FunctionSpec generate_with_color_spec, generate_with_linear_gradient_spec,  // generators.cpp
    generate_with_radial_gradient_spec, generate_with_square_gradient_spec, generate_with_checked_spec,
    generate_with_white_noise_spec, generate_with_perlin_noise_spec, generate_with_cellular_spec,
    generate_with_text_spec, from_channel_spec;
extern const FunctionSpec load_from_memory_spec, load_anim_from_memory_spec, from_buffer_spec;  // loading.cpp
extern const FunctionSpec frame_spec;                                                          // frames.cpp

}  // namespace tovara::image
