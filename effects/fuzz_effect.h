// CFuzzEffect: draws nothing; while one lives, the final pass splits the
// picture's colour channels (it holds RgbSplitTarget at 1, and the frame
// eases the split's strength towards it).
#pragma once
#include "timeline/effect.h"

class CFuzzEffect : public CEffect {
public:
    CFuzzEffect();
    ~CFuzzEffect() override;
};
