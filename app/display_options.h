// The display chosen on the command line instead of in the setup dialog:
// --window or --fullscreen, --size WxH, --aspect 4:3|16:9|16:10, --vsync.
// Any of them skips the dialog; what they leave out is what the dialog
// would have preselected (the desktop resolution and shape, a window, no
// vsync).
#pragma once

#include "app/display_modes.h"

struct DisplaySettings;

struct DisplayOptions {
    bool window = false, fullscreen = false;
    bool sizeGiven = false;
    int width = 0, height = 0;
    int aspectIndex = -1;  // -1: not given; else 0 "4:3", 1 "16:9", 2 "16:10"
    bool vsync = false;

    bool Given() const { return window || fullscreen || sizeGiven || aspectIndex >= 0 || vsync; }
};

// "4:3", "16:9" or "16:10" as the aspect entry; -1 for anything else.
int ParseAspect(const char* text);

// Writes the options into `settings` over the dialog's preselection.
void ApplyDisplayOptions(const DisplayOptions& options, const DisplayModeList& preselection, DisplaySettings* settings);
