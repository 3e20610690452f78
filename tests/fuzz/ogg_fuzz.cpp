// Ogg Vorbis streams (assets/music_decoder.h, libvorbisfile reading through
// the memory-file callbacks).
#include "tests/fuzz/music_decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzMusicDecoder(OpenOggDecoder, data, size);
}
