// The F1 tuning editor: a panel in the lower left corner listing seven
// tweaks around the selected one.
#include "app/overlays.h"
#include "core/tweaks.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"

namespace {

bool Held(const InputState& in, int key) { return in.Down(key); }
bool WentDown(const InputState& in, int key) { return in.Pressed(key); }

// Panel geometry in the 1280x720 layout space, measured from its bottom.
constexpr float kPanelTop = 202.0f;   // panel top is this far above the bottom
constexpr float kRowSpacing = 22.0f;  // the first row sits one spacing below the top
constexpr float kNameX = 26.0f, kValueX = 326.0f;
constexpr uint32_t kSelectedColour = 0xffffffff, kRowColour = 0x80ffffff;

}  // namespace

bool UpdateTweakEditor(const InputState& in) {
    TweakTable& table = TweakTable::Get();
    if (WentDown(in, kKeyF1)) table.editorVisible = !table.editorVisible;
    if (!table.editorVisible) return false;

    // The selection only moves over entries that exist, so it stays a valid
    // index once tweaks are registered later (the list never shrinks).
    int n = static_cast<int>(table.registered.size());
    if (n == 0) return true;
    if (WentDown(in, kKeyUp) && --table.selection < 0) table.selection = n - 1;
    if (WentDown(in, kKeyDown) && ++table.selection >= n) table.selection = 0;

    const TweakEntry& e = table.registered[table.selection];
    float v = *e.value;
    float s = Held(in, kKeyShift) ? e.step * 2.0f : e.step;
    if (e.stepOnPress) {
        if (WentDown(in, kKeyLeft)) v -= s;
        if (WentDown(in, kKeyRight)) v += s;
    } else {
        if (Held(in, kKeyLeft)) v -= s;
        if (Held(in, kKeyRight)) v += s;
    }
    // Written back every visible frame, so a value loaded out of range is
    // pulled in as soon as it is selected (NaN lands on min).
    if (!(v > e.min))
        v = e.min;
    else if (!(v < e.max))
        v = e.max;
    *e.value = v;
    return true;
}

int GetTweakEditorRows(TweakEditorRow rows[kTweakEditorRows]) {
    const TweakTable& table = TweakTable::Get();
    int n = static_cast<int>(table.registered.size());
    if (n == 0) return 0;
    float top = DisplaySettings::Get().virtualHeight - kPanelTop;
    for (int k = 0; k < kTweakEditorRows; ++k) {
        int index = (table.selection - kTweakEditorRows / 2 + k) % n;
        if (index < 0) index += n;
        rows[k] = {index, top + kRowSpacing * static_cast<float>(k + 1),
                   index == table.selection ? kSelectedColour : kRowColour};
    }
    return kTweakEditorRows;
}

// The panel: a black frame with a dark green face, then the rows' names and
// values. Visible only while the editor is shown.
static void DrawTweakPanel() {
    float top = DisplaySettings::Get().virtualHeight - kPanelTop;
    const Vector2 framePos(4.0f, top), frameSize(500.0f, 198.0f);
    const Vector2 facePos(8.0f, top + 4.0f), faceSize(492.0f, 190.0f);
    Renderer2D::DrawQuadGradient(&framePos, &frameSize, 0xff000000, 0xff000000, 0xff000000, 0xff000000);
    Renderer2D::DrawQuadGradient(&facePos, &faceSize, 0xff408040, 0xff408040, 0xff408040, 0xff408040);

    TweakEditorRow rows[kTweakEditorRows];
    int count = GetTweakEditorRows(rows);
    const std::vector<TweakEntry>& entries = TweakTable::Get().registered;
    FontHolder* font = GraphicsDevice::GetFont();
    for (int k = 0; k < count; ++k) {
        const TweakEntry& e = entries[rows[k].index];
        const Vector2 namePos(kNameX, rows[k].y), valuePos(kValueX, rows[k].y);
        GraphicsDevice::PrintText(font, &namePos, rows[k].colour, "%s", e.name);
        GraphicsDevice::PrintText(font, &valuePos, rows[k].colour, "%.5f", static_cast<double>(*e.value));
    }
}

void DrawTweakEditor() {
    if (UpdateTweakEditor(InputState::Get())) DrawTweakPanel();
}
