// The statistics overlay: frame rate, timeline time and the active camera,
// grey and three-quarters opaque near the top left corner.
#include "app/overlays.h"
#include "core/camera.h"
#include "core/frame_timer.h"
#include "render/graphics_device.h"

void DrawStatistics(float demoTime) {
    const uint32_t grey = 0xC0808080;
    FontHolder* font = GraphicsDevice::GetFont();
    const Vector2 fpsPos(32.0f, 32.0f), totalPos(32.0f, 64.0f), cameraPos(32.0f, 100.0f);
    GraphicsDevice::PrintText(font, &fpsPos, grey, "FPS: %.2f", static_cast<double>(FrameTimer::GetFps()));
    GraphicsDevice::PrintText(font, &totalPos, grey, "Total: %.2f", static_cast<double>(demoTime));
    Vector3 position, focus;
    if (const Camera* camera = GetActiveCamera()) {
        position = camera->GetPosition();
        focus = camera->GetTarget();
    }
    GraphicsDevice::PrintText(font, &cameraPos, grey, "Cam:\nPos = %.2f, %.2f, %.2f\nFocus = %.2f, %.2f, %.2f",
                              static_cast<double>(position.x), static_cast<double>(position.y),
                              static_cast<double>(position.z), static_cast<double>(focus.x),
                              static_cast<double>(focus.y), static_cast<double>(focus.z));
}
