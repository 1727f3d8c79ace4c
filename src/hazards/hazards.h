// raylib trusts its input: sizes it multiplies in C int arithmetic, file headers
// it copies by, extensions it compares without a null check. This is the one
// place that knows which inputs make which raylib function crash, divide by
// zero, overflow or read past a buffer, and that checks them before raylib
// runs. docs/hazards.md keeps the same list as a table.
//
// Failure conventions: functions returning bool return false with a Python
// exception set (ValueError or RuntimeError naming the argument); loaders
// return raylib's zeroed record for a file that fails its checks, exactly as
// raylib does for a file it cannot read, and never set an exception.
#pragma once

#include <raylib.h>

namespace tovara::hazards {

// -- pixel data sizes (GetPixelDataSize, LoadImageRaw, the GenImage family) ---

// Bits per pixel of `format`, taken from raylib's own size of a 4 by 4 block;
// 0 for numbers raylib does not define.
int bits_per_pixel(int format);

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

// -- image files (LoadImage, LoadImageAnim) -----------------------------------

// LoadImage(file_name), with the file read once and its header checked before
// raylib's decoder sees it: a missing extension, a container header (DDS)
// that promises more bytes than the file holds or than raylib allocates for
// the pixel data, or a QOI file shorter than its header give the zeroed image.
::Image load_image(const char* file_name);

// LoadImageAnim(file_name, frames), with the same checks.
::Image load_image_anim(const char* file_name, int* frames);

// ExportImage: IsFileExtension copies up to 16 characters of the extension
// into a 16-byte buffer and compares it as a terminated string, so a longer
// extension reads past the buffer; and an image of any format but the four
// it writes directly is first converted to RGBA, sized width * height * 4 in
// int arithmetic, which wraps into a failed allocation it then writes
// through. False in either case (no exception): the export fails.
bool export_is_safe(const ::Image& image, const char* file_name);

// -- sounds (LoadSound, LoadSoundAlias, PlaySound, UpdateSound) ----------------

// LoadSound(file_name), with the file read once: a missing extension (raylib
// compares it without a null check), a QOA file whose frames hold more
// samples than its header allocates for, and decoded sample data whose device
// buffer raylib would size in wrapping 32-bit arithmetic give the zeroed sound.
::Sound load_sound(const char* file_name);

// raylib's mixer divides by the buffer's frame count: a sound with no frames
// must never be played or resumed.
inline bool playable(const ::Sound& sound) { return sound.frameCount > 0; }  // inline: on every play()

// LoadSoundAlias reads the source's buffer without checking it.
bool check_alias_source(const ::Sound& source);

// UpdateSound copies frame_count frames without bounds: the count must fit
// both the sound and the `available` bytes handed in.
bool check_update(const ::Sound& sound, int frame_count, long long available);

}  // namespace tovara::hazards
