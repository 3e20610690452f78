// The error line of a live effect file that does not compile.
#include "app/overlays.h"
#include "assets/effect_reload.h"
#include "render/graphics_device.h"

void DrawEffectError() {
    const char* error = EffectFiles::Error();
    if (!error) return;
    // Above the bottom edge by a little more than a line of text.
    const Vector2 position(32.0f, 660.0f);
    GraphicsDevice::PrintText(GraphicsDevice::GetFont(), &position, 0xFFFF5050, "%s", error);
}
