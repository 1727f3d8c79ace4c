// Sounds: the QOA frames raylib's decoder trusts, the 32-bit sizes of raylib's
// sample buffers, and the preconditions of aliasing, updating and playing.
#include <Python.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "hazards/files.h"
#include "hazards/hazards.h"

namespace tovara::hazards {

namespace {

// A QOA file: an 8-byte header ('qoaf', total samples per channel), then frames
// of an 8-byte header (channels, sample rate, samples, frame size), 16 bytes of
// predictor state per channel and one 8-byte slice per 20 samples per channel.
// raylib's decoder allocates the header's total in int arithmetic, then writes
// each frame it accepts at the running sample index and reads its slices
// without looking at the file's end; walk the frames as it does.
bool qoa_is_safe(const FileData& file) {
    constexpr std::uint64_t magic = 0x716f6166, slice_samples = 20;
    if (file.size() < 16 || file.u64_be(0) >> 32 != magic) return true;  // the decoder refuses these
    std::uint64_t remaining = file.u64_be(0) & 0xffffffff;
    std::uint64_t first = file.u64_be(8);
    std::uint32_t channels = first >> 56 & 0xff, sample_rate = first >> 32 & 0xffffff;
    if (remaining == 0 || channels == 0 || sample_rate == 0) return true;
    if (remaining * channels * sizeof(short) > INT_MAX) return false;
    std::uint64_t at = 8, size = static_cast<std::uint64_t>(file.size());
    while (remaining > 0) {
        std::uint64_t left = size - at;
        if (left < 8 + 16 * channels) return true;  // the decoder stops here
        std::uint64_t header = file.u64_be(static_cast<int>(at));
        std::uint32_t frame_channels = header >> 56 & 0xff, frame_rate = header >> 32 & 0xffffff;
        std::uint32_t samples = header >> 16 & 0xffff, frame_size = header & 0xffff;
        // The decoder's own acceptance test, in its unsigned arithmetic.
        std::uint32_t slice_capacity = (frame_size - 8 - 16 * frame_channels) / 8 * slice_samples;
        if (frame_channels != channels || frame_rate != sample_rate || frame_size > left ||
            samples * frame_channels > slice_capacity)
            return true;  // it stops at a frame it refuses
        std::uint64_t read = 8 + 16 * channels + 8 * ((samples + slice_samples - 1) / slice_samples) * channels;
        if (read > left || samples > remaining) return false;
        remaining -= samples;
        at += read;  // the next frame starts where this one's slices end
    }
    return true;
}

// An Ogg Vorbis file: Ogg pages ("OggS", a 27-byte header, a table of segment
// lengths, the segments), the identification packet alone on the first page,
// then the comment packet: a vendor string and a list of comments, each behind
// a 32-bit length. raylib's decoder (stb_vorbis) allocates each comment as its
// length says and, when an allocation fails (a length past the packet reads
// as -1 or as garbage), frees the comments not yet read: pointers it never
// set. The comment packet must hold every length it gives.
bool ogg_is_safe(const FileData& file) {
    const unsigned char* data = file.data();
    long long size = file.size();
    // The segments of the page at `at`: where its data starts and how long each is.
    auto page = [&](long long at, long long& body, const unsigned char*& lacing, int& segments) {
        if (at + 27 > size || std::memcmp(data + at, "OggS", 4) != 0) return false;
        segments = data[at + 26];
        lacing = data + at + 27;
        body = at + 27 + segments;
        return body <= size;
    };
    long long body;
    const unsigned char* lacing;
    int segments;
    if (!page(0, body, lacing, segments)) return true;  // not Ogg: the decoder refuses it
    long long at = body;
    for (int i = 0; i < segments; ++i) at += lacing[i];
    // The comment packet, gathered from its segments, across pages if it
    // continues; a file that ends first is judged by what it holds (the decoder
    // reads -1 past it).
    std::string packet;
    bool complete = false;
    while (!complete && page(at, body, lacing, segments)) {
        at = body;
        for (int i = 0; i < segments && !complete; ++i) {
            long long length = std::min<long long>(lacing[i], size - at);
            packet.append(reinterpret_cast<const char*>(data + at), static_cast<std::size_t>(length));
            at += length;
            complete = lacing[i] < 255 || at == size;
        }
    }
    if (packet.size() < 7 || packet[0] != 3 || packet.compare(1, 6, "vorbis") != 0) return true;  // refused
    std::size_t left = packet.size() - 7, cursor = 7;
    auto read_length = [&](std::uint32_t& length) {
        if (left < 4) return false;
        std::memcpy(&length, packet.data() + cursor, 4);
        cursor += 4;
        left -= 4;
        return true;
    };
    auto skip = [&](std::uint32_t length) {
        if (length > left) return false;
        cursor += length;
        left -= length;
        return true;
    };
    std::uint32_t vendor, comments;
    if (!read_length(vendor) || !skip(vendor) || !read_length(comments)) return false;
    if (static_cast<std::int32_t>(comments) <= 0) return true;  // it reads no comments
    for (std::uint32_t i = 0; i < comments; ++i) {
        std::uint32_t length;
        if (!read_length(length) || !skip(length)) return false;
    }
    return true;
}

// raylib's device sample rate (it has no getter): the rate of a one-frame sound.
unsigned int device_sample_rate() {
    short sample = 0;
    ::Sound probe = LoadSoundFromWave(::Wave{1, 48000, 16, 1, &sample});
    unsigned int rate = probe.stream.sampleRate;
    UnloadSound(probe);
    return rate;
}

// raylib sizes the decoded samples and the device buffer they are converted
// into (two float channels per frame) in 32-bit arithmetic: past it the size
// wraps and the conversion writes past a small buffer.
bool wave_is_safe(const ::Wave& wave) {
    if (!wave.data) return true;  // raylib makes no sound of it
    if (wave.sampleRate == 0 || wave.channels == 0) return false;
    constexpr std::uint64_t limit = UINT32_MAX;
    if (std::uint64_t{wave.frameCount} * wave.channels * (wave.sampleSize / 8) > limit) return false;
    // The resampler gives at most one frame more than the ratio of the rates.
    auto device_bytes = [&](std::uint64_t rate) { return (std::uint64_t{wave.frameCount} * rate / wave.sampleRate + 16) * 8; };
    constexpr std::uint64_t highest_rate = 384000;
    return device_bytes(highest_rate) <= limit || device_bytes(device_sample_rate()) <= limit;
}

}  // namespace

::Sound load_sound(const char* file_name) {
    FileData file(file_name);
    // raylib compares the extension without a null check.
    const char* type = GetFileExtension(file_name);
    if (!file || !type) return ::Sound{};
    if ((is_type(type, ".qoa", ".QOA") && !qoa_is_safe(file)) || (is_type(type, ".ogg", ".OGG") && !ogg_is_safe(file)))
        return ::Sound{};
    ::Wave wave = LoadWaveFromMemory(type, file.data(), file.size());
    ::Sound sound{};
    if (wave_is_safe(wave)) sound = LoadSoundFromWave(wave);
    UnloadWave(wave);
    return sound;
}

bool check_alias_source(const ::Sound& source) {
    if (source.stream.buffer) return true;
    PyErr_SetString(PyExc_ValueError, "load_alias() needs a source with a sound loaded");
    return false;
}

bool check_update(const ::Sound& sound, int frame_count, long long available) {
    long long frame_bytes = static_cast<long long>(sound.stream.channels) * (sound.stream.sampleSize / 8);
    if (frame_count < 0) {
        PyErr_Format(PyExc_ValueError, "frame_count must not be negative, got %d", frame_count);
    } else if (static_cast<unsigned int>(frame_count) > sound.frameCount) {
        PyErr_Format(PyExc_ValueError, "frame_count must be at most the sound's %u frames, got %d", sound.frameCount,
                     frame_count);
    } else if (frame_count * frame_bytes > available) {
        PyErr_Format(PyExc_ValueError, "data holds %lld bytes, %d frames of %lld bytes (%u channels of %u bits) need %lld",
                     available, frame_count, frame_bytes, sound.stream.channels, sound.stream.sampleSize,
                     frame_count * frame_bytes);
    } else {
        return true;
    }
    return false;
}

}  // namespace tovara::hazards
