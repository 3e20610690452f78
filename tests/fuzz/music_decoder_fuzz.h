// The body of the two music fuzz targets: any bytes open or fail with a
// reason, and an open stream renders, rewinds and renders again without
// reading outside its data.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "assets/music_decoder.h"

inline int FuzzMusicDecoder(MusicDecoder* (*open)(const uint8_t*, int32_t, const char**), const uint8_t* data,
                            size_t size) {
    if (size > 0x7FFFFFFF) return 0;
    const char* error = nullptr;
    std::unique_ptr<MusicDecoder> decoder(open(data, static_cast<int32_t>(size), &error));
    if (!decoder) {
        if (!error) std::abort();
        return 0;
    }
    static float buffer[2 * 4096];
    for (int pass = 0; pass < 2; ++pass) {
        int got = decoder->Render(buffer, 4096);
        if (got < 0 || got > 4096) std::abort();
        decoder->Rewind();
    }
    return 0;
}
