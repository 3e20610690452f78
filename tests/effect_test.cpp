#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "effects/fuzz_effect.h"
#include "effects/spike_effect.h"
#include "tests/test_effects.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

// An isolated registry type, so the links can be checked end to end.
struct Node : CRegistered<Node> {
    Node() : CRegistered<Node>(true) {}
};

TEST(Registry, NewestIsHeadAndAnyMemberUnlinksCleanly) {
    struct Case { const char* name; int removed; int expected[2]; };
    const Case cases[] = {
        {"head", 2, {1, 0}},
        {"middle", 1, {2, 0}},
        {"last", 0, {2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Node::Head(), nullptr);
        std::optional<Node> nodes[3];
        for (auto& n : nodes) n.emplace();  // constructed 0, 1, 2: the list runs 2, 1, 0
        EXPECT_EQ(Node::Head(), &*nodes[2]);
        nodes[c.removed].reset();
        Node* a = Node::Head();
        ASSERT_EQ(a, &*nodes[c.expected[0]]);
        EXPECT_EQ(a->Prev(), nullptr);
        Node* b = a->Next();
        ASSERT_EQ(b, &*nodes[c.expected[1]]);
        EXPECT_EQ(b->Prev(), a);
        EXPECT_EQ(b->Next(), nullptr);
        for (auto& n : nodes) n.reset();
        EXPECT_EQ(Node::Head(), nullptr);
    }
}

TEST(Registry, CreateEffectFindsFactoriesByClassId) {
    // Ids 10 (the marker) and 11 have no factory.
    EXPECT_EQ(CreateEffect(kNoEffect, 0, 1.0f), nullptr);
    EXPECT_EQ(CreateEffect(11, 0, 1.0f), nullptr);

    CEffect* e = CreateEffect(TestEffect::kClassId, 7, 2.5f);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->classId, TestEffect::kClassId);
    EXPECT_EQ(e->order, 7u);
    EXPECT_EQ(e->timeLeft, 2.5f);
    EXPECT_EQ(e->duration, 2.5f);
    EXPECT_FALSE(e->finished);
    delete e;
}

TEST(Registry, RegisteredShowEffectsCarryTheirNames) {
    // The show's effect types, as far as they are built: each id gives its class.
    const char* names[] = {"CLoading", "CMetaWriter", "CVoxelTest", "CHeadMesh", "CHandMesh",
                           "CLaserWriter", "CCylinderHead", "CIntroScreen", "CFuzzEffect",
                           "CSpikeEffect"};
    bool registered[10] = {};
    for (CEffectClass* f = CEffectClass::Head(); f; f = f->Next()) {
        int id = f->GetClassId();
        if (id < 0 || id > 9) continue;
        EXPECT_FALSE(registered[id]) << "two factories for id " << id;
        registered[id] = true;
        char buffer[257];
        EXPECT_STREQ(f->GetName(buffer), names[id]);
        EXPECT_GT(f->GetInstanceSize(), 0);
    }
    // Those of the opening are there.
    for (int id : {kLoading, kLaserWriter, kIntroScreen, kFuzzEffect, kSpikeEffect})
        EXPECT_TRUE(registered[id]) << names[id];
}

TEST(Registry, CreateEffectMakesTheTypeOfTheId) {
    // The types that need no device to construct.
    CEffect* fuzz = CreateEffect(kFuzzEffect, 0, 1.0f);
    CEffect* spike = CreateEffect(kSpikeEffect, 0, 1.0f);
    EXPECT_NE(dynamic_cast<CFuzzEffect*>(fuzz), nullptr);
    EXPECT_NE(dynamic_cast<CSpikeEffect*>(spike), nullptr);
    EXPECT_EQ(fuzz->classId, kFuzzEffect);
    EXPECT_EQ(spike->classId, kSpikeEffect);
    delete fuzz;
    delete spike;
}

// A factory whose class name is longer than the caller's buffer can hold.
class LongNamedFactory : public CEffectClassImpl<CountingEffect> {
public:
    int GetClassId() override { return 1002; }
    char* GetName(char* buffer) override { return CopyName(buffer, std::string(300, 'n').c_str()); }
};

TEST(Registry, GetNameFitsTheCallersBuffer) {
    CEffectClass* test = CEffectClass::Head();
    while (test && test->GetClassId() != TestEffect::kClassId) test = test->Next();
    ASSERT_NE(test, nullptr) << "the test effect's factory is not registered";
    char buffer[257];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_STREQ(test->GetName(buffer), "TestEffect");

    // 256 characters and the terminator in the last place, never past it.
    char guarded[258];
    std::memset(guarded, 'x', sizeof guarded);
    LongNamedFactory factory;
    EXPECT_EQ(factory.GetName(guarded), guarded);
    EXPECT_EQ(std::strlen(guarded), 256u);
    EXPECT_EQ(guarded[257], 'x');
}

struct LifetimeCase {
    const char* name;
    float duration;
    float dt;
    int finishedInUpdate;  // 1-based; 0 = never within the updates
};

TEST(EffectLifetime, FinishRunsExactlyOnceWhenTheLifetimeRunsOut) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const LifetimeCase cases[] = {
        {"0.5 s at 0.25 s steps", 0.5f, 0.25f, 2},
        {"zero duration, zero delta", 0.0f, 0.0f, 1},
        {"zero duration", 0.0f, 0.1f, 1},
        {"NaN never finishes", nan, 0.25f, 0},
        {"largest float never runs out", 3.4028235e38f, 1.0f, 0},
    };
    for (const LifetimeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CountingEffect* e = static_cast<CountingEffect*>(CreateEffect(CountingEffect::kClassId, 0, c.duration));
        ASSERT_NE(e, nullptr);
        int finishedAt = 0;
        for (int update = 1; update <= 3; ++update) {
            e->Update(c.dt);
            if (e->finished && !finishedAt) finishedAt = update;
        }
        EXPECT_EQ(finishedAt, c.finishedInUpdate);
        EXPECT_EQ(e->finishCalls, c.finishedInUpdate ? 1 : 0);
        delete e;
    }
    CountingEffect* e = static_cast<CountingEffect*>(CreateEffect(CountingEffect::kClassId, 0, 0.5f));
    for (int i = 0; i < 3; ++i) e->Update(0.25f);
    EXPECT_FLOAT_EQ(e->timeLeft, -0.25f);  // keeps falling after finishing
    delete e;
}

TEST(EffectLifetime, EffectMadeOutsideTheFactoryFinishesAtOnce) {
    CountingEffect e;
    EXPECT_EQ(e.classId, -1);
    EXPECT_EQ(e.timeLeft, -1.0f);
    e.Update(0.0f);
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(e.finishCalls, 1);
}

TEST(EffectLifetime, BaseFinishRetiresTheEffect) {
    CEffect* e = CreateEffect(TestEffect::kClassId, 0, 0.1f);
    ActiveEffectList::Add(e);
    EXPECT_EQ(ActiveEffectList::Count(), 1);
    ActiveEffectList::Tick(0.2f);  // runs out, retires, is deleted at the end of the tick
    EXPECT_EQ(ActiveEffectList::Count(), 0);
}
