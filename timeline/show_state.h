// The show's progress kept outside its effects: generators that are never
// reseeded, the counters that pick the next shot's camera move and picture,
// the scroller's text position. A run changes all of it as it goes; a jump
// back in time puts it back as the program had it at start-up, so that the
// show, run forward again, arrives where a run that never jumped would be.
//
// Whoever owns such state registers how to reset it, next to it:
//     static ShowStateReset s_resetRandom([] { s_random = EffectRandom(); });
// Settings the viewer chose (tweaks, the free camera, the voxel blur) are
// not progress and are left alone.
#pragma once
#include "timeline/registered.h"

class ShowStateReset : public CRegistered<ShowStateReset> {
public:
    explicit ShowStateReset(void (*reset)()) : CRegistered<ShowStateReset>(true), m_reset(reset) {}
    void Run() const { m_reset(); }

private:
    void (*m_reset)();
};

// Runs every registered reset. Delete the running effects first: some of
// them change the shared state as they go.
void ResetShowState();
