#include "effects/spike_effect.h"

#include "timeline/show_levels.h"

CSpikeEffect::CSpikeEffect() { SpikeTarget = 1.0f; }

CSpikeEffect::~CSpikeEffect() { SpikeTarget = 0.0f; }

LUMIVANE_REGISTER_EFFECT(CSpikeEffect, CCSpikeEffect, kSpikeEffect);
