// Guards on the sizes, divisors and preconditions raylib's image functions trust.
#include <Python.h>

#include <array>
#include <climits>

#include "hazards/hazards.h"

namespace tovara::hazards {

int bits_per_pixel(int format) {
    // 16 pixels of `bits` each make 2 * bits bytes; read off raylib once per format.
    static const std::array<int, 32> bits = [] {
        std::array<int, 32> table{};
        for (int number = 0; number < static_cast<int>(table.size()); ++number)
            table[number] = GetPixelDataSize(4, 4, number) / 2;
        return table;
    }();
    return format >= 0 && format < static_cast<int>(bits.size()) ? bits[format] : 0;
}

namespace {

// raylib's size in bytes, in the double arithmetic it computes before its int cast.
double raylib_bytes(int width, int height, int format) {
    return static_cast<double>(bits_per_pixel(format)) / 8.0 * width * height;
}

// The size raylib computes fits its int arithmetic.
bool size_fits(int width, int height, int format) {
    double bytes = raylib_bytes(width, height, format);
    if (bytes <= INT_MAX && bytes >= -static_cast<double>(INT_MAX)) return true;
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

}  // namespace tovara::hazards
