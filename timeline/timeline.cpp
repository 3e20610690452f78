#include "timeline/timeline.h"

#include "assets/music.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"
#include "timeline/show_times.h"

namespace {

using namespace ShowTimes;

constexpr TimelineEntry Entry(int classId, float start, float end) { return {classId, 0, start, end - start}; }
constexpr TimelineEntry Fuzz(const Span& burst) { return {kFuzzEffect, 0, burst.start, burst.length}; }
constexpr TimelineEntry Shot(int classId, const Span& shot) { return {classId, 0, shot.start, shot.length}; }
constexpr TimelineEntry Voxel(int pass) { return {kVoxelTest, 0, kVoxelStart + 4.0f * pass, 4.0f}; }

}  // namespace

// Every effect but the fuzz bursts ends where the next one starts: each
// scroller passage runs from the end of one shot to the start of the next.
// The laser writer overlaps the first scroller by 0.5 s, and the end screen
// starts during the last fuzz burst. The times live in show_times.h, which
// the soundtrack's generator reads too.
const TimelineEntry kTimeline[kTimelineEntryCount] = {
    {kLoading, 0, 0.0f, 3.4028235e38f},  // runs until it has loaded everything
    Entry(kIntroScreen, kIntroStart, kLogoStart),
    Fuzz(kFuzzBursts[0]),
    Entry(kIntroScreen, kLogoStart, kLaserStart),
    Fuzz(kFuzzBursts[1]),
    {kLaserWriter, 0, kLaserStart, kLaserLength},
    Entry(kMetaWriter, kScrollerStart, kShots[0].start),
    Shot(kHeadMesh, kShots[0]),
    Entry(kMetaWriter, kShots[0].End(), kShots[1].start),
    Shot(kHandMesh, kShots[1]),
    Entry(kMetaWriter, kShots[1].End(), kShots[2].start),
    Shot(kHeadMesh, kShots[2]),
    Entry(kMetaWriter, kShots[2].End(), kShots[3].start),
    Shot(kHandMesh, kShots[3]),
    Entry(kMetaWriter, kShots[3].End(), kShots[4].start),
    Shot(kHeadMesh, kShots[4]),
    Entry(kMetaWriter, kShots[4].End(), kShots[5].start),
    Shot(kHandMesh, kShots[5]),
    Shot(kHeadMesh, kShots[6]),
    Shot(kHandMesh, kShots[7]),
    Entry(kMetaWriter, kShots[7].End(), kVoxelStart),
    Fuzz(kFuzzBursts[2]),
    Voxel(0),
    Voxel(1),
    Voxel(2),
    Voxel(3),
    Voxel(4),
    Voxel(5),
    Entry(kCylinderHead, kCylinderStart, kCylinderEnd),
    Fuzz(kFuzzBursts[3]),
    Fuzz(kFuzzBursts[4]),
    Fuzz(kFuzzBursts[5]),
    Entry(kIntroScreen, kEndScreenStart, kShowEnd),
};

namespace Timeline {

namespace {
float s_demoTime = 0.0f;
}

float DemoTime() { return s_demoTime; }

bool Step(TimelineState& state, const TimelineEntry* script, int entryCount) {
    s_demoTime = state.demoTime;
    if (state.nextEntry >= entryCount) return ActiveEffectList::Count() == 0;
    const TimelineEntry& entry = script[state.nextEntry];
    if (entry.start < state.demoTime) {
        if (entry.classId != kNoEffect) {
            if (CEffect* effect = CreateEffect(entry.classId, entry.order, entry.duration))
                ActiveEffectList::Add(effect);
        }
        ++state.nextEntry;  // also past markers and ids without a factory
    }
    return false;
}

void Restart(TimelineState& state, CAudio::CHandle** song) {
    state.demoTime = 0.0f;
    s_demoTime = 0.0f;
    state.nextEntry = 0;
    ActiveEffectList::Clear();
    // Playing the song on at once would have it run through the loading
    // screen's fade and then jump back when the loading screen starts it.
    if (song) {
        Music::Stop(*song);
        Music::Free(*song);
        *song = nullptr;
    }
    // The next song counts from 0; the old position must not be subtracted.
    state.lastMusicTime = 0.0f;
}

void AdvanceClock(TimelineState& state, float frameDelta, CAudio::CHandle* song) {
    float delta = frameDelta;
    if (song) {
        // Milliseconds, taken as unsigned like the position they stand for.
        float now = static_cast<float>(static_cast<unsigned>(Music::GetTime(song)));
        delta = (now - state.lastMusicTime) / 1000.0f;
        state.lastMusicTime = now;
    }
    state.demoTime += delta;
    s_demoTime = state.demoTime;
}

uint8_t OpeningFade(float demoTime) {
    float level = 255.0f - demoTime * 133.33333f;
    if (level < 0.0f) level = 0.0f;
    return static_cast<uint8_t>(static_cast<int>(level) & 0xFF);
}

float EndTime() {
    const TimelineEntry& last = kTimeline[kTimelineEntryCount - 1];
    return last.start + last.duration;
}

}  // namespace Timeline
