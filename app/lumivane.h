// CLumivane: the show itself as the entry point sees it. Owns the timeline
// clock and, each frame, runs the due script entries, lets the active effects
// draw, composes the picture and keeps the clock in step.
#pragma once
#include "app/app.h"
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
    bool ShowSetup() override;
    // Plays the soundtrack (MUSIC resource 124) from its start; from then on
    // it drives the timeline clock. Called by the frame in which the loading
    // screen has gone. Without sound the song stays null and the show runs
    // silently.
    void StartMusic();

    TimelineState timeline;  // nextEntry, demoTime, lastMusicTime
    // The shared camera, made active by Init. Never deleted: the tweak table
    // points into it until the tweaks are saved at the very end.
    Camera* camera = nullptr;
    Texture* sceneTarget = nullptr;   // the effects draw here; view-sized
    Texture* noiseTexture = nullptr;  // 128 x 128 random bytes for the final pass
    Gpu::Effect* rgbSplitEffect = nullptr;
    CAudio::CHandle* song = nullptr;  // null until StartMusic

private:
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
