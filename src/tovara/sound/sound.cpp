// tovara.sound.sound: the Sound type, which loads sounds and sound aliases,
// replaces their sample data, plays them and keeps their settings.
#include "sound/sound.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "brook/brook.h"
#include "docstrings/sound.h"
#include "frame/binding.h"
#include "frame/buffer.h"
#include "frame/convert.h"
#include "frame/errors.h"
#include "frame/function.h"
#include "frame/module.h"
#include "frame/object.h"
#include "frame/pickling.h"
#include "frame/ref.h"
#include "frame/text.h"
#include "hazards/hazards.h"

namespace tovara::sound {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "sound", "src/tovara/sound/sound", populate, docstrings::sound};

extern PyTypeObject SoundType;  // defined with its slots below

// The type is bound for its size check; only its table (cfrom_struct) is used.
PyTypeObject* AudioStreamType;
const brook::AudioStreamTable* audio_stream_table;

SoundObject* as_sound(PyObject* object) { return reinterpret_cast<SoundObject*>(object); }

// -- sample data shared by a sound and its aliases ------------------------------

// raylib's aliases play their source's sample data, which UnloadSound of the
// source frees. So the data is shared: when the source (the one member made by
// LoadSound) is in the family, whichever member lets go last frees it
// (UnloadSound) and the others free only their own playback buffer
// (UnloadSoundAlias). An alias made at C level comes with no source: a family
// grown from it does not own the data, which its real owner frees, and every
// member frees only its buffer. A family is known by its members' buffers; a
// sound never aliased through load_alias has none.
class Families {
public:
    // `newcomer` is an alias of `member`, whose flag tells whether it is itself an alias.
    void join(rAudioBuffer* member, bool member_is_alias, rAudioBuffer* newcomer) {
        std::lock_guard lock(mutex_);
        auto found = families_.find(member);
        if (found == families_.end())
            found = families_.emplace(member, std::make_shared<Family>(Family{1, !member_is_alias})).first;
        std::shared_ptr<Family> family = found->second;
        ++family->holders;
        families_[newcomer] = std::move(family);
    }

    // Releases `sound`, a member of a family or not.
    void release(const ::Sound& sound, bool is_alias) {
        bool frees_data = !is_alias;
        {
            std::lock_guard lock(mutex_);
            auto found = families_.find(sound.stream.buffer);
            if (found != families_.end()) {
                std::shared_ptr<Family> family = std::move(found->second);
                families_.erase(found);
                frees_data = --family->holders == 0 && family->owns_data;
            }
        }
        if (frees_data)
            UnloadSound(sound);
        else
            UnloadSoundAlias(sound);
    }

private:
    struct Family {
        int holders;     // members not yet released
        bool owns_data;  // the source is a member: the last one frees the data
    };
    std::mutex mutex_;
    std::unordered_map<rAudioBuffer*, std::shared_ptr<Family>> families_;
};

Families families;

// -- the C-level entries ----------------------------------------------------------

void c_unload(SoundObject* self) {
    // Taken under the object's lock, so that two threads unloading at once
    // cannot both release the sound.
    ::Sound loaded;
    Py_BEGIN_CRITICAL_SECTION(self);
    loaded = self->_raw;
    self->_raw.stream.buffer = nullptr;
    Py_END_CRITICAL_SECTION();
    if (loaded.stream.buffer) families.release(loaded, self->_is_alias);
}

PyObject* new_sound(::Sound raw, const NewOptions* options);
const SoundTable table{new_sound, c_unload};

// An empty Sound, as calling the class gives.
SoundObject* allocate_sound(PyTypeObject* type) {
    SoundObject* sound = allocate<SoundObject>(type, &table);
    if (sound) sound->_stream = Py_NewRef(Py_None);
    return sound;
}

// new_'s work; `taken` tells whether a Sound took over `raw` (and released it on failure).
PyObject* make_sound(const ::Sound& raw, int is_alias, bool& taken) {
    SoundObject* sound = allocate_sound(&SoundType);
    taken = sound != nullptr;
    if (!sound) {
        module_frame.traceback(&SoundType, "new");
        return nullptr;
    }
    Ref owner = Ref::steal(reinterpret_cast<PyObject*>(sound));
    sound->_raw = raw;
    sound->_is_alias = is_alias;
    sound->_volume = 1.0f;
    sound->_pitch = 1.0f;
    sound->_pan = 0.0f;  // raylib's center, where it puts every new sound
    PyObject* stream = audio_stream_table->cfrom_struct(raw.stream, nullptr);
    if (!stream) {
        module_frame.traceback(&SoundType, "new");
        return nullptr;  // dropping the new Sound releases `raw`
    }
    Py_SETREF(sound->_stream, stream);
    return owner.release();
}

PyObject* new_sound(::Sound raw, const NewOptions* options) {
    bool taken;
    return make_sound(raw, options && options->count > 0 ? options->is_alias : 0, taken);
}

// new_ for a record raylib just made, released here too when no Sound took it.
PyObject* adopt(const ::Sound& raw, bool is_alias) {
    bool taken;
    PyObject* sound = make_sound(raw, is_alias, taken);
    if (!taken && raw.stream.buffer) {
        Ref error = Ref::steal(PyErr_GetRaisedException());
        families.release(raw, is_alias);
        PyErr_SetRaisedException(error.release());
    }
    return sound;
}

// -- methods ------------------------------------------------------------------------

const FunctionSpec unload_spec{.name = "unload", .body = method<c_unload>};

PyObject* load(StrOrNone file_name) {
    Ref name = encode_utf8(file_name.object);
    if (!name) return nullptr;
    return adopt(hazards::load_sound(PyBytes_AS_STRING(name.get())), false);
}

const FunctionSpec load_spec{.name = "load", .body = function<load>, .parameters = {"file_name"}, .returns = "Sound"};

// load_from_memory(file_type, data): the bytes of a file of that type, through
// the same bounds and decoders as the file.
PyObject* load_from_memory(Str file_type, PyObject* data) {
    Ref type = encode_utf8(file_type.object);
    if (!type) return nullptr;
    BufferBytes buffer;
    const unsigned char* bytes;
    int size;
    if (!buffer.acquire(data, "data") || !buffer.as_file(bytes, size)) return nullptr;
    return adopt(hazards::load_sound_from_memory(PyBytes_AS_STRING(type.get()), bytes, size), false);
}

const FunctionSpec load_from_memory_spec{.name = "load_from_memory",
                                         .body = function<load_from_memory>,
                                         .parameters = {"file_type", "data"},
                                         .returns = "Sound"};

// None is no Sound: there is no sound in it to alias.
using SoundArg = Instance<SoundType, SoundObject>;

PyObject* load_alias(SoundArg source) {
    // Made in the source's critical section, which unload() lets go of the
    // sound in: a racing unload cannot free the data under the new alias.
    SoundObject* from = source.object;
    ::Sound alias{};
    bool loaded;
    Py_BEGIN_CRITICAL_SECTION(from);
    loaded = hazards::check_alias_source(from->_raw);
    if (loaded) {
        alias = LoadSoundAlias(from->_raw);
        if (alias.stream.buffer) families.join(from->_raw.stream.buffer, from->_is_alias, alias.stream.buffer);
    }
    Py_END_CRITICAL_SECTION();
    if (!loaded) return nullptr;
    return adopt(alias, true);
}

const FunctionSpec load_alias_spec{
    .name = "load_alias", .body = function<load_alias>, .parameters = {"source"}, .returns = "Sound"};

// The item type of one sample of `sound`, as raylib reads it: 8-bit samples
// as unsigned bytes, 16-bit ones as signed shorts and any other size as
// 32-bit floats (the only samples it makes for loaded sounds).
struct SampleType {
    char format;  // in the buffer protocol's notation
    const char* name;
};

SampleType sample_type(const ::Sound& sound) {
    switch (sound.stream.sampleSize) {
        case 8: return {'B', "8-bit unsigned integer"};
        case 16: return {'h', "16-bit integer"};
        default: return {'f', "32-bit float"};
    }
}

// True when a buffer of item format `format` (null: plain bytes) can be read
// as samples of `sound`: bytes, or items of its sample type in native byte
// order. Otherwise false with TypeError naming both.
bool check_sample_format(const ::Sound& sound, const char* format) {
    if (!format) return true;
    SampleType expected = sample_type(sound);
    bool native_order = format[0] != '\0' && std::strchr("@=<", format[0]);  // this platform is little-endian
    const char* item = native_order ? format + 1 : format;
    if ((item[0] == 'B' || item[0] == expected.format) && item[1] == '\0') return true;
    PyErr_Format(PyExc_TypeError, "data has item format '%.50s', not the sound's sample format '%c' (%s) or bytes",
                 format, expected.format, expected.name);
    return false;
}

// update(data, frame_count): replaces the first frame_count frames of sample
// data. raylib copies without bounds: the count must fit both the sound and
// the buffer handed in, whose items must be the sound's samples or bytes.
void update(SoundObject* self, PyObject* data, int frame_count) {
    Py_buffer buffer;
    if (PyObject_GetBuffer(data, &buffer, PyBUF_ND | PyBUF_FORMAT) < 0) return;  // contiguous, with its item format
    Py_BEGIN_CRITICAL_SECTION(self);
    if (check_sample_format(self->_raw, buffer.format) && hazards::check_update(self->_raw, frame_count, buffer.len))
        UpdateSound(self->_raw, buffer.buf, frame_count);
    Py_END_CRITICAL_SECTION();
    PyBuffer_Release(&buffer);
}

const FunctionSpec update_spec{.name = "update", .body = method<update>, .parameters = {"data", "frame_count"}};

// Runs `use` on the sound's value in its critical section, the one unload()
// lets go of the sound in.
template <typename Use>
void with_sound(SoundObject* self, Use use) {
    Py_BEGIN_CRITICAL_SECTION(self);
    use(self->_raw);
    Py_END_CRITICAL_SECTION();
}

// play() and resume() of a sound without frames do nothing: raylib's mixer
// would divide by its size.
template <void (*action)(::Sound), bool starts>
PyObject* playback(SoundObject* self) {
    with_sound(self, [](const ::Sound& raw) {
        if (!starts || hazards::playable(raw)) action(raw);
    });
    return Py_NewRef(Py_None);  // no error is possible: no check on this hot path
}

const FunctionSpec play_spec{.name = "play", .body = method<playback<PlaySound, true>>};
const FunctionSpec stop_spec{.name = "stop", .body = method<playback<StopSound, false>>};
const FunctionSpec pause_spec{.name = "pause", .body = method<playback<PauseSound, false>>};
const FunctionSpec resume_spec{.name = "resume", .body = method<playback<ResumeSound, true>>};

// -- properties ---------------------------------------------------------------------

// Both read raylib's state of the sound where unload() lets go of it: with the
// GIL off, another thread's unload could free the buffer under raylib's read.
PyObject* get_valid(PyObject* self, void*) {
    bool valid;
    with_sound(as_sound(self), [&](const ::Sound& raw) { valid = raw.stream.buffer && IsSoundValid(raw); });
    return PyBool_FromLong(valid);
}

PyObject* get_playing(PyObject* self, void*) {
    bool playing;
    with_sound(as_sound(self), [&](const ::Sound& raw) { playing = raw.stream.buffer && IsSoundPlaying(raw); });
    return PyBool_FromLong(playing);
}

PyObject* get_is_alias(PyObject* self, void*) { return PyBool_FromLong(as_sound(self)->_is_alias); }
PyObject* get_frame_count(PyObject* self, void*) { return PyLong_FromUnsignedLong(as_sound(self)->_raw.frameCount); }
PyObject* get_stream(PyObject* self, void*) { return Py_NewRef(as_sound(self)->_stream); }

// volume, pitch and pan: kept as 32-bit floats and handed to raylib on every set.
struct Setting {
    float SoundObject::*field;
    void (*apply)(::Sound, float);
    const char* name;  // the attribute, as its setter's traceback entry names it
};

const Setting volume{&SoundObject::_volume, SetSoundVolume, "volume"};
const Setting pitch{&SoundObject::_pitch, SetSoundPitch, "pitch"};
const Setting pan{&SoundObject::_pan, SetSoundPan, "pan"};

PyObject* get_setting(PyObject* self, void* closure) {
    return PyFloat_FromDouble(as_sound(self)->*(static_cast<const Setting*>(closure)->field));
}

int set_setting(PyObject* self, PyObject* value, void* closure) {
    const Setting& setting = *static_cast<const Setting*>(closure);
    float narrow = 0;
    if (!value)
        PyErr_SetString(PyExc_NotImplementedError, "__del__");
    else if (to_float(value, narrow)) {
        as_sound(self)->*setting.field = narrow;
        with_sound(as_sound(self), [&](const ::Sound& raw) { setting.apply(raw, narrow); });
        return 0;
    }
    module_frame.traceback(&SoundType, {setting.name, "__set__"});
    return -1;
}

void* closure(const Setting& setting) { return const_cast<Setting*>(&setting); }

PyGetSetDef properties[] = {
    {"valid", get_valid, nullptr, nullptr, nullptr},
    {"is_alias", get_is_alias, nullptr, nullptr, nullptr},
    {"frame_count", get_frame_count, nullptr, nullptr, nullptr},
    {"stream", get_stream, nullptr, nullptr, nullptr},
    {"playing", get_playing, nullptr, nullptr, nullptr},
    {"volume", get_setting, set_setting, nullptr, closure(volume)},
    {"pitch", get_setting, set_setting, nullptr, closure(pitch)},
    {"pan", get_setting, set_setting, nullptr, closure(pan)},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// -- creation, garbage collection, destruction -----------------------------------------

// Sound(...): an empty sound; the arguments are not looked at.
PyObject* new_empty(PyTypeObject* type, PyObject*, PyObject*) {
    return reinterpret_cast<PyObject*>(allocate_sound(type));
}

int traverse(PyObject* self, visitproc visit, void* arg) {
    Py_VISIT(as_sound(self)->_stream);
    return 0;
}

int clear(PyObject* self) {
    Py_XSETREF(as_sound(self)->_stream, Py_NewRef(Py_None));
    return 0;
}

void release(PyObject* self) {
    Ref saved = Ref::steal(PyErr_GetRaisedException());
    c_unload(as_sound(self));  // the audio data goes first, then its stream view
    if (PyErr_Occurred()) report_unraisable(module_frame.member_name(&SoundType, "__dealloc__").c_str(), false);
    PyErr_SetRaisedException(saved.release());
    Py_CLEAR(as_sound(self)->_stream);
}

PyTypeObject SoundType = static_type("tovara.sound.sound.Sound", sizeof(SoundObject),
                                     Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC,
                                     {.new_ = new_empty,
                                      .dealloc = collected_dealloc<release>,
                                      .traverse = traverse,
                                      .clear = clear,
                                      .getset = properties});

bool populate(Module& module) {
    return publish_type(module, &SoundType, &table) && add_pickling_refusal(module, &SoundType) &&
           brook::import_audio_stream_type(AudioStreamType, audio_stream_table) &&
           add_methods(module, &SoundType,
                       {&unload_spec, &load_spec, &load_alias_spec, &update_spec, &play_spec, &stop_spec, &pause_spec,
                        &resume_spec, &load_from_memory_spec}) &&
           bind_pickling_refusal(module, &SoundType);
}

}  // namespace

}  // namespace tovara::sound

PyMODINIT_FUNC PyInit_sound() { return tovara::sound::module_frame.init(); }
