// CLumivane: the show itself as the entry point sees it. Owns the timeline
// clock and, each frame, runs the due script entries, lets the active effects
// draw, composes the picture and keeps the clock in step.
//
// A frame, in order (entry.cpp's LoopPass, then CLumivane::Frame):
//  1. FrameTimer::Update: the frame clock's dt (x4 with Space, 0 paused). It
//     drives animation: every effect's Update(dt) and the colour split's ease.
//  2. Frame: Escape asks to quit; drawing goes into sceneTarget.
//  3. Unless the loading screen runs: Timeline::Step starts the entry that is
//     due (and says when the show is over), R restarts, the opening fade.
//  4. ActiveEffectList::Tick(dt): each effect updates and renders in order;
//     the fuzz and spike effects hold RgbSplitTarget and SpikeTarget
//     (timeline/show_levels.h) at 1 while they live. The loading screen's end
//     starts the music.
//  5. DrawFinalPass: sceneTarget onto the back buffer through the colour split.
//  6. Timeline::AdvanceClock: the timeline's demoTime follows the music's
//     position (the frame clock only until the music plays). Effects that cut
//     on the music compare with demoTime, never with the frame clock.
//  7. Statistics and sync display; then the tweak editor, the fade overlay
//     and the present (entry.cpp), and the input snapshot.
//
// A frame can also run without drawing (FrameWithoutDrawing): every step
// above but the drawing and the keys, with each effect's SkipRender in place
// of its Render. A capture's frames before --from and the jumps of
// app/jumps.h run so, and arrive where a run that drew every frame would.
#pragma once
#include "app/app.h"
#include "app/display_options.h"
#include "timeline/timeline.h"

class Camera;
namespace CAudio {
class CHandle;
}
namespace Gpu {
class Effect;
}
struct Texture;

class CLumivane : public CApp {
public:
    CLumivane();
    void Init() override;
    void Shutdown() override;
    void Frame() override;
    // One frame of the show without drawing or presenting anything, and
    // without reading keys: what Frame does to everything but the picture.
    void FrameWithoutDrawing();
    // Back to where the program starts the show: no effects, no song, the
    // timeline at its first entry, the process-wide show state as at
    // start-up (timeline/show_state.h), the preload to step through again
    // (nothing is loaded twice) and the frame clock's demo time at 0. Unlike
    // R, which restarts the script but lets the generators and counters run
    // on, the show then plays exactly as it did after start-up.
    void Rewind();
    // The display: from the command line's display options when there are
    // any, else from the setup dialog when there is a screen to show it on,
    // else the defaults (1280x720 in a window). False when the viewer
    // departs.
    bool ShowSetup() override;
    // Plays the soundtrack (MUSIC resource 124) from its start; from then on
    // it drives the timeline clock. Called by the frame in which the loading
    // screen has gone. Without sound the song stays null and the show runs
    // silently.
    void StartMusic();

    DisplayOptions displayOptions;  // from the command line; none: ask
    TimelineState timeline;         // nextEntry, demoTime, lastMusicTime
    // The shared camera, made active by Init. Never deleted: the tweak table
    // points into it until the tweaks are saved at the very end.
    Camera* camera = nullptr;
    Texture* sceneTarget = nullptr;   // the effects draw here; view-sized
    Texture* noiseTexture = nullptr;  // 128 x 128 random bytes for the final pass
    Gpu::Effect* rgbSplitEffect = nullptr;
    CAudio::CHandle* song = nullptr;  // null until StartMusic

private:
    void RunFrame(bool draw);
    // The scene target onto the back buffer, between the letterbox bars,
    // through the colour-split pass.
    void DrawFinalPass(float dt);
};

CLumivane& TheLumivane();

// Tweak: non-zero shows frame rate, timeline time and camera in the corner.
extern float s_DisplayStats;

// The colour split of the final pass: it follows RgbSplitTarget (held at 1
// by the fuzz bursts) every frame by min(0.7 dt, 1) of the gap.
extern float RgbSplitStrength;
float EaseRgbSplit(float strength, float target, float dt);
// The weakest split the final pass draws; below it, a plain copy.
extern const float kVisibleRgbSplit;
