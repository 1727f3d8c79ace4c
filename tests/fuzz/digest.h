// The determinism oracle's record: a digest of everything an input made the
// package output. With TOVARA_FUZZ_DIGESTS naming a file, each input appends
// "<input digest> <output digest>"; the fuzz stage replays the corpus under two
// heap fill bytes and compares (tools/in-root, compare_digests).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tovara::fuzz {

// FNV-1a over 64-bit words (then the tail's bytes): order-sensitive, and
// cheap next to the hundreds of megabytes an image at the limit holds.
class Digest {
public:
    void add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        std::size_t at = 0;
        for (std::uint64_t word; at + 8 <= size; at += 8) {
            std::memcpy(&word, bytes + at, 8);
            value_ = (value_ ^ word) * 0x100000001b3u;
        }
        for (; at < size; ++at) value_ = (value_ ^ bytes[at]) * 0x100000001b3u;
    }
    template <typename T>
    void add_value(const T& value) { add(&value, sizeof value); }
    std::uint64_t value() const { return value_; }

private:
    std::uint64_t value_ = 0xcbf29ce484222325u;
};

inline void record_digest(const std::uint8_t* input, std::size_t size, const Digest& output) {
    const char* path = std::getenv("TOVARA_FUZZ_DIGESTS");
    if (!path) return;
    Digest named;
    named.add(input, size);
    FILE* file = std::fopen(path, "a");
    if (!file) std::abort();
    std::fprintf(file, "%016llx %016llx\n", static_cast<unsigned long long>(named.value()),
                 static_cast<unsigned long long>(output.value()));
    std::fclose(file);
}

}  // namespace tovara::fuzz
