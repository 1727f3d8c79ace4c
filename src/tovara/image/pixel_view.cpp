#include "image/pixel_view.h"

#include <raylib.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "frame/convert.h"
#include "frame/module.h"
#include "frame/ref.h"

namespace tovara::image {

namespace {

// Who still uses a block of pixel memory that a view was laid over. The
// blocks are spread over shards by address, each with its own lock and count,
// so that views of different images, taken and dropped on different threads,
// meet in one shard only by the chance of their addresses.
class Leases {
public:
    void acquire(void* data) { shard(data).acquire(data); }
    void release(void* data) { shard(data).release(data); }
    bool owner_releases(void* data) { return shard(data).owner_releases(data); }

private:
    struct alignas(64) Shard {  // a cache line of its own: no false sharing between shards
        void acquire(void* data) {
            std::lock_guard lock(mutex);
            if (++leases[data].views == 1) blocks.fetch_add(1);
        }

        // A view lets go; the last view of an orphaned block releases it.
        void release(void* data) {
            bool free_now = false;
            {
                std::lock_guard lock(mutex);
                auto found = leases.find(data);
                if (found == leases.end()) return;
                if (--found->second.views == 0) {
                    free_now = found->second.orphaned;
                    leases.erase(found);
                    blocks.fetch_sub(1);
                }
            }
            if (free_now) MemFree(data);
        }

        bool owner_releases(void* data) {
            // Most images never had a view: no lock for them. A lease on this
            // block was taken, under the owner's critical section, before its
            // owner could let go of it.
            if (blocks.load() == 0) return true;
            std::lock_guard lock(mutex);
            auto found = leases.find(data);
            if (found == leases.end()) return true;
            found->second.orphaned = true;
            return false;
        }

        struct Lease {
            Py_ssize_t views = 0;
            bool orphaned = false;  // its owner let go: the last view frees it
        };
        std::mutex mutex;
        std::unordered_map<void*, Lease> leases;
        std::atomic<std::size_t> blocks{0};  // blocks with a lease
    };

    Shard& shard(void* data) {
        // Fibonacci hashing: the top bits of the address times 2^64 / phi.
        auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(data));
        return shards_[(bits * 0x9E3779B97F4A7C15u) >> (64 - shard_bits)];
    }

    static constexpr int shard_bits = 6;
    std::array<Shard, std::size_t{1} << shard_bits> shards_;
};

Leases leases;

struct PixelView {
    PyObject_HEAD
    unsigned char* block;  // the start of the leased memory
    unsigned char* start;  // the view's first byte
    Py_ssize_t length;
    Py_ssize_t step;  // 1, except for slices with a step
};

extern PyTypeObject PixelViewType;  // defined with its slots below

PixelView* as_view(PyObject* object) { return reinterpret_cast<PixelView*>(object); }

// A view over a block the caller has leased for it; gives the lease back on failure.
PyObject* make_view(unsigned char* block, unsigned char* start, Py_ssize_t length, Py_ssize_t step) {
    PixelView* view = PyObject_New(PixelView, &PixelViewType);
    if (!view) {
        leases.release(block);
        return nullptr;
    }
    view->block = block;
    view->start = start;
    view->length = length;
    view->step = step;
    return reinterpret_cast<PyObject*>(view);
}

void dealloc(PyObject* self) {
    leases.release(as_view(self)->block);
    PyObject_Free(self);
}

Py_ssize_t length(PyObject* self) { return as_view(self)->length; }

// The byte at `index` (negative counts from the end), or null with IndexError.
unsigned char* item_at(PixelView* view, Py_ssize_t index) {
    if (index < 0) index += view->length;
    if (index < 0 || index >= view->length) {
        PyErr_Format(PyExc_IndexError, "Out of bounds on buffer access (axis %zd)", Py_ssize_t{0});
        return nullptr;
    }
    return view->start + index * view->step;
}

PyObject* item(PyObject* self, Py_ssize_t index) {
    unsigned char* byte = item_at(as_view(self), index);
    return byte ? PyLong_FromLong(*byte) : nullptr;
}

PyObject* subscript(PyObject* self, PyObject* key) {
    PixelView* view = as_view(self);
    if (PySlice_Check(key)) {
        Py_ssize_t start, stop, step;
        if (PySlice_Unpack(key, &start, &stop, &step) < 0) return nullptr;
        Py_ssize_t count = PySlice_AdjustIndices(view->length, &start, &stop, step);
        // A slice of two or more items spans its stride within the block, so the
        // product fits; for fewer the stride means nothing (and could overflow).
        Py_ssize_t stride = count > 1 ? step * view->step : 1;
        leases.acquire(view->block);
        return make_view(view->block, view->start + start * view->step, count, stride);
    }
    Py_ssize_t index = PyNumber_AsSsize_t(key, PyExc_IndexError);
    if (index == -1 && PyErr_Occurred()) return nullptr;
    return item(self, index);
}

// view[i] = byte, or view[a:b] = bytes-like of the same length.
int assign(PyObject* self, PyObject* key, PyObject* value) {
    PixelView* view = as_view(self);
    if (!value) {
        PyErr_SetString(PyExc_TypeError, "cannot delete pixel memory");
        return -1;
    }
    if (PySlice_Check(key)) {
        Py_ssize_t start, stop, step;
        if (PySlice_Unpack(key, &start, &stop, &step) < 0) return -1;
        Py_ssize_t count = PySlice_AdjustIndices(view->length, &start, &stop, step);
        Py_buffer source;
        if (PyObject_GetBuffer(value, &source, PyBUF_SIMPLE) < 0) return -1;
        int result = 0;
        if (source.len != count) {
            PyErr_Format(PyExc_ValueError, "cannot assign %zd bytes to a slice of %zd", source.len, count);
            result = -1;
        } else if (step == 1 && view->step == 1) {
            std::memmove(view->start + start, source.buf, count);  // the source may be this very memory
        } else {
            // Through a copy, for the same reason.
            Ref copy = Ref::steal(PyBytes_FromStringAndSize(static_cast<const char*>(source.buf), source.len));
            if (!copy) {
                result = -1;
            } else {
                const unsigned char* bytes = reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(copy.get()));
                for (Py_ssize_t i = 0; i < count; ++i) view->start[(start + i * step) * view->step] = bytes[i];
            }
        }
        PyBuffer_Release(&source);
        return result;
    }
    Py_ssize_t index = PyNumber_AsSsize_t(key, PyExc_IndexError);
    if (index == -1 && PyErr_Occurred()) return -1;
    unsigned char byte;
    if (!to_unsigned_char(value, byte)) return -1;
    unsigned char* target = item_at(view, index);
    if (!target) return -1;
    *target = byte;
    return 0;
}

// Honours every request flag as memoryview does: a consumer that does not ask
// for strides (PyBUF_STRIDES, which includes PyBUF_ND) or asks for contiguity
// reads the buffer as len contiguous bytes, so a stepped view is refused.
int get_buffer(PyObject* self, Py_buffer* buffer, int flags) {
    PixelView* view = as_view(self);
    auto requests = [flags](int request) { return (flags & request) == request; };
    bool contiguous_only = !requests(PyBUF_STRIDES) || requests(PyBUF_C_CONTIGUOUS) ||
                           requests(PyBUF_F_CONTIGUOUS) || requests(PyBUF_ANY_CONTIGUOUS);
    if (view->step != 1 && contiguous_only) {
        PyErr_SetString(PyExc_BufferError, "this pixel view is not contiguous");
        buffer->obj = nullptr;
        return -1;
    }
    buffer->buf = view->start;
    buffer->obj = Py_NewRef(self);  // the view, and so the memory, outlives every export
    buffer->len = view->length;
    buffer->readonly = 0;
    buffer->itemsize = 1;
    buffer->format = requests(PyBUF_FORMAT) ? const_cast<char*>("B") : nullptr;
    buffer->ndim = 1;
    buffer->shape = requests(PyBUF_ND) ? &view->length : nullptr;
    buffer->strides = requests(PyBUF_STRIDES) ? &view->step : nullptr;
    buffer->suboffsets = nullptr;
    buffer->internal = nullptr;
    return 0;
}

PyObject* repr(PyObject* self) {
    return PyUnicode_FromFormat("<pixel view of %zd bytes at %p>", as_view(self)->length, as_view(self)->start);
}

// Value-initialised, then filled: the suites have more slots than a view uses.
PySequenceMethods sequence = [] {
    PySequenceMethods slots{};
    slots.sq_length = length;
    slots.sq_item = item;
    return slots;
}();
PyMappingMethods mapping{length, subscript, assign};
PyBufferProcs buffer_procs{get_buffer, nullptr};

PyTypeObject PixelViewType = static_type("tovara.image.image.PixelView", sizeof(PixelView), Py_TPFLAGS_DEFAULT,
                                         {.dealloc = dealloc,
                                          .repr = repr,
                                          .iter = PySeqIter_New,
                                          .as_sequence = &sequence,
                                          .as_mapping = &mapping,
                                          .as_buffer = &buffer_procs});

}  // namespace

bool ready_pixel_view_type(const Module& module) { return ready_type(module, &PixelViewType); }

void lease_pixels(void* data) { leases.acquire(data); }

PyObject* new_pixel_view(unsigned char* data, Py_ssize_t length) { return make_view(data, data, length, 1); }

bool owner_releases(void* data) { return leases.owner_releases(data); }

}  // namespace tovara::image
