// The effects' pseudo-random generator: a 32-bit linear congruential
// generator. Every user keeps its own state, seeded with the same constant at
// start-up and never reseeded, so every run of the show is identical.
#pragma once
#include <cstdint>

struct EffectRandom {
    static constexpr uint32_t kSeed = 0x19730918u;
    uint32_t state = kSeed;

    // 0..65535
    uint32_t Random16() {
        state = state * 214013u + 2531011u;
        return state >> 16;
    }
    // 0..s
    float RandomFloat(float s) { return static_cast<float>(s * static_cast<float>(Random16()) / 65535.0); }
    // lo..hi
    float RandomRange(float lo, float hi) { return lo + RandomFloat(hi - lo); }
};
