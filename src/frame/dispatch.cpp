#include "frame/dispatch.h"

namespace tovara {

bool find_override(PyObject* self, int skip_dispatch, const FunctionSpec& spec, Ref& found) {
    found.reset();
    PyTypeObject* type = Py_TYPE(self);
    if (skip_dispatch) return true;
    if (!type->tp_dictoffset && !(type->tp_flags & (Py_TPFLAGS_IS_ABSTRACT | Py_TPFLAGS_HEAPTYPE))) return true;
    Ref attribute = Ref::steal(get_attribute(self, spec.attribute));
    if (!attribute) return false;
    PyObject* callable = PyMethod_Check(attribute.get()) ? PyMethod_GET_FUNCTION(attribute.get()) : attribute.get();
    if (spec_of(callable) != &spec) found = std::move(attribute);
    return true;
}

}  // namespace tovara
