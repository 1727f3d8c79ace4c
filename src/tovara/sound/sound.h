// Declarations of tovara.sound.sound for the modules that use its Sound type.
//
// Failure conventions: new_ returns a new reference, or null with an exception
// set; c_unload cannot fail.
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/module.h"

namespace tovara::sound {

inline constexpr const char* module_path = "tovara.sound.sound";

struct SoundTable;

// The instance layout: other modules rely on this order.
struct SoundObject {
    PyObject_HEAD
    const SoundTable* table;
    ::Sound _raw;       // _raw.stream.buffer null: nothing loaded
    int _is_alias;      // made by LoadSoundAlias
    float _volume;      // the settings last given through this object
    float _pitch;
    float _pan;
    PyObject* _stream;  // the AudioStream view made by new_, or None
};

// Optional arguments of new_: how many are given (0 or 1), then is_alias.
struct NewOptions {
    int count;
    int is_alias;
};

struct SoundTable {
    // A new exact Sound that owns `raw` (an alias when options say so). When
    // the stream view cannot be made, `raw` is released and null returned.
    PyObject* (*new_)(::Sound raw, const NewOptions* options);
    // Releases what the Sound holds, once; a no-op when nothing is loaded.
    void (*c_unload)(SoundObject* self);
};

inline bool import_sound_type(PyTypeObject*& type, const SoundTable*& table) {
    return import_type<SoundObject>(module_path, "Sound", type, table);
}

}  // namespace tovara::sound
