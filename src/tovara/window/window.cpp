// tovara.window.window: opens and closes the raylib window and audio device,
// which the other modules expect someone else to have opened.
#include <Python.h>
#include <raylib.h>

#include "docstrings/window.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/ref.h"

namespace tovara::window {

namespace {

bool populate(Module& module);
Module module_frame{"tovara.window.window", "window", "src/tovara/window/window", populate, docstrings::window};

PyObject* bool_result(bool value) { return PyBool_FromLong(value); }

// open_window(width, height, title): raylib's InitWindow; True when the window is ready.
PyObject* open_window(int width, int height, Str title) {
    const char* text = PyUnicode_AsUTF8(title.object);
    if (!text) return nullptr;
    if (!IsWindowReady()) InitWindow(width, height, text);
    return bool_result(IsWindowReady());
}

void close_window() {
    if (IsWindowReady()) CloseWindow();
}

PyObject* window_ready() { return bool_result(IsWindowReady()); }

// open_audio(): raylib's InitAudioDevice; True when the device is ready.
PyObject* open_audio() {
    if (!IsAudioDeviceReady()) InitAudioDevice();
    return bool_result(IsAudioDeviceReady());
}

void close_audio() {
    if (IsAudioDeviceReady()) CloseAudioDevice();
}

PyObject* audio_ready() { return bool_result(IsAudioDeviceReady()); }

// set_log_level(level): raylib's SetTraceLogLevel (0 all ... 7 none).
void set_log_level(int level) { SetTraceLogLevel(level); }

const FunctionSpec functions[] = {
    {.name = "open_window", .body = function<open_window>, .parameters = {"width", "height", "title"}},
    {.name = "close_window", .body = function<close_window>},
    {.name = "window_ready", .body = function<window_ready>},
    {.name = "open_audio", .body = function<open_audio>},
    {.name = "close_audio", .body = function<close_audio>},
    {.name = "audio_ready", .body = function<audio_ready>},
    {.name = "set_log_level", .body = function<set_log_level>, .parameters = {"level"}},
};

bool populate(Module& module) { return add_functions(module, functions); }

}  // namespace

}  // namespace tovara::window

PyMODINIT_FUNC PyInit_window() { return tovara::window::module_frame.init(); }
