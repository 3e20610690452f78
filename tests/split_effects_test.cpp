// The fuzz and spike effects: each holds its process-wide target at 1 from
// construction to deletion, and the readers ease towards it.
#include <gtest/gtest.h>

#include <cmath>

#include "app/lumivane.h"
#include "effects/fuzz_effect.h"
#include "effects/spike_effect.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"
#include "timeline/show_levels.h"

TEST(FlagEffects, HoldTheirTargetWhileAliveAndClearItWhenDeleted) {
    struct Case { const char* name; int classId; float* target; };
    const Case cases[] = {
        {"fuzz", kFuzzEffect, &RgbSplitTarget},
        {"spike", kSpikeEffect, &SpikeTarget},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(*c.target, 0.0f);
        CEffect* e = CreateEffect(c.classId, 0, 0.5f);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(*c.target, 1.0f);
        ActiveEffectList::Add(e);
        ActiveEffectList::Tick(0.25f);
        EXPECT_EQ(*c.target, 1.0f);  // alive
        ActiveEffectList::Tick(0.25f);  // runs out, retired, deleted after the tick
        EXPECT_EQ(ActiveEffectList::Count(), 0);
        EXPECT_EQ(*c.target, 0.0f);
        // A restart clears every effect, and with them the target.
        ActiveEffectList::Add(CreateEffect(c.classId, 0, 100.0f));
        ActiveEffectList::Clear();
        EXPECT_EQ(*c.target, 0.0f);
    }
}

TEST(FlagEffects, AFuzzBurstRaisesTheSplitSmoothlyAndItDecaysAfter) {
    // A 0.5 s burst at 60 frames a second, the frame easing the strength
    // after the tick as the application does: the target is 1 for 29 frames
    // and already 0 in the 30th, whose tick deletes the burst; about
    // 1 - e^(-0.35) at its end, then down again the same way.
    const float dt = 1.0f / 60.0f;
    float strength = 0.0f;
    ActiveEffectList::Add(CreateEffect(kFuzzEffect, 0, 0.5f));
    int frames = 0;
    while (ActiveEffectList::Count() > 0 && frames < 100) {
        ActiveEffectList::Tick(dt);
        strength = EaseRgbSplit(strength, RgbSplitTarget, dt);
        ++frames;
    }
    EXPECT_EQ(frames, 30);
    const double t = 0.7 / 60;
    EXPECT_NEAR(strength, (1 - std::pow(1 - t, 29)) * (1 - t), 1e-4);
    EXPECT_NEAR(strength, 1.0f - std::exp(-0.35f), 0.015f);
    const float peak = strength;
    for (int i = 0; i < 60; ++i) strength = EaseRgbSplit(strength, RgbSplitTarget, dt);
    EXPECT_NEAR(strength, peak * std::exp(-0.7f), 0.01f);
}
