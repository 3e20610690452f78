// Effect types that exist only in the tests, with class ids far from the show's.
#pragma once
#include <string>
#include <vector>

#include "timeline/effect.h"

// Records what happened to it in a shared journal.
class TestEffect : public CEffect {
public:
    static constexpr int kClassId = 1000;
    static std::vector<std::string>& Journal();
    std::string label = "?";
    bool retireInUpdate = false;
    ~TestEffect() override;
    void Update(float dt) override;
    void Render() override;
};

// Counts Finish calls without retiring.
class CountingEffect : public CEffect {
public:
    static constexpr int kClassId = 1001;
    int finishCalls = 0;
    void Finish() override { ++finishCalls; }
};
