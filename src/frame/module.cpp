#include "frame/module.h"

#include <cstring>

#include "frame/errors.h"
#include "frame/function.h"
#include "frame/ref.h"

namespace tovara {

namespace {

Module& module_of(PyModuleDef* def) { return *reinterpret_cast<Module*>(def); }

// Each extension library of the package defines exactly one Module. Its exec
// slot finds it here, not through the module object, which need not carry the
// definition: PyModule_ExecDef runs the slot on any module object it is given.
Module* library_module = nullptr;

// Copies one attribute of the module spec into the new module's dict.
bool copy_spec_attribute(PyObject* spec, PyObject* dict, const char* from, const char* to, bool allow_none) {
    Ref value = Ref::steal(PyObject_GetAttrString(spec, from));
    if (!value) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return false;
        PyErr_Clear();
        return true;
    }
    if (!allow_none && value.get() == Py_None) return true;
    return PyDict_SetItemString(dict, to, value.get()) == 0;
}

PyObject* create(PyObject* spec, PyModuleDef* def) {
    Module& self = module_of(def);
    long long current = PyInterpreterState_GetID(PyInterpreterState_Get());
    if (self.interpreter == -1) {
        if (current == -1) return nullptr;
        self.interpreter = current;
    } else if (self.interpreter != current) {
        PyErr_SetString(
            PyExc_ImportError,
            "Interpreter change detected - this module can only be loaded into one interpreter per process.");
        return nullptr;
    }
    if (self.module) return Py_NewRef(self.module);

    Ref name = Ref::steal(PyObject_GetAttrString(spec, "name"));
    if (!name) return nullptr;
    Ref module = Ref::steal(PyModule_NewObject(name.get()));
    if (!module) return nullptr;
    PyObject* dict = PyModule_GetDict(module.get());
    if (!copy_spec_attribute(spec, dict, "loader", "__loader__", true) ||
        !copy_spec_attribute(spec, dict, "origin", "__file__", true) ||
        !copy_spec_attribute(spec, dict, "parent", "__package__", true) ||
        !copy_spec_attribute(spec, dict, "submodule_search_locations", "__path__", false))
        return nullptr;
    return module.release();
}

bool warn_on_version_mismatch(const Module& self) {
    int major = (Py_Version >> 24) & 0xff;
    int minor = (Py_Version >> 16) & 0xff;
    if (major == PY_MAJOR_VERSION && minor == PY_MINOR_VERSION) return true;
    return PyErr_WarnFormat(PyExc_RuntimeWarning, 1,
                            "compile time Python version %d.%d of module '%.100s' %s runtime version %d.%d",
                            PY_MAJOR_VERSION, PY_MINOR_VERSION, self.path, "does not match", major, minor) == 0;
}

bool ensure_in_sys_modules(const Module& self) {
    PyObject* modules = PyImport_GetModuleDict();
    PyObject* found = nullptr;
    int present = PyDict_GetItemStringRef(modules, self.path, &found);
    Ref entry = Ref::steal(found);
    if (present < 0) return false;
    return present || PyDict_SetItemString(modules, self.path, self.module) == 0;
}

bool run_steps(Module& self, PyObject* module) {
    self.module = module;
#ifdef Py_GIL_DISABLED
    if (PyUnstable_Module_SetGIL(module, Py_MOD_GIL_USED) < 0) return false;
#endif
    self.dict = PyModule_GetDict(module);
    Ref builtins = Ref::steal(PyImport_ImportModule("builtins"));
    if (!builtins || PyDict_SetItemString(self.dict, "__builtins__", builtins.get()) < 0) return false;
    if (!warn_on_version_mismatch(self)) return false;
    if (!ensure_in_sys_modules(self)) return false;
    if (!self.populate(self)) return false;
    Ref test = Ref::steal(PyDict_New());
    return test && PyDict_SetItemString(self.dict, "__test__", test.get()) == 0;
}

int exec(PyObject* module) {
    Module& self = *library_module;
    if (self.module) {
        if (self.module == module) return 0;
        PyErr_Format(PyExc_RuntimeError, "Module '%s' has already been imported. Re-initialisation is not supported.",
                     self.short_name);
        return -1;
    }
    if (run_steps(self, module)) return 0;
    Ref name = Ref::steal(PyUnicode_FromFormat("init %s", self.path));
    const char* text = name ? PyUnicode_AsUTF8(name.get()) : "init";
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_ImportError, text);
    add_traceback(text, self.source, __LINE__);
    self.module = nullptr;
    self.dict = nullptr;
    return -1;
}

}  // namespace

Module::Module(const char* path_, const char* short_name_, const char* source_, Populate populate_,
               const Docstring* docstrings_)
    : def{PyModuleDef_HEAD_INIT, short_name_, nullptr, 0, nullptr, slots, nullptr, nullptr, nullptr},
      slots{{Py_mod_create, reinterpret_cast<void*>(create)},
            {Py_mod_exec, reinterpret_cast<void*>(exec)},
            {Py_mod_gil, Py_MOD_GIL_USED},
            {0, nullptr}},
      path(path_),
      short_name(short_name_),
      source(source_),
      populate(populate_),
      docstrings(docstrings_) {
    static_assert(offsetof(Module, def) == 0);
    library_module = this;
    def.m_doc = docstring(nullptr, "");
}

const char* Module::docstring(const char* owner, const char* member) const {
    if (!docstrings) return nullptr;
    std::size_t owner_length = owner ? std::strlen(owner) : 0;
    for (const Docstring* entry = docstrings; entry->name; ++entry) {
        const char* name = entry->name;
        if (owner) {
            if (std::strncmp(name, owner, owner_length) != 0 || name[owner_length] != '.') continue;
            name += owner_length + 1;
        }
        if (std::strcmp(name, member) == 0) return entry->text;
    }
    return nullptr;
}

void Module::traceback(const char* member, int line) const {
    Ref name = Ref::steal(PyUnicode_FromFormat("%s.%s", path, member));
    add_traceback(name ? PyUnicode_AsUTF8(name.get()) : member, source, line);
}

std::string Module::member_name(PyTypeObject* type, Member member) const {
    std::string name = std::string(path) + "." + class_name(type) + "." + member.name;
    return member.accessor ? name + "." + member.accessor : name;
}

void Module::traceback(PyTypeObject* type, Member member, std::source_location where) const {
    add_traceback(member_name(type, member).c_str(), source, static_cast<int>(where.line()));
}

bool ready_type(const Module& module, PyTypeObject* type) {
    // Before PyType_Ready, which copies tp_doc into the type's __doc__; the
    // property descriptors read their def's doc when asked.
    const char* owner = class_name(type);
    if (!type->tp_doc) type->tp_doc = module.docstring(nullptr, owner);
    for (PyGetSetDef* property = type->tp_getset; property && property->name; ++property)
        if (!property->doc) property->doc = module.docstring(owner, property->name);
    for (PyMemberDef* member = type->tp_members; member && member->name; ++member)
        if (!member->doc) member->doc = module.docstring(owner, member->name);
    return PyType_Ready(type) == 0;
}

bool publish_type(Module& module, PyTypeObject* type, const void* table) {
    if (!ready_type(module, type)) return false;
    if (table) {
        Ref capsule = Ref::steal(PyCapsule_New(const_cast<void*>(table), nullptr, nullptr));
        Ref dict = Ref::steal(PyType_GetDict(type));
        if (!capsule || !dict || PyDict_SetItemString(dict.get(), vtable_key, capsule.get()) < 0) return false;
        PyType_Modified(type);
    }
    return PyModule_AddObjectRef(module.module, class_name(type), reinterpret_cast<PyObject*>(type)) == 0;
}

namespace {

// The module's own type, not one put in its place: the method table is read
// from whatever type the attribute holds, and a table of another layout would
// be called on records it does not know. The type has its full name,
// and one made on the heap is also tied to that module, as only a type made in
// C can be: a class defined in Python is refused whatever its name, dict or
// bases say.
bool is_defined_by(PyTypeObject* type, PyObject* module, const char* module_path, const char* class_name_) {
    // (builtins name their types without the module)
    bool builtin = std::strcmp(module_path, "builtins") == 0;
    if (std::string(type->tp_name) != (builtin ? std::string() : std::string(module_path) + ".") + class_name_)
        return false;
    if (!PyType_HasFeature(type, Py_TPFLAGS_HEAPTYPE)) return true;
    PyObject* home = PyType_GetModule(type);  // borrowed
    if (!home) PyErr_Clear();
    return home == module;
}

}  // namespace

PyTypeObject* import_type(const char* module_path, const char* class_name_, std::size_t size, void** table) {
    Ref module = Ref::steal(PyImport_ImportModule(module_path));
    if (!module) return nullptr;
    Ref object = Ref::steal(PyObject_GetAttrString(module.get(), class_name_));
    if (!object) return nullptr;
    if (!PyType_Check(object.get())) {
        PyErr_Format(PyExc_TypeError, "%.200s.%.200s is not a type object", module_path, class_name_);
        return nullptr;
    }
    auto* type = reinterpret_cast<PyTypeObject*>(object.get());
    Py_ssize_t basic = type->tp_basicsize;
    Py_ssize_t item = type->tp_itemsize;
    if (item > 0 && item < 8) item = 8;
    Py_ssize_t actual = basic + item;
    Py_ssize_t expected = static_cast<Py_ssize_t>(size);
    if (actual < expected) {
        PyErr_Format(PyExc_ValueError,
                     "%.200s.%.200s size changed, may indicate binary incompatibility. "
                     "Expected %zd from C header, got %zd from PyObject",
                     module_path, class_name_, expected, actual);
        return nullptr;
    }
    if (basic > expected && PyErr_WarnFormat(PyExc_RuntimeWarning, 0,
                                             "%.200s.%.200s size changed, may indicate binary incompatibility. "
                                             "Expected %zd from C header, got %zd from PyObject",
                                             module_path, class_name_, expected, basic) < 0)
        return nullptr;
    if (table) {
        Ref dict = Ref::steal(PyType_GetDict(type));
        Ref key = Ref::steal(PyUnicode_FromString(vtable_key));
        Ref capsule = dict && key ? Ref::steal(PyObject_GetItem(dict.get(), key.get())) : Ref();
        if (!capsule) return nullptr;
        *table = PyCapsule_GetPointer(capsule.get(), nullptr);
        if (!*table) {
            if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "invalid vtable found for imported type");
            return nullptr;
        }
    }
    // Last, so that every check above keeps its own message for a stand-in.
    if (!is_defined_by(type, module.get(), module_path, class_name_)) {
        PyErr_Format(PyExc_TypeError, "%.200s.%.200s is not the type that module defines", module_path, class_name_);
        return nullptr;
    }
    // Imported types live as long as the process: the module that owns them stays in sys.modules.
    return reinterpret_cast<PyTypeObject*>(object.release());
}

PyTypeObject static_type(const char* name, std::size_t basic_size, unsigned long flags) {
    // The macro ends in a comma, so it initialises an array of one header.
    PyVarObject header[] = {PyVarObject_HEAD_INIT(nullptr, 0)};
    PyTypeObject type{};
    type.ob_base = header[0];
    type.tp_name = name;
    type.tp_basicsize = static_cast<Py_ssize_t>(basic_size);
    type.tp_flags = flags;
    return type;
}

PyTypeObject static_type(const char* name, std::size_t basic_size, unsigned long flags, const TypeSlots& slots) {
    PyTypeObject type = static_type(name, basic_size, flags);
    type.tp_new = slots.new_;
    type.tp_init = slots.init;
    type.tp_vectorcall = slots.vectorcall;
    type.tp_dealloc = slots.dealloc;
    type.tp_finalize = slots.finalize;
    type.tp_repr = slots.repr;
    type.tp_traverse = slots.traverse;
    type.tp_clear = slots.clear;
    type.tp_iter = slots.iter;
    type.tp_getset = slots.getset;
    type.tp_members = slots.members;
    type.tp_as_sequence = slots.as_sequence;
    type.tp_as_mapping = slots.as_mapping;
    type.tp_as_buffer = slots.as_buffer;
    return type;
}

}  // namespace tovara
