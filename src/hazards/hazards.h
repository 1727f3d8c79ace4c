// raylib trusts its input: sizes it multiplies in C int arithmetic, file headers
// it copies by, extensions it compares without a null check. This is the one
// place that stands between raylib and what a user hands the package.
// docs/hazards.md keeps the same list as a table.
//
// Images: one invariant at the door. The package holds an image record only
// when raylib can handle every operation the package offers on it:
//   - a pixel format raylib defines;
//   - positive width and height, and from 1 to as many mipmap levels as the
//     sizes have (halving down to 1 by 1);
//   - every byte count raylib computes for it within its int range, in checked
//     64-bit arithmetic: the mipmap chain (ImageCopy), the first level (the
//     pixel view, ExportImage's raw bytes), the RGBA conversion (ExportImage,
//     LoadImageColors) and the grayscale image (ImageFromChannel);
//   - at least the chain's bytes actually allocated behind its data.
// Beyond sizes, raylib cannot perform every operation on every format: its
// LoadImageColors allocates RGBA pixels but fills them only for uncompressed
// formats. What each operation needs, by format (`reads_pixels` below):
//   - the pixel view and copy: the bytes as they are, for every format;
//   - from_channel: the pixels read; for a compressed format raylib would make
//     a black image, so the result is raylib's failed one;
//   - export: to .raw the bytes as they are, for every format; to an encoded
//     file (png, bmp, qoi) the pixels read, otherwise it fails (false) rather
//     than write memory the image does not own.
// Files are bounded before any decoder runs: an image of more than
// `image_pixel_limit` pixels (all frames of an animation together) is refused,
// and so is a sound of more than `sound_frame_limit` frames.
//
// Failure conventions: functions returning bool without touching Python
// return false and set nothing; the loaders return raylib's zeroed record for a
// file they refuse, exactly as raylib does for a file it cannot read. The
// argument checks (checks.cpp) return false with a Python exception set.
#pragma once

#include <raylib.h>

#include <cstdint>
#include <vector>

namespace tovara::hazards {

// -- the image door (door.cpp) --------------------------------------------------

// Pillow's warning threshold: at it, the widest format raylib defines (16
// bytes a pixel) with its whole mipmap chain still fits raylib's int, and an
// RGBA image is 358 MB. Used as a hard limit for files.
inline constexpr std::int64_t image_pixel_limit = 89'478'485;

// Bits per pixel of `format`, taken from raylib's own size of a 4 by 4 block;
// 0 for numbers raylib does not define.
int bits_per_pixel(int format);

// True for the formats whose pixels raylib reads (LoadImageColors,
// ImageFromChannel): the uncompressed ones.
inline bool reads_pixels(int format) {
    return format >= PIXELFORMAT_UNCOMPRESSED_GRAYSCALE && format < PIXELFORMAT_COMPRESSED_DXT1_RGB;
}

// The byte counts raylib computes for a record, each known to fit its int.
struct ImageBytes {
    int first_level = 0;  // GetPixelDataSize of the full-size level
    int chain = 0;        // the mipmap chain, as ImageCopy sums it
};

// True, with the byte counts, when the record (its data aside) is inside the
// invariant. For records handed in at C level, whose memory is not ours to
// measure, and before every raylib call on a record the package holds.
bool admissible(const ::Image& image, ImageBytes* bytes = nullptr);

// The door every record raylib (or one of our decoders) makes passes before
// the package holds it. Outside the invariant, or with less memory allocated
// behind it than the chain needs, the memory is released and `data` cleared:
// false. A record without data passes unchanged (false).
bool admit(::Image& image);

// A decoded file: through the door and within the pixel limit, or the zeroed
// record of an unreadable file.
::Image admit_loaded(::Image image, std::int64_t frames = 1);

// True when `frames` images of width by height stay within the pixel limit;
// negative sizes are not within it.
bool within_pixel_limit(std::int64_t width, std::int64_t height, std::int64_t frames = 1);

// -- image files (images.cpp, dds.cpp, gif.cpp) ------------------------------------

// LoadImage(file_name): the file read once, its declared size bounded, then
// decoded from memory. raylib decodes PNG, BMP, QOI and the first GIF frame;
// the package decodes DDS itself. Unreadable: the zeroed record.
::Image load_image(const char* file_name);
::Image load_image_from_memory(const char* type, const unsigned char* data, int size);

// LoadImageAnim(file_name, frames): a .gif (in any case) is an animation the
// package decodes frame by frame with raylib's decoder (stb_image), every other
// type one frame as load_image. `frames` receives the frame count: 0 for an
// unreadable GIF, 1 otherwise. `delays`, when given, receives a GIF's delays
// (decode_gif_animation); it is left empty for any other file.
::Image load_image_anim(const char* file_name, int* frames, std::vector<int>* delays = nullptr);
::Image load_image_anim_from_memory(const char* type, const unsigned char* data, int size, int* frames,
                                    std::vector<int>* delays = nullptr);

// LoadImageRaw, once its sizes are checked (check_raw_header); a record past
// the door or the pixel limit is the zeroed one.
::Image load_image_raw(const char* file_name, int width, int height, int format, int header_size);

// The DDS container, parsed strictly: the record raylib's loader gives for a
// valid file (its byte orders included), with exactly the mipmap chain
// allocated and copied. The zeroed record for anything else.
::Image decode_dds(const unsigned char* data, int size);

// A GIF animation: every frame composed into one block of RGBA frames, as
// raylib's loader lays them out, with disposal "to previous" restoring the
// canvas as it was before the disposed frame, and disposal "to background"
// clearing what the frame covered to transparent black (raylib's decoder
// restores that too, as if "to previous"). The zeroed record and 0 frames for a
// file stb_image refuses from its first frame, or past the pixel limit. The
// logical screen, which stb allocates three canvases of first, is bounded by
// the caller (load_image_anim_from_memory, with the file's other declared sizes).
// `restored_previous`, when given, tells whether a frame after the second was
// decoded over one disposed "to previous" or "to background" (where raylib's own
// call goes wrong, or gives what browsers do not show).
// `delays`, when given, receives one delay per frame, in milliseconds, from the
// graphic control extension before it; 0 for a frame without one.
::Image decode_gif_animation(const unsigned char* data, int size, int* frames, bool* restored_previous = nullptr,
                             std::vector<int>* delays = nullptr);

// -- operations on a record the package holds (images.cpp) -------------------------
// Each checks the record against the invariant first (a record handed in at C
// level may be anything) and gives raylib's own failed result when it fails.
// The results still have to pass the door.

// ImageCopy; the zeroed record for one without pixel data or outside the invariant.
::Image copy_image(const ::Image& image);

// ImageFromChannel; the zeroed record, as raylib gives for an image without
// pixels, for one outside the invariant or of a format whose pixels raylib
// does not read.
::Image image_from_channel(const ::Image& image, int selected_channel);

// ExportImage; false (the export fails) also when raylib's extension test would
// read past its 16-byte buffer, when the record is outside the invariant, or
// when the file is encoded from pixels raylib does not read.
bool export_image(const ::Image& image, const char* file_name);

// -- sounds (sounds.cpp) -----------------------------------------------------------

// raylib's Sound is decoded whole into memory, then converted for the device
// (two float channels a frame); longer sounds are music, which raylib
// streams. 2^25 frames: 11.6 minutes at 48 kHz, 256 MiB on the device.
inline constexpr std::int64_t sound_frame_limit = std::int64_t{1} << 25;

// The fixed arrays raylib's decoders size by a constant, and index by what a
// file declares: QOA keeps predictor state for 8 channels (QOA_MAX_CHANNELS).
// The other decoders check their own (stb_vorbis 16 channels, dr_wav 256 and
// 2 for ADPCM, stb_image's palettes 256 entries).
inline constexpr std::uint32_t qoa_max_channels = 8;

// LoadSound(file_name), with the file read once: a missing extension (raylib
// compares it without a null check), a declared length past the frame limit,
// a QOA file whose frames hold more samples than its header allocates for,
// and decoded sample data whose device buffer raylib would size in wrapping
// 32-bit arithmetic give the zeroed sound.
::Sound load_sound(const char* file_name);
::Sound load_sound_from_memory(const char* type, const unsigned char* data, int size);

// An Ogg Vorbis file opened with the decoder raylib uses, its setup memory in
// an arena the package owns: stb_vorbis leaks what a failing setup allocated
// (13 MB of address space for a file of 200 bytes), which in the arena goes
// with it. True, with the frames its last page declares (what raylib then
// allocates for) and its channels, when the setup succeeds; raylib is handed
// no other file.
bool ogg_length(const unsigned char* data, int size, std::int64_t& frames, int& channels);

// raylib's mixer divides by the buffer's frame count: a sound with no frames
// must never be played or resumed.
inline bool playable(const ::Sound& sound) { return sound.frameCount > 0; }  // inline: on every play()

// -- argument checks (checks.cpp): false with a Python exception set ---------------

// raylib's GetPixelDataSize(width, height, format), once it is known that its
// int arithmetic holds the size: past INT_MAX it wraps and raylib allocates
// less than it then writes. False with ValueError otherwise.
bool pixel_data_size(int width, int height, int format, int& size);

// For raylib's loaders and GenImageText, which copy into the buffer they
// allocate: one negative size makes a negative count, raylib allocates nothing
// and the copy writes through a null pointer. Two negatives multiply to a
// positive count raylib handles consistently.
bool check_copied_pixels(int width, int height, int format);

// LoadImageRaw skips the header only when header plus pixel data fit the file,
// a sum it makes in int arithmetic: past INT_MAX it wraps, the check passes,
// and raylib copies from far past the file's data.
bool check_raw_header(int width, int height, int format, int header_size);

// The GenImage family allocates width by height RGBA pixels in int arithmetic.
bool check_generated_size(int width, int height);

// A divisor raylib applies to every pixel (GenImageChecked's check sizes,
// GenImageCellular's tile size) must not be 0.
bool check_divisor(int value, const char* parameter);

// GenImageCellular divides both sizes by the tile size: the least int by -1
// traps.
bool check_cellular(int width, int height, int tile_size);

// LoadImageFromScreen reads through OpenGL, which without a window crashes.
bool check_window_open();

// LoadSoundAlias reads the source's buffer without checking it.
bool check_alias_source(const ::Sound& source);

// UpdateSound copies frame_count frames without bounds: the count must fit
// both the sound and the `available` bytes handed in.
bool check_update(const ::Sound& sound, int frame_count, long long available);

}  // namespace tovara::hazards
