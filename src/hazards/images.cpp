// Image files: read once, their declared size bounded before any decoder runs,
// decoded by raylib (PNG, BMP, QOI, one GIF frame) or by the package (DDS, GIF
// animations), and every result through the door.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <strings.h>

#include "hazards/files.h"
#include "hazards/hazards.h"

namespace tovara::hazards {

namespace {

// Within the pixel limit by the sizes the header declares, and no more pixels
// than the file can hold: raylib's QOI and stb's BMP decoders fill a short
// file's missing pixels, and PNG's deflate expands at most 1032 to 1, so a
// file of a few bytes could otherwise make an image of hundreds of megabytes.
// A header too short to declare the sizes passes: the decoder refuses such a
// file without allocating.
bool declared_size_within_limit(const char* type, Bytes file) {
    std::uint32_t width, height;
    std::int64_t size = file.size();
    if (is_type(type, ".png", ".PNG")) {
        std::uint32_t depth_and_color;
        if (!file.starts_with(0, "\x89PNG\r\n\x1a\n") || !file.u32be(16, width) || !file.u32be(20, height) ||
            !file.u16be(24, depth_and_color))
            return true;
        // The filtered rows deflate compresses: a filter byte and the row's bits (one sample of
        // the bit depth at least: the color type only multiplies it).
        std::int64_t depth = depth_and_color >> 8, row = (std::int64_t{width} * depth + 7) / 8 + 1;
        constexpr std::int64_t deflate_ratio = 1032, slack = 1 << 16;
        return within_pixel_limit(width, height) && row * height <= size * deflate_ratio + slack;
    }
    if (is_type(type, ".bmp", ".BMP")) {
        // stb_image reads 16-bit sizes from the old 12-byte header, 32-bit
        // signed ones otherwise (a negative height runs top down); it decodes
        // no compressed BMP, so the file holds every row, padded to 4 bytes.
        std::uint32_t header_size, offset, bits;
        if (!file.u32le(14, header_size) || !file.u32le(10, offset)) return true;
        if (header_size == 12) {
            if (!file.u16le(18, width) || !file.u16le(20, height) || !file.u16le(24, bits)) return true;
        } else {
            if (!file.u32le(18, width) || !file.u32le(22, height) || !file.u16le(28, bits)) return true;
            width = static_cast<std::uint32_t>(std::llabs(static_cast<std::int32_t>(width)));
            height = static_cast<std::uint32_t>(std::llabs(static_cast<std::int32_t>(height)));
        }
        std::int64_t row = (std::int64_t{width} * bits + 31) / 32 * 4;
        return within_pixel_limit(width, height) && (bits == 0 || row * height <= size);
    }
    if (is_type(type, ".qoi", ".QOI")) {
        // A byte of the stream (after the 14-byte header, before the 8-byte end) repeats at most 62 pixels.
        if (!file.u32be(4, width) || !file.u32be(8, height)) return true;
        constexpr std::int64_t longest_run = 62;
        return within_pixel_limit(width, height) && std::int64_t{width} * height <= (size - 14) * longest_run;
    }
    if (is_type(type, ".gif", ".GIF")) {
        if (!file.u16le(6, width) || !file.u16le(8, height)) return true;
        return within_pixel_limit(width, height);
    }
    return true;
}

::Image decode(const char* type, Bytes file) {
    if (!file || !type || !declared_size_within_limit(type, file)) return ::Image{};
    if (is_type(type, ".dds", ".DDS")) return decode_dds(file.data(), file.size());
    // raylib reads the QOI channel count at byte 12 before its decoder checks the size.
    if (is_type(type, ".qoi", ".QOI") && file.size() < 14) return ::Image{};
    return LoadImageFromMemory(type, file.data(), file.size());
}

}  // namespace

::Image load_image_from_memory(const char* type, const unsigned char* data, int size) {
    return admit_loaded(decode(type, Bytes(data, size)));
}

::Image load_image(const char* file_name) {
    FileData file(file_name);
    Bytes bytes = file.bytes();
    return load_image_from_memory(GetFileExtension(file_name), bytes.data(), bytes.size());
}

::Image load_image_anim_from_memory(const char* type, const unsigned char* data, int size, int* frames,
                                    std::vector<int>* delays) {
    // raylib takes a .gif in any case as an animation and anything else as one frame.
    if (type && strcasecmp(type, ".gif") == 0) {
        ::Image image = decode_gif_animation(data, size, frames, nullptr, delays);
        image = admit_loaded(image, *frames);
        if (!image.data) {
            *frames = 0;
            if (delays) delays->clear();
        }
        return image;
    }
    *frames = 1;
    if (delays) delays->clear();
    return load_image_from_memory(type, data, size);
}

::Image load_image_anim(const char* file_name, int* frames, std::vector<int>* delays) {
    FileData file(file_name);
    Bytes bytes = file.bytes();
    // (IsFileExtension itself is not safe on long extensions, see below.)
    return load_image_anim_from_memory(GetFileExtension(file_name), bytes.data(), bytes.size(), frames, delays);
}

::Image load_image_raw(const char* file_name, int width, int height, int format, int header_size) {
    // raylib copies only what the file holds, but the pixel limit bounds what
    // the operations on the image convert it to.
    if (!within_pixel_limit(width, height)) return ::Image{};
    return admit_loaded(LoadImageRaw(file_name, width, height, format, header_size));
}

::Image copy_image(const ::Image& image) {
    // ImageCopy reads the chain's bytes from the data pointer.
    return image.data && admissible(image) ? ImageCopy(image) : ::Image{};
}

::Image image_from_channel(const ::Image& image, int selected_channel) {
    return admissible(image) ? ImageFromChannel(image, selected_channel) : ::Image{};
}

bool export_image(const ::Image& image, const char* file_name) {
    // IsFileExtension copies up to 16 characters of the extension into a
    // 16-byte buffer and compares it as a terminated string.
    const char* type = GetFileExtension(file_name);
    if (type && std::strlen(type) >= 16) return false;
    return admissible(image) && ExportImage(image, file_name);
}

}  // namespace tovara::hazards
