// CSpikeEffect: draws nothing; while one lives, the scroller's metaball
// letters grow spikes (it holds SpikeTarget at 1, and the scroller eases its
// distortion level towards it). No entry of the show's script starts it.
#pragma once
#include "timeline/effect.h"

class CSpikeEffect : public CEffect {
public:
    CSpikeEffect();
    ~CSpikeEffect() override;
};
