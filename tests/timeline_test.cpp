#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "assets/mixer.h"
#include "assets/music.h"
#include "tests/audio_fixtures.h"
#include "tests/test_effects.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"
#include "timeline/show_times.h"
#include "timeline/timeline.h"

namespace {

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestEffect::Journal().clear();
    }
    void TearDown() override {
        ActiveEffectList::Clear();
    }
    // One frame as the application runs it: step, tick, advance the clock.
    void Frame(float dt) {
        Timeline::Step(state, script, count);
        ActiveEffectList::Tick(dt);
        state.demoTime += dt;
    }

    const TimelineEntry* script = nullptr;
    int count = 0;
    TimelineState state;
};

const int kTest = TestEffect::kClassId;

}  // namespace

TEST_F(TimelineTest, AnEntryStartsOnlyOnceItsStartIsStrictlyPast) {
    const TimelineEntry entries[] = {{kTest, 0, 2.0f, 10.0f}};
    script = entries;
    count = 1;
    state.demoTime = 2.0f;
    Timeline::Step(state, script, count);
    EXPECT_EQ(state.nextEntry, 0);
    state.demoTime = 2.0001f;
    Timeline::Step(state, script, count);
    EXPECT_EQ(state.nextEntry, 1);
    EXPECT_EQ(ActiveEffectList::Count(), 1);
}

TEST_F(TimelineTest, WithFrameSteps0p1TheEntryAt2StartsAfterTheClockPasses2) {
    const TimelineEntry entries[] = {{kTest, 0, 2.0f, 10.0f}};
    script = entries;
    count = 1;
    int frame = 0;
    while (state.nextEntry == 0 && frame < 100) {
        float seen = state.demoTime;
        Frame(0.1f);
        ++frame;
        if (state.nextEntry == 1) {
            EXPECT_GT(seen, 2.0f);
        }
    }
    EXPECT_EQ(state.nextEntry, 1);
}

TEST_F(TimelineTest, OneEntryPerFrameAndMarkersOrUnknownIdsMoveOn) {
    const TimelineEntry entries[] = {
        {kTest, 0, 0.0f, 5.0f},
        {kNoEffect, 0, 0.0f, 5.0f},
        {11, 0, 0.0f, 5.0f},  // no factory
        {kTest, 0, 0.0f, 5.0f},
    };
    script = entries;
    count = 4;
    state.demoTime = 1.0f;
    int expectedCount[] = {1, 1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        Timeline::Step(state, script, count);
        EXPECT_EQ(state.nextEntry, i + 1);
        EXPECT_EQ(ActiveEffectList::Count(), expectedCount[i]);
    }
}

TEST_F(TimelineTest, TheShowIsOverOnlyWhenEveryEntryStartedAndNoEffectIsLeft) {
    const TimelineEntry entries[] = {{kTest, 0, 0.0f, 0.25f}};
    script = entries;
    count = 1;
    state.demoTime = 0.1f;
    // One frame as the application runs it; true when the step said the show is over.
    auto frame = [&] {
        bool over = Timeline::Step(state, script, count);
        ActiveEffectList::Tick(0.1f);
        state.demoTime += 0.1f;
        return over;
    };
    EXPECT_FALSE(frame());  // starts the entry
    EXPECT_FALSE(frame());  // all started, but the effect still lives
    EXPECT_FALSE(frame());  // the effect runs out in this tick
    EXPECT_TRUE(frame());   // the step now finds the list empty
    EXPECT_EQ(state.nextEntry, 1);
}

TEST_F(TimelineTest, RestartRewindsTheScriptAndClearsTheEffects) {
    const TimelineEntry entries[] = {{kTest, 0, 0.0f, 100.0f}, {kTest, 0, 50.0f, 1.0f}};
    script = entries;
    count = 2;
    state.demoTime = 0.5f;
    Frame(0.5f);
    ASSERT_EQ(ActiveEffectList::Count(), 1);
    Timeline::Restart(state, nullptr);
    EXPECT_EQ(state.nextEntry, 0);
    EXPECT_EQ(state.demoTime, 0.0f);
    EXPECT_EQ(ActiveEffectList::Count(), 0);
    // The script starts over from its first entry.
    state.demoTime = 0.5f;
    Timeline::Step(state, script, count);
    EXPECT_EQ(state.nextEntry, 1);
    EXPECT_EQ(ActiveEffectList::Count(), 1);
}

TEST(TimelineScript, IsSortedAndEndsAt223Seconds) {
    for (int i = 1; i < kTimelineEntryCount; ++i) EXPECT_LE(kTimeline[i - 1].start, kTimeline[i].start);
    const TimelineEntry& last = kTimeline[kTimelineEntryCount - 1];
    EXPECT_FLOAT_EQ(last.start + last.duration, 223.0f);
    EXPECT_EQ(kTimeline[0].classId, kLoading);
}

// The shots and bursts are the shared times the soundtrack follows, and the
// scroller's passages fill the time between the shots exactly.
TEST(TimelineScript, TakesItsShotsFromTheSharedTimesAndFillsTheGapsWithTheScroller) {
    using namespace ShowTimes;
    int shots = 0, bursts = 0, passages = 0;
    for (int i = 0; i < kTimelineEntryCount; ++i) {
        const TimelineEntry& e = kTimeline[i];
        if (e.classId == kHeadMesh || e.classId == kHandMesh) {
            ASSERT_LT(shots, kShotCount);
            EXPECT_EQ(e.classId, shots % 2 == 0 ? kHeadMesh : kHandMesh);
            EXPECT_EQ(e.start, kShots[shots].start);
            EXPECT_EQ(e.duration, kShots[shots].length);
            ++shots;
        } else if (e.classId == kFuzzEffect) {
            ASSERT_LT(bursts, kFuzzCount);
            EXPECT_EQ(e.start, kFuzzBursts[bursts].start);
            EXPECT_EQ(e.duration, kFuzzBursts[bursts].length);
            ++bursts;
        } else if (e.classId == kMetaWriter) {
            const float previousEnd = passages == 0 ? kScrollerStart : kShots[shots - 1].End();
            const float nextStart = shots < kShotCount ? kShots[shots].start : kVoxelStart;
            EXPECT_EQ(e.start, previousEnd);
            EXPECT_NEAR(e.start + e.duration, nextStart, 1e-4f);
            ++passages;
        }
    }
    EXPECT_EQ(shots, kShotCount);
    EXPECT_EQ(bursts, kFuzzCount);
    EXPECT_EQ(passages, 7);
    // The cue times rise, and the end marker is never reached.
    for (int i = 1; i <= kMetaCueCount; ++i) EXPECT_LT(MetaCueTimes[i - 1], MetaCueTimes[i]);
    EXPECT_EQ(MetaCueTimes[kMetaCueCount], 3.4028235e38f);
}

// What effects that cut on the music read: the time of the state the frame
// last stepped, advanced or restarted.
TEST(TimelineClock, DemoTimeIsTheTimelinesTimeOfTheFrame) {
    TimelineState state;
    state.nextEntry = kTimelineEntryCount;
    state.demoTime = 64.5f;
    Timeline::Step(state);
    EXPECT_EQ(Timeline::DemoTime(), 64.5f);
    Timeline::AdvanceClock(state, 0.25f, nullptr);
    EXPECT_EQ(Timeline::DemoTime(), 64.75f);
    Timeline::Restart(state, nullptr);
    EXPECT_EQ(Timeline::DemoTime(), 0.0f);
}

TEST(OpeningFade, ComesUpFromBlackInAboutTwoSeconds) {
    EXPECT_EQ(Timeline::OpeningFade(0.0f), 255);
    EXPECT_EQ(Timeline::OpeningFade(0.5f), 188);
    EXPECT_EQ(Timeline::OpeningFade(1.92f), 0);
    EXPECT_EQ(Timeline::OpeningFade(100.0f), 0);
    EXPECT_GT(Timeline::OpeningFade(1.9f), 0);
}

TEST(TimelineClock, FollowsTheSongOnceItPlaysAndARestartFreesIt) {
    Music::Init(true);  // the mixer advances only when pulled
    std::vector<uint8_t> ogg = MakeOggTone(441.0f, 1.0f);
    CAudio::CHandle* song = Music::LoadFromMemory(ogg.data(), static_cast<int32_t>(ogg.size()), "tone");
    ASSERT_NE(song, nullptr);
    std::vector<int16_t> sound(2 * 44100);

    TimelineState state;
    Timeline::AdvanceClock(state, 0.5f, nullptr);  // no song: the frame clock
    EXPECT_FLOAT_EQ(state.demoTime, 0.5f);

    Music::Play(song);
    Mixer::Render(sound.data(), 4410);
    Timeline::AdvanceClock(state, 10.0f, song);  // the frame delta no longer counts
    EXPECT_FLOAT_EQ(state.demoTime, 0.6f);
    EXPECT_EQ(state.lastMusicTime, 100.0f);
    Mixer::Render(sound.data(), 44100);
    Timeline::AdvanceClock(state, 0.0f, song);  // paused frames still follow the music
    EXPECT_FLOAT_EQ(state.demoTime, 1.6f);

    state.nextEntry = 7;
    Timeline::Restart(state, &song);
    EXPECT_EQ(song, nullptr);  // freed: the loading screen's end starts a fresh one
    EXPECT_EQ(state.nextEntry, 0);
    EXPECT_EQ(state.demoTime, 0.0f);
    Timeline::AdvanceClock(state, 0.25f, song);  // meanwhile the frame clock, as at start-up
    EXPECT_FLOAT_EQ(state.demoTime, 0.25f);
    song = Music::LoadFromMemory(ogg.data(), static_cast<int32_t>(ogg.size()), "tone");
    Music::Play(song);
    Mixer::Render(sound.data(), 441);
    Timeline::AdvanceClock(state, 0.0f, song);
    EXPECT_FLOAT_EQ(state.demoTime, 0.26f);  // forward from 0, not back by 1.6 s

    Music::Free(song);
    Music::Shutdown();
}
