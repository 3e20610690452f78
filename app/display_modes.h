// The resolutions the setup dialog offers and what it preselects, from the
// displays' mode lists:
//  - a mode counts only if it is at least 800 x 600; the same resolution at
//    several refresh rates is one entry;
//  - each display's entries are sorted by width, then height, and the
//    displays follow one another in order; a display without a usable mode
//    is left out and does not count;
//  - a second display named like the first (ignoring case), as two outputs
//    of one card are, ends the list there;
//  - the entry equal to a listed display's desktop is preselected (the last
//    such entry wins), else the first;
//  - the aspect is preselected from the desktop ratio of the last listed
//    display, as a float: exactly 1.6 is "16:10", exactly 16/9 "16:9",
//    anything else "4:3" (so 1366 x 768 gives "4:3").
#pragma once
#include <vector>

#include "platform/displays.h"

struct Resolution {
    int width = 0, height = 0;
};

struct DisplayModeList {
    std::vector<Resolution> resolutions;  // the "Resolution:" entries in order
    int selected = -1;                    // preselected entry; -1 only when there is none
    int aspectIndex = 1;                  // 0 "4:3", 1 "16:9", 2 "16:10"; "16:9" without a display
};

DisplayModeList EnumerateDisplayModes(const std::vector<Platform::DisplayInfo>& displays);
// Over SDL's displays (needs Platform::Init).
DisplayModeList EnumerateDisplayModes();

// The aspect entry for a desktop of this size, by the rule above.
int AspectIndexForDesktop(int width, int height);
