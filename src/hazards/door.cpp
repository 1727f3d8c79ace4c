// The image door: the invariant every record the package holds satisfies, in
// checked arithmetic, with raylib's own size function for every byte count.
#include <malloc.h>

#include <array>
#include <climits>
#include <cstdint>

#include "hazards/files.h"
#include "hazards/hazards.h"

namespace tovara::hazards {

namespace {

// a * b, false when the product leaves int64_t.
bool multiply(std::int64_t a, std::int64_t b, std::int64_t& product) { return !__builtin_mul_overflow(a, b, &product); }

// raylib's size of one level, once its double-then-int arithmetic is known to
// hold it exactly.
bool level_size(std::int64_t width, std::int64_t height, int bits, int format, std::int64_t& size) {
    std::int64_t pixels, level_bits;
    if (!multiply(width, height, pixels) || !multiply(pixels, bits, level_bits) || level_bits / 8 > INT_MAX) return false;
    size = GetPixelDataSize(static_cast<int>(width), static_cast<int>(height), format);
    return true;
}

// Levels of a full mipmap chain for these sizes: more only repeat 1 by 1.
int full_chain_levels(std::int64_t width, std::int64_t height) {
    int levels = 1;
    for (std::int64_t side = width > height ? width : height; side > 1; side /= 2) ++levels;
    return levels;
}

}  // namespace

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

bool within_pixel_limit(std::int64_t width, std::int64_t height, std::int64_t frames) {
    std::int64_t pixels, all;
    return width >= 0 && height >= 0 && frames >= 0 && multiply(width, height, pixels) && multiply(pixels, frames, all) &&
           all <= image_pixel_limit;
}

bool admissible(const ::Image& image, ImageBytes* bytes) {
    int bits = bits_per_pixel(image.format);
    if (bits == 0 || image.width <= 0 || image.height <= 0 || image.mipmaps <= 0 ||
        (image.mipmaps > 1 && image.mipmaps > full_chain_levels(image.width, image.height)))
        return false;
    // The RGBA copy ExportImage and LoadImageColors make; the grayscale image
    // of ImageFromChannel is a quarter of it.
    std::int64_t rgba;
    if (!multiply(std::int64_t{image.width} * image.height, 4, rgba) || rgba > INT_MAX) return false;
    std::int64_t width = image.width, height = image.height, chain = 0, first = 0;
    for (int level = 0; level < image.mipmaps; ++level) {
        std::int64_t size;
        if (!level_size(width, height, bits, image.format, size)) return false;
        if (level == 0) first = size;
        chain += size;
        if (chain > INT_MAX) return false;
        width = width / 2 < 1 ? 1 : width / 2;
        height = height / 2 < 1 ? 1 : height / 2;
    }
    if (bytes) *bytes = {static_cast<int>(first), static_cast<int>(chain)};
    return true;
}

bool admit(::Image& image) {
    if (!image.data) return false;
    ImageBytes bytes;
    // raylib allocates with malloc, so the allocator knows what stands behind
    // the pointer, whichever loader or generator made it.
    if (admissible(image, &bytes) && malloc_usable_size(image.data) >= static_cast<std::size_t>(bytes.chain))
        return true;
    refuse("IMAGE", nullptr, "%d x %d pixels of format %d with %d mipmaps are more than raylib can handle",
           image.width, image.height, image.format, image.mipmaps);
    UnloadImage(image);
    image.data = nullptr;
    return false;
}

::Image admit_loaded(::Image image, std::int64_t frames) {
    if (!within_pixel_limit(image.width, image.height, frames)) {
        if (image.data)
            refuse("IMAGE", nullptr, "%lld frames of %d x %d pixels are past the limit of %lld",
                   static_cast<long long>(frames), image.width, image.height, static_cast<long long>(image_pixel_limit));
        UnloadImage(image);
        return ::Image{};
    }
    return admit(image) ? image : ::Image{};
}

}  // namespace tovara::hazards
