// The overlays drawn over the finished frame: the statistics in the top
// left corner (s_DisplayStats), the F2 sync display and the F1 tweak editor.
// Each reads the keys it needs from InputState itself.
#pragma once
#include <cstdint>

struct InputState;

// Frame rate, the timeline time and the active camera, grey and
// three-quarters opaque near the top left corner.
void DrawStatistics(float demoTime);

// The line of an effect file that does not compile (live effect files,
// assets/effect_reload.h), near the bottom left corner, while there is one.
void DrawEffectError();

// The display's state: shown or not, the channel being tuned, the bin under
// the cursor, and whether Shift moved the cursor to the band's end.
struct SyncDisplayState {
    bool visible = false;
    int channel = 0;
    int cursor = 0;
    bool editingEnd = false;
};
SyncDisplayState& GetSyncDisplay();

// Once per frame, after everything else is drawn: F2 shows or hides the
// spectrum with the selected band; while shown, Up/Down pick a channel,
// Left/Right move the cursor over the bins, and the cursor sets the band's
// first bin, or its end while Shift is held.
void DrawSyncDisplay();
// The display's keys (the part of DrawSyncDisplay after drawing).
void HandleSyncDisplayKeys(SyncDisplayState& display);

// Once per frame, after the frame is rendered and before it is presented:
// F1 shows or hides the editor; while shown, Up/Down select, Left/Right step
// (Shift doubles), the selected value is clamped, and the panel is drawn.
void DrawTweakEditor();

// The editor's input step (everything but the drawing). True when visible.
bool UpdateTweakEditor(const InputState& input);

// One text row of the panel: which entry, where, in which colour.
struct TweakEditorRow {
    int index;
    float y;
    uint32_t colour;
};
constexpr int kTweakEditorRows = 7;
// The rows around the selection, wrapped into the registered list; 0 when
// nothing is registered, else kTweakEditorRows.
int GetTweakEditorRows(TweakEditorRow rows[kTweakEditorRows]);
