#include "app/display_options.h"

#include <cstring>

#include "render/graphics_device.h"

int ParseAspect(const char* text) {
    static const char* const kAspects[] = {"4:3", "16:9", "16:10"};
    for (int i = 0; i < 3; ++i)
        if (std::strcmp(text, kAspects[i]) == 0) return i;
    return -1;
}

void ApplyDisplayOptions(const DisplayOptions& options, const DisplayModeList& preselection,
                         DisplaySettings* settings) {
    if (options.sizeGiven) {
        settings->windowWidth = static_cast<float>(options.width);
        settings->windowHeight = static_cast<float>(options.height);
    } else if (preselection.selected >= 0 &&
               preselection.selected < static_cast<int>(preselection.resolutions.size())) {
        const Resolution& r = preselection.resolutions[preselection.selected];
        settings->windowWidth = static_cast<float>(r.width);
        settings->windowHeight = static_cast<float>(r.height);
    }
    settings->aspectIndex = options.aspectIndex >= 0 ? options.aspectIndex : preselection.aspectIndex;
    settings->windowed = !options.fullscreen;
    settings->vsync = options.vsync;
}
