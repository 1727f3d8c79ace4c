// libFuzzer targets for the image loaders: the bytes of a file of type
// FILE_TYPE go through the package's loader (LOADER: load, load_anim or
// load_raw), then through everything the module offers on the image it holds:
// the pixel view read and written end to end, copy, from_channel of each
// channel, and export to each format. Where raylib's own loader handles the
// same bytes safely, the package's image must equal raylib's. Every output
// (the view's bytes, the copy, each channel, each exported file) goes into the
// input's digest for the determinism oracle (digest.h).
#include <raylib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "digest.h"
#include "hazards/hazards.h"

namespace hazards = tovara::hazards;

namespace {

#define LOAD 0
#define LOAD_ANIM 1
#define LOAD_RAW 2

// A folder of this process's own for the exported files.
const std::string& scratch() {
    static const std::string folder = [] {
        char name[] = "/tmp/tovara-fuzz-XXXXXX";
        if (!mkdtemp(name)) std::abort();
        return std::string(name);
    }();
    return folder;
}

tovara::fuzz::Digest outputs;  // of the input being run

// A file's bytes into the digest; nothing for a file not written.
void add_file(const std::string& name) {
    FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) return;
    unsigned char block[4096];
    for (std::size_t read; (read = std::fread(block, 1, sizeof block, file)) > 0;) outputs.add(block, read);
    std::fclose(file);
}

// A record's sizes and the first `size` bytes of its pixels into the digest.
void add_image(const Image& image, std::size_t size) {
    outputs.add_value(image.width);
    outputs.add_value(image.height);
    outputs.add_value(image.mipmaps);
    outputs.add_value(image.format);
    if (image.data) outputs.add(image.data, size);
}

void fail(const char* what) {
    std::fprintf(stderr, "differential check failed: %s\n", what);
    std::abort();
}

// The module's image operations, on an image it holds.
void exercise(const Image& image) {
    hazards::ImageBytes bytes;
    if (!hazards::admissible(image, &bytes)) fail("the door let a record through that is outside the invariant");
    // The view: every byte read, then written back changed and restored.
    auto* pixels = static_cast<unsigned char*>(image.data);
    unsigned sum = 0;
    for (int at = 0; at < bytes.first_level; ++at) sum += pixels[at];
    add_image(image, static_cast<std::size_t>(bytes.chain));
    if (bytes.first_level > 0) {
        pixels[bytes.first_level - 1] ^= static_cast<unsigned char>(sum);
        pixels[bytes.first_level - 1] ^= static_cast<unsigned char>(sum);
    }
    // Large images only repeat the small ones' paths, slowly: copies and
    // channels up to a million pixels, encoded exports up to 64 thousand
    // (stb's PNG encoder alone takes seconds for a million under the sanitizers).
    std::int64_t pixels_count = std::int64_t{image.width} * image.height;
    if (pixels_count > 1 << 20) return;
    Image copy = hazards::copy_image(image);
    hazards::admit(copy);
    if (copy.data && std::memcmp(copy.data, image.data, static_cast<std::size_t>(bytes.chain)) != 0)
        fail("the copy differs from its source");
    UnloadImage(copy);
    for (int channel = 0; channel < 4; ++channel) {
        Image gray = hazards::image_from_channel(image, channel);
        hazards::ImageBytes gray_bytes;
        if (hazards::admit(gray) && hazards::admissible(gray, &gray_bytes))
            add_image(gray, static_cast<std::size_t>(gray_bytes.first_level));
        UnloadImage(gray);
    }
    if (pixels_count <= 1 << 16) {
        for (const char* type : {".png", ".bmp", ".qoi", ".raw"}) {
            std::string name = scratch() + "/out" + type;
            outputs.add_value(hazards::export_image(image, name.c_str()));
            add_file(name);
            unlink(name.c_str());
        }
    }
}

bool same_record(const Image& ours, const Image& theirs, std::size_t compared) {
    return ours.width == theirs.width && ours.height == theirs.height && ours.mipmaps == theirs.mipmaps &&
           ours.format == theirs.format && (compared == 0 || std::memcmp(ours.data, theirs.data, compared) == 0);
}

#if LOADER == LOAD
// raylib's DDS loader copies the first level plus a third (for any mipmaps),
// reordering as it goes: safe to run when that fits the file and its own
// allocation, and comparable where it holds the chain we report.
// Uncompressed, raylib reads one byte order per bit count whatever the masks
// say: comparable only where the masks are that order.
bool raylib_reads_masks(const std::uint8_t* data) {
    std::uint32_t flags, bits, m[4];
    std::memcpy(&flags, data + 80, 4);
    std::memcpy(&bits, data + 88, 4);
    std::memcpy(m, data + 92, 16);
    auto masks = [&](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return (m[0] == r && m[1] == g && m[2] == b) || (m[0] == 0 && m[1] == 0 && m[2] == 0);
    };
    if (bits == 16 && flags == 0x40) return masks(0xf800, 0x07e0, 0x001f);
    if (bits == 16 && flags == 0x41 && m[3] == 0x8000) return masks(0x7c00, 0x03e0, 0x001f);
    if (bits == 16 && flags == 0x41 && m[3] == 0xf000) return masks(0x0f00, 0x00f0, 0x000f);
    if (bits == 24 && flags == 0x40) return masks(0x0000ff, 0x00ff00, 0xff0000);
    if (bits == 32 && flags == 0x41) return masks(0xff0000, 0x00ff00, 0x0000ff) && m[3] == 0xff000000;
    return false;
}

void compare_dds(const std::uint8_t* data, std::size_t size, const Image& ours) {
    if (!ours.data || size < 128) return;
    if (ours.format < PIXELFORMAT_COMPRESSED_DXT1_RGB && !raylib_reads_masks(data)) return;
    std::uint32_t linear_size;
    std::memcpy(&linear_size, data + 20, 4);
    std::int64_t copied = ours.format >= PIXELFORMAT_COMPRESSED_DXT1_RGB
                              ? linear_size
                              : std::int64_t{ours.width} * ours.height * (hazards::bits_per_pixel(ours.format) / 8);
    if (ours.mipmaps > 1) copied += copied / 3;
    hazards::ImageBytes bytes;
    hazards::admissible(ours, &bytes);
    if (copied > static_cast<std::int64_t>(size) - 128 || copied < bytes.chain) return;
    // Its RGBA byte swap reads two bytes past each step of 4.
    if (ours.format == PIXELFORMAT_UNCOMPRESSED_R8G8B8A8 && copied % 4 != 0 && copied % 4 != 3) return;
    Image theirs = LoadImageFromMemory(".dds", data, static_cast<int>(size));
    if (!same_record(ours, theirs, static_cast<std::size_t>(bytes.chain))) fail("DDS differs from raylib's loader");
    UnloadImage(theirs);
}
#endif

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetTraceLogLevel(LOG_NONE);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1 << 24) return -1;
    int length = static_cast<int>(size);
    outputs = {};
#if LOADER == LOAD
    Image image = hazards::load_image_from_memory(FILE_TYPE, data, length);
    if (std::strcmp(FILE_TYPE, ".dds") == 0) compare_dds(data, size, image);
#elif LOADER == LOAD_ANIM
    int frames = 0;
    std::vector<int> delays;
    Image image = hazards::load_image_anim_from_memory(FILE_TYPE, data, length, &frames, &delays);
    if (image.data && delays.size() != static_cast<std::size_t>(frames)) fail("a delay for every frame");
    // raylib collects the same frames safely unless one after the second is
    // decoded over a frame disposed "to previous".
    bool restored_previous = false;
    int their_frames = 0;
    if (image.data) UnloadImage(hazards::decode_gif_animation(data, length, &their_frames, &restored_previous));
    if (image.data && !restored_previous) {
        Image theirs = LoadImageAnimFromMemory(FILE_TYPE, data, length, &their_frames);
        std::size_t all = static_cast<std::size_t>(image.width) * image.height * 4 * frames;
        if (their_frames != frames || !same_record(image, theirs, all)) fail("GIF differs from raylib's loader");
        UnloadImage(theirs);
    }
#else
    // The first eight bytes choose the sizes, the format and the header; the rest is the file.
    if (size < 8) return -1;
    int width = data[0] | data[1] << 8, height = data[2] | data[3] << 8, format = data[4] % 26;
    int header = data[5] | data[6] << 8;
    std::string name = scratch() + "/raw";
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(data + 8, 1, size - 8, file);
    std::fclose(file);
    Image image = hazards::load_image_raw(name.c_str(), width, height, format, header);
#endif
    if (image.data) exercise(image);
    UnloadImage(image);
    tovara::fuzz::record_digest(data, size, outputs);
    return 0;
}
