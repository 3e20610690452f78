// The F2 sync display: the spectrum as green bars with the selected band's
// edges and a cursor, for tuning the sync channels while the show runs.
#include "app/overlays.h"
#include "assets/music.h"
#include "assets/spectrum.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "timeline/sync.h"

static SyncDisplayState s_display;

SyncDisplayState& GetSyncDisplay() { return s_display; }

void HandleSyncDisplayKeys(SyncDisplayState& display) {
    if (InputState::WasKeyPressed(kKeyUp)) {
        display.channel = display.channel - 1 < 0 ? 0 : display.channel - 1;
        display.cursor = static_cast<int>(GetSyncChannel(display.channel)->first);
    }
    if (InputState::WasKeyPressed(kKeyDown)) {
        display.channel = display.channel + 1 > kSyncChannelCount - 1 ? kSyncChannelCount - 1 : display.channel + 1;
        display.cursor = static_cast<int>(GetSyncChannel(display.channel)->first);
    }
    SyncChannel& channel = *GetSyncChannel(display.channel);
    bool shift = InputState::IsKeyDown(kKeyShift);
    // Shift going down moves the cursor to the band's end, letting go back to its first bin.
    if (shift) {
        if (!display.editingEnd) {
            display.cursor = static_cast<int>(channel.end);
            display.editingEnd = true;
        }
    } else if (display.editingEnd) {
        display.cursor = static_cast<int>(channel.first);
        display.editingEnd = false;
    }
    if (InputState::WasKeyPressed(kKeyLeft)) display.cursor = display.cursor - 1 < 0 ? 0 : display.cursor - 1;
    if (InputState::WasKeyPressed(kKeyRight))
        display.cursor = display.cursor + 1 > kSpectrumLevels - 1 ? kSpectrumLevels - 1 : display.cursor + 1;
    // Every frame, moved or not.
    if (shift)
        channel.end = static_cast<unsigned>(display.cursor);
    else
        channel.first = static_cast<unsigned>(display.cursor);
}

void DrawSyncDisplay() {
    SyncDisplayState& display = s_display;
    if (InputState::WasKeyPressed(kKeyF2)) display.visible = !display.visible;
    if (!display.visible) return;

    const SyncChannel& channel = *GetSyncChannel(display.channel);
    Vector2 textPosition(32.0f, 80.0f);
    GraphicsDevice::PrintText(GraphicsDevice::GetFont(), &textPosition, 0xFF808080, "%s = %d %d", channel.name,
                              static_cast<int>(channel.first), static_cast<int>(channel.end));

    // One bar per bin, 2 units wide, standing up from the bottom: 512 units for a level of 1.
    const float h = DisplaySettings::Get().windowHeight;
    const float* spectrum = Music::GetSpectrum();
    const Vector2 barSize(2.0f, h);
    for (int i = 0; i < kSpectrumLevels; ++i) {
        Vector2 position(2.0f * i, h - 512.0f * spectrum[i]);
        Renderer2D::DrawQuad(&position, &barSize, 0xFF00FF00);
    }
    // Markers: the band's first bin, its end, and the cursor.
    const struct {
        unsigned bin;
        uint32_t colour;
    } markers[3] = {
        {channel.first, 0xFF0000FF},
        {channel.end, 0xFF00FFFF},
        {static_cast<unsigned>(display.cursor), 0xFFFF00FF},
    };
    for (const auto& marker : markers) {
        Vector2 position(2.0f * marker.bin, h - 512.0f);
        Renderer2D::DrawQuad(&position, &barSize, marker.colour);
    }

    HandleSyncDisplayKeys(display);
}
