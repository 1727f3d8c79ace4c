// The bytes of a file, read once into raylib's memory, so that what is checked
// is what gets decoded; and bounded little- and big-endian reads over them.
#pragma once

#include <raylib.h>

#include <cstdint>
#include <cstring>

namespace tovara::hazards {

// A view of a file's bytes. Every read names its offset and checks it against
// the size: a field past the end reads as absent (the read returns false).
class Bytes {
public:
    Bytes(const unsigned char* data, int size) : data_(data), size_(data && size > 0 ? size : 0) {}

    const unsigned char* data() const { return data_; }
    int size() const { return size_; }
    explicit operator bool() const { return size_ > 0; }
    bool holds(std::int64_t offset, std::int64_t length) const {
        return offset >= 0 && length >= 0 && offset <= size_ && length <= size_ - offset;
    }

    bool u16le(std::int64_t offset, std::uint32_t& value) const { return read(offset, 2, false, value); }
    bool u16be(std::int64_t offset, std::uint32_t& value) const { return read(offset, 2, true, value); }
    bool u32le(std::int64_t offset, std::uint32_t& value) const { return read(offset, 4, false, value); }
    bool u32be(std::int64_t offset, std::uint32_t& value) const { return read(offset, 4, true, value); }
    bool u64be(std::int64_t offset, std::uint64_t& value) const {
        std::uint32_t high, low;
        if (!u32be(offset, high) || !u32be(offset + 4, low)) return false;
        value = std::uint64_t{high} << 32 | low;
        return true;
    }
    bool starts_with(std::int64_t offset, const char* text) const {
        std::int64_t length = static_cast<std::int64_t>(std::strlen(text));
        return holds(offset, length) && std::memcmp(data_ + offset, text, length) == 0;
    }

private:
    bool read(std::int64_t offset, int length, bool big_endian, std::uint32_t& value) const {
        if (!holds(offset, length)) return false;
        value = 0;
        for (int i = 0; i < length; ++i) {
            int shift = big_endian ? 8 * (length - 1 - i) : 8 * i;
            value |= std::uint32_t{data_[offset + i]} << shift;
        }
        return true;
    }

    const unsigned char* data_;
    int size_;
};

// A file read by raylib's LoadFileData, owned until the end of the scope.
class FileData {
public:
    explicit FileData(const char* file_name) : data_(LoadFileData(file_name, &size_)) {}
    FileData(const FileData&) = delete;
    FileData& operator=(const FileData&) = delete;
    ~FileData() { UnloadFileData(data_); }

    Bytes bytes() const { return Bytes(data_, size_); }

private:
    int size_ = 0;
    unsigned char* data_;
};

// Names the file being loaded, on this thread, in the refusals logged while it lives.
class LoadingFile {
public:
    explicit LoadingFile(const char* name);
    LoadingFile(const LoadingFile&) = delete;
    LoadingFile& operator=(const LoadingFile&) = delete;
    ~LoadingFile();

private:
    const char* outer_;
};

// Logs a refusal as raylib logs its own failures: a WARNING line of `subject`
// ("IMAGE", "WAVE") naming the file being loaded (else the data's type), then
// the rule with its numbers, printf-style. Returns false, for `return refuse(...)`.
bool refuse(const char* subject, const char* type, const char* format, ...) __attribute__((format(printf, 3, 4)));

// raylib's *FromMemory decoders take the extension as it stands in the name and
// compare it in lower or upper case only.
inline bool is_type(const char* type, const char* lower, const char* upper) {
    return type && (std::strcmp(type, lower) == 0 || std::strcmp(type, upper) == 0);
}

}  // namespace tovara::hazards
