#include "frame/function.h"

#include <cstddef>
#include <cstring>

#include "frame/errors.h"
#include "frame/module.h"
#include "frame/ref.h"

namespace tovara {

namespace {

struct FunctionObject {
    FunctionHead head;  // self_type borrowed: static, or kept alive by the module
    Body::Call body;    // spec->body.call and whether it takes self: kept here,
    bool takes_self;    // one load less on every call
    const FunctionSpec* spec;
    const Module* module;
    const char* doc;  // static text from the module's table, or null
    PyObject* name;
    PyObject* qualname;
    PyObject* module_name;
    PyObject* full_name;  // module path and qualified name, for traceback entries
    PyObject* annotations;
    PyObject* dict;
    PyObject* parameter_names[max_parameters];
    ParameterList parameters;
};

FunctionObject* as_function(PyObject* object) { return reinterpret_cast<FunctionObject*>(object); }

// Adds the function's traceback entry to the pending exception.
[[gnu::cold, gnu::noinline]] PyObject* fail(FunctionObject* function) {
    const FunctionSpec& spec = *function->spec;
    add_traceback(PyUnicode_AsUTF8(function->full_name), spec.file ? spec.file : function->module->source, spec.line);
    return nullptr;
}

// Calls needing keywords (or missing arguments) bind them first.
[[gnu::noinline]] PyObject* call_bound(FunctionObject* function, PyObject* self, PyObject* const* args,
                                       Py_ssize_t nargs, PyObject* kwnames) {
    PyObject* bound[max_parameters];
    if (!(kwnames && bind_by_identity(function->parameters, args, nargs, kwnames, bound)) &&
        !bind_arguments(function->parameters, args, nargs, kwnames, bound))
        return nullptr;
    return function->spec->body.call(self, bound, function->spec->parameters.data());
}

}  // namespace

PyObject* call_function(PyObject* callable, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
    FunctionObject* function = as_function(callable);
    const FunctionSpec& spec = *function->spec;
    Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    PyObject* self = nullptr;
    if (function->takes_self) {
        if (nargs < 1) [[unlikely]] {
            PyErr_Format(PyExc_TypeError, "unbound method %.200S() needs an argument", function->qualname);
            return nullptr;
        }
        self = args[0];
        ++args;
        --nargs;
        if (function->head.self_type && !PyObject_TypeCheck(self, function->head.self_type)) [[unlikely]] {
            PyErr_Format(PyExc_TypeError, "descriptor '%U' for '%.100s' objects doesn't apply to a '%.100s' object",
                         function->name, function->head.self_type->tp_name, Py_TYPE(self)->tp_name);
            return nullptr;
        }
    }
    // Every argument given by position, as most calls are, or the keywords in
    // parameter order after them: no binding needed.
    bool in_order =
        kwnames ? keywords_in_order(function->parameters, nargs, kwnames) : nargs == function->parameters.count;
    PyObject* result = in_order ? function->body(self, args, spec.parameters.data())
                                : call_bound(function, self, args, nargs, kwnames);
    return result ? result : fail(function);
}

PyObject* function_failed(PyObject* callable) { return fail(as_function(callable)); }

namespace {

PyObject* describe(PyObject* self, PyObject* object, PyObject*) {
    if (!object || object == Py_None) return Py_NewRef(self);
    return PyMethod_New(self, object);
}

int traverse(PyObject* self, visitproc visit, void* arg) {
    Py_VISIT(Py_TYPE(self));
    Py_VISIT(as_function(self)->annotations);
    Py_VISIT(as_function(self)->dict);
    return 0;
}

int clear(PyObject* self) {
    Py_CLEAR(as_function(self)->annotations);
    Py_CLEAR(as_function(self)->dict);
    return 0;
}

void dealloc(PyObject* self) {
    FunctionObject* function = as_function(self);
    PyObject_GC_UnTrack(self);
    clear(self);
    Py_XDECREF(function->name);
    Py_XDECREF(function->qualname);
    Py_XDECREF(function->module_name);
    Py_XDECREF(function->full_name);
    for (PyObject* name : function->parameter_names) Py_XDECREF(name);
    PyObject_GC_Del(self);
}

PyObject* repr(PyObject* self) {
    return PyUnicode_FromFormat("<function %U at %p>", as_function(self)->qualname, self);
}

PyObject* get_annotations(PyObject* self, void*) {
    FunctionObject* function = as_function(self);
    if (!function->annotations) {
        Ref annotations = Ref::steal(PyDict_New());
        if (!annotations) return nullptr;
        if (function->spec->returns) {
            Ref text = Ref::steal(PyUnicode_FromString(function->spec->returns));
            if (!text || PyDict_SetItemString(annotations.get(), "return", text.get()) < 0) return nullptr;
        }
        function->annotations = annotations.release();
    }
    return Py_NewRef(function->annotations);
}

int set_annotations(PyObject* self, PyObject* value, void*) {
    if (value && !PyDict_Check(value)) {
        PyErr_SetString(PyExc_TypeError, "__annotations__ must be set to a dict object");
        return -1;
    }
    Py_XSETREF(as_function(self)->annotations, Py_XNewRef(value));
    return 0;
}

// __name__, __qualname__ and __module__ can be replaced, as on Python functions.
template <std::size_t Offset>
PyObject* get_text(PyObject* self, void*) {
    return Py_NewRef(*reinterpret_cast<PyObject**>(reinterpret_cast<char*>(self) + Offset));
}

template <std::size_t Offset>
int set_text(PyObject* self, PyObject* value, void* closure) {
    if (!value || !PyUnicode_Check(value)) {
        PyErr_Format(PyExc_TypeError, "%s must be set to a string object", static_cast<const char*>(closure));
        return -1;
    }
    Py_SETREF(*reinterpret_cast<PyObject**>(reinterpret_cast<char*>(self) + Offset), Py_NewRef(value));
    return 0;
}

PyObject* get_doc(PyObject* self, void*) {
    const char* doc = as_function(self)->doc;
    if (!doc) Py_RETURN_NONE;
    return PyUnicode_FromString(doc);
}

// For inspect.signature() and help(): "($self, file_name)", "(width, height)".
PyObject* get_text_signature(PyObject* self, void*) {
    FunctionObject* function = as_function(self);
    Ref names = Ref::steal(PyList_New(0));
    if (!names) return nullptr;
    if (function->spec->body.calling != Calling::plain) {
        Ref first = Ref::steal(PyUnicode_FromString("$self"));
        if (!first || PyList_Append(names.get(), first.get()) < 0) return nullptr;
    }
    for (Py_ssize_t i = 0; i < function->parameters.count; ++i)
        if (PyList_Append(names.get(), function->parameter_names[i]) < 0) return nullptr;
    Ref separator = Ref::steal(PyUnicode_FromString(", "));
    Ref joined = separator ? Ref::steal(PyUnicode_Join(separator.get(), names.get())) : Ref();
    return joined ? PyUnicode_FromFormat("(%U)", joined.get()) : nullptr;
}

// Pickled by reference: the qualified name, looked up in __module__.
PyObject* reduce(PyObject* self, PyObject*) { return Py_NewRef(as_function(self)->qualname); }

PyMethodDef function_methods[] = {
    {"__reduce__", reduce, METH_NOARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef function_getset[] = {
    {"__name__", get_text<offsetof(FunctionObject, name)>, set_text<offsetof(FunctionObject, name)>, nullptr,
     const_cast<char*>("__name__")},
    {"__qualname__", get_text<offsetof(FunctionObject, qualname)>, set_text<offsetof(FunctionObject, qualname)>,
     nullptr, const_cast<char*>("__qualname__")},
    {"__module__", get_text<offsetof(FunctionObject, module_name)>, set_text<offsetof(FunctionObject, module_name)>,
     nullptr, const_cast<char*>("__module__")},
    {"__annotations__", get_annotations, set_annotations, nullptr, nullptr},
    {"__doc__", get_doc, nullptr, nullptr, nullptr},
    {"__text_signature__", get_text_signature, nullptr, nullptr, nullptr},
    {"__dict__", PyObject_GenericGetDict, PyObject_GenericSetDict, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyTypeObject* function_type() {
    static PyTypeObject type = [] {
        PyTypeObject t = static_type(
            "tovara_function", sizeof(FunctionObject),
            Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_GC | Py_TPFLAGS_HAVE_VECTORCALL | Py_TPFLAGS_METHOD_DESCRIPTOR);
        t.tp_dealloc = dealloc;
        t.tp_vectorcall_offset = offsetof(FunctionObject, head.vectorcall);
        t.tp_repr = repr;
        t.tp_call = PyVectorcall_Call;
        t.tp_getattro = PyObject_GenericGetAttr;
        t.tp_setattro = PyObject_GenericSetAttr;
        t.tp_traverse = traverse;
        t.tp_clear = clear;
        t.tp_getset = function_getset;
        t.tp_methods = function_methods;
        t.tp_descr_get = describe;
        t.tp_dictoffset = offsetof(FunctionObject, dict);
        return t;
    }();
    return &type;
}

}  // namespace

const FunctionSpec* spec_of(PyObject* callable) {
    return Py_IS_TYPE(callable, function_type()) ? as_function(callable)->spec : nullptr;
}

const char* class_name(PyTypeObject* type) {
    const char* dot = std::strrchr(type->tp_name, '.');
    return dot ? dot + 1 : type->tp_name;
}

void document_as(PyObject* callable, const char* owner, const char* member) {
    if (spec_of(callable)) as_function(callable)->doc = as_function(callable)->module->docstring(owner, member);
}

PyObject* new_function(const FunctionSpec& spec, const Module& module, PyTypeObject* owner, const char* doc) {
    PyTypeObject* type = function_type();
    if (!(type->tp_flags & Py_TPFLAGS_READY) && PyType_Ready(type) < 0) return nullptr;
    Ref object = Ref::steal(reinterpret_cast<PyObject*>(PyObject_GC_New(FunctionObject, type)));
    if (!object) return nullptr;
    FunctionObject* function = as_function(object.get());
    // Everything after the header starts null, so that dealloc is safe at any point below.
    std::memset(reinterpret_cast<char*>(function) + sizeof(PyObject), 0, sizeof(FunctionObject) - sizeof(PyObject));
    function->spec = &spec;
    function->body = spec.body.call;
    function->takes_self = spec.body.calling != Calling::plain;
    function->head.self_type = spec.body.calling == Calling::method ? owner : nullptr;
    function->module = &module;
    function->doc = doc;
    Py_ssize_t count = 0;
    for (const char* parameter : spec.parameters) {
        if (!parameter) break;
        function->parameter_names[count] = PyUnicode_InternFromString(parameter);
        if (!function->parameter_names[count++]) return nullptr;
    }
    if (count != spec.body.arity) {
        PyErr_Format(PyExc_SystemError, "%s() names %zd parameters, its body takes %zd", spec.name, count,
                     spec.body.arity);
        return nullptr;
    }
    function->parameters = {spec.name, function->parameter_names, count, count};
    // A direct call needs the owning class to check self against.
    function->head.vectorcall = spec.body.direct && function->head.self_type ? spec.body.direct : call_function;
    function->name = Py_XNewRef(spec.attribute.get());
    function->qualname =
        owner ? PyUnicode_FromFormat("%s.%s", class_name(owner), spec.name) : PyUnicode_FromString(spec.name);
    function->module_name = PyUnicode_FromString(module.path);
    function->full_name = function->qualname ? PyUnicode_FromFormat("%s.%U", module.path, function->qualname) : nullptr;
    if (!function->name || !function->module_name || !function->full_name) return nullptr;
    PyObject_GC_Track(object.get());
    return object.release();
}

bool add_methods(const Module& module, PyTypeObject* type, std::initializer_list<const FunctionSpec*> specs) {
    Ref dict = Ref::steal(PyType_GetDict(type));
    if (!dict) return false;
    for (const FunctionSpec* spec : specs) {
        Ref function =
            Ref::steal(new_function(*spec, module, type, module.docstring(class_name(type), spec->name)));
        if (function && spec->body.calling == Calling::plain)
            // Called like staticmethod(f), which also copies __name__, __doc__ and friends.
            function =
                Ref::steal(PyObject_CallOneArg(reinterpret_cast<PyObject*>(&PyStaticMethod_Type), function.get()));
        if (!function || PyDict_SetItemString(dict.get(), spec->name, function.get()) < 0) return false;
    }
    PyType_Modified(type);
    return true;
}

bool add_methods(const Module& module, PyTypeObject* type, std::span<const FunctionSpec> specs) {
    for (const FunctionSpec& spec : specs)
        if (!add_methods(module, type, {&spec})) return false;
    return true;
}

bool add_functions(const Module& module, std::initializer_list<const FunctionSpec*> specs, PyTypeObject* owner) {
    for (const FunctionSpec* spec : specs) {
        Ref function = Ref::steal(new_function(*spec, module, owner, module.docstring(nullptr, spec->name)));
        if (!function || PyModule_AddObjectRef(module.module, spec->name, function.get()) < 0) return false;
    }
    return true;
}

bool add_functions(const Module& module, std::span<const FunctionSpec> specs) {
    for (const FunctionSpec& spec : specs)
        if (!add_functions(module, {&spec})) return false;
    return true;
}

}  // namespace tovara
