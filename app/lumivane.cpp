#include "app/lumivane.h"

#include <cmath>

#include "app/app_shell.h"
#include "app/overlays.h"
#include "app/setup_dialog.h"
#include "assets/catalogue.h"
#include "assets/effect_reload.h"
#include "assets/music.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/camera.h"
#include "core/frame_timer.h"
#include "core/maths.h"
#include "core/tweaks.h"
#include "effects/voxel_resources.h"
#include "platform/gpu.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"
#include "timeline/show_levels.h"
#include "timeline/show_state.h"
#include "timeline/sync.h"

float s_DisplayStats = 0.0f;
float RgbSplitStrength = 0.0f;
// The split shifts each channel by up to 0.04 x strength of the picture's
// width (51 pixels at 1280 and strength 1) and brightens by up to half the
// strength: at 1/1024 that is a twentieth of a pixel and an eighth of one
// step of 8-bit colour, which nobody sees. The strength only reaches 0 some
// two minutes after a burst; the plain copy takes over ten seconds after.
const float kVisibleRgbSplit = 1.0f / 1024.0f;
static ShowStateReset s_resetSplit([] { RgbSplitStrength = 0.0f; });

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
    DisplaySettings& display = DisplaySettings::Get();
    if (displayOptions.Given()) {
        ApplyDisplayOptions(displayOptions, EnumerateDisplayModes(), &display);
        return true;
    }
    if (Platform::IsOffscreen()) return true;
    return RunSetupDialog(&display);
}

void CLumivane::Init() {
    timeline.demoTime = 0.0f;
    timeline.nextEntry = 0;
    GraphicsDevice::SetClearColour(ColourFromFloats(0.0f, 0.0f, 0.0f, 0.0f));
    const ViewValues& view = GraphicsDevice::View();
    if (!camera) camera = new Camera(view.viewWidth, view.viewHeight);
    camera->SetClipPlanes(0.1f, 1024.0f);
    SetActiveCamera(camera);
    RegisterTweak("s_DisplayStats", &s_DisplayStats, 1.0f, 0.0f, 1.0f, false);
    sceneTarget = GraphicsDevice::CreateViewTarget();
    noiseTexture = Texture::CreateNoise(128, 128, Gpu::kFormatA8R8G8B8);
    EffectFiles::Load(&rgbSplitEffect, kFxRgbSplit, "Data\\Shaders\\RGBSplit.fx");  // its own copy
    GraphicsDevice::ShowWindow(true);
    CreateVoxelResources();  // false when the cloud cannot be drawn: it says why, and the show goes on
}

void CLumivane::Shutdown() {
    ReleaseVoxelResources();
    ActiveEffectList::Clear();
    DeleteTexture(sceneTarget);
    EffectFiles::Forget(&rgbSplitEffect);
    Gpu::ReleaseEffect(rgbSplitEffect);
    rgbSplitEffect = nullptr;
    DeleteTexture(noiseTexture);
    Music::Stop(song);
    Music::Free(song);
    song = nullptr;
    ReleaseCatalogue();
}

void CLumivane::StartMusic() {
    // A restart frees the song, so the loading screen that follows loads it
    // afresh. Should the song still exist, it plays from its start rather
    // than a second copy over it.
    if (!song) song = Music::Load(kMusicSoundtrack);
    Music::Play(song);
    // From here on the timeline's time is the music's position. The frame
    // clock moved it on by the two frames before the loading screen took
    // over; left there, every picture would run that far ahead of its sound.
    timeline.demoTime = 0.0f;
    timeline.lastMusicTime = 0.0f;
}

void CLumivane::Frame() { RunFrame(true); }

void CLumivane::FrameWithoutDrawing() { RunFrame(false); }

void CLumivane::RunFrame(bool draw) {
    // Keys belong to the frames the viewer sees.
    if (draw && InputState::IsKeyDown(kKeyEscape)) AppShell::RequestQuit();  // the frame still runs
    bool loading = ActiveEffectList::IsClassActive(kLoading);
    float dt = FrameTimer::GetDeltaTime();
    Gpu::Surface* saved = nullptr;
    if (draw) {
        if (!GraphicsDevice::BeginScene()) return;
        // Everything the effects draw goes into the scene target.
        saved = GraphicsDevice::SetRenderTexture(sceneTarget);
        GraphicsDevice::ClearDepth(1.0f);
        GraphicsDevice::Clear(*GraphicsDevice::GetClearColour());
    }

    // While the loading screen runs the timeline stands still, R does
    // nothing and the fade is the loading screen's own.
    if (!loading) {
        if (Timeline::Step(timeline)) AppShell::RequestQuit();  // every effect has run
        if (draw && InputState::WasKeyPressed('R')) Timeline::Restart(timeline, &song);
        GraphicsDevice::SetFade(Timeline::OpeningFade(timeline.demoTime));
    }

    ActiveEffectList::Tick(dt, draw);
    // The loading screen removed itself in this tick: its fade is over and
    // the music starts. (Cleared away at shutdown, it starts nothing.)
    if (loading && !ActiveEffectList::IsClassActive(kLoading)) StartMusic();

    if (draw) {
        GraphicsDevice::RestoreRenderTarget(saved);
        DrawFinalPass(dt);
    } else {
        RgbSplitStrength = EaseRgbSplit(RgbSplitStrength, RgbSplitTarget, dt);
    }

    // The music's position drives the clock once it plays; until then the frame clock.
    if (!loading) Timeline::AdvanceClock(timeline, dt, song);

    if (!draw) return;
    if (s_DisplayStats != 0.0f) DrawStatistics(timeline.demoTime);

    DrawSyncDisplay();  // F2: the spectrum and the sync bands

    GraphicsDevice::EndScene();
}

void CLumivane::Rewind() {
    // The effects go first: some change the shared state as they are deleted.
    Timeline::Restart(timeline, &song);
    ResetShowState();
    RewindPreload();
    FrameTimer::ResetTime();
}

void CLumivane::DrawFinalPass(float dt) {
    // Without a scene target the effects drew onto the back buffer itself;
    // clearing it now would throw their picture away.
    bool haveScene = sceneTarget && sceneTarget->texture;
    if (haveScene) GraphicsDevice::Clear(*GraphicsDevice::GetClearColour());  // bars included
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 0);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    RgbSplitStrength = EaseRgbSplit(RgbSplitStrength, RgbSplitTarget, dt);
    if (!haveScene || !rgbSplitEffect) return;

    const ViewValues& view = GraphicsDevice::View();
    const float top = GraphicsDevice::GetLetterboxHeight();
    // At strength 0 the split is a plain copy, and below kVisibleRgbSplit it
    // looks like one. The quad that would draw it starts half a pixel in, so
    // scene pixel (x, y) lands on (x + 1, y + 1) below the top bar: the
    // driver copies the memory there instead, without a pass over every
    // pixel. (A bar of half a pixel would need the filtered draw.)
    const bool plain = RgbSplitStrength < kVisibleRgbSplit;
    rgbSplitEffect->SetTechnique(plain ? "PlainCopy" : "PostProcess");
    rgbSplitEffect->SetFloat("g_fScale", RgbSplitStrength);
    rgbSplitEffect->SetFloat("g_fTimer", FrameTimer::GetTime() * 0.1f);
    rgbSplitEffect->SetTexture("g_txScene", sceneTarget->texture);
    rgbSplitEffect->SetTexture("g_txNoise", noiseTexture ? noiseTexture->texture : nullptr);
    rgbSplitEffect->SetFloatArray("g_PixelRatio", view.pixelRatio, 2);
    if (plain && top == std::floor(top)) {
        Gpu::CopySurface(sceneTarget->surface, 1, static_cast<int>(top) + 1);
        return;
    }
    const Vector2 position(0.0f, top);
    const Vector2 size(view.viewWidth, view.viewHeight);
    Renderer2D::DrawEffectQuad(rgbSplitEffect, &position, &size, 0xFFFFFFFF);
}
