#include <gtest/gtest.h>

#include "app/display_options.h"
#include "render/graphics_device.h"

TEST(DisplayOptions, LeftOutValuesAreTheDialogsPreselection) {
    DisplayModeList preselection;
    preselection.resolutions = {{1024, 768}, {1920, 1080}};
    preselection.selected = 1;
    preselection.aspectIndex = 1;

    DisplayOptions fullscreen;
    fullscreen.fullscreen = true;
    DisplaySettings s;
    ApplyDisplayOptions(fullscreen, preselection, &s);
    EXPECT_EQ(s.windowWidth, 1920.0f);
    EXPECT_EQ(s.windowHeight, 1080.0f);
    EXPECT_EQ(s.aspectIndex, 1);
    EXPECT_FALSE(s.windowed);
    EXPECT_FALSE(s.vsync);

    DisplayOptions all;
    all.window = true;
    all.sizeGiven = true;
    all.width = 1024;
    all.height = 768;
    all.aspectIndex = 0;
    all.vsync = true;
    s = DisplaySettings{};
    ApplyDisplayOptions(all, preselection, &s);
    EXPECT_EQ(s.windowWidth, 1024.0f);
    EXPECT_EQ(s.windowHeight, 768.0f);
    EXPECT_EQ(s.aspectIndex, 0);
    EXPECT_TRUE(s.windowed);
    EXPECT_TRUE(s.vsync);

    // No usable mode: the size stays 1280x720.
    s = DisplaySettings{};
    ApplyDisplayOptions(fullscreen, DisplayModeList{}, &s);
    EXPECT_EQ(s.windowWidth, 1280.0f);
    EXPECT_EQ(s.windowHeight, 720.0f);
}
