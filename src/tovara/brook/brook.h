// Declarations of tovara.brook.brook for the modules that import it.
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/module.h"

namespace tovara::brook {

inline constexpr const char* module_path = "tovara.brook.brook";

struct AudioStreamTable;

struct AudioStreamObject {
    PyObject_HEAD
    const AudioStreamTable* table;
    ::AudioStream _raw;
    int _is_owner;
    float _volume;
    float _pitch;
    float _pan;
};

// Optional arguments of cfrom_struct: how many are given, then their values.
struct CfromStructOptions {
    int count;
    int is_owner;
};

struct AudioStreamTable {
    // A new AudioStream holding `value`, or null with an exception set. With
    // `options` null (or is_owner 0) the object never releases the audio data.
    PyObject* (*cfrom_struct)(::AudioStream value, const CfromStructOptions* options);
};

// Imports the brook module and binds AudioStream with its size check and table.
// Returns false with an exception set.
inline bool import_audio_stream_type(PyTypeObject*& type, const AudioStreamTable*& table) {
    return import_type<AudioStreamObject>(module_path, "AudioStream", type, table);
}

}  // namespace tovara::brook
