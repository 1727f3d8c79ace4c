// The package's function type: methods and functions that bind as methods,
// take arguments by the vector calling convention, accept every parameter
// positionally or by keyword, and add a traceback entry when they fail.
#pragma once

#include <Python.h>

#include <array>
#include <initializer_list>
#include <source_location>
#include <span>

#include "frame/binding.h"
#include "frame/names.h"
#include "frame/parameters.h"

namespace tovara {

struct Module;

struct FunctionSpec {
    const char* name;
    Body body;  // method<f>, method_of_any<f> or function<f> of the typed body f
    std::array<const char*, max_parameters> parameters{};  // names, in order, ended by null
    const char* returns = nullptr;                         // text of the "return" annotation, if any
    const char* file = nullptr;  // file named in traceback entries; the module's source by default
    int line = static_cast<int>(std::source_location::current().line());
    AttributeName attribute{name};  // the name, for looking the method up on instances
};

// A new function object for `spec`, a member of `owner` (null for a module
// function), whose __doc__ is `doc` (None when null). Returns null with an exception set.
PyObject* new_function(const FunctionSpec& spec, const Module& module, PyTypeObject* owner,
                       const char* doc = nullptr);

// Gives a function object of the package the docstring its module's table has
// for `member` of the class `owner`: for a method moved to another name.
void document_as(PyObject* function, const char* owner, const char* member);

// Puts one function object per spec into the type's dict, in order, each with
// the docstring the module's table has for it; plain ones wrapped with
// staticmethod. Returns false with an exception set.
bool add_methods(const Module& module, PyTypeObject* type, std::initializer_list<const FunctionSpec*> specs);
bool add_methods(const Module& module, PyTypeObject* type, std::span<const FunctionSpec> specs);

// Binds one function object per spec as a module attribute, named by the spec,
// with the docstring of that module-level name, and qualified as members of
// `owner` when it is given. Returns false with an exception set.
bool add_functions(const Module& module, std::initializer_list<const FunctionSpec*> specs,
                   PyTypeObject* owner = nullptr);
bool add_functions(const Module& module, std::span<const FunctionSpec> specs);

// The spec a function object of the package was made from; null for any other object.
const FunctionSpec* spec_of(PyObject* callable);

// The class name of a type: its tp_name after the last dot.
const char* class_name(PyTypeObject* type);

}  // namespace tovara
