#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/display_modes.h"

namespace {

using Platform::DisplayInfo;

std::string Names(const DisplayModeList& list) {
    std::string s;
    for (const Resolution& r : list.resolutions)
        s += (s.empty() ? "" : " ") + std::to_string(r.width) + "x" + std::to_string(r.height);
    return s;
}

// A monitor as SDL lists it: largest modes first, each at several refresh rates.
DisplayInfo Monitor(const char* name, int desktopWidth, int desktopHeight) {
    DisplayInfo d;
    d.name = name;
    d.desktopWidth = desktopWidth;
    d.desktopHeight = desktopHeight;
    d.modes = {{1920, 1080, 60}, {1920, 1080, 50}, {1280, 1024, 75}, {1280, 1024, 60}, {1024, 768, 60},
               {1024, 576, 60},  {800, 600, 60},   {800, 480, 60},   {640, 480, 60}};
    return d;
}

}  // namespace

TEST(EnumerateDisplayModes, RulesOverFakeDisplays) {
    DisplayInfo tiny{"Tiny", 640, 480, {{640, 480, 60}, {800, 480, 60}, {1024, 576, 60}}};
    DisplayInfo unsorted{"Other", 1280, 720, {{1280, 720, 60}, {1024, 768, 60}, {1280, 720, 30}, {1024, 600, 60}}};
    struct Case {
        const char* what;
        std::vector<DisplayInfo> displays;
        const char* list;
        int selected, aspect;
    };
    const Case cases[] = {
        {"too small dropped, refresh rates merged, sorted; desktop preselected",
         {Monitor("Dell", 1920, 1080)},
         "800x600 1024x768 1280x1024 1920x1080",
         3,
         1},
        {"desktop not listed: the first entry",
         {Monitor("Dell", 1280, 800)},
         "800x600 1024x768 1280x1024 1920x1080",
         0,
         2},
        {"a second head named like the first ends the list",
         {Monitor("DELL U2412M", 1920, 1080), Monitor("dell u2412m", 1280, 1024), unsorted},
         "800x600 1024x768 1280x1024 1920x1080",
         3,
         1},
        {"different displays one after the other; the last desktop match wins, the aspect is the last display's",
         {Monitor("Dell", 1920, 1080), Monitor("Acer", 1920, 1080)},
         "800x600 1024x768 1280x1024 1920x1080 800x600 1024x768 1280x1024 1920x1080",
         7,
         1},
        {"each display sorted on its own",
         {Monitor("Dell", 1280, 1024), unsorted},
         "800x600 1024x768 1280x1024 1920x1080 1024x600 1024x768 1280x720",
         6,
         1},
        {"a display without a usable mode is skipped and does not count as the first",
         {tiny, Monitor("Dell", 1366, 768), Monitor("DELL", 1920, 1080)},
         "800x600 1024x768 1280x1024 1920x1080",
         0,
         0},
        {"nothing usable: empty, nothing selected, 16:9", {tiny}, "", -1, 1},
        {"no display at all", {}, "", -1, 1},
    };
    for (const Case& c : cases) {
        DisplayModeList list = EnumerateDisplayModes(c.displays);
        EXPECT_EQ(Names(list), c.list) << c.what;
        EXPECT_EQ(list.selected, c.selected) << c.what;
        EXPECT_EQ(list.aspectIndex, c.aspect) << c.what;
    }
}

TEST(EnumerateDisplayModes, AspectFromTheDesktopRatioAsAFloat) {
    struct Case {
        int width, height, aspect;
    };
    const Case cases[] = {
        {1680, 1050, 2}, {1280, 800, 2}, {1920, 1080, 1}, {2560, 1440, 1}, {1366, 768, 0},
        {1280, 1024, 0}, {1024, 768, 0}, {2560, 1080, 0}, {1920, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AspectIndexForDesktop(c.width, c.height), c.aspect) << c.width << "x" << c.height;
}
