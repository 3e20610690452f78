// Writers for the rendered soundtrack: Ogg Vorbis (what the show embeds) and
// 16-bit WAV (for listening and inspection).
#pragma once

#include <string>

#include "tools/musicgen/render.h"

namespace music {

// Encodes 44.1 kHz stereo at the given VBR quality (-0.1 .. 1.0) into one
// logical stream with a fixed serial number, so the same samples always give
// the same file. Returns false and fills error on failure.
bool WriteOggVorbis(const char* path, const StereoBuffer& audio, float quality, int serial,
                    std::string* error);

// 16-bit PCM with triangular dither from a fixed seed.
bool WriteWav16(const char* path, const StereoBuffer& audio, std::string* error);

}  // namespace music
