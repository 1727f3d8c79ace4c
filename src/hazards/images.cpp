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

// stb allocates and clears three canvases of a GIF's logical screen before it
// reads the first block, and then fails on a file that holds no frame: walk
// the blocks (skipping colour tables and each extension's sub-blocks) to the
// first image descriptor. Past the file, stb reads zeros, which end a frame's
// data but never start one.
bool gif_holds_a_frame(Bytes file) {
    auto table = [](std::uint32_t flags) { return flags & 0x80 ? 3 * (2 << (flags & 7)) : 0; };
    std::uint32_t flags;
    if (!file.u16le(10, flags)) return false;
    std::int64_t at = 13 + table(flags & 0xff);
    while (file.holds(at, 1)) {
        unsigned char block = file.data()[at];
        if (block == 0x2c) return file.holds(at, 10);
        if (block != 0x21 || !file.holds(at, 2)) return false;  // the trailer, or a code stb refuses
        at += 2;  // the extension's introducer and label, then its sub-blocks
        while (file.holds(at, 1) && file.data()[at] != 0) at += 1 + file.data()[at];
        at += 1;
    }
    return false;
}

// Within the pixel limit by the sizes the header declares, and no more pixels
// than the file can hold: raylib's QOI and stb's BMP decoders fill a short
// file's missing pixels, and PNG's deflate expands at most 1032 to 1, so a
// file of a few bytes could otherwise make an image of hundreds of megabytes.
// A header that ends before its sizes is refused: stb reads past the end of
// memory as zeros and may still allocate what the part it has declares.
bool declared_size_within_limit(const char* type, Bytes file) {
    std::uint32_t width, height;
    std::int64_t size = file.size();
    auto short_header = [&] { return refuse("IMAGE", type, "its header ends before its sizes (%d bytes)", file.size()); };
    // Within the pixel limit, and then (sizes known to be small) `held` by the file's bytes.
    auto within = [&](auto held) {
        if (!within_pixel_limit(width, height))
            return refuse("IMAGE", type, "it declares %u x %u pixels, past the limit of %lld", width, height,
                          static_cast<long long>(image_pixel_limit));
        return held() || refuse("IMAGE", type, "it declares %u x %u pixels, more than its %d bytes can hold", width,
                                height, file.size());
    };
    if (is_type(type, ".png", ".PNG")) {
        std::uint32_t depth_and_color;
        if (!file.starts_with(0, "\x89PNG\r\n\x1a\n")) return true;  // the decoder refuses it
        if (!file.u32be(16, width) || !file.u32be(20, height) || !file.u16be(24, depth_and_color)) return short_header();
        // stb gathers the image data of the chunks before IEND by the length each
        // declares (up to 2^30), doubling its buffer: each must fit the file.
        for (std::int64_t at = 8, length_field; file.holds(at, 8); at += 12 + length_field) {
            std::uint32_t length;
            file.u32be(at, length);
            length_field = length;
            if (!file.holds(at + 8, length_field))
                return refuse("IMAGE", type, "a chunk at byte %lld declares %u bytes, the file holds %lld",
                              static_cast<long long>(at), length, static_cast<long long>(size - at - 8));
            if (file.starts_with(at + 4, "IEND")) break;
        }
        // The filtered rows deflate compresses: a filter byte and the row's bits (one sample of
        // the bit depth at least: the color type only multiplies it).
        constexpr std::int64_t deflate_ratio = 1032, slack = 1 << 16;
        return within([&] {
            std::int64_t depth = depth_and_color >> 8, row = (std::int64_t{width} * depth + 7) / 8 + 1;
            return row * height <= size * deflate_ratio + slack;
        });
    }
    if (is_type(type, ".bmp", ".BMP")) {
        // stb_image reads 16-bit sizes from the old 12-byte header, 32-bit
        // signed ones otherwise (a negative height runs top down); it decodes
        // no compressed BMP, so the file holds every row, padded to 4 bytes.
        std::uint32_t header_size, offset, bits;
        if (!file.starts_with(0, "BM")) return true;
        if (!file.u32le(14, header_size) || !file.u32le(10, offset)) return short_header();
        if (header_size == 12) {
            if (!file.u16le(18, width) || !file.u16le(20, height) || !file.u16le(24, bits)) return short_header();
        } else {
            if (!file.u32le(18, width) || !file.u32le(22, height) || !file.u16le(28, bits)) return short_header();
            width = static_cast<std::uint32_t>(std::llabs(static_cast<std::int32_t>(width)));
            height = static_cast<std::uint32_t>(std::llabs(static_cast<std::int32_t>(height)));
        }
        return within([&] { return bits == 0 || (std::int64_t{width} * bits + 31) / 32 * 4 * height <= size; });
    }
    if (is_type(type, ".qoi", ".QOI")) {
        // A byte of the stream (after the 14-byte header, before the 8-byte end) repeats at most 62 pixels.
        if (!file.u32be(4, width) || !file.u32be(8, height) || size < 14) return short_header();
        constexpr std::int64_t longest_run = 62;
        return within([&] { return std::int64_t{width} * height <= (size - 14) * longest_run; });
    }
    if (is_type(type, ".gif", ".GIF")) {
        // stb allocates the logical screen (three canvases of it) before it reads a frame.
        if (!file.starts_with(0, "GIF")) return true;
        if (!file.u16le(6, width) || !file.u16le(8, height)) return short_header();
        if (!within([] { return true; })) return false;
        return gif_holds_a_frame(file) || refuse("IMAGE", type, "it holds no frame for its %u x %u screen", width, height);
    }
    return true;
}

::Image decode(const char* type, Bytes file) {
    if (!file || !type || !declared_size_within_limit(type, file)) return ::Image{};
    if (is_type(type, ".dds", ".DDS")) return decode_dds(file.data(), file.size());
    // (raylib reads the QOI channel count at byte 12 before its decoder checks
    // the size: the check above has refused a QOI file shorter than its header.)
    return LoadImageFromMemory(type, file.data(), file.size());
}

}  // namespace

::Image load_image_from_memory(const char* type, const unsigned char* data, int size) {
    return admit_loaded(decode(type, Bytes(data, size)));
}

::Image load_image(const char* file_name) {
    LoadingFile naming(file_name);
    FileData file(file_name);
    Bytes bytes = file.bytes();
    return load_image_from_memory(GetFileExtension(file_name), bytes.data(), bytes.size());
}

::Image load_image_anim_from_memory(const char* type, const unsigned char* data, int size, int* frames,
                                    std::vector<int>* delays) {
    // raylib takes a .gif in any case as an animation and anything else as one frame.
    if (type && strcasecmp(type, ".gif") == 0) {
        *frames = 0;
        if (!declared_size_within_limit(".gif", Bytes(data, size))) return ::Image{};
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
    LoadingFile naming(file_name);
    FileData file(file_name);
    Bytes bytes = file.bytes();
    // (IsFileExtension itself is not safe on long extensions, see below.)
    return load_image_anim_from_memory(GetFileExtension(file_name), bytes.data(), bytes.size(), frames, delays);
}

::Image load_image_raw(const char* file_name, int width, int height, int format, int header_size) {
    // raylib copies only what the file holds, but the pixel limit bounds what
    // the operations on the image convert it to.
    LoadingFile naming(file_name);
    if (!within_pixel_limit(width, height)) {
        refuse("IMAGE", ".raw", "%d x %d pixels are past the limit of %lld", width, height,
               static_cast<long long>(image_pixel_limit));
        return ::Image{};
    }
    return admit_loaded(LoadImageRaw(file_name, width, height, format, header_size));
}

::Image copy_image(const ::Image& image) {
    // ImageCopy reads the chain's bytes from the data pointer.
    return image.data && admissible(image) ? ImageCopy(image) : ::Image{};
}

::Image image_from_channel(const ::Image& image, int selected_channel) {
    if (!admissible(image)) return ::Image{};
    if (!reads_pixels(image.format)) {
        refuse("IMAGE", nullptr, "raylib reads no channel of compressed format %d", image.format);
        return ::Image{};
    }
    return ImageFromChannel(image, selected_channel);
}

bool export_image(const ::Image& image, const char* file_name) {
    // IsFileExtension copies up to 16 characters of the extension into a
    // 16-byte buffer and compares it as a terminated string.
    const char* type = GetFileExtension(file_name);
    if (type && std::strlen(type) >= 16) return false;
    if (!admissible(image)) return false;
    // Only .raw writes the bytes as they are; every other file is encoded from
    // the pixels LoadImageColors reads.
    if (!reads_pixels(image.format) && !(type && strcasecmp(type, ".raw") == 0)) {
        LoadingFile naming(file_name);
        return refuse("IMAGE", type, "raylib reads no pixels of compressed format %d to encode (.raw writes its bytes)",
                      image.format);
    }
    return ExportImage(image, file_name);
}

}  // namespace tovara::hazards
