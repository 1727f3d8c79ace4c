#include "frame/buffer.h"

#include <climits>
#include <cstring>
#include <new>

namespace tovara {

bool BufferBytes::acquire(PyObject* object, const char* parameter) {
    // Strides asked for, so that every exporter describes its layout and a
    // scattered one is refused here with one message, whichever it is.
    if (PyObject_GetBuffer(object, &view_, PyBUF_STRIDES) < 0) return false;
    held_ = true;
    if (!PyBuffer_IsContiguous(&view_, 'C')) {
        PyErr_Format(PyExc_BufferError, "%s must be a C-contiguous buffer", parameter);
        return false;
    }
    immutable_ = PyBytes_CheckExact(object);
    return true;
}

bool BufferBytes::as_file(const unsigned char*& bytes, int& size) {
    bytes = nullptr;
    size = 0;
    if (view_.len <= 0 || view_.len > INT_MAX) return true;
    if (!immutable_) {
        if (!copy_) {
            copy_.reset(new (std::nothrow) unsigned char[static_cast<std::size_t>(view_.len)]);
            if (!copy_) {
                PyErr_NoMemory();
                return false;
            }
            std::memcpy(copy_.get(), view_.buf, static_cast<std::size_t>(view_.len));
        }
        bytes = copy_.get();
    } else {
        bytes = data();
    }
    size = static_cast<int>(view_.len);
    return true;
}

}  // namespace tovara
