#include "app/display_modes.h"

#include <algorithm>
#include <cctype>
#include <string>

static bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The display's modes of at least 800 x 600, one per resolution, by width
// then height.
static std::vector<Resolution> UsableModes(const std::vector<Platform::DisplayModeInfo>& modes) {
    std::vector<Resolution> usable;
    for (const Platform::DisplayModeInfo& m : modes) {
        if (m.width < 800 || m.height < 600) continue;
        bool listed = std::any_of(usable.begin(), usable.end(),
                                  [&](const Resolution& r) { return r.width == m.width && r.height == m.height; });
        if (!listed) usable.push_back({m.width, m.height});
    }
    std::sort(usable.begin(), usable.end(), [](const Resolution& a, const Resolution& b) {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    });
    return usable;
}

int AspectIndexForDesktop(int width, int height) {
    if (height <= 0) return 0;
    // Compared exactly, as floats: only these two ratios are recognised.
    float ratio = static_cast<float>(width) / static_cast<float>(height);
    if (ratio == 1.6f) return 2;
    if (ratio == 16.0f / 9.0f) return 1;
    return 0;
}

DisplayModeList EnumerateDisplayModes(const std::vector<Platform::DisplayInfo>& displays) {
    DisplayModeList list;
    const Platform::DisplayInfo* first = nullptr;
    const Platform::DisplayInfo* last = nullptr;
    int listedDisplays = 0;
    for (const Platform::DisplayInfo& display : displays) {
        std::vector<Resolution> modes = UsableModes(display.modes);
        if (modes.empty()) continue;
        if (listedDisplays == 1 && SameNameIgnoringCase(display.name, first->name)) break;
        if (!first) first = &display;
        last = &display;
        ++listedDisplays;
        for (const Resolution& r : modes) {
            if (r.width == display.desktopWidth && r.height == display.desktopHeight)
                list.selected = static_cast<int>(list.resolutions.size());
            list.resolutions.push_back(r);
        }
    }
    if (list.selected < 0 && !list.resolutions.empty()) list.selected = 0;
    if (last) list.aspectIndex = AspectIndexForDesktop(last->desktopWidth, last->desktopHeight);
    return list;
}

DisplayModeList EnumerateDisplayModes() { return EnumerateDisplayModes(Platform::QueryDisplays()); }
