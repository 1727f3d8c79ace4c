// Typed bodies: a function's behaviour written with C parameters
// (`int width, float density, ColorArg start`), which the frame converts from
// the bound arguments before it calls the body.
//
//     PyObject* from_channel(ImageObject* self, int selected_channel) { ... }
//     const FunctionSpec from_channel_spec{.name = "from_channel",
//                                          .body = method<from_channel>,
//                                          .parameters = {"selected_channel"}};
//
// The parameter kinds are the specialisations of Parameter below; a module
// may add its own. A body returns a new reference or null with an exception
// set; a void body returns None unless it left an exception set.
#pragma once

#include <Python.h>

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "frame/binding.h"
#include "frame/convert.h"
#include "frame/errors.h"
#include "frame/text.h"

namespace tovara {

// What the first argument of a function object is.
enum class Calling {
    method,    // self, an instance of the owning class
    any_self,  // self, of any type (the pickling hooks)
    plain,     // no self: module functions and static methods
};

// A function's behaviour as the function object calls it: `args` holds one
// borrowed reference per parameter, in parameter order, and `names` the
// parameters' names (for the messages of failed conversions).
struct Body {
    using Call = PyObject* (*)(PyObject* self, PyObject* const* args, const char* const* names);
    Call call;
    Calling calling;
    Py_ssize_t arity;  // parameters after self; the spec must name as many
    // For methods without parameters, the commonest kind (play(), unload()):
    // the function object's whole vectorcall, with the body inlined into it.
    vectorcallfunc direct = nullptr;
};

// The head of the package's function objects: what a direct call reads.
struct FunctionHead {
    PyObject_HEAD
    vectorcallfunc vectorcall;
    PyTypeObject* self_type;  // methods: the owning class, null when any self will do
};

// The general call of a function object, and the failure of its body: adds
// the function's traceback entry and returns null (defined in function.cpp).
PyObject* call_function(PyObject* callable, PyObject* const* args, size_t nargsf, PyObject* kwnames);
PyObject* function_failed(PyObject* callable);

// -- parameter kinds ------------------------------------------------------------

// An argument that must be exactly a str, or None: file names and texts.
struct StrOrNone {
    PyObject* object;
};

// An argument that must be exactly a str.
struct Str {
    PyObject* object;
};

// None or exactly a tuple (the state argument of unpickling functions).
struct TupleOrNone {
    PyObject* object;
};

inline PyTypeObject* type_pointer(PyTypeObject& type) { return &type; }
inline PyTypeObject* type_pointer(PyTypeObject* type) { return type; }

// An instance of `type` (the module's own PyTypeObject, or a pointer bound at
// import to a sibling's) or of a subclass, laid out as `Object`.
template <auto& type, typename Object>
struct Instance {
    Object* object;
    Object* operator->() const { return object; }
};

// Parameter<T>::convert(argument, name, out) fills `out` or returns false with
// the argument's TypeError (or the conversion's error) set. `number` marks the
// C numbers, which convert before the other kinds are checked (see below).
template <typename T>
struct Parameter;

template <typename Number, bool (*convert_number)(PyObject*, Number&)>
struct NumberParameter {
    static constexpr bool number = true;
    static bool convert(PyObject* argument, const char*, Number& out) { return convert_number(argument, out); }
};

template <>
struct Parameter<int> : NumberParameter<int, to_c_int> {};
template <>
struct Parameter<double> : NumberParameter<double, to_double> {};
template <>
struct Parameter<float> : NumberParameter<float, to_float> {};
template <>
struct Parameter<unsigned char> : NumberParameter<unsigned char, to_unsigned_char> {};
template <>
struct Parameter<std::int64_t> : NumberParameter<std::int64_t, to_int64> {};

// Any object, as it was given.
template <>
struct Parameter<PyObject*> {
    static constexpr bool number = false;
    static bool convert(PyObject* argument, const char*, PyObject*& out) {
        out = argument;
        return true;
    }
};

template <>
struct Parameter<StrOrNone> {
    static constexpr bool number = false;
    static bool convert(PyObject* argument, const char* name, StrOrNone& out) {
        out.object = argument;
        return check_str_or_none(argument, name);
    }
};

template <>
struct Parameter<Str> {
    static constexpr bool number = false;
    static bool convert(PyObject* argument, const char* name, Str& out) {
        out.object = argument;
        return check_exact_type(argument, &PyUnicode_Type, name);
    }
};

template <>
struct Parameter<TupleOrNone> {
    static constexpr bool number = false;
    static bool convert(PyObject* argument, const char* name, TupleOrNone& out) {
        out.object = argument;
        if (argument == Py_None || PyTuple_CheckExact(argument)) return true;
        raise_argument_type(name, "tuple", argument);
        return false;
    }
};

template <auto& type, typename Object>
struct Parameter<Instance<type, Object>> {
    static constexpr bool number = false;
    static bool convert(PyObject* argument, const char* name, Instance<type, Object>& out) {
        out.object = reinterpret_cast<Object*>(argument);
        return check_instance_type(argument, type_pointer(type), name);
    }
};

// -- the typed call -----------------------------------------------------------------

namespace typed {

template <typename Function>
struct Signature;

template <typename Result, typename... Params>
struct Signature<Result (*)(Params...)> {
    using result = Result;
    using parameters = std::tuple<Params...>;
};

template <typename Tuple>
struct Converter;

// The C numbers convert first, then the other kinds are checked, each group
// in parameter order: the order in which Cython-made modules check, and so the
// order whose first failure callers see (load_raw's four ints before its file
// name, update's frame count before its data). Do not fold the two passes
// into one.
template <typename... Params>
struct Converter<std::tuple<Params...>> {
    template <std::size_t... I>
    static bool convert(PyObject* const* args, const char* const* names, std::tuple<Params...>& values,
                        std::index_sequence<I...>) {
        return (... &&
                (!Parameter<Params>::number || Parameter<Params>::convert(args[I], names[I], std::get<I>(values)))) &&
               (... &&
                (Parameter<Params>::number || Parameter<Params>::convert(args[I], names[I], std::get<I>(values))));
    }
};

// The parameters after self, when there is one.
template <bool has_self, typename Tuple>
struct Arguments {
    using type = Tuple;
};
template <typename First, typename... Others>
struct Arguments<true, std::tuple<First, Others...>> {
    using type = std::tuple<Others...>;
};

template <typename Result>
PyObject* finish(Result result) {
    static_assert(std::is_same_v<Result, PyObject*>, "a body returns PyObject* or void");
    return result;
}

template <auto body, bool has_self, typename Values, std::size_t... I>
PyObject* invoke(PyObject* self, PyObject* const* args, const char* const* names, std::index_sequence<I...> indices) {
    using Result = typename Signature<decltype(body)>::result;
    Values values;
    if (!Converter<Values>::convert(args, names, values, indices)) return nullptr;
    auto run = [&] {
        if constexpr (has_self) {
            using Self = std::tuple_element_t<0, typename Signature<decltype(body)>::parameters>;
            return body(reinterpret_cast<Self>(self), std::get<I>(values)...);
        } else {
            return body(std::get<I>(values)...);
        }
    };
    if constexpr (std::is_void_v<Result>) {
        run();
        return none_unless_error();
    } else {
        return finish(run());
    }
}

template <auto body, Calling calling>
struct Typed {
    static constexpr bool has_self = calling != Calling::plain;
    using Values = typename Arguments<has_self, typename Signature<decltype(body)>::parameters>::type;
    static constexpr std::size_t arity = std::tuple_size_v<Values>;
    static_assert(arity <= max_parameters, "too many parameters");

    static PyObject* call(PyObject* self, PyObject* const* args, const char* const* names) {
        return invoke<body, has_self, Values>(self, args, names, std::make_index_sequence<arity>());
    }
    // Called with self alone, a method without parameters goes straight to
    // its body; any other call takes the general path, which words the errors.
    static PyObject* direct(PyObject* callable, PyObject* const* args, size_t nargsf, PyObject* kwnames) {
        PyTypeObject* self_type = reinterpret_cast<FunctionHead*>(callable)->self_type;
        if (PyVectorcall_NARGS(nargsf) != 1 || kwnames || !PyObject_TypeCheck(args[0], self_type)) [[unlikely]]
            return call_function(callable, args, nargsf, kwnames);
        PyObject* result = call(args[0], args + 1, nullptr);
        return result ? result : function_failed(callable);
    }

    static constexpr Body body_of() {
        return Body{call, calling, static_cast<Py_ssize_t>(arity),
                    calling == Calling::method && arity == 0 ? direct : nullptr};
    }
};

}  // namespace typed

// A method: the body's first parameter is self (a pointer to the owning
// class's object layout, or PyObject*), already checked to be an instance.
template <auto body>
inline constexpr Body method = typed::Typed<body, Calling::method>::body_of();

// A method bound to objects of any type (the pickling hooks): self is PyObject*.
template <auto body>
inline constexpr Body method_of_any = typed::Typed<body, Calling::any_self>::body_of();

// A module function or static method: no self.
template <auto body>
inline constexpr Body function = typed::Typed<body, Calling::plain>::body_of();

}  // namespace tovara
