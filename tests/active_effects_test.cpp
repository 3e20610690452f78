#include <gtest/gtest.h>

#include "tests/test_effects.h"
#include "timeline/active_effects.h"

namespace {

class ActiveEffects : public ::testing::Test {
protected:
    void SetUp() override { TestEffect::Journal().clear(); }
    void TearDown() override { ActiveEffectList::Clear(); }

    static TestEffect* Add(const char* label, uint32_t order, float duration = 100.0f) {
        auto* e = static_cast<TestEffect*>(CreateEffect(TestEffect::kClassId, order, duration));
        e->label = label;
        ActiveEffectList::Add(e);
        return e;
    }
    static std::vector<std::string>& Journal() { return TestEffect::Journal(); }
};

}  // namespace

TEST_F(ActiveEffects, SortsByOrderKeepingInsertionOrderForEqualKeys) {
    Add("first-5", 5);
    Add("second-0", 0);
    Add("third-5", 5);
    Add("fourth-0", 0);
    ActiveEffectList::Tick(0.0f);
    std::vector<std::string> expected = {
        "update second-0", "render second-0", "update fourth-0", "render fourth-0",
        "update first-5",  "render first-5",  "update third-5",  "render third-5"};
    EXPECT_EQ(Journal(), expected);
}

TEST_F(ActiveEffects, AnEffectRetiredInItsUpdateStillRendersThatFrame) {
    TestEffect* a = Add("a", 0);
    Add("b", 0);
    a->retireInUpdate = true;
    ActiveEffectList::Tick(0.0f);
    std::vector<std::string> expected = {"update a", "render a", "update b", "render b", "delete a"};
    EXPECT_EQ(Journal(), expected);
    EXPECT_EQ(ActiveEffectList::Count(), 1);
}

TEST_F(ActiveEffects, RetiringTwiceInOneTickDeletesOnce) {
    // Runs out of time (base Finish retires) and retires itself in the same update.
    TestEffect* a = Add("a", 0, 0.1f);
    a->retireInUpdate = true;
    ActiveEffectList::Tick(0.5f);
    EXPECT_EQ(std::count(Journal().begin(), Journal().end(), "delete a"), 1);
    EXPECT_EQ(ActiveEffectList::Count(), 0);
}

TEST_F(ActiveEffects, ChildrenRunAfterTheirParentAndLeaveWithRemoval) {
    TestEffect* parent = Add("parent", 0);
    TestEffect* other = Add("other", 1);
    auto* child = static_cast<TestEffect*>(CreateEffect(TestEffect::kClassId, 0, 100.0f));
    child->label = "child";
    parent->children.push_back(child);
    other->children.push_back(child);
    ActiveEffectList::Add(child);  // owned by the list like any effect; order 0 sorts it before "other"
    ActiveEffectList::Tick(0.0f);
    std::vector<std::string> expected = {
        "update parent", "render parent", "update child", "render child",
        "update child",  "render child",  "update other", "render other",
        "update child",  "render child"};
    EXPECT_EQ(Journal(), expected);

    Journal().clear();
    child->retireInUpdate = true;
    ActiveEffectList::Tick(0.0f);
    EXPECT_TRUE(parent->children.empty());
    EXPECT_TRUE(other->children.empty());
    EXPECT_EQ(ActiveEffectList::Count(), 2);
}

TEST_F(ActiveEffects, CountClassQueryAndClear) {
    EXPECT_EQ(ActiveEffectList::Count(), 0);
    EXPECT_FALSE(ActiveEffectList::IsClassActive(TestEffect::kClassId));
    Add("a", 0);
    Add("b", 3);
    EXPECT_EQ(ActiveEffectList::Count(), 2);
    EXPECT_TRUE(ActiveEffectList::IsClassActive(TestEffect::kClassId));
    EXPECT_FALSE(ActiveEffectList::IsClassActive(0));
    ActiveEffectList::Clear();
    EXPECT_EQ(ActiveEffectList::Count(), 0);
    std::vector<std::string> expected = {"delete a", "delete b"};
    EXPECT_EQ(Journal(), expected);
}

TEST_F(ActiveEffects, RetiringNullIsHarmless) {
    Add("a", 0);
    ActiveEffectList::Retire(nullptr);
    ActiveEffectList::Tick(0.0f);
    EXPECT_EQ(ActiveEffectList::Count(), 1);
}
