// The DDS container, decoded by the package. raylib's loader sizes its copy by
// a formula of its own (the first level plus a third for any mipmaps) that
// neither matches the chain it reports nor the file: it reads past short files,
// under-allocates for valid ones and byte-swaps past its allocation. Here the
// chain is sized level by level with raylib's own size function, the file must
// hold it, and exactly it is copied; formats and byte orders are raylib's.
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

#include "hazards/files.h"
#include "hazards/hazards.h"

namespace tovara::hazards {

namespace {

constexpr int header_end = 4 + 124;  // "DDS " and the header

// Header fields, by their offset in the file.
constexpr int height_at = 12, width_at = 16, mipmap_count_at = 28, flags_at = 80, fourcc_at = 84, bit_count_at = 88,
              alpha_mask_at = 104;

// The pixel format raylib's loader reports for a header, and how it reorders
// the copied bytes into raylib's layout; 0 where it gives no pixel data.
enum class Reorder { none, argb1555, argb4444, bgra };

struct Layout {
    int format = 0;
    Reorder reorder = Reorder::none;
};

Layout layout_of(std::uint32_t flags, std::uint32_t fourcc, std::uint32_t bit_count, std::uint32_t alpha_mask) {
    constexpr std::uint32_t dxt1 = 0x31545844, dxt3 = 0x33545844, dxt5 = 0x35545844;
    constexpr std::uint32_t rgb = 0x40, rgba = 0x41, compressed = 0x04, compressed_alpha = 0x05;
    if (bit_count == 16) {
        if (flags == rgb) return {PIXELFORMAT_UNCOMPRESSED_R5G6B5};
        if (flags == rgba && alpha_mask == 0x8000) return {PIXELFORMAT_UNCOMPRESSED_R5G5B5A1, Reorder::argb1555};
        if (flags == rgba && alpha_mask == 0xf000) return {PIXELFORMAT_UNCOMPRESSED_R4G4B4A4, Reorder::argb4444};
        return {};
    }
    if (flags == rgb && bit_count == 24) return {PIXELFORMAT_UNCOMPRESSED_R8G8B8};
    if (flags == rgba && bit_count == 32) return {PIXELFORMAT_UNCOMPRESSED_R8G8B8A8, Reorder::bgra};
    if (flags == compressed || flags == compressed_alpha) {
        if (fourcc == dxt1)
            return {flags == compressed ? PIXELFORMAT_COMPRESSED_DXT1_RGB : PIXELFORMAT_COMPRESSED_DXT1_RGBA};
        if (fourcc == dxt3) return {PIXELFORMAT_COMPRESSED_DXT3_RGBA};
        if (fourcc == dxt5) return {PIXELFORMAT_COMPRESSED_DXT5_RGBA};
    }
    return {};  // raylib copies other FourCCs but names no format for them
}

// The 16-bit words of A1R5G5B5 or A4R4G4B4 turned into R5G5B5A1 or R4G4B4A4,
// and BGRA bytes into RGBA, as raylib's loader turns them.
void reorder(unsigned char* data, int size, Reorder how) {
    auto rotate_words = [&](int alpha_bits) {
        for (int at = 0; at + 1 < size; at += 2) {
            std::uint16_t word;
            std::memcpy(&word, data + at, 2);
            word = static_cast<std::uint16_t>(word << alpha_bits | word >> (16 - alpha_bits));
            std::memcpy(data + at, &word, 2);
        }
    };
    switch (how) {
        case Reorder::none: break;
        case Reorder::argb1555: rotate_words(1); break;
        case Reorder::argb4444: rotate_words(4); break;
        case Reorder::bgra:
            for (int at = 0; at + 3 < size; at += 4) std::swap(data[at], data[at + 2]);
            break;
    }
}

}  // namespace

::Image decode_dds(const unsigned char* data, int size) {
    Bytes file(data, size);
    std::uint32_t width, height, mipmap_count, flags, fourcc, bit_count, alpha_mask;
    if (!file.starts_with(0, "DDS ") || !file.holds(0, header_end) || !file.u32le(width_at, width) ||
        !file.u32le(height_at, height) || !file.u32le(mipmap_count_at, mipmap_count) ||
        !file.u32le(flags_at, flags) || !file.u32le(fourcc_at, fourcc) || !file.u32le(bit_count_at, bit_count) ||
        !file.u32le(alpha_mask_at, alpha_mask))
        return ::Image{};
    Layout layout = layout_of(flags, fourcc, bit_count, alpha_mask);
    if (layout.format == 0 || !within_pixel_limit(width, height) || mipmap_count > INT_MAX) return ::Image{};
    ::Image image{nullptr, static_cast<int>(width), static_cast<int>(height),
                  mipmap_count == 0 ? 1 : static_cast<int>(mipmap_count), layout.format};
    ImageBytes bytes;
    if (!admissible(image, &bytes) || !file.holds(header_end, bytes.chain)) return ::Image{};
    image.data = MemAlloc(static_cast<unsigned int>(bytes.chain));
    if (!image.data) return ::Image{};
    std::memcpy(image.data, data + header_end, static_cast<std::size_t>(bytes.chain));
    reorder(static_cast<unsigned char*>(image.data), bytes.chain, layout.reorder);
    return image;
}

}  // namespace tovara::hazards
