#include "frame/names.h"

#include "frame/ref.h"

namespace tovara {

PyObject* AttributeName::get() const {
    if (PyObject* known = object_.load(std::memory_order_acquire)) return known;
    Ref made = Ref::steal(PyUnicode_InternFromString(text_));
    if (!made) return nullptr;
    PyObject* expected = nullptr;
    // Threads racing here intern the same str; the first to store it keeps its reference.
    if (object_.compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel)) return made.release();
    return expected;
}

PyObject* get_attribute(PyObject* object, const AttributeName& name) {
    PyObject* key = name.get();
    return key ? PyObject_GetAttr(object, key) : nullptr;
}

}  // namespace tovara
