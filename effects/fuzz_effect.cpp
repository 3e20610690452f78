#include "effects/fuzz_effect.h"

#include "app/lumivane.h"

// A flag, not a count: the first of two overlapping bursts to go clears it
// (the script never overlaps them).
CFuzzEffect::CFuzzEffect() { RgbSplitTarget = 1.0f; }

CFuzzEffect::~CFuzzEffect() { RgbSplitTarget = 0.0f; }

LUMIVANE_REGISTER_EFFECT(CFuzzEffect, CCFuzzEffect, kFuzzEffect);
