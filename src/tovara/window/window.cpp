// tovara.window.window: opens and closes the raylib window and audio device,
// which the other modules expect someone else to have opened.
#include <Python.h>
#include <raylib.h>

#include "frame/binding.h"
#include "frame/convert.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/ref.h"

namespace tovara::window {

namespace {

bool populate(Module& module);
Module module_frame{"tovara.window.window", "window", "src/tovara/window/window", populate};

PyObject* bool_result(bool value) { return PyBool_FromLong(value); }

// open_window(width, height, title): raylib's InitWindow; True when the window is ready.
PyObject* open_window(PyObject*, PyObject* const* args) {
    int width, height;
    if (!to_c_int(args[0], width) || !to_c_int(args[1], height)) return nullptr;
    if (!check_exact_type(args[2], &PyUnicode_Type, "title")) return nullptr;
    const char* title = PyUnicode_AsUTF8(args[2]);
    if (!title) return nullptr;
    if (!IsWindowReady()) InitWindow(width, height, title);
    return bool_result(IsWindowReady());
}

PyObject* close_window(PyObject*, PyObject* const*) {
    if (IsWindowReady()) CloseWindow();
    Py_RETURN_NONE;
}

PyObject* window_ready(PyObject*, PyObject* const*) { return bool_result(IsWindowReady()); }

// open_audio(): raylib's InitAudioDevice; True when the device is ready.
PyObject* open_audio(PyObject*, PyObject* const*) {
    if (!IsAudioDeviceReady()) InitAudioDevice();
    return bool_result(IsAudioDeviceReady());
}

PyObject* close_audio(PyObject*, PyObject* const*) {
    if (IsAudioDeviceReady()) CloseAudioDevice();
    Py_RETURN_NONE;
}

PyObject* audio_ready(PyObject*, PyObject* const*) { return bool_result(IsAudioDeviceReady()); }

// set_log_level(level): raylib's SetTraceLogLevel (0 all ... 7 none).
PyObject* set_log_level(PyObject*, PyObject* const* args) {
    int level;
    if (!to_c_int(args[0], level)) return nullptr;
    SetTraceLogLevel(level);
    Py_RETURN_NONE;
}

const FunctionSpec functions[] = {
    {.name = "open_window", .body = open_window, .parameters = {"width", "height", "title"}, .calling = Calling::plain},
    {.name = "close_window", .body = close_window, .calling = Calling::plain},
    {.name = "window_ready", .body = window_ready, .calling = Calling::plain},
    {.name = "open_audio", .body = open_audio, .calling = Calling::plain},
    {.name = "close_audio", .body = close_audio, .calling = Calling::plain},
    {.name = "audio_ready", .body = audio_ready, .calling = Calling::plain},
    {.name = "set_log_level", .body = set_log_level, .parameters = {"level"}, .calling = Calling::plain},
};

bool populate(Module& module) { return add_functions(module, functions); }

}  // namespace

}  // namespace tovara::window

PyMODINIT_FUNC PyInit_window() { return tovara::window::module_frame.init(); }
