#include "timeline/timeline.h"

#include "assets/music.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

// Every effect but the fuzz bursts ends where the next one starts. The laser
// writer overlaps the first scroller by 0.5 s, and the end screen starts during
// the last fuzz burst.
const TimelineEntry kTimeline[kTimelineEntryCount] = {
    {kLoading, 0, 0.0f, 3.4028235e38f},  // runs until it has loaded everything
    {kIntroScreen, 0, 2.0f, 12.0f},     {kFuzzEffect, 0, 11.0f, 0.5f},     {kIntroScreen, 0, 14.0f, 15.0f},
    {kFuzzEffect, 0, 24.0f, 0.25f},     {kLaserWriter, 0, 29.0f, 29.0f},   {kMetaWriter, 0, 57.5f, 29.85f},
    {kHeadMesh, 0, 87.35f, 2.3f},       {kMetaWriter, 0, 89.65f, 9.08f},   {kHandMesh, 0, 98.73f, 1.84f},
    {kMetaWriter, 0, 100.57f, 9.98f},   {kHeadMesh, 0, 110.55f, 1.81f},    {kMetaWriter, 0, 112.36f, 8.2f},
    {kHandMesh, 0, 120.56f, 1.86f},     {kMetaWriter, 0, 122.42f, 5.41f},  {kHeadMesh, 0, 127.83f, 1.83f},
    {kMetaWriter, 0, 129.66f, 2.25f},   {kHandMesh, 0, 131.91f, 1.84f},    {kHeadMesh, 0, 133.75f, 1.76f},
    {kHandMesh, 0, 135.51f, 1.86f},     {kMetaWriter, 0, 137.37f, 34.63f}, {kFuzzEffect, 0, 169.0f, 1.0f},
    {kVoxelTest, 0, 172.0f, 4.0f},      {kVoxelTest, 0, 176.0f, 4.0f},     {kVoxelTest, 0, 180.0f, 4.0f},
    {kVoxelTest, 0, 184.0f, 4.0f},      {kVoxelTest, 0, 188.0f, 4.0f},     {kVoxelTest, 0, 192.0f, 4.0f},
    {kCylinderHead, 0, 196.0f, 10.0f},  {kFuzzEffect, 0, 202.0f, 0.5f},    {kFuzzEffect, 0, 204.0f, 1.0f},
    {kFuzzEffect, 0, 208.0f, 6.0f},     {kIntroScreen, 0, 210.0f, 13.0f},
};

namespace Timeline {

bool Step(TimelineState& state, const TimelineEntry* script, int entryCount) {
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
}

uint8_t OpeningFade(float demoTime) {
    float level = 255.0f - demoTime * 133.33333f;
    if (level < 0.0f) level = 0.0f;
    return static_cast<uint8_t>(static_cast<int>(level) & 0xFF);
}

}  // namespace Timeline
