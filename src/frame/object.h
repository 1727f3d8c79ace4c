// Instances of the package's extension types: the object header, the pointer
// to the type's C-level method table, then the type's own fields.
#pragma once

#include <Python.h>

namespace tovara {

// Allocates an instance of `type` (zeroed, through its tp_alloc) and stores the
// method-table pointer. Returns null with an exception set.
template <typename Object, typename Table>
Object* allocate(PyTypeObject* type, const Table* table) {
    PyObject* object = type->tp_alloc(type, 0);
    if (!object) return nullptr;
    Object* instance = reinterpret_cast<Object*>(object);
    instance->table = table;
    return instance;
}

// First step of a destructor: runs a finalizer (a subclass's __del__) that has
// not run yet, when `dealloc` is the type's own destructor. True when the
// finalizer resurrected the object, which must then not be destroyed.
inline bool finalizer_resurrects(PyObject* self, destructor dealloc) {
    PyTypeObject* type = Py_TYPE(self);
    if (!type->tp_finalize || type->tp_dealloc != dealloc) return false;
    if (PyType_IS_GC(type) && PyObject_GC_IsFinalized(self)) return false;
    return PyObject_CallFinalizerFromDealloc(self) < 0;
}

// The destructor of a type in the garbage collector whose `release(self)`
// lets go of what the object holds: a finalizer not yet run goes first (it may
// resurrect the object), then the object leaves the collector, releases what
// it holds and is freed.
template <void (*release)(PyObject*)>
void collected_dealloc(PyObject* self) {
    if (finalizer_resurrects(self, collected_dealloc<release>)) return;
    PyObject_GC_UnTrack(self);
    release(self);
    Py_TYPE(self)->tp_free(self);
}

}  // namespace tovara
