// What every module of the package does when it is imported: multi-phase
// initialisation, the interpreter-lock declaration, publishing its types and
// their C-level method tables, and binding the types of sibling modules.
#pragma once

#include <Python.h>

#include <cstddef>
#include <source_location>
#include <string>

#include "frame/docstrings.h"

namespace tovara {

struct Module {
    // The module's own steps of initialisation: readying and publishing its
    // types, importing siblings, installing methods. Returns false with an
    // exception set.
    using Populate = bool (*)(Module& module);

    PyModuleDef def;  // first, so that the slots can find their Module through it
    PyModuleDef_Slot slots[4];
    const char* path;        // "tovara.parser.parser"
    const char* short_name;  // "parser"
    const char* source;      // file named in traceback entries
    Populate populate;
    const Docstring* docstrings;  // the module's table (from its stub), or null
    PyObject* module = nullptr;  // the module object, once its exec has succeeded
    PyObject* dict = nullptr;    // its dict (borrowed from module)
    long long interpreter = -1;  // the one interpreter this module may be loaded into

    Module(const char* path, const char* short_name, const char* source, Populate populate,
           const Docstring* docstrings = nullptr);
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // The docstring of `member` of the class `owner`, or of the module-level
    // name `member` when `owner` is null; null when the stub gives none.
    const char* docstring(const char* owner, const char* member) const;

    // The value PyInit_<name> returns.
    PyObject* init() { return PyModuleDef_Init(&def); }

    // Adds a traceback entry "<path>.<member>" (a module-level function) in the
    // module's source to the pending exception.
    void traceback(const char* member, int line) const;

    // A member of one of the module's types: a method, "new", "__dealloc__",
    // or an accessor of an attribute ({"volume", "__set__"}).
    struct Member {
        Member(const char* name, const char* accessor = nullptr) : name(name), accessor(accessor) {}
        const char* name;
        const char* accessor;
    };
    // "<path>.<class of type>.<member>[.<accessor>]": how a member names its
    // traceback entries and its unraisable reports.
    std::string member_name(PyTypeObject* type, Member member) const;
    // Adds the entry of `type`'s `member`, at the caller's line, to the pending exception.
    void traceback(PyTypeObject* type, Member member,
                   std::source_location where = std::source_location::current()) const;
    // Passes `result` on; when it is null (failure), first adds that entry.
    PyObject* traced(PyObject* result, PyTypeObject* type, Member member,
                     std::source_location where = std::source_location::current()) const {
        if (!result) traceback(type, member, where);
        return result;
    }
};

// The type-dict key of the capsule that publishes a type's C-level method table.
inline constexpr const char* vtable_key = "__pyx_vtable__";

// Gives one of the module's types, its properties and members the docstrings
// of the module's table that they lack, and readies it. Returns false with an
// exception set.
bool ready_type(const Module& module, PyTypeObject* type);

// Readies one of the module's types as above, publishes `table` as its __pyx_vtable__
// capsule (when given) and binds the type in the module under its class name.
// Returns false with an exception set.
bool publish_type(Module& module, PyTypeObject* type, const void* table);

// Imports `module_path`, takes its attribute `class_name`, checks that it is
// the type that module defines (TypeError for a class put in its place), that its
// instances are at least `size` bytes (warning when they are larger) and reads
// the C-level method table from its __pyx_vtable__ capsule into `table` (unless
// `table` is null). Returns null with an exception set.
PyTypeObject* import_type(const char* module_path, const char* class_name, std::size_t size, void** table);

// The typed form, for declarations headers: `Object` is the instance layout.
template <typename Object, typename Table>
bool import_type(const char* module_path, const char* class_name, PyTypeObject*& type, const Table*& table) {
    void* raw = nullptr;
    type = import_type(module_path, class_name, sizeof(Object), &raw);
    table = static_cast<const Table*>(raw);
    return type != nullptr;
}

// A zeroed static type object with its header set, for the module's own types.
PyTypeObject static_type(const char* name, std::size_t basic_size, unsigned long flags);

// The slots the package's types fill, named as in PyTypeObject without "tp_".
struct TypeSlots {
    newfunc new_ = nullptr;
    initproc init = nullptr;
    vectorcallfunc vectorcall = nullptr;
    destructor dealloc = nullptr;
    destructor finalize = nullptr;
    reprfunc repr = nullptr;
    traverseproc traverse = nullptr;
    inquiry clear = nullptr;
    getiterfunc iter = nullptr;
    PyGetSetDef* getset = nullptr;
    PyMemberDef* members = nullptr;
    PySequenceMethods* as_sequence = nullptr;
    PyMappingMethods* as_mapping = nullptr;
    PyBufferProcs* as_buffer = nullptr;
};

// The same, with its slots: each type's slots are set where it is defined.
PyTypeObject static_type(const char* name, std::size_t basic_size, unsigned long flags, const TypeSlots& slots);

}  // namespace tovara
