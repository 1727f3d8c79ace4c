// Sound files: the length each declares bounded before raylib decodes it, the
// QOA frames raylib's decoder trusts, the Ogg Vorbis setup opened first by the
// package, and the 32-bit sizes of raylib's sample buffers.
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
// raylib's decoder keeps predictor state for `qoa_max_channels` channels but
// writes it for as many as the first frame names; it allocates the header's
// total before reading a frame (in int arithmetic, unchecked), then writes each
// frame it accepts at the running sample index and reads its slices without
// looking at the file's end. Bound the channels and the total by what the file
// can hold, then walk the frames as it does.
bool qoa_is_safe(Bytes file) {
    constexpr std::uint64_t magic = 0x716f6166, slice_samples = 20, slice_bytes = 8;
    std::uint64_t head, first;
    if (!file.u64be(0, head) || !file.u64be(8, first) || head >> 32 != magic) return true;  // the decoder refuses these
    std::uint64_t remaining = head & 0xffffffff;
    std::uint32_t channels = first >> 56 & 0xff, sample_rate = first >> 32 & 0xffffff;
    if (remaining == 0 || channels == 0 || sample_rate == 0) return true;
    if (channels > qoa_max_channels)
        return refuse("WAVE", ".qoa", "%u channels, past the decoder's %u", channels, qoa_max_channels);
    std::uint64_t slices_held = (static_cast<std::uint64_t>(file.size()) - 8) / slice_bytes;
    if (static_cast<std::int64_t>(remaining) > sound_frame_limit)
        return refuse("WAVE", ".qoa", "it declares %llu frames, past the limit of %lld",
                      static_cast<unsigned long long>(remaining), static_cast<long long>(sound_frame_limit));
    if (remaining * channels > slices_held * slice_samples)
        return refuse("WAVE", ".qoa", "it declares %llu frames of %u channels, more than its %d bytes can hold",
                      static_cast<unsigned long long>(remaining), channels, file.size());
    std::uint64_t at = 8, size = static_cast<std::uint64_t>(file.size());
    while (remaining > 0) {
        std::uint64_t left = size - at, header;
        if (left < 8 + 16 * channels || !file.u64be(static_cast<std::int64_t>(at), header))
            return true;  // the decoder stops here
        std::uint32_t frame_channels = header >> 56 & 0xff, frame_rate = header >> 32 & 0xffffff;
        std::uint32_t samples = header >> 16 & 0xffff, frame_size = header & 0xffff;
        // The decoder's own acceptance test, in its unsigned arithmetic.
        std::uint32_t slice_capacity = (frame_size - 8 - 16 * frame_channels) / 8 * slice_samples;
        if (frame_channels != channels || frame_rate != sample_rate || frame_size > left ||
            samples * frame_channels > slice_capacity)
            return true;  // it stops at a frame it refuses
        std::uint64_t read = 8 + 16 * channels + 8 * ((samples + slice_samples - 1) / slice_samples) * channels;
        if (read > left || samples > remaining)
            return refuse("WAVE", ".qoa", "a frame at byte %llu reads past the file or the declared total",
                          static_cast<unsigned long long>(at));
        remaining -= samples;
        at += read;  // the next frame starts where this one's slices end
    }
    return true;
}

// A WAVE file: chunks of a 4-byte id and a 32-bit length (padded to even) in a
// RIFF (little-endian), RIFX (big-endian) or AIFF container. raylib allocates
// for the frame count dr_wav takes from them, before reading a sample: the
// "fact" chunk's count (for some encodings), AIFF's "COMM" count, or the data
// chunk's declared length over a frame's bytes (for ADPCM over its blocks after
// their headers, a subtraction that wraps when a block is smaller than its
// header). Rather than mirror which one dr_wav takes, every count the header
// gives must fit what the file can hold: no encoding dr_wav decodes packs a
// sample into fewer than 4 bits. Wave64 and RF64 are bounded after decoding.
bool wav_within_limit(Bytes file) {
    bool riff = file.starts_with(0, "RIFF") && file.starts_with(8, "WAVE"), rifx = file.starts_with(0, "RIFX");
    bool aiff = file.starts_with(0, "FORM") && (file.starts_with(8, "AIFF") || file.starts_with(8, "AIFC"));
    if (!riff && !rifx && !aiff) return true;
    bool big = rifx || aiff;
    auto u16 = [&](std::int64_t at, std::uint64_t& value) {
        std::uint32_t word;
        if (big ? !file.u16be(at, word) : !file.u16le(at, word)) return false;
        value = word;
        return true;
    };
    auto u32 = [&](std::int64_t at, std::uint64_t& value) {
        std::uint32_t word;
        if (big ? !file.u32be(at, word) : !file.u32le(at, word)) return false;
        value = word;
        return true;
    };
    std::uint64_t tag = 0, channels = 0, widest = 1, block_align = 0, bits = 0, length;
    std::uint64_t declared = 0, data = 0;  // the largest count and data length any chunk gives
    for (std::int64_t at = 12; u32(at + 4, length); at += 8 + static_cast<std::int64_t>(length + (length & 1))) {
        std::int64_t body = at + 8;
        std::uint64_t value = 0;
        if (file.starts_with(at, "fmt ")) {
            u16(body, tag);
            u16(body + 2, channels);
            u16(body + 12, block_align);
            u16(body + 14, bits);
            if (tag == 0xfffe && length >= 40) u16(body + 24, tag);  // the extensible format's sub-format
        } else if (file.starts_with(at, "fact") || file.starts_with(at, "COMM")) {
            bool comm = file.starts_with(at, "COMM");
            if (u32(comm ? body + 2 : body, value)) declared = std::max(declared, value);
            if (comm) {
                u16(body, channels);
                u16(body + 6, bits);
            }
        } else if (file.starts_with(at, "data") || file.starts_with(at, "SSND")) {
            data = std::max(data, length);
        }
        widest = std::max(widest, channels);
    }
    std::uint64_t implied = 0;  // the count dr_wav derives from the data's length
    std::uint64_t frame_bytes = bits % 8 == 0 ? bits * channels / 8 : block_align;
    if (frame_bytes != 0) implied = data / frame_bytes;
    constexpr std::uint64_t ms_adpcm = 2, ima_adpcm = 0x11;
    if ((tag == ms_adpcm || tag == ima_adpcm) && block_align != 0 && channels != 0) {
        std::uint64_t blocks = (data + block_align - 1) / block_align;
        implied = (data - blocks * (tag == ms_adpcm ? 6 : 4) * channels) * 2 / channels + blocks;  // wraps as dr_wav's
    }
    const std::uint64_t samples_held = 2 * static_cast<std::uint64_t>(file.size()) + 2 * widest;
    for (std::uint64_t count : {declared, implied}) {
        if (count > static_cast<std::uint64_t>(sound_frame_limit))
            return refuse("WAVE", ".wav", "its header gives %llu frames, past the limit of %lld",
                          static_cast<unsigned long long>(count), static_cast<long long>(sound_frame_limit));
        if (count * widest > samples_held)
            return refuse("WAVE", ".wav", "its header gives %llu frames of %llu channels, more than its %d bytes can hold",
                          static_cast<unsigned long long>(count), static_cast<unsigned long long>(widest), file.size());
    }
    return true;
}

// An Ogg Vorbis file: Ogg pages ("OggS", a 27-byte header, a table of segment
// lengths, the segments), the identification packet alone on the first page,
// then the comment packet: a vendor string and a list of comments, each behind
// a 32-bit length. raylib's decoder (stb_vorbis) allocates each comment as its
// length says and, when an allocation fails (a length past the packet reads
// as -1 or as garbage), frees the comments not yet read: pointers it never
// set (in an arena of its own, it writes past the arena). The comment packet must
// hold every length it gives.
bool ogg_comments_fit(Bytes file) {
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
    auto past_packet = [&] {
        return refuse("WAVE", ".ogg", "its comment packet of %zu bytes does not hold the lengths it gives",
                      packet.size());
    };
    if (!read_length(vendor) || !skip(vendor) || !read_length(comments)) return past_packet();
    if (static_cast<std::int32_t>(comments) <= 0) return true;  // it reads no comments
    for (std::uint32_t i = 0; i < comments; ++i) {
        std::uint32_t length;
        if (!read_length(length) || !skip(length)) return past_packet();
    }
    return true;
}

// raylib decodes an Ogg Vorbis file to as many frames as its last page
// declares: open it first (vorbis.cpp) and bound that.
bool ogg_within_limit(Bytes file) {
    std::int64_t frames;
    int channels;
    if (!ogg_length(file.data(), file.size(), frames, channels))
        return refuse("WAVE", ".ogg", "the decoder's setup fails on it");
    if (frames > sound_frame_limit || frames * channels * 2 > INT_MAX)
        return refuse("WAVE", ".ogg", "its last page declares %lld frames of %d channels, past the limit of %lld",
                      static_cast<long long>(frames), channels, static_cast<long long>(sound_frame_limit));
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
// Past the frame limit, a sound (decoded, or as the device will hold it) is too
// long for the package to convert. That also keeps the sizes within raylib's
// 32-bit arithmetic.
bool wave_is_safe(const ::Wave& wave, const char* type) {
    if (!wave.data) return true;  // raylib makes no sound of it
    if (wave.sampleRate == 0 || wave.channels == 0)
        return refuse("WAVE", type, "decoded with a sample rate of %u and %u channels", wave.sampleRate, wave.channels);
    std::uint64_t limit = static_cast<std::uint64_t>(sound_frame_limit);
    // The resampler gives at most one frame more than the ratio of the rates.
    auto device_frames = [&](std::uint64_t rate) { return std::uint64_t{wave.frameCount} * rate / wave.sampleRate + 16; };
    constexpr std::uint64_t highest_rate = 384000;
    if (wave.frameCount > limit || std::uint64_t{wave.frameCount} * wave.channels > 2 * limit ||
        (device_frames(highest_rate) > limit && device_frames(device_sample_rate()) > limit))
        return refuse("WAVE", type, "decoded to %u frames of %u channels at %u Hz, past the limit of %lld frames",
                      wave.frameCount, wave.channels, wave.sampleRate, static_cast<long long>(limit));
    return true;
}

}  // namespace

::Sound load_sound_from_memory(const char* type, const unsigned char* data, int size) {
    Bytes file(data, size);
    // raylib compares the extension without a null check.
    if (!file) return ::Sound{};
    if (!type) {
        refuse("WAVE", "", "its name has no extension to choose a decoder by");
        return ::Sound{};
    }
    if ((is_type(type, ".qoa", ".QOA") && !qoa_is_safe(file)) || (is_type(type, ".ogg", ".OGG") && !(ogg_comments_fit(file) && ogg_within_limit(file))) ||
        (is_type(type, ".wav", ".WAV") && !wav_within_limit(file)))
        return ::Sound{};
    ::Wave wave = LoadWaveFromMemory(type, file.data(), file.size());
    ::Sound sound{};
    if (wave_is_safe(wave, type)) sound = LoadSoundFromWave(wave);
    UnloadWave(wave);
    return sound;
}

::Sound load_sound(const char* file_name) {
    LoadingFile naming(file_name);
    FileData file(file_name);
    Bytes bytes = file.bytes();
    return load_sound_from_memory(GetFileExtension(file_name), bytes.data(), bytes.size());
}

}  // namespace tovara::hazards
