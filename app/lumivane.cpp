#include "app/lumivane.h"

#include "app/app_shell.h"
#include "app/frame_timer.h"
#include "app/input.h"
#include "assets/music.h"
#include "core/maths.h"
#include "render/graphics_device.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

float RgbSplitTarget = 0.0f;
float RgbSplitStrength = 0.0f;

float EaseRgbSplit(float strength, float target, float dt) {
    float t = dt * 0.7f;
    if (t > 1.0f) t = 1.0f;
    return strength + (target - strength) * t;
}

// The one application object, built before main.
static CLumivane s_lumivane;

CLumivane& TheLumivane() { return s_lumivane; }

CLumivane::CLumivane() {
    DisplaySettings& display = DisplaySettings::Get();
    display.virtualWidth = 1280.0f;
    display.virtualHeight = 720.0f;
    display.windowWidth = 1280.0f;
    display.windowHeight = 720.0f;
    display.aspectIndex = 1;  // "16:9"
    display.requiredShaderMajor = 3;
}

bool CLumivane::ShowSetup() {
    // No setup dialog yet: the show starts with the current display settings.
    return true;
}

void CLumivane::Init() {
    timeline.demoTime = 0.0f;
    timeline.nextEntry = 0;
    GraphicsDevice::SetClearColour(ColourFromFloats(0.0f, 0.0f, 0.0f, 0.0f));
    GraphicsDevice::ShowWindow(true);
}

void CLumivane::Shutdown() {
    ActiveEffectList::Clear();
    Music::Stop(song);
    Music::Free(song);
    song = nullptr;
}

void CLumivane::StartMusic() {
    // After a restart the loading screen ends again and asks once more: the
    // song already loaded plays from its start, rather than a second copy
    // playing over it.
    if (!song) song = Music::Load(124);
    Music::Play(song);
    timeline.lastMusicTime = 0.0f;
}

void CLumivane::Frame() {
    if (InputState::IsKeyDown(0x1B)) AppShell::RequestQuit();  // Escape; the frame still runs
    bool loading = ActiveEffectList::IsClassActive(kLoading);
    float dt = FrameTimer::GetDeltaTime();
    if (!GraphicsDevice::BeginScene()) return;

    GraphicsDevice::ClearDepth(1.0f);
    GraphicsDevice::Clear(*GraphicsDevice::GetClearColour());

    // While the loading screen runs the timeline stands still and the fade is its own.
    if (!loading) {
        Timeline::Step(timeline, song);
        GraphicsDevice::SetFade(Timeline::OpeningFade(timeline.demoTime));
    }

    ActiveEffectList::Tick(dt);

    RgbSplitStrength = EaseRgbSplit(RgbSplitStrength, RgbSplitTarget, dt);

    // The music's position drives the clock once it plays; until then the frame clock.
    if (!loading) Timeline::AdvanceClock(timeline, dt, song);

    GraphicsDevice::EndScene();
}
