#include "app/entry.h"

#include <cstdio>

#include "app/app.h"
#include "app/app_shell.h"
#include "app/capture.h"
#include "app/jumps.h"
#include "app/lumivane.h"
#include "app/overlays.h"
#include "assets/effect_reload.h"
#include "assets/music.h"
#include "assets/prefetch.h"
#include "core/frame_timer.h"
#include "core/tweaks.h"
#include "platform/input.h"
#include "platform/interrupt.h"
#include "platform/keys.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "render/post_process.h"

// Wall time a pass of a jump runs the show for before it looks at the
// window again: the window answers at about 10 passes a second meanwhile.
constexpr double kJumpSliceSeconds = 0.1;

// One pass of a jump under way: its keys, then the next slice of its frames.
static void JumpPass() {
    CLumivane& show = TheLumivane();
    if (InputState::IsKeyDown(kKeyEscape)) AppShell::RequestQuit();
    Jumps::HandleKeys(show);
    Jumps::Continue(show, kJumpSliceSeconds);
    InputState::Snapshot();
}

// One pass of the loop: a waiting window message if there is one, otherwise
// one frame (or, while a jump is under way, a slice of it). Returns false
// when the Quit message arrived.
static bool LoopPass(CApp* app, FrameCapture* capture) {
    Platform::Event event;
    if (Platform::PollEvent(&event)) {
        if (event.message == Platform::Message::Quit) return false;
        HandleWindowMessage(event);
        return true;
    }
    // --data: effect files changed on disk are reloaded between frames
    // (captures keep the files they started with).
    if (!capture) EffectFiles::ReloadChanged();
    if (Jumps::Active()) {
        JumpPass();
        return true;
    }
    if (capture) capture->BeginFrame(TheLumivane().timeline.demoTime);
    FrameTimer::Update();
    if (!capture || capture->WritesFrame()) {
        app->Frame();
        DrawTweakEditor();
        if (!capture) DrawEffectError();  // a capture's pictures are the show's alone
        GraphicsDevice::Present();
    } else {
        TheLumivane().FrameWithoutDrawing();  // nobody sees it
    }
    if (capture) {
        if (!capture->EndFrame()) AppShell::RequestQuit();
    } else {
        Platform::Sleep(1);
        Jumps::HandleKeys(TheLumivane());  // a jump starts in the next pass
    }
    InputState::Snapshot();
    return true;
}

int RunShow(FrameCapture* capture, float playFrom) {
    Platform::CatchInterrupts();
    if (!Platform::Init(capture != nullptr)) return 1;
    // The assets start decoding now, while the window and the device are made.
    AssetPrefetch::Start(capture != nullptr);
    CApp* app = AppShell::GetApp();
    // The sound system: a device, or in capture mode a clock that moves with
    // the frames. Without a device the show runs silently.
    Music::Init(capture != nullptr);

    // Read before anything registers, so every registration finds its value.
    LoadTweaks();
    int exitCode = 0;
    int interrupted = 0;  // SIGINT or SIGTERM ended the loop
    // The viewer picks the display in the setup dialog (declining it is not
    // an error), then the window and the device are made from that choice.
    // A capture has chosen its picture already and never asks.
    bool start = capture || app->ShowSetup();
    bool created = start && GraphicsDevice::Create();
    // A capture writes nothing until the show can run.
    if (created && capture && !capture->Open()) {
        GraphicsDevice::Destroy();
        created = false;
    }
    if (created) {
        PostProcessChain::Create();
        app->Init();
        FrameTimer::Start();  // start-up time does not count as the first frame
        // --from when playing: the show opens there, with its music.
        if (!capture && playFrom > 0.0f) Jumps::Start(TheLumivane(), playFrom);
        while (!AppShell::IsQuitRequested() && !Platform::InterruptSignal() && LoopPass(app, capture)) {}
        interrupted = Platform::InterruptSignal();
        app->Shutdown();
        PostProcessChain::Release();
        GraphicsDevice::Destroy();
    } else if (start) {
        exitCode = 1;  // the window, the device or the capture's output could not be made
    }
    // Last of all: the camera and every other registered variable are still
    // alive. A run that registered nothing leaves the file alone; one that
    // cannot save says so and fails.
    if (SaveTweaks() == SaveResult::Failed) exitCode = 1;
    if (capture && (!capture->Close() || capture->Failed())) exitCode = 1;
    if (interrupted) {
        std::fprintf(stderr, "lumivane: %s stopped the show at %.2f s%s\n", Platform::SignalName(interrupted),
                     static_cast<double>(TheLumivane().timeline.demoTime), capture ? "; the capture ends there" : "");
        // A capture that did not reach its end is not a success.
        if (capture && exitCode == 0) exitCode = 128 + interrupted;
    }
    AssetPrefetch::Stop();  // when the show never ran to its shutdown
    // The device thread must stop before SDL (and the process) go away.
    Music::Shutdown();
    Platform::Shutdown();
    return exitCode;
}
