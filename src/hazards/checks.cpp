// The argument checks: sizes, divisors and preconditions raylib trusts, refused
// with a Python exception before raylib runs.
#include <Python.h>

#include <array>
#include <climits>
#include <cstdint>

#include "hazards/hazards.h"

namespace tovara::hazards {

namespace {

// The size raylib computes (bits * width * height / 8, through a double) fits
// its int arithmetic, negative sizes included.
bool size_fits(int width, int height, int format) {
    std::int64_t bits;
    if (!__builtin_mul_overflow(std::int64_t{width} * height, bits_per_pixel(format), &bits) && bits / 8 <= INT_MAX &&
        bits / 8 >= -static_cast<std::int64_t>(INT_MAX))
        return true;
    PyErr_Format(PyExc_ValueError, "width %d and height %d need more than %d bytes of pixel data", width, height,
                 INT_MAX);
    return false;
}

bool refuse_negative(int width, int height) {
    PyErr_Format(PyExc_ValueError, "%s must not be negative, got %d", width < 0 ? "width" : "height",
                 width < 0 ? width : height);
    return false;
}

}  // namespace

bool pixel_data_size(int width, int height, int format, int& size) {
    if (!size_fits(width, height, format)) return false;
    size = GetPixelDataSize(width, height, format);
    return true;
}

bool check_copied_pixels(int width, int height, int format) {
    if ((width < 0 && height > 0) || (height < 0 && width > 0)) return refuse_negative(width, height);
    return size_fits(width, height, format);
}

bool check_raw_header(int width, int height, int format, int header_size) {
    if (!check_copied_pixels(width, height, format)) return false;
    int size = GetPixelDataSize(width, height, format);
    // The size raylib compares and copies by is its own, minimum block included.
    if (header_size <= 0 || static_cast<long long>(header_size) + size <= INT_MAX) return true;
    PyErr_Format(PyExc_ValueError, "header %d and %d bytes of pixel data need more than %d bytes", header_size, size,
                 INT_MAX);
    return false;
}

bool check_generated_size(int width, int height) {
    return size_fits(width, height, PIXELFORMAT_UNCOMPRESSED_R8G8B8A8);
}

bool check_divisor(int value, const char* parameter) {
    if (value != 0) return true;
    PyErr_Format(PyExc_ValueError, "%s must not be zero: raylib divides by it", parameter);
    return false;
}

bool check_cellular(int width, int height, int tile_size) {
    if (!check_divisor(tile_size, "tile_size")) return false;
    if (tile_size == -1 && (width == INT_MIN || height == INT_MIN)) {
        PyErr_Format(PyExc_ValueError, "tile_size -1 cannot divide %s %d", width == INT_MIN ? "width" : "height",
                     INT_MIN);
        return false;
    }
    return true;
}

bool check_window_open() {
    if (IsWindowReady()) return true;
    PyErr_SetString(PyExc_RuntimeError, "load_from_screen() needs an open window");
    return false;
}

bool check_alias_source(const ::Sound& source) {
    if (source.stream.buffer) return true;
    PyErr_SetString(PyExc_ValueError, "load_alias() needs a source with a sound loaded");
    return false;
}

bool check_update(const ::Sound& sound, int frame_count, long long available) {
    long long frame_bytes = static_cast<long long>(sound.stream.channels) * (sound.stream.sampleSize / 8);
    if (frame_count < 0) {
        PyErr_Format(PyExc_ValueError, "frame_count must not be negative, got %d", frame_count);
    } else if (static_cast<unsigned int>(frame_count) > sound.frameCount) {
        PyErr_Format(PyExc_ValueError, "frame_count must be at most the sound's %u frames, got %d", sound.frameCount,
                     frame_count);
    } else if (frame_count * frame_bytes > available) {
        PyErr_Format(PyExc_ValueError, "data holds %lld bytes, %d frames of %lld bytes (%u channels of %u bits) need %lld",
                     available, frame_count, frame_bytes, sound.stream.channels, sound.stream.sampleSize,
                     frame_count * frame_bytes);
    } else {
        return true;
    }
    return false;
}

}  // namespace tovara::hazards
