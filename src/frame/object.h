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

}  // namespace tovara
