#include "app/entry.h"

#include "app/app.h"
#include "app/app_shell.h"
#include "app/capture.h"
#include "app/lumivane.h"
#include "app/overlays.h"
#include "assets/music.h"
#include "assets/prefetch.h"
#include "core/frame_timer.h"
#include "core/tweaks.h"
#include "platform/input.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "render/post_process.h"

// One pass of the loop: a waiting window message if there is one, otherwise
// one frame. Returns false when the Quit message arrived.
static bool LoopPass(CApp* app, FrameCapture* capture) {
    Platform::Event event;
    if (Platform::PollEvent(&event)) {
        if (event.message == Platform::Message::Quit) return false;
        HandleWindowMessage(event);
        return true;
    }
    if (capture) capture->BeginFrame(TheLumivane().timeline.demoTime);
    FrameTimer::Update();
    app->Frame();
    DrawTweakEditor();
    GraphicsDevice::Present();
    if (capture) {
        if (!capture->EndFrame()) AppShell::RequestQuit();
    } else {
        Platform::Sleep(1);
    }
    InputState::Snapshot();
    return true;
}

int RunShow(FrameCapture* capture) {
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
    // The viewer picks the display in the setup dialog (declining it is not
    // an error), then the window and the device are made from that choice.
    // A capture has chosen its picture already and never asks.
    bool start = capture || app->ShowSetup();
    if (start && GraphicsDevice::Create()) {
        PostProcessChain::Create();
        app->Init();
        FrameTimer::Start();  // start-up time does not count as the first frame
        while (!AppShell::IsQuitRequested() && LoopPass(app, capture)) {
        }
        app->Shutdown();
        PostProcessChain::Release();
        GraphicsDevice::Destroy();
    } else if (start) {
        exitCode = 1;  // the window or the device could not be made
    }
    // Last of all: the camera and every other registered variable are still
    // alive. A run that registered nothing leaves the file alone.
    SaveTweaks();
    if (capture && (!capture->Close() || capture->Failed())) exitCode = 1;
    AssetPrefetch::Stop();  // when the show never ran to its shutdown
    // The device thread must stop before SDL (and the process) go away.
    Music::Shutdown();
    Platform::Shutdown();
    return exitCode;
}
