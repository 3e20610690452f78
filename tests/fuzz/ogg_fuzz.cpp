// Ogg Vorbis streams (assets/music_decoder.h, libvorbisfile reading through
// the memory-file callbacks): any bytes open or fail with a reason, and an
// open stream renders, rewinds and renders again without reading outside
// its data.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "assets/music_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7FFFFFFF) return 0;
    const char* error = nullptr;
    std::unique_ptr<MusicDecoder> decoder(OpenOggDecoder(data, static_cast<int32_t>(size), &error));
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
