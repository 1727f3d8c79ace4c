// Image files: the container headers raylib parses by hand, checked against
// the file's real size and against what raylib allocates before it copies.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <strings.h>

#include "hazards/files.h"
#include "hazards/hazards.h"

namespace tovara::hazards {

namespace {

// raylib's size of a mipmap chain, as ImageCopy sums it (levels halve down to
// 1 by 1); -1 when a level's size does not fit raylib's int arithmetic.
long long mip_chain_size(int width, int height, int format, int levels) {
    long long total = 0;
    for (int level = 0; level < levels; ++level) {
        double bytes = static_cast<double>(bits_per_pixel(format)) / 8.0 * width * height;
        if (bytes > INT_MAX) return -1;
        total += GetPixelDataSize(width, height, format);
        width = width / 2 < 1 ? 1 : width / 2;
        height = height / 2 < 1 ? 1 : height / 2;
    }
    return total <= INT_MAX ? total : -1;
}

// Levels of a full mipmap chain for these sizes: more only repeat 1 by 1 and
// let ImageCopy's int sum run on.
int full_chain_levels(std::uint32_t width, std::uint32_t height) {
    int levels = 1;
    for (std::uint32_t side = width > height ? width : height; side > 1; side /= 2) ++levels;
    return levels;
}

// What raylib's DDS loader copies for a header, and the format it reports.
struct DdsPixels {
    long long copied = -1;  // bytes copied from after the header; -1: the loader copies nothing
    int format = 0;
    int step = 1;  // the loader walks the copy in steps of this many bytes
};

DdsPixels dds_pixels(const FileData& file) {
    constexpr std::uint32_t dxt1 = 0x31545844, dxt3 = 0x33545844, dxt5 = 0x35545844;
    std::uint64_t pixels = std::uint64_t{file.u32(16)} * file.u32(12);
    std::uint32_t linear_size = file.u32(20), mipmap_count = file.u32(28);
    std::uint32_t flags = file.u32(80), fourcc = file.u32(84), bit_count = file.u32(88), alpha_mask = file.u32(104);
    // With mipmaps the loader adds a third for the smaller levels.
    auto with_mipmaps = [&](std::uint64_t bytes) { return mipmap_count > 1 ? bytes + bytes / 3 : bytes; };
    DdsPixels result;
    if (bit_count == 16) {
        if (flags == 0x40) result.format = PIXELFORMAT_UNCOMPRESSED_R5G6B5;
        else if (flags == 0x41 && alpha_mask == 0x8000) result.format = PIXELFORMAT_UNCOMPRESSED_R5G5B5A1;
        else if (flags == 0x41 && alpha_mask == 0xf000) result.format = PIXELFORMAT_UNCOMPRESSED_R4G4B4A4;
        else return result;
        result.copied = static_cast<long long>(with_mipmaps(pixels * 2));
        result.step = 2;
    } else if (flags == 0x40 && bit_count == 24) {
        result.format = PIXELFORMAT_UNCOMPRESSED_R8G8B8;
        result.copied = static_cast<long long>(with_mipmaps(pixels * 3));
    } else if (flags == 0x41 && bit_count == 32) {
        result.format = PIXELFORMAT_UNCOMPRESSED_R8G8B8A8;
        result.copied = static_cast<long long>(with_mipmaps(pixels * 4));
        result.step = 4;  // it swaps bytes 0 and 2 of every step
    } else if ((flags == 0x04 || flags == 0x05) && fourcc > 0) {
        if (fourcc == dxt1) result.format = flags == 0x04 ? PIXELFORMAT_COMPRESSED_DXT1_RGB : PIXELFORMAT_COMPRESSED_DXT1_RGBA;
        else if (fourcc == dxt3) result.format = PIXELFORMAT_COMPRESSED_DXT3_RGBA;
        else if (fourcc == dxt5) result.format = PIXELFORMAT_COMPRESSED_DXT5_RGBA;
        result.copied = static_cast<long long>(with_mipmaps(linear_size));
    }
    return result;
}

// A DDS file: magic and a 124-byte header, then the pixel data the header describes.
bool dds_is_safe(const FileData& file) {
    constexpr int header_end = 4 + 124;
    if (file.size() < header_end) return false;  // the loader reads the whole header
    std::uint32_t height = file.u32(12), width = file.u32(16), mipmap_count = file.u32(28);
    if (width > INT_MAX || height > INT_MAX) return false;  // stored as ints
    DdsPixels pixels = dds_pixels(file);
    if (pixels.copied < 0) return true;  // nothing is copied: raylib gives no pixel data
    // The loader sizes its copy in int arithmetic and copies that many bytes from the file.
    if (pixels.copied > INT_MAX || pixels.copied > file.size() - header_end) return false;
    if (pixels.copied % pixels.step != 0) return false;
    // What it allocates must hold what raylib later reads by the reported sizes:
    // the mipmap chain for copies, the first level for the pixel view and export.
    int levels = mipmap_count == 0 ? 1 : static_cast<int>(mipmap_count > INT_MAX ? INT_MAX : mipmap_count);
    if (levels > full_chain_levels(width, height)) return false;
    long long chain = mip_chain_size(static_cast<int>(width), static_cast<int>(height), pixels.format, levels);
    return chain >= 0 && chain <= pixels.copied;
}

// raylib reads the channel count at byte 12 before its QOI decoder checks the size.
bool qoi_is_safe(const FileData& file) { return file.size() >= 14; }

// A GIF read as an animation. raylib's decoder (stb_image) sizes the frames
// it collects as frames * width * height * 4 in int arithmetic: past INT_MAX
// the allocation fails, and its failure path frees the frame delays that
// raylib then frees again. It also restores a frame disposed "to previous"
// from two frames before its buffer once it holds two frames: such an
// animation of three or more frames reads before the buffer.
bool gif_animation_is_safe(const FileData& file) {
    const unsigned char* data = file.data();
    int size = file.size(), at = 13;
    if (size < at || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0)) return true;
    auto color_table = [](unsigned char flags) { return flags & 0x80 ? 3 * (2 << (flags & 7)) : 0; };
    auto skip_sub_blocks = [&] {
        while (at < size) {
            int length = data[at++];
            if (length == 0) return;
            at += length;
        }
    };
    std::uint64_t width = data[6] | data[7] << 8, height = data[8] | data[9] << 8;
    at += color_table(data[10]);
    std::uint64_t frames = 0;
    bool restores_previous = false;
    while (at < size) {
        int block = data[at++];
        if (block == 0x21 && at < size) {  // an extension; 0xF9 is the graphic control
            int label = data[at++];
            if (label == 0xF9 && at + 1 < size && data[at] >= 4 && (data[at + 1] >> 2 & 7) == 3) restores_previous = true;
            skip_sub_blocks();
        } else if (block == 0x2C && at + 9 <= size) {  // an image descriptor, then its table and LZW data
            int flags = data[at + 8];
            at += 9 + color_table(static_cast<unsigned char>(flags)) + 1;
            skip_sub_blocks();
            ++frames;
        } else {
            break;  // the trailer, or where the decoder stops
        }
    }
    if (restores_previous && frames >= 3) return false;
    return frames * width * height * 4 <= INT_MAX;
}

// True when raylib's decoder for `type` can be handed the file.
bool image_file_is_safe(const char* type, const FileData& file) {
    if (is_type(type, ".dds", ".DDS")) return dds_is_safe(file);
    if (is_type(type, ".qoi", ".QOI")) return qoi_is_safe(file);
    return true;  // the stb decoders (png, bmp, gif) check their own input
}

}  // namespace

::Image load_image(const char* file_name) {
    FileData file(file_name);
    const char* type = GetFileExtension(file_name);
    if (!file || !type || !image_file_is_safe(type, file)) return ::Image{};
    return LoadImageFromMemory(type, file.data(), file.size());
}

::Image load_image_anim(const char* file_name, int* frames) {
    // raylib takes a .gif in any case as an animation and anything else as one frame.
    // (IsFileExtension itself is not safe on long extensions, see below.)
    const char* type = GetFileExtension(file_name);
    bool gif = type && strcasecmp(type, ".gif") == 0;
    if (gif) type = ".gif";
    FileData file(file_name);
    if (!file || !type || !image_file_is_safe(type, file) || (gif && !gif_animation_is_safe(file))) {
        *frames = gif ? 0 : 1;
        return ::Image{};
    }
    return LoadImageAnimFromMemory(type, file.data(), file.size(), frames);
}

bool export_is_safe(const ::Image& image, const char* file_name) {
    const char* type = GetFileExtension(file_name);
    if (type && std::strlen(type) >= 16) return false;
    switch (image.format) {
        case PIXELFORMAT_UNCOMPRESSED_GRAYSCALE:
        case PIXELFORMAT_UNCOMPRESSED_GRAY_ALPHA:
        case PIXELFORMAT_UNCOMPRESSED_R8G8B8:
        case PIXELFORMAT_UNCOMPRESSED_R8G8B8A8: return true;
        default: return std::abs(4.0 * image.width * image.height) <= INT_MAX;
    }
}

}  // namespace tovara::hazards
