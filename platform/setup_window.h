// The setup dialog's own window: a small fixed-size SDL window with an
// OpenGL context, and Dear ImGui drawn into it through its SDL and OpenGL 3
// backends. The dialog's layout and logic (app/) use ImGui's widgets between
// BeginSetupFrame and EndSetupFrame; everything that touches SDL or OpenGL
// stays here.
#pragma once
#include <cstdint>

namespace Platform {

// Opens the window (hidden until its first frame is drawn), centred on the
// primary display, with `width` x `height` client pixels, and makes an ImGui
// context for it. Fonts may be added to ImGui's atlas before the first
// frame. On failure `error` (if given) receives the reason.
bool OpenSetupWindow(const char* title, int width, int height, const char** error);
// Closes the window, its context and ImGui; whichever OpenGL context was
// current before OpenSetupWindow is current again.
void CloseSetupWindow();

// A picture for ImGui::Image: A8R8G8B8 texels (0xAARRGGBB), top row first.
// Returns the ImTextureID, or null if it cannot be made. Freed by
// CloseSetupWindow.
void* CreateSetupTexture(const uint32_t* texels, int width, int height);

// What the dialog acts on besides ImGui's widgets. Each flag is latched from
// the events since the previous frame, so a key tapped between two frames
// still counts.
struct SetupInput {
    bool enter = false;   // Return or keypad Enter went down
    bool escape = false;  // Escape went down
    bool close = false;   // the window was closed
};

// Waits up to `waitMilliseconds` for input, hands every waiting event to
// ImGui and starts an ImGui frame.
SetupInput BeginSetupFrame(int waitMilliseconds);
// Renders the frame over a background of `clearColour` (0xRRGGBB) and shows it.
void EndSetupFrame(uint32_t clearColour);

}  // namespace Platform
