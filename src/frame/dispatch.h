// Overridable C-level entries. Called with skip_dispatch 0 on an instance of a
// Python subclass, such an entry lets the subclass's method of the same name
// run instead of its own body.
#pragma once

#include <Python.h>

#include <source_location>
#include <type_traits>

#include "frame/function.h"
#include "frame/module.h"
#include "frame/ref.h"

namespace tovara {

// Finds the override of the method `spec` on `self`: `found` is left null when
// the entry should run its own body (the caller skips dispatch, the type is not
// a Python subclass, or the attribute is still the package's own method).
// Returns false with an exception set when the attribute lookup fails.
bool find_override(PyObject* self, int skip_dispatch, const FunctionSpec& spec, Ref& found);

// Runs an overridable entry of `type`: `call(override)` when `self`
// has an override of `spec` (it calls it with the entry's arguments and makes
// the entry's result of it), otherwise the entry's own `body()`. Whatever fails
// (the lookup, the override, the body) leaves its exception set and adds the
// traceback entry of `type`'s member `spec.name`; a failed lookup
// gives the result type's zero (0, null).
template <typename Body, typename Call>
auto run_overridable(const Module& module, PyTypeObject* type, PyObject* self, int skip_dispatch,
                     const FunctionSpec& spec, Body body, Call call,
                     std::source_location where = std::source_location::current()) {
    using Result = decltype(body());
    auto run = [&]() -> Result {
        Ref override;
        if (!find_override(self, skip_dispatch, spec, override)) return Result();
        return override ? call(override.get()) : body();
    };
    auto trace = [&] {
        if (PyErr_Occurred()) module.traceback(type, spec.name, where);
    };
    if constexpr (std::is_void_v<Result>) {
        run();
        trace();
    } else {
        Result result = run();
        trace();
        return result;
    }
}

}  // namespace tovara
