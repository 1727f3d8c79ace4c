// Attribute names looked up at run time, made once as interned strs.
//
// Besides saving the work of a new str per lookup, this keeps lookups from
// filling the interpreter's type-attribute cache with short-lived strs: the
// cache holds a reference to the very str it was asked with, so fresh names
// would linger there, one per call, until their slots are reused.
#pragma once

#include <Python.h>

#include <atomic>

namespace tovara {

class AttributeName {
public:
    constexpr explicit AttributeName(const char* text) : text_(text) {}
    AttributeName(const AttributeName&) = delete;
    AttributeName& operator=(const AttributeName&) = delete;

    const char* text() const { return text_; }
    // The interned str, borrowed: it is kept for the life of the process.
    // Returns null with an exception set when it cannot be made.
    PyObject* get() const;

private:
    const char* text_;
    mutable std::atomic<PyObject*> object_{nullptr};
};

// getattr(object, name): a new reference, or null with an exception set.
PyObject* get_attribute(PyObject* object, const AttributeName& name);

}  // namespace tovara
