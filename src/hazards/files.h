// A file read once into raylib's memory, so that what is checked is what raylib decodes.
#pragma once

#include <raylib.h>

#include <cstdint>
#include <cstring>

namespace tovara::hazards {

class FileData {
public:
    explicit FileData(const char* file_name) : data_(LoadFileData(file_name, &size_)) {}
    FileData(const FileData&) = delete;
    FileData& operator=(const FileData&) = delete;
    ~FileData() { UnloadFileData(data_); }

    const unsigned char* data() const { return data_; }
    int size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr && size_ > 0; }

    // The little-endian 32-bit word at `offset`; the caller has checked the size.
    std::uint32_t u32(int offset) const {
        std::uint32_t word;
        std::memcpy(&word, data_ + offset, sizeof word);
        return word;
    }
    // The big-endian 64-bit word at `offset`.
    std::uint64_t u64_be(int offset) const {
        std::uint64_t word = 0;
        for (int i = 0; i < 8; ++i) word = word << 8 | data_[offset + i];
        return word;
    }

private:
    int size_ = 0;
    unsigned char* data_;
};

// raylib's *FromMemory decoders take the extension as it stands in the name and
// compare it in lower or upper case only.
inline bool is_type(const char* type, const char* lower, const char* upper) {
    return std::strcmp(type, lower) == 0 || std::strcmp(type, upper) == 0;
}

}  // namespace tovara::hazards
