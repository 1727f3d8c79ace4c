// Owning reference to a Python object: the one way this package holds references.
#pragma once

#include <Python.h>

#include <utility>

namespace tovara {

class Ref {
public:
    Ref() = default;
    // Takes over a new reference (may be null, as returned by a failing API call).
    static Ref steal(PyObject* object) { return Ref(object); }
    // Adds a reference of its own to a borrowed one.
    static Ref borrow(PyObject* object) { return Ref(Py_XNewRef(object)); }

    Ref(Ref&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { Py_XDECREF(object_); }

    PyObject* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Hands the reference to the caller.
    PyObject* release() { return std::exchange(object_, nullptr); }
    void reset(PyObject* stolen = nullptr) { Py_XDECREF(std::exchange(object_, stolen)); }

private:
    explicit Ref(PyObject* object) : object_(object) {}
    PyObject* object_ = nullptr;
};

}  // namespace tovara
