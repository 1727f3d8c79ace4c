// tovara.brook.brook: the audio stream view of the package. An AudioStream
// only describes a raylib stream; it never releases the audio data, which
// belongs to whoever loaded it (a Sound, for instance).
#include "brook/brook.h"

#include <structmember.h>

#include "docstrings/brook.h"
#include "frame/convert.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/object.h"

namespace tovara::brook {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "brook", "src/tovara/brook/brook", populate, docstrings::brook};
extern PyTypeObject AudioStreamType;  // defined with its slots below

PyObject* cfrom_struct(::AudioStream value, const CfromStructOptions* options);
const AudioStreamTable table{cfrom_struct};

// A fault switch for tests: the next `failures_left` calls of cfrom_struct fail.
int failures_left = 0;

PyObject* cfrom_struct(::AudioStream value, const CfromStructOptions* options) {
    if (failures_left > 0) {
        --failures_left;
        PyErr_SetString(PyExc_MemoryError, "cfrom_struct failed on purpose (tests)");
        return nullptr;
    }
    AudioStreamObject* stream = allocate<AudioStreamObject>(&AudioStreamType, &table);
    if (!stream) return nullptr;
    stream->_raw = value;
    stream->_is_owner = options && options->count > 0 ? options->is_owner : 0;
    stream->_volume = 1.0f;
    stream->_pitch = 1.0f;
    stream->_pan = 0.5f;
    return reinterpret_cast<PyObject*>(stream);
}

// AudioStream(): an empty stream description.
PyObject* new_stream(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    static const char* names[] = {nullptr};
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, ":AudioStream", const_cast<char**>(names))) return nullptr;
    AudioStreamObject* stream = allocate<AudioStreamObject>(type, &table);
    if (!stream) return nullptr;
    stream->_volume = 1.0f;
    stream->_pitch = 1.0f;
    stream->_pan = 0.5f;
    return reinterpret_cast<PyObject*>(stream);
}

PyMemberDef members[] = {
    {"sample_rate", Py_T_UINT, offsetof(AudioStreamObject, _raw.sampleRate), Py_READONLY, nullptr},
    {"sample_size", Py_T_UINT, offsetof(AudioStreamObject, _raw.sampleSize), Py_READONLY, nullptr},
    {"channels", Py_T_UINT, offsetof(AudioStreamObject, _raw.channels), Py_READONLY, nullptr},
    {"is_owner", Py_T_INT, offsetof(AudioStreamObject, _is_owner), Py_READONLY, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

// _fail_cfrom_struct(count): makes the next `count` calls of cfrom_struct fail (tests only).
void fail_cfrom_struct(int count) { failures_left = count; }

const FunctionSpec fail_spec{
    .name = "_fail_cfrom_struct", .body = function<fail_cfrom_struct>, .parameters = {"count"}};

PyTypeObject AudioStreamType =
    static_type("tovara.brook.brook.AudioStream", sizeof(AudioStreamObject), Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
                {.new_ = new_stream, .members = members});

bool populate(Module& module) {
    if (!add_functions(module, {&fail_spec})) return false;
    return publish_type(module, &AudioStreamType, &table);
}

}  // namespace

}  // namespace tovara::brook

PyMODINIT_FUNC PyInit_brook() { return tovara::brook::module_frame.init(); }
