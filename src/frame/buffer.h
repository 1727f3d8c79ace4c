// Buffers that Python callers hand in (bytes, bytearray, memoryview, numpy
// arrays...): their bytes, held for the length of a call.
#pragma once

#include <Python.h>

#include <memory>

namespace tovara {

// The bytes of one C-contiguous buffer, released when the holder goes.
class BufferBytes {
public:
    BufferBytes() = default;
    BufferBytes(const BufferBytes&) = delete;
    BufferBytes& operator=(const BufferBytes&) = delete;
    ~BufferBytes() {
        if (held_) PyBuffer_Release(&view_);
    }

    // Requests the buffer of `object` (read-only will do). Returns false with
    // the request's own error (TypeError for an object without the buffer
    // protocol), or with BufferError naming `parameter` for a buffer whose
    // bytes are not one C-contiguous block.
    bool acquire(PyObject* object, const char* parameter);

    const unsigned char* data() const { return static_cast<const unsigned char*>(view_.buf); }
    Py_ssize_t size() const { return view_.len; }

    // The bytes as a file's bytes for a decoder that reads them more than
    // once (a header checked, then decoded): the buffer itself when nothing
    // can change it (a bytes object), otherwise a private copy, which no other
    // thread writing to the buffer meanwhile can change between the reads.
    // A buffer raylib's int cannot count is, as a file that long is to
    // raylib's LoadFileData, unreadable: null and 0, as for an empty one.
    // Returns false with MemoryError.
    bool as_file(const unsigned char*& bytes, int& size);

private:
    Py_buffer view_{};
    bool held_ = false;
    bool immutable_ = false;
    std::unique_ptr<unsigned char[]> copy_;
};

}  // namespace tovara
