// The DDS container, decoded by the package. raylib's loader sizes its copy by
// a formula of its own (the first level plus a third for any mipmaps) that
// neither matches the chain it reports nor the file: it reads past short files,
// under-allocates for valid ones and byte-swaps past its allocation; and it
// reads uncompressed pixels in one byte order per bit count whatever the
// header's channel masks say (a 24-bit file as written by most tools loads
// with red and blue swapped). Here the chain is sized level by level with
// raylib's own size function, the file must hold it, block-compressed data is
// copied exactly, and uncompressed pixels are read by their masks into the
// raylib format of the same channel widths (8 bits a channel where raylib has none).
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

#include "hazards/files.h"
#include "hazards/hazards.h"

namespace tovara::hazards {

namespace {

constexpr int header_end = 4 + 124;  // "DDS " and the header

// Header fields, by their offset in the file.
constexpr int height_at = 12, width_at = 16, mipmap_count_at = 28, flags_at = 80, fourcc_at = 84, bit_count_at = 88,
              masks_at = 92;  // red, green, blue and alpha, 32 bits each

constexpr std::uint32_t has_alpha = 0x01, has_fourcc = 0x04, has_rgb = 0x40;

// One channel of an uncompressed pixel: where its mask puts it and how wide it is.
struct Channel {
    int shift = 0, bits = 0;

    // From a mask: a run of set bits within the pixel, or no bits at all.
    static bool from_mask(std::uint32_t mask, std::uint32_t pixel_bits, Channel& channel) {
        channel = {};
        if (mask == 0) return true;
        channel.shift = std::countr_zero(mask);
        channel.bits = std::popcount(mask);
        bool run = (mask >> channel.shift) == (std::uint64_t{1} << channel.bits) - 1;
        return run && channel.shift + channel.bits <= static_cast<int>(pixel_bits);
    }
    std::uint32_t read(std::uint32_t pixel) const {
        return bits == 0 ? 0 : (pixel >> shift) & static_cast<std::uint32_t>((std::uint64_t{1} << bits) - 1);
    }
    // The value in `to` bits, rounded, as every 8-bit decoder scales.
    std::uint32_t scaled(std::uint32_t pixel, int to) const {
        std::uint64_t value = read(pixel), from_max = (std::uint64_t{1} << bits) - 1, to_max = (1u << to) - 1;
        return bits == to ? static_cast<std::uint32_t>(value)
                          : static_cast<std::uint32_t>((value * to_max + from_max / 2) / from_max);
    }
};

// An uncompressed layout read by its channel masks, and the raylib format it
// becomes: the one of the same channel widths where raylib has it, else 8 bits
// a channel.
struct MaskedLayout {
    int bytes = 0;  // a source pixel's
    Channel red, green, blue, alpha;
    int format = 0;

    static MaskedLayout of(std::uint32_t flags, std::uint32_t bit_count, const std::uint32_t masks[4]) {
        MaskedLayout layout;
        if (bit_count == 0 || bit_count > 32 || bit_count % 8 != 0) return {};
        std::uint32_t alpha_mask = flags & has_alpha ? masks[3] : 0;
        if (!Channel::from_mask(masks[0], bit_count, layout.red) ||
            !Channel::from_mask(masks[1], bit_count, layout.green) ||
            !Channel::from_mask(masks[2], bit_count, layout.blue) ||
            !Channel::from_mask(alpha_mask, bit_count, layout.alpha) || layout.red.bits == 0 ||
            layout.green.bits == 0 || layout.blue.bits == 0 || (masks[0] & masks[1]) || (masks[1] & masks[2]) ||
            (masks[0] & masks[2]) || ((masks[0] | masks[1] | masks[2]) & alpha_mask))
            return {};
        layout.bytes = static_cast<int>(bit_count / 8);
        auto widths = [&](int r, int g, int b, int a) {
            return layout.red.bits == r && layout.green.bits == g && layout.blue.bits == b && layout.alpha.bits == a;
        };
        if (widths(5, 6, 5, 0)) layout.format = PIXELFORMAT_UNCOMPRESSED_R5G6B5;
        else if (widths(5, 5, 5, 1)) layout.format = PIXELFORMAT_UNCOMPRESSED_R5G5B5A1;
        else if (widths(4, 4, 4, 4)) layout.format = PIXELFORMAT_UNCOMPRESSED_R4G4B4A4;
        else if (layout.alpha.bits == 0) layout.format = PIXELFORMAT_UNCOMPRESSED_R8G8B8;
        else layout.format = PIXELFORMAT_UNCOMPRESSED_R8G8B8A8;
        return layout;
    }

    // `pixels` source pixels into raylib's layout of `format`.
    void convert(const unsigned char* from, unsigned char* to, std::int64_t pixels) const {
        for (std::int64_t i = 0; i < pixels; ++i, from += bytes) {
            std::uint32_t pixel = 0;
            for (int b = 0; b < bytes; ++b) pixel |= std::uint32_t{from[b]} << (8 * b);
            auto word = [&](std::uint32_t value) {
                auto half = static_cast<std::uint16_t>(value);
                std::memcpy(to, &half, 2);
                to += 2;
            };
            switch (format) {
                case PIXELFORMAT_UNCOMPRESSED_R5G6B5:
                    word(red.read(pixel) << 11 | green.read(pixel) << 5 | blue.read(pixel));
                    break;
                case PIXELFORMAT_UNCOMPRESSED_R5G5B5A1:
                    word(red.read(pixel) << 11 | green.read(pixel) << 6 | blue.read(pixel) << 1 | alpha.read(pixel));
                    break;
                case PIXELFORMAT_UNCOMPRESSED_R4G4B4A4:
                    word(red.read(pixel) << 12 | green.read(pixel) << 8 | blue.read(pixel) << 4 | alpha.read(pixel));
                    break;
                default:
                    *to++ = static_cast<unsigned char>(red.scaled(pixel, 8));
                    *to++ = static_cast<unsigned char>(green.scaled(pixel, 8));
                    *to++ = static_cast<unsigned char>(blue.scaled(pixel, 8));
                    if (format == PIXELFORMAT_UNCOMPRESSED_R8G8B8A8)
                        *to++ = static_cast<unsigned char>(alpha.bits ? alpha.scaled(pixel, 8) : 255);
            }
        }
    }
};

// Pixels of a record's whole mipmap chain.
std::int64_t chain_pixels(const ::Image& image) {
    std::int64_t pixels = 0, width = image.width, height = image.height;
    for (int level = 0; level < image.mipmaps; ++level) {
        pixels += width * height;
        width = width / 2 < 1 ? 1 : width / 2;
        height = height / 2 < 1 ? 1 : height / 2;
    }
    return pixels;
}

// A header that leaves the colour masks empty gets the layout raylib's own
// loader assumes for its bit count (and alpha mask).
void default_masks(std::uint32_t flags, std::uint32_t bit_count, std::uint32_t masks[4]) {
    if (masks[0] || masks[1] || masks[2]) return;
    if (bit_count == 32 && (flags & has_alpha) && masks[3] == 0) masks[3] = 0xff000000;
    auto set = [&](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        masks[0] = r;
        masks[1] = g;
        masks[2] = b;
    };
    bool alpha = flags & has_alpha;
    if (bit_count == 16 && alpha && masks[3] == 0x8000) set(0x7c00, 0x03e0, 0x001f);
    else if (bit_count == 16 && alpha && masks[3] == 0xf000) set(0x0f00, 0x00f0, 0x000f);
    else if (bit_count == 16) set(0xf800, 0x07e0, 0x001f);
    else if (bit_count == 24) set(0x0000ff, 0x00ff00, 0xff0000);
    else if (bit_count == 32) set(0xff0000, 0x00ff00, 0x0000ff);
}

// The block-compressed formats raylib names, by FourCC; 0 for the others
// (raylib copies them but names no format for them).
int compressed_format(std::uint32_t flags, std::uint32_t fourcc) {
    constexpr std::uint32_t dxt1 = 0x31545844, dxt3 = 0x33545844, dxt5 = 0x35545844;
    if (fourcc == dxt1) return flags & has_alpha ? PIXELFORMAT_COMPRESSED_DXT1_RGBA : PIXELFORMAT_COMPRESSED_DXT1_RGB;
    if (fourcc == dxt3) return PIXELFORMAT_COMPRESSED_DXT3_RGBA;
    if (fourcc == dxt5) return PIXELFORMAT_COMPRESSED_DXT5_RGBA;
    return 0;
}

}  // namespace

::Image decode_dds(const unsigned char* data, int size) {
    Bytes file(data, size);
    std::uint32_t width, height, mipmap_count, flags, fourcc, bit_count, masks[4] = {};
    if (!file.starts_with(0, "DDS ") || !file.holds(0, header_end) || !file.u32le(width_at, width) ||
        !file.u32le(height_at, height) || !file.u32le(mipmap_count_at, mipmap_count) ||
        !file.u32le(flags_at, flags) || !file.u32le(fourcc_at, fourcc) || !file.u32le(bit_count_at, bit_count))
        return ::Image{};
    for (int channel = 0; channel < 4; ++channel) file.u32le(masks_at + 4 * channel, masks[channel]);
    MaskedLayout masked;
    int format = 0;
    if (flags == has_fourcc || flags == (has_fourcc | has_alpha)) {  // raylib's two, exactly
        format = compressed_format(flags, fourcc);
    } else if (flags & has_rgb) {
        default_masks(flags, bit_count, masks);
        masked = MaskedLayout::of(flags, bit_count, masks);
        format = masked.format;
    }
    if (format == 0) {
        refuse("IMAGE", ".dds", "no pixel format raylib has for flags 0x%x, FourCC 0x%08x, %u bits, masks %08x %08x %08x %08x",
               flags, fourcc, bit_count, masks[0], masks[1], masks[2], masks[3]);
        return ::Image{};
    }
    if (!within_pixel_limit(width, height)) {
        refuse("IMAGE", ".dds", "it declares %u x %u pixels, past the limit of %lld", width, height,
               static_cast<long long>(image_pixel_limit));
        return ::Image{};
    }
    if (mipmap_count > INT_MAX) return ::Image{};
    ::Image image{nullptr, static_cast<int>(width), static_cast<int>(height),
                  mipmap_count == 0 ? 1 : static_cast<int>(mipmap_count), format};
    ImageBytes bytes;
    if (!admissible(image, &bytes)) {
        refuse("IMAGE", ".dds", "%u x %u pixels with %u mipmaps are more than raylib can handle", width, height,
               mipmap_count);
        return ::Image{};
    }
    // What the file must hold: the chain as stored, compressed as raylib's
    // layout, uncompressed at the file's own pixel size.
    std::int64_t stored = bytes.chain;
    if (masked.bytes != 0) stored = chain_pixels(image) * masked.bytes;
    if (!file.holds(header_end, stored)) {
        refuse("IMAGE", ".dds", "%u x %u pixels in %d levels need %lld bytes, the file holds %d", width, height,
               image.mipmaps, static_cast<long long>(stored), file.size() - header_end);
        return ::Image{};
    }
    image.data = MemAlloc(static_cast<unsigned int>(bytes.chain));
    if (!image.data) return ::Image{};
    if (masked.bytes != 0)
        masked.convert(data + header_end, static_cast<unsigned char*>(image.data), chain_pixels(image));
    else
        std::memcpy(image.data, data + header_end, static_cast<std::size_t>(bytes.chain));
    return image;
}

}  // namespace tovara::hazards
