// The libFuzzer target of the Python surface: CPython embedded, the package
// built with the same address, undefined-behaviour and coverage
// instrumentation as this target and raylib, and each input handed to
// api_ops.run, which reads it as operations on live objects and checks the
// package's invariants after each. A Python exception out of run is a finding.
//
// With TOVARA_FUZZ_DIGESTS set to a file, each input's digest of outputs is
// appended to it as "<input sha256> <digest>": the fuzz stage replays the
// corpus under two heap fill bytes and compares, so that no output carries
// memory the package does not own.
#include <Python.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

PyObject* run_input = nullptr;  // api_ops.run, for the life of the process

void fail(const char* what) {
    std::fprintf(stderr, "api target: %s\n", what);
    PyObject* error = PyErr_GetRaisedException();
    PySys_SetObject("stderr", PySys_GetObject("__stderr__"));  // the driver quiets the usual one
    if (error) {
        PyErr_SetRaisedException(error);
        PyErr_Print();
    }
    std::abort();
}

// consume(exporter, flags) -> bytes: what a C consumer that requests `flags`
// reads, by the layout the exporter reports. An exporter that answers another
// request than was made raises AssertionError (a finding); a refusal passes
// its BufferError on.
PyObject* consume(PyObject*, PyObject* args) {
    PyObject* exporter;
    int flags;
    if (!PyArg_ParseTuple(args, "Oi", &exporter, &flags)) return nullptr;
    Py_buffer view;
    if (PyObject_GetBuffer(exporter, &view, flags) < 0) return nullptr;
    const char* broken = nullptr;
    if (!(flags & PyBUF_FORMAT) && view.format) broken = "a format given unasked";
    if ((flags & PyBUF_ND) != PyBUF_ND && view.shape) broken = "a shape given unasked";
    if ((flags & PyBUF_STRIDES) != PyBUF_STRIDES && view.strides) broken = "strides given unasked";
    if ((flags & PyBUF_WRITABLE) && view.readonly) broken = "a read-only buffer for a writer";
    if (view.ndim > 1 || view.itemsize != 1) broken = "not a one-dimensional buffer of bytes";
    PyObject* read = nullptr;
    if (broken) {
        PyErr_SetString(PyExc_AssertionError, broken);
    } else {
        Py_ssize_t count = view.shape ? view.shape[0] : view.len;
        Py_ssize_t stride = view.strides ? view.strides[0] : 1;
        read = PyBytes_FromStringAndSize(nullptr, count);
        if (read) {
            char* into = PyBytes_AS_STRING(read);
            const char* from = static_cast<const char*>(view.buf);
            for (Py_ssize_t i = 0; i < count; ++i) into[i] = from[i * stride];
        }
    }
    PyBuffer_Release(&view);
    return read;
}

PyMethodDef consumer_methods[] = {{"consume", consume, METH_VARARGS, nullptr}, {nullptr, nullptr, 0, nullptr}};
PyModuleDef consumer_module = {PyModuleDef_HEAD_INIT, "_fuzz_consumer", nullptr, -1, consumer_methods,
                               nullptr, nullptr, nullptr, nullptr};

PyObject* init_consumer() { return PyModule_Create(&consumer_module); }

void write_digest(const std::uint8_t* data, std::size_t size, PyObject* digest) {
    const char* path = std::getenv("TOVARA_FUZZ_DIGESTS");
    if (!path) return;
    PyObject* hashlib = PyImport_ImportModule("hashlib");
    PyObject* hashed = hashlib ? PyObject_CallMethod(hashlib, "sha256", "y#", data, static_cast<Py_ssize_t>(size))
                               : nullptr;
    PyObject* input = hashed ? PyObject_CallMethod(hashed, "hexdigest", nullptr) : nullptr;
    PyObject* output = PyObject_CallMethod(digest, "hex", nullptr);
    if (!input || !output) fail("cannot write the digest");
    FILE* file = std::fopen(path, "a");
    if (!file) fail("cannot open the digest file");
    std::fprintf(file, "%s %s\n", PyUnicode_AsUTF8(input), PyUnicode_AsUTF8(output));
    std::fclose(file);
    Py_DECREF(input);
    Py_DECREF(output);
    Py_DECREF(hashed);
    Py_DECREF(hashlib);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Python's objects on the C heap, where AddressSanitizer sees every one.
    PyPreConfig preconfig;
    PyPreConfig_InitPythonConfig(&preconfig);
    preconfig.allocator = PYMEM_ALLOCATOR_MALLOC;
    if (PyStatus_Exception(Py_PreInitialize(&preconfig))) fail("cannot pre-initialise Python");
    if (PyImport_AppendInittab("_fuzz_consumer", init_consumer) < 0) fail("cannot add the consumer");
    // PYTHONPATH (set by the fuzz stage) names the instrumented package and this folder.
    Py_Initialize();
    PyObject* ops = PyImport_ImportModule("api_ops");
    if (!ops) fail("cannot import api_ops");
    run_input = PyObject_GetAttrString(ops, "run");
    Py_DECREF(ops);
    if (!run_input) fail("api_ops has no run");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PyObject* digest = PyObject_CallFunction(run_input, "y#", data, static_cast<Py_ssize_t>(size));
    if (!digest) fail("a finding");
    write_digest(data, size, digest);
    Py_DECREF(digest);
    return 0;
}
