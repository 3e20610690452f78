#include "tests/test_effects.h"

#include "timeline/active_effects.h"

std::vector<std::string>& TestEffect::Journal() {
    static std::vector<std::string> s_journal;
    return s_journal;
}

TestEffect::~TestEffect() { Journal().push_back("delete " + label); }

void TestEffect::Update(float dt) {
    CEffect::Update(dt);
    Journal().push_back("update " + label);
    if (retireInUpdate) ActiveEffectList::Retire(this);
}

void TestEffect::Render() { Journal().push_back("render " + label); }

LUMIVANE_REGISTER_EFFECT(TestEffect, CCTestEffect, TestEffect::kClassId);
LUMIVANE_REGISTER_EFFECT(CountingEffect, CCCountingEffect, CountingEffect::kClassId);
