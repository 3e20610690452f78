// Tracker modules (assets/music_decoder.h, libopenmpt reading through the
// memory-file callbacks).
#include "tests/fuzz/music_decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzMusicDecoder(OpenModuleDecoder, data, size);
}
