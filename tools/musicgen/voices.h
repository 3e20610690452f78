// Factories of the individual instrument voices (drums.cpp, synths.cpp,
// effects_voices.cpp). Only instruments.cpp dispatches to them.
#pragma once

#include <memory>

#include "tools/musicgen/instruments.h"

namespace music {

std::unique_ptr<Voice> MakeKick(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeSoftKick(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeSnare(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeClap(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeHat(const Note& note, uint32_t seed, bool open);
std::unique_ptr<Voice> MakeShaker(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeCrash(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeTom(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeImpact(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeReverse(const Note& note, uint32_t seed);

std::unique_ptr<Voice> MakeBass(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeSubBass(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakePad(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeLead(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakePluck(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeStab(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeBell(const Note& note, uint32_t seed);

std::unique_ptr<Voice> MakeWind(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeRiser(const Note& note, uint32_t seed);
std::unique_ptr<Voice> MakeGlitch(const Note& note, uint32_t seed);

// Six detuned square oscillators at inharmonic ratios: the metallic core of
// hats, cymbals and crashes.
struct MetalCluster {
    float phase[6] = {};
    float inc[6] = {};
    void Init(float scale, uint32_t seed);
    float Next();
};

}  // namespace music
