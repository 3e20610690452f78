#include "app/jumps.h"

#include <chrono>

#include "app/app_shell.h"
#include "app/lumivane.h"
#include "assets/mixer.h"
#include "assets/music_decoder.h"
#include "core/frame_timer.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "render/graphics_device.h"
#include "timeline/timeline.h"

namespace Jumps {

namespace {

using Clock = std::chrono::steady_clock;

// A frame's share of the music: 735 samples at 60 frames a second.
constexpr int kFrameSamples = kMixRate / kFramesPerSecond;
static_assert(kMixRate % kFramesPerSecond == 0, "every frame mixes the same number of samples");
// One frame on the frame clock, in the counts a capture's virtual counter
// uses, so the delta is the very float a 60 fps capture gets.
constexpr uint64_t kCountsPerFrame = 1000000;

// A jump that takes longer than this shows its notice.
constexpr double kNoticeAfterSeconds = 0.3;

bool s_active = false;
float s_target = 0.0f;
Clock::time_point s_started;
int16_t s_sound[2 * kFrameSamples];  // mixed and dropped

void Arrive() {
    s_active = false;
    Mixer::Hold(false);
    // The time the jump took is not the next frame's delta.
    FrameTimer::Start();
}

void DrawNotice(const CLumivane& app) {
    GraphicsDevice::Clear(0xFF000000);
    const Vector2 position(32.0f, 32.0f);
    GraphicsDevice::PrintText(GraphicsDevice::GetFont(), &position, 0xFFC0C0C0, "Jumping to %.1f s (at %.1f s)",
                              static_cast<double>(s_target), static_cast<double>(app.timeline.demoTime));
    // The show's fade belongs to its next frame, not to the notice.
    const uint8_t fade = GraphicsDevice::GetFade();
    GraphicsDevice::SetFade(0);
    GraphicsDevice::Present();
    GraphicsDevice::SetFade(fade);
}

}  // namespace

void StepFrame(CLumivane& app, bool draw) {
    FrameTimer::Clock().Step(kCountsPerFrame, kCountsPerFrame * kFramesPerSecond);
    Mixer::Render(s_sound, kFrameSamples);
    if (!draw) return app.FrameWithoutDrawing();
    app.Frame();
    GraphicsDevice::Present();
}

void Start(CLumivane& app, float target) {
    const float end = Timeline::EndTime();
    s_target = target < 0.0f ? 0.0f : target > end ? end : target;
    if (s_target == 0.0f || s_target < app.timeline.demoTime) app.Rewind();
    if (!s_active) s_started = Clock::now();
    s_active = true;
    // From here the music moves with the jump's frames, unheard.
    Mixer::Hold(true);
}

bool Active() { return s_active; }
float Target() { return s_target; }

void HandleKeys(CLumivane& app) {
    const float from = s_active ? s_target : app.timeline.demoTime;
    if (InputState::WasKeyPressed(kKeyPageDown)) Start(app, from + kStep);
    if (InputState::WasKeyPressed(kKeyPageUp)) Start(app, from - kStep);
    if (InputState::WasKeyPressed(kKeyHome)) Start(app, 0.0f);
}

bool Continue(CLumivane& app, double budgetSeconds) {
    if (!s_active) return true;
    // The jump's frames see no keys: the ones of this pass belong to the viewer.
    InputState& input = InputState::Get();
    const InputState held = input;
    input = InputState();
    const Clock::time_point sliceEnd =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(budgetSeconds));
    bool arrived = false;
    for (;;) {
        // The frame that starts at or after the target is the first one drawn.
        if (app.timeline.demoTime >= s_target || AppShell::IsQuitRequested()) {
            arrived = true;
            break;
        }
        if (Clock::now() >= sliceEnd) break;
        StepFrame(app, false);
    }
    input = held;
    if (arrived) {
        Arrive();
        return true;
    }
    if (std::chrono::duration<double>(Clock::now() - s_started).count() > kNoticeAfterSeconds) DrawNotice(app);
    return false;
}

}  // namespace Jumps
