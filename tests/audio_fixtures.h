// Sound files made in the tests: an Ogg Vorbis tone and a tiny tracker module.
#pragma once
#include <cstdint>
#include <vector>

// A sine of `hz` (half scale unless told), `seconds` long, Ogg Vorbis at `rate` Hz.
std::vector<uint8_t> MakeOggTone(float hz, float seconds, int rate = 44100, int channels = 2,
                                 float amplitude = 0.5f);
// A four-channel ProTracker module: one pattern playing a square-wave note.
std::vector<uint8_t> MakeModule();
