// The intro screen: the picture cycle, the four-second fades and the logo's zoom.
#include <gtest/gtest.h>

#include "assets/catalogue.h"
#include "assets/texture.h"
#include "effects/intro_screen.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"

TEST(IntroScreen, EachInstanceTakesTheNextPictureOfTheCycle) {
    ASSERT_TRUE(GpuFixture::Start());
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {
    }
    // Mission, logo, end screen, and the mission again. The counter is 2
    // exactly while the logo is the newest picture, which is what zooms it.
    struct Step { int resourceId; unsigned counterAfter; };
    const Step steps[] = {{111, 1}, {102, 2}, {127, 0}, {111, 1}};
    IntroScreenCounter = 0;
    for (const Step& s : steps) {
        CEffect* e = CreateEffect(kIntroScreen, 0, 12.0f);
        CIntroScreen* screen = dynamic_cast<CIntroScreen*>(e);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->picture, GetTexture(s.resourceId));
        EXPECT_NE(screen->picture, nullptr) << s.resourceId;
        EXPECT_EQ(IntroScreenCounter, s.counterAfter);
        delete e;
    }

    // What zooms is whatever renders while the counter is 2: in the script,
    // only the logo. Four seconds in, the logo is unfaded and at 0.8x.
    CEffect* logo = CreateEffect(kIntroScreen, 0, 15.0f);  // counter 1 -> 2
    ASSERT_EQ(IntroScreenCounter, 2u);
    logo->timeLeft = 11.0f;
    GraphicsDevice::Clear(0xFF000000);
    logo->Render();
    const GpuFixture::Image zoomed = GpuFixture::ReadBackBuffer();
    IntroScreenCounter = 1;
    GraphicsDevice::Clear(0xFF000000);
    logo->Render();
    const GpuFixture::Image still = GpuFixture::ReadBackBuffer();
    EXPECT_NE(zoomed.pixels, still.pixels);
    // Unzoomed, picture texel (x, y) lands on pixel (x + 1, y + 1).
    Texture* picture = GetTexture(102);
    const uint32_t* texels = reinterpret_cast<const uint32_t*>(picture->Lock(nullptr));
    EXPECT_EQ(still.At(641, 361) & 0xFFFFFF, texels[360 * picture->width + 640] & 0xFFFFFF);
    picture->Unlock();
    delete logo;
    IntroScreenCounter = 0;
}

TEST(IntroScreen, FadesInOverFourSecondsAndOutOverTheLastFour) {
    struct Case { float timeLeft, duration; int alpha; };
    const Case cases[] = {
        {12.0f, 12.0f, 255},  // first frame: opaque black
        {10.0f, 12.0f, 127},
        {8.0f, 12.0f, 0},     // clear from 4 s after the start
        {4.0f, 12.0f, 0},     // until 4 s before the end
        {2.0f, 12.0f, 127},
        {0.0f, 12.0f, 255},
        {-0.3f, 12.0f, 255},  // the last frame, past its end: still opaque, never wrapped
        // Shorter than 8 s: the fade-out wins as soon as less than 4 s remain.
        {4.5f, 5.0f, 223},
        {3.9f, 5.0f, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntroFadeAlpha(c.timeLeft, c.duration), c.alpha) << c.timeLeft << " of " << c.duration;
}

TEST(IntroScreen, TheZoomGrowsFromThreeQuartersToOneAndAQuarterAboutTheCentre) {
    const Vector2 texture(2048.0f, 1024.0f);
    struct Case { float timeLeft; bool zoom; Vector2 position, size; };
    const Case cases[] = {
        {15.0f, true, {160.0f, 90.0f}, {1536.0f, 768.0f}},   // first frame: 0.75
        {7.5f, true, {0.0f, 0.0f}, {2048.0f, 1024.0f}},      // half way: 1.0
        {0.0f, true, {-160.0f, -90.0f}, {2560.0f, 1280.0f}}, // last frame: 1.25
        {15.0f, false, {0.0f, 0.0f}, {2048.0f, 1024.0f}},    // the other pictures stay put
        {0.0f, false, {0.0f, 0.0f}, {2048.0f, 1024.0f}},
    };
    for (const Case& c : cases) {
        Vector2 position, size;
        IntroPictureRect(texture, c.timeLeft, 15.0f, c.zoom, &position, &size);
        EXPECT_FLOAT_EQ(position.x, c.position.x) << c.timeLeft << " " << c.zoom;
        EXPECT_FLOAT_EQ(position.y, c.position.y);
        EXPECT_FLOAT_EQ(size.x, c.size.x);
        EXPECT_FLOAT_EQ(size.y, c.size.y);
    }
}
