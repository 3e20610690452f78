#include "render/graphics_device.h"

#include <cstdio>

#include "app/app.h"
#include "app/app_shell.h"
#include "platform/gpu.h"
#include "platform/window.h"

DisplaySettings& DisplaySettings::Get() {
    static DisplaySettings s_settings;
    return s_settings;
}

ViewValues ViewValues::FromSettings(const DisplaySettings& s) {
    ViewValues v;
    v.viewWidth = s.windowWidth;
    v.viewHeight = s.windowHeight;
    if (s.aspectIndex == 0) v.viewHeight = s.windowHeight / (s.windowWidth / s.windowHeight);
    v.scaleX = s.windowWidth / s.virtualWidth;
    v.scaleY = v.viewHeight / s.virtualHeight;
    v.pixelRatio[0] = 1.0f / s.windowWidth;
    v.pixelRatio[1] = 1.0f / s.windowHeight;
    return v;
}

namespace GraphicsDevice {

static ViewValues s_view;
static uint8_t s_fadeLevel = 255;          // the first frames are black
static uint32_t s_clearColour = 0xFFFFFFFF;
static bool s_created = false;

bool Create(bool* cancelled) {
    bool start = AppShell::GetApp()->ShowSetup();
    if (cancelled) *cancelled = !start;
    if (!start) return false;

    const DisplaySettings& settings = DisplaySettings::Get();
    s_view = ViewValues::FromSettings(settings);

    int width = static_cast<int>(settings.windowWidth);
    int height = static_cast<int>(settings.windowHeight);
    int x = 0, y = 0;
    if (settings.windowed) {
        // Centred on the primary display; a window larger than the display
        // overhangs both edges equally.
        int screenWidth, screenHeight;
        Platform::GetDisplaySize(&screenWidth, &screenHeight);
        x = (screenWidth - width) / 2;
        y = (screenHeight - height) / 2;
    }
    const char* error = nullptr;
    Platform::WindowDesc desc{"Lumivane - ZOPa", x, y, width, height, !settings.windowed,
                              settings.vsync};
    if (!Platform::CreateMainWindow(desc, &error)) {
        std::fprintf(stderr, "lumivane: cannot open the window: %s\n", error);
        return false;
    }
    if (!Gpu::CreateDevice(width, height, &error)) {
        std::fprintf(stderr, "lumivane: cannot create the graphics device: %s\n", error);
        Platform::DestroyMainWindow();
        return false;
    }
    if (Gpu::PixelShaderMajor() < settings.requiredShaderMajor)
        Platform::WarningBox("This code won't run on your GPU", "");
    Platform::ShowCursor(false);
    s_created = true;
    return true;
}

void Destroy() {
    if (!s_created) return;
    Gpu::DestroyDevice();
    Platform::DestroyMainWindow();
    s_created = false;
}

void ShowWindow(bool show) { Platform::ShowMainWindow(show); }

bool BeginScene() { return s_created; }
void EndScene() {}

void Clear(uint32_t colour) { Gpu::Clear(Gpu::kClearTarget, colour, 0.0f); }
void ClearDepth(float depth) { Gpu::Clear(Gpu::kClearZBuffer, 0, depth); }

void Present() { Gpu::Present(); }

const ViewValues& View() { return s_view; }

float GetLetterboxHeight() {
    return (DisplaySettings::Get().windowHeight - s_view.viewHeight) * 0.5f;
}

void SetFade(uint8_t level) { s_fadeLevel = level; }
uint8_t GetFade() { return s_fadeLevel; }
uint32_t* GetClearColour() { return &s_clearColour; }
void SetClearColour(uint32_t colour) { s_clearColour = colour; }

}  // namespace GraphicsDevice
