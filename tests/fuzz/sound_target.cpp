// libFuzzer targets for the sound loader: the bytes of a file of type
// FILE_TYPE go through the package's loader, then through what the module does
// with a sound: an alias, an update of the first frames, both played for a few
// mixer periods on miniaudio's null device, stopped and unloaded.
#include <raylib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "hazards/hazards.h"

namespace hazards = tovara::hazards;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetTraceLogLevel(LOG_NONE);
    InitAudioDevice();
    return IsAudioDeviceReady() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1 << 24) return -1;
    Sound sound = hazards::load_sound_from_memory(FILE_TYPE, data, static_cast<int>(size));
    if (!IsSoundValid(sound)) {
        UnloadSound(sound);
        return 0;
    }
    Sound alias = LoadSoundAlias(sound);
    // update(): frames of the stream's own format, as many as the sound holds.
    unsigned frames = std::min(sound.frameCount, 64u);
    std::vector<unsigned char> silence(std::size_t{frames} * sound.stream.channels * (sound.stream.sampleSize / 8));
    UpdateSound(sound, silence.data(), static_cast<int>(frames));
    if (hazards::playable(sound)) {
        PlaySound(sound);
        PlaySound(alias);
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    StopSound(alias);
    StopSound(sound);
    UnloadSoundAlias(alias);
    UnloadSound(sound);
    return 0;
}
