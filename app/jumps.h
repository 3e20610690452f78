// Jumps in the playing show: Page Down 10 s on, Page Up 10 s back, Home back
// to the start, and --from T at start-up.
//
// A jump forward runs the show on from where it is without drawing; a jump
// back rewinds it to its state at start-up (CLumivane::Rewind) and runs it
// forward from there. The frames run at a fixed 60 a second, each with its
// share of the music mixed but not heard, as a 60 fps capture runs them, so
// the show arrives with its effects, generators, counters and music where a
// run that never jumped would have them. The music is heard again from the
// target on.
//
// A jump is worked off over several passes of the main loop, so the window
// stays responsive; when it takes more than a moment, a one-line notice says
// where it is going until it gets there.
#pragma once

class CLumivane;

namespace Jumps {

constexpr float kStep = 10.0f;  // seconds of timeline time per Page Down / Page Up
constexpr int kFramesPerSecond = 60;

// Starts a jump to timeline time `target`, limited to 0 .. the show's end
// (a jump to the end ends the show, as playing on to it does). Going back,
// or to 0, rewinds first. During a jump, a new target replaces the old one.
void Start(CLumivane& app, float target);
bool Active();
float Target();

// Page Down, Page Up and Home, counted from the target of a jump under way
// or else from the timeline's time. Once per loop pass, before the input
// snapshot.
void HandleKeys(CLumivane& app);

// One loop pass of a jump: frames without drawing until the target, or for
// about `budgetSeconds` of wall time. True once the jump has arrived; the
// next frame is drawn at the target.
bool Continue(CLumivane& app, double budgetSeconds);

// One frame at the jumps' fixed rate: the frame clock a 60th of a second on,
// the frame's share of the music mixed (unheard while a sound device is
// held), then the show's frame, drawn and presented or not. A jump's frames
// are undrawn ones; the tests and the benchmark draw with it too.
void StepFrame(CLumivane& app, bool draw);

}  // namespace Jumps
