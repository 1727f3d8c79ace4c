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

// Within the pixel limit by the sizes the header declares. A header too short
// to declare them passes: the decoder refuses such a file without allocating.
bool declared_size_within_limit(const char* type, Bytes file) {
    std::uint32_t width, height;
    if (is_type(type, ".png", ".PNG")) {
        if (!file.starts_with(0, "\x89PNG\r\n\x1a\n") || !file.u32be(16, width) || !file.u32be(20, height)) return true;
    } else if (is_type(type, ".bmp", ".BMP")) {
        // stb_image reads 16-bit sizes from the old 12-byte header, 32-bit
        // signed ones otherwise (a negative height runs top down).
        std::uint32_t header_size;
        if (!file.u32le(14, header_size)) return true;
        if (header_size == 12) {
            if (!file.u16le(18, width) || !file.u16le(20, height)) return true;
        } else {
            if (!file.u32le(18, width) || !file.u32le(22, height)) return true;
            return within_pixel_limit(std::llabs(static_cast<std::int32_t>(width)),
                                      std::llabs(static_cast<std::int32_t>(height)));
        }
    } else if (is_type(type, ".qoi", ".QOI")) {
        if (!file.u32be(4, width) || !file.u32be(8, height)) return true;
    } else if (is_type(type, ".gif", ".GIF")) {
        if (!file.u16le(6, width) || !file.u16le(8, height)) return true;
    } else {
        return true;
    }
    return within_pixel_limit(width, height);
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

::Image load_image_anim_from_memory(const char* type, const unsigned char* data, int size, int* frames) {
    // raylib takes a .gif in any case as an animation and anything else as one frame.
    if (type && strcasecmp(type, ".gif") == 0) {
        ::Image image = decode_gif_animation(data, size, frames);
        image = admit_loaded(image, *frames);
        if (!image.data) *frames = 0;
        return image;
    }
    *frames = 1;
    return load_image_from_memory(type, data, size);
}

::Image load_image_anim(const char* file_name, int* frames) {
    FileData file(file_name);
    Bytes bytes = file.bytes();
    // (IsFileExtension itself is not safe on long extensions, see below.)
    return load_image_anim_from_memory(GetFileExtension(file_name), bytes.data(), bytes.size(), frames);
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
