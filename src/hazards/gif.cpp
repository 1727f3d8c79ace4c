// GIF animations, decoded frame by frame with the decoder raylib itself uses
// (stb_image, from the system's stb headers). raylib's call of stb collects the
// frames with a pointer to "two frames back" that lies before its buffer, so a
// frame disposed "to previous" restores from outside it; and when growing the
// buffer fails, stb frees the frame delays that raylib frees again. Here the
// package collects the frames, bounded by the pixel limit, in raylib's layout,
// and clears a frame disposed "to background" as browsers do.
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "hazards/files.h"
#include "hazards/hazards.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace tovara::hazards {

namespace {

// stb's decoder state and the canvas buffers it allocates.
struct GifDecoder {
    stbi__context context;
    stbi__gif gif;

    GifDecoder(const unsigned char* data, int size) {
        std::memset(&gif, 0, sizeof gif);
        stbi__start_mem(&context, data, size);
    }
    GifDecoder(const GifDecoder&) = delete;
    GifDecoder& operator=(const GifDecoder&) = delete;
    ~GifDecoder() {
        STBI_FREE(gif.out);
        STBI_FREE(gif.history);
        STBI_FREE(gif.background);
    }

    // The canvas after the next frame, or null at the end of the animation or
    // at the first error (stb keeps the frames before it, and so do we).
    const stbi_uc* next_frame() {
        int components = 0;
        // Disposal "to background" clears what the frame just shown covered to
        // transparent black, as browsers and Pillow do; stb would restore it
        // from its background, the canvas before that frame, so that whatever
        // an earlier frame left there showed again.
        if (gif.out && disposal() == 2) std::memset(gif.background, 0, std::size_t{4} * gif.w * gif.h);
        // Disposal "to previous" restores what the frame just shown covered to
        // the canvas before it was drawn: stb keeps exactly that canvas as its
        // background. (Before the first frame nothing is read through it.)
        stbi_uc* before_previous = gif.background;
        stbi_uc* canvas = stbi__gif_load_next(&context, &gif, &components, 4, before_previous);
        return canvas == reinterpret_cast<stbi_uc*>(&context) ? nullptr : canvas;
    }

    // How the frame just shown is disposed of before the next is drawn.
    int disposal() const { return (gif.eflags & 0x1C) >> 2; }
};

}  // namespace

::Image decode_gif_animation(const unsigned char* data, int size, int* frames, bool* restored_previous,
                             std::vector<int>* delays) {
    *frames = 0;
    if (restored_previous) *restored_previous = false;
    if (delays) delays->clear();
    if (!data || size <= 0) return ::Image{};
    GifDecoder decoder(data, size);
    if (!stbi__gif_test(&decoder.context)) return ::Image{};
    ::Image image{nullptr, 0, 0, 1, PIXELFORMAT_UNCOMPRESSED_R8G8B8A8};
    std::int64_t count = 0, frame_bytes = 0;
    while (true) {
        // (stb restores before it reads the next frame, so also before a frame it refuses)
        if (restored_previous && count >= 2 && (decoder.disposal() == 2 || decoder.disposal() == 3))
            *restored_previous = true;
        // stb keeps the last delay it read; a frame without an extension of its own has none.
        decoder.gif.delay = 0;
        const stbi_uc* canvas = decoder.next_frame();
        if (!canvas) break;
        if (count == 0) {
            image.width = decoder.gif.w;
            image.height = decoder.gif.h;
            frame_bytes = std::int64_t{image.width} * image.height * 4;
        }
        if (!within_pixel_limit(image.width, image.height, count + 1)) {
            refuse("IMAGE", ".gif", "%lld frames of %d x %d pixels are past the limit of %lld",
                   static_cast<long long>(count + 1), image.width, image.height,
                   static_cast<long long>(image_pixel_limit));
            MemFree(image.data);
            return ::Image{};
        }
        void* grown = MemRealloc(image.data, static_cast<unsigned int>(frame_bytes * (count + 1)));
        if (!grown) {
            MemFree(image.data);
            return ::Image{};
        }
        image.data = grown;
        std::memcpy(static_cast<unsigned char*>(image.data) + frame_bytes * count, canvas,
                    static_cast<std::size_t>(frame_bytes));
        if (delays) {
            try {
                delays->push_back(decoder.gif.delay);
            } catch (const std::bad_alloc&) {
                MemFree(image.data);
                return ::Image{};
            }
        }
        ++count;
    }
    if (count == 0) return ::Image{};
    *frames = static_cast<int>(count);
    return image;
}

}  // namespace tovara::hazards
