#include <gtest/gtest.h>

#include <cmath>

#include "app/lumivane.h"
#include "render/graphics_device.h"

TEST(RgbSplit, StrengthFollowsTheTargetExponentially) {
    // About half way after one second of 60 Hz frames: (1 - 0.7/60)^60 ~ e^-0.7.
    float s = 0.0f;
    for (int i = 0; i < 60; ++i) s = EaseRgbSplit(s, 1.0f, 1.0f / 60.0f);
    EXPECT_NEAR(s, 1.0f - std::exp(-0.7f), 0.01f);
    // And back down the same way once the target drops.
    for (int i = 0; i < 60; ++i) s = EaseRgbSplit(s, 0.0f, 1.0f / 60.0f);
    EXPECT_LT(s, 0.26f);
    // Paused: nothing moves. A huge step lands on the target, never beyond.
    EXPECT_EQ(EaseRgbSplit(0.3f, 1.0f, 0.0f), 0.3f);
    EXPECT_EQ(EaseRgbSplit(0.3f, 1.0f, 10.0f), 1.0f);
}

TEST(ViewValues, LetterboxingAndScale) {
    struct Case { float w, h; int aspect; float viewHeight, scaleX, scaleY; };
    const Case cases[] = {
        {1024, 768, 0, 576, 0.8f, 0.8f},                  // "4:3": a 16:9 strip with bars
        {1280, 720, 1, 720, 1.0f, 1.0f},
        {1280, 720, 2, 720, 1.0f, 1.0f},
        {1680, 1050, 2, 1050, 1.3125f, 1050.0f / 720.0f}, // stretched, no bars
        {1920, 1080, 0, 607.5f, 1.5f, 607.5f / 720.0f},
    };
    for (const Case& c : cases) {
        DisplaySettings s;
        s.windowWidth = c.w;
        s.windowHeight = c.h;
        s.aspectIndex = c.aspect;
        ViewValues v = ViewValues::FromSettings(s);
        EXPECT_FLOAT_EQ(v.viewWidth, c.w);
        EXPECT_FLOAT_EQ(v.viewHeight, c.viewHeight);
        EXPECT_FLOAT_EQ(v.scaleX, c.scaleX);
        EXPECT_FLOAT_EQ(v.scaleY, c.scaleY);
        EXPECT_FLOAT_EQ(v.pixelRatio[0], 1.0f / c.w);
        EXPECT_FLOAT_EQ(v.pixelRatio[1], 1.0f / c.h);
    }
}
