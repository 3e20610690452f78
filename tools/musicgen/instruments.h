// The instruments of the soundtrack. Each note becomes a voice that renders
// itself from its own onset; all state is in the voice, so a note sounds the
// same whatever was rendered before it.
#pragma once

#include <cstdint>
#include <memory>

#include "tools/musicgen/song.h"

namespace music {

enum Bus : uint8_t { kBusDrums, kBusBass, kBusMusic, kBusFx, kBusCount };

// Where an instrument goes in the mix.
struct InstrumentMix {
    Bus bus;
    float gain;  // linear, applied with the note's velocity
    float reverbSend;
    float delaySend;
};
const InstrumentMix& MixOf(Instrument instrument);
const char* InstrumentName(Instrument instrument);

struct Voice {
    virtual ~Voice() = default;
    // Adds the next `frames` samples to left and right. Returns false once the
    // voice has fallen silent for good.
    virtual bool Render(float* left, float* right, int frames) = 0;
};

// seed makes every noise source of the voice repeatable.
std::unique_ptr<Voice> CreateVoice(const Note& note, uint32_t seed);

}  // namespace music
