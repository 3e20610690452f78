#include "effects/spike_effect.h"

float SpikeTarget = 0.0f;

// A flag, not a count: the first of two overlapping effects to go clears it.
CSpikeEffect::CSpikeEffect() { SpikeTarget = 1.0f; }

CSpikeEffect::~CSpikeEffect() { SpikeTarget = 0.0f; }

LUMIVANE_REGISTER_EFFECT(CSpikeEffect, CCSpikeEffect, kSpikeEffect);
