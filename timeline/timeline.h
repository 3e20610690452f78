// The show's script: 33 timed entries, each starting one effect by class id,
// and the clock that decides when they fall due.
#pragma once
#include <cstdint>

namespace CAudio {
class CHandle;
}

struct TimelineEntry {
    int classId;     // EffectClassId; kNoEffect starts nothing
    uint32_t order;  // copied into the effect's run order
    float start;     // seconds of timeline time
    float duration;  // seconds, copied into the effect's lifetime
};

constexpr int kTimelineEntryCount = 33;
extern const TimelineEntry kTimeline[kTimelineEntryCount];

// The timeline's clock, owned by the application object.
struct TimelineState {
    int nextEntry = 0;           // index of the next entry to start
    float demoTime = 0.0f;       // seconds of timeline time
    float lastMusicTime = 0.0f;  // milliseconds, the music position at the last advance
};

namespace Timeline {

// Once per frame while no loading screen runs: starts at most one due entry
// (start strictly before demoTime). True once every entry has started and no
// effect is left: the show is over, and the frame ends the program. Runs the
// show's script unless another one is given.
bool Step(TimelineState& state, const TimelineEntry* script = kTimeline, int entryCount = kTimelineEntryCount);
// The R key: rewinds to the first entry with an empty effect list and puts
// the music back where it was at start-up: none (`song` points at the
// application's music, which is freed). The clock runs on the frame clock
// again, the loading screen (which finds everything loaded and only fades)
// runs once more in silence, and its end starts the song from the
// beginning, so only one song ever plays and the clock never goes back.
void Restart(TimelineState& state, CAudio::CHandle** song);
// Once per frame while no loading screen runs: the clock moves on by the
// frame delta, or, once there is a song, by how far the song has played
// since the last advance.
void AdvanceClock(TimelineState& state, float frameDelta, CAudio::CHandle* song);

// The timeline time of the frame being drawn: the demoTime of the state
// that Step, Restart or AdvanceClock last saw. Effects that cut on the music
// compare with it, never with the frame clock, which runs ahead of it by
// however long loading took.
float DemoTime();

// Fade level over the opening: 255 at time 0 down to 0 at about 1.91 s.
uint8_t OpeningFade(float demoTime);

// Timeline time at which the script's last entry ends (223 s).
float EndTime();

}  // namespace Timeline
