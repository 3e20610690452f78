#include "effects/fuzz_effect.h"

#include "timeline/show_levels.h"

CFuzzEffect::CFuzzEffect() { RgbSplitTarget = 1.0f; }

CFuzzEffect::~CFuzzEffect() { RgbSplitTarget = 0.0f; }

LUMIVANE_REGISTER_EFFECT(CFuzzEffect, CCFuzzEffect, kFuzzEffect);
