// The Ogg Vorbis decoder raylib compiles in (the system's stb_vorbis is the
// same file), opened by the package before raylib sees a file.
#include <malloc.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <new>

#include "hazards/hazards.h"

// Its C names made the package's own, so that they cannot meet raylib's copy in a static link.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-variable"
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#ifndef __clang__  // (a GCC warning; the fuzz build uses clang)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#define stb_vorbis_close tovara_stb_vorbis_close
#define stb_vorbis_decode_filename tovara_stb_vorbis_decode_filename
#define stb_vorbis_decode_frame_pushdata tovara_stb_vorbis_decode_frame_pushdata
#define stb_vorbis_decode_memory tovara_stb_vorbis_decode_memory
#define stb_vorbis_flush_pushdata tovara_stb_vorbis_flush_pushdata
#define stb_vorbis_get_comment tovara_stb_vorbis_get_comment
#define stb_vorbis_get_error tovara_stb_vorbis_get_error
#define stb_vorbis_get_file_offset tovara_stb_vorbis_get_file_offset
#define stb_vorbis_get_frame_float tovara_stb_vorbis_get_frame_float
#define stb_vorbis_get_frame_short tovara_stb_vorbis_get_frame_short
#define stb_vorbis_get_frame_short_interleaved tovara_stb_vorbis_get_frame_short_interleaved
#define stb_vorbis_get_info tovara_stb_vorbis_get_info
#define stb_vorbis_get_sample_offset tovara_stb_vorbis_get_sample_offset
#define stb_vorbis_get_samples_float tovara_stb_vorbis_get_samples_float
#define stb_vorbis_get_samples_float_interleaved tovara_stb_vorbis_get_samples_float_interleaved
#define stb_vorbis_get_samples_short tovara_stb_vorbis_get_samples_short
#define stb_vorbis_get_samples_short_interleaved tovara_stb_vorbis_get_samples_short_interleaved
#define stb_vorbis_open_file tovara_stb_vorbis_open_file
#define stb_vorbis_open_file_section tovara_stb_vorbis_open_file_section
#define stb_vorbis_open_filename tovara_stb_vorbis_open_filename
#define stb_vorbis_open_memory tovara_stb_vorbis_open_memory
#define stb_vorbis_open_pushdata tovara_stb_vorbis_open_pushdata
#define stb_vorbis_seek tovara_stb_vorbis_seek
#define stb_vorbis_seek_frame tovara_stb_vorbis_seek_frame
#define stb_vorbis_seek_start tovara_stb_vorbis_seek_start
#define stb_vorbis_stream_length_in_samples tovara_stb_vorbis_stream_length_in_samples
#define stb_vorbis_stream_length_in_seconds tovara_stb_vorbis_stream_length_in_seconds
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb/stb_vorbis.h>
#pragma GCC diagnostic pop

namespace tovara::hazards {

bool ogg_length(const unsigned char* data, int size, std::int64_t& frames, int& channels) {
    // Setups of real files take a few hundred KiB; an arena too small is
    // retried larger, up to 64 MiB.
    for (int arena = 1 << 20; arena <= 64 << 20; arena *= 4) {
        std::unique_ptr<char[]> memory(new (std::nothrow) char[arena]);
        if (!memory) return false;
        stb_vorbis_alloc alloc{memory.get(), arena};
        int error = 0;
        stb_vorbis* decoder = stb_vorbis_open_memory(data, size, &error, &alloc);
        if (decoder) {
            frames = stb_vorbis_stream_length_in_samples(decoder);
            channels = stb_vorbis_get_info(decoder).channels;
            stb_vorbis_close(decoder);
            return true;
        }
        if (error != VORBIS_outofmem) return false;
    }
    return false;
}

}  // namespace tovara::hazards
