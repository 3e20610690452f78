// The end of the frame: the application's final colour-split pass, the
// fade overlay at present, text, and the shader check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/lumivane.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"
#include "timeline/show_levels.h"

using GpuFixture::Image;

namespace {

// Paints a texture whose texels all differ over the whole scene target.
class PatternEffect : public CEffect {
public:
    Texture* pattern;
    explicit PatternEffect(Texture* t) : pattern(t) { duration = timeLeft = 100.0f; }
    void Render() override {
        const Vector2 pos(0, 0), size(1280, 720);
        Renderer2D::DrawTexturedQuad(pattern, &pos, &size, 0xFFFFFFFF);
    }
};

Texture* Pattern(unsigned w, unsigned h) {
    Texture* t = Texture::Create(w, h, Gpu::kFormatA8R8G8B8);
    uint32_t* texels = reinterpret_cast<uint32_t*>(t->Lock(nullptr));
    for (unsigned i = 0; i < w * h; ++i) texels[i] = 0xFF000000u | (i * 2654435761u >> 8);
    t->Unlock();
    return t;
}

int LitPixels(const Image& image, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += (image.At(x, y) & 0x00FFFFFF) != 0;
    return n;
}

}  // namespace

TEST(FinalPass, AtScaleZeroTheSceneIsCopiedExactlyBetweenTheBars) {
    struct Case { float w, h; int aspect; int bar; };
    const Case cases[] = {{320, 180, 1, 0}, {1024, 768, 0, 96}};  // "4:3": 1024 x 576 between bars
    for (const Case& c : cases) {
        ASSERT_TRUE(GpuFixture::Start(c.w, c.h, c.aspect));
        CLumivane& app = TheLumivane();
        app.Init();
        ASSERT_NE(app.rgbSplitEffect, nullptr);
        ASSERT_NE(app.sceneTarget->texture, nullptr);
        const ViewValues& view = GraphicsDevice::View();
        Texture* pattern = Pattern(static_cast<unsigned>(view.viewWidth), static_cast<unsigned>(view.viewHeight));
        ActiveEffectList::Add(new PatternEffect(pattern));
        GraphicsDevice::SetClearColour(0xFF000000);
        RgbSplitStrength = RgbSplitTarget = 0.0f;
        app.Frame();
        Image frame = GpuFixture::ReadBackBuffer();
        Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(app.sceneTarget);
        Image scene = GpuFixture::ReadTarget();
        GraphicsDevice::RestoreRenderTarget(saved);

        // The quad starts half a pixel in, so scene texel (x, y) shows at
        // (x + 1, y + 1) below the top bar.
        int top = static_cast<int>(GraphicsDevice::GetLetterboxHeight());
        EXPECT_EQ(top, c.bar);
        int mismatches = 0;
        for (int y = 0; y + 1 < scene.height; ++y)
            for (int x = 0; x + 1 < scene.width; ++x) mismatches += frame.At(x + 1, y + 1 + top) != scene.At(x, y);
        EXPECT_EQ(mismatches, 0) << c.w << "x" << c.h;
        // The split technique itself, at strength 0, gives the same pixels
        // as the plain copy the frame uses then.
        app.rgbSplitEffect->SetTechnique("PostProcess");
        const Vector2 pos(0, static_cast<float>(top)), size(view.viewWidth, view.viewHeight);
        Renderer2D::DrawEffectQuad(app.rgbSplitEffect, &pos, &size, 0xFFFFFFFF);
        EXPECT_EQ(GpuFixture::ReadBackBuffer().pixels, frame.pixels);
        // The bars keep the clear colour.
        EXPECT_EQ(LitPixels(frame, 0, 0, frame.width, top), 0);
        EXPECT_EQ(LitPixels(frame, 0, top + scene.height + 1, frame.width, frame.height), 0);

        // Without the effect or the scene target the frame still runs.
        Gpu::Effect* effect = app.rgbSplitEffect;
        app.rgbSplitEffect = nullptr;
        app.Frame();
        EXPECT_EQ(LitPixels(GpuFixture::ReadBackBuffer(), 0, 0, frame.width, frame.height), 0);
        app.rgbSplitEffect = effect;
        Texture* sceneTarget = app.sceneTarget;
        app.sceneTarget = nullptr;
        app.Frame();  // the effects draw straight onto the back buffer
        EXPECT_GT(LitPixels(GpuFixture::ReadBackBuffer(), 0, 0, frame.width, frame.height), 0);
        app.sceneTarget = sceneTarget;

        app.Shutdown();
        EXPECT_EQ(app.sceneTarget, nullptr);
        pattern->Release();
        delete pattern;
    }
}

TEST(FinalPass, TheSplitMovesChannelsApart) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    CLumivane& app = TheLumivane();
    app.Init();
    Texture* pattern = Pattern(320, 180);
    ActiveEffectList::Add(new PatternEffect(pattern));
    GraphicsDevice::SetClearColour(0xFF000000);
    RgbSplitStrength = RgbSplitTarget = 1.0f;
    app.Frame();
    Image frame = GpuFixture::ReadBackBuffer();
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(app.sceneTarget);
    Image scene = GpuFixture::ReadTarget();
    GraphicsDevice::RestoreRenderTarget(saved);
    int same = 0;
    for (int y = 0; y + 1 < scene.height; ++y)
        for (int x = 0; x + 1 < scene.width; ++x) same += frame.At(x + 1, y + 1) == scene.At(x, y);
    EXPECT_LT(same, scene.width * scene.height / 10);
    RgbSplitStrength = RgbSplitTarget = 0.0f;
    app.Shutdown();
    pattern->Release();
    delete pattern;
}

TEST(FinalPass, BelowTheVisibleStrengthTheSplitGivesWayToThePlainCopy) {
    // The weakest split that is drawn, over texels that all differ (every
    // texel edge as hard as it gets), against the plain copy just below it.
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    CLumivane& app = TheLumivane();
    app.Init();
    Texture* pattern = Pattern(1280, 720);
    ActiveEffectList::Add(new PatternEffect(pattern));
    GraphicsDevice::SetClearColour(0xFF000000);
    RgbSplitTarget = 0.0f;
    Image frames[2];
    const float strengths[2] = {kVisibleRgbSplit, std::nextafter(kVisibleRgbSplit, 0.0f)};
    for (int i = 0; i < 2; ++i) {
        RgbSplitStrength = strengths[i];
        app.Frame();
        frames[i] = GpuFixture::ReadBackBuffer();
    }
    double sum = 0;
    int largest = 0, changed = 0;
    for (size_t i = 0; i < frames[0].pixels.size(); ++i) {
        changed += frames[0].pixels[i] != frames[1].pixels[i];
        for (int shift = 0; shift < 24; shift += 8) {
            int d = std::abs(static_cast<int>(frames[0].pixels[i] >> shift & 0xFF) -
                             static_cast<int>(frames[1].pixels[i] >> shift & 0xFF));
            sum += d;
            largest = std::max(largest, d);
        }
    }
    // A twentieth of a pixel's shift moves a channel by at most a twentieth
    // of the step to its neighbour, here up to 255: a few levels at most,
    // never a visible jump.
    EXPECT_GT(changed, 0);  // the split is drawn at its threshold
    EXPECT_LE(largest, 16);
    EXPECT_LT(sum / (frames[0].pixels.size() * 3.0), 4.0);
    RgbSplitStrength = RgbSplitTarget = 0.0f;
    app.Shutdown();
    pattern->Release();
    delete pattern;
}

TEST(Present, FadeOverlayCoversTheWholeWindow) {
    ASSERT_TRUE(GpuFixture::Start(1024, 768, 0));
    struct Case { uint8_t fade; uint32_t expected; };
    const Case cases[] = {{0, 0xFF4080C0}, {255, 0xFF000000}, {128, 0xFF20405F}};
    for (const Case& c : cases) {
        GraphicsDevice::Clear(0xFF4080C0);
        GraphicsDevice::SetFade(c.fade);
        GraphicsDevice::Present();
        Image image = GpuFixture::ReadBackBuffer();
        int wrong = 0;
        for (uint32_t p : image.pixels) {
            for (int shift = 0; shift < 24; shift += 8)
                wrong += std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((c.expected >> shift) & 0xFF)) > 1;
        }
        EXPECT_EQ(wrong, 0) << "fade " << int(c.fade) << ": corner " << std::hex << image.At(0, 0);
    }
    GraphicsDevice::SetFade(0);
}

TEST(Text, DrawsLinesOfTheCellHeightClippedToTheView) {
    // 4:3 at 1024 x 768: a 1024 x 576 view between bars; text height
    // trunc(0.8 * 24) = 19 pixels.
    ASSERT_TRUE(GpuFixture::Start(1024, 768, 0));
    FontHolder* font = GraphicsDevice::GetFont();
    ASSERT_NE(font, nullptr);
    GraphicsDevice::Clear(0xFF000000);
    const Vector2 pos(100, 100);
    GraphicsDevice::PrintText(font, &pos, 0xFFFFFFFF, "%s\n%s", "HH", "HH");
    Image image = GpuFixture::ReadBackBuffer();
    // Rows with ink: two runs, one cell height apart, starting at the
    // position (80, 80 in pixels).
    std::vector<int> rows;
    for (int y = 0; y < image.height; ++y)
        if (LitPixels(image, 0, y, image.width, y + 1)) rows.push_back(y);
    ASSERT_FALSE(rows.empty());
    int firstTop = rows.front(), secondTop = -1;
    for (size_t i = 1; i < rows.size(); ++i)
        if (rows[i] != rows[i - 1] + 1) secondTop = rows[i];
    EXPECT_EQ(secondTop - firstTop, 19);
    EXPECT_GE(firstTop, 80);
    EXPECT_LT(firstTop, 80 + 8);
    EXPECT_EQ(LitPixels(image, 0, 0, 80, image.height), 0);  // left-aligned at x 80
    EXPECT_GT(LitPixels(image, 80, 0, 84, image.height), 0);
    // The colour's alpha: 75% grey-white over black stays below full.
    GraphicsDevice::Clear(0xFF000000);
    GraphicsDevice::PrintText(font, &pos, 0xC0808080, "H");
    uint8_t brightest = 0;
    for (uint32_t p : GpuFixture::ReadBackBuffer().pixels) brightest = std::max(brightest, GpuFixture::Red(p));
    EXPECT_NEAR(brightest, 96, 2);

    // Near the bottom of the view the text is cut at row 576, above the bar:
    // the descender of the p and the whole second line are lost.
    GraphicsDevice::Clear(0xFF000000);
    const Vector2 low(0, 700);
    GraphicsDevice::PrintText(font, &low, 0xFFFFFFFF, "Clipped\nClipped");
    image = GpuFixture::ReadBackBuffer();
    EXPECT_GT(LitPixels(image, 0, 570, 1024, 576), 0);
    EXPECT_EQ(LitPixels(image, 0, 576, 1024, 768), 0);

    // However long the formatted text, it is cut at the buffer's size.
    std::string huge(5000, 'W');
    GraphicsDevice::PrintText(font, &pos, 0xFFFFFFFF, "%s%5000d", huge.c_str(), 7);
    GraphicsDevice::PrintText(nullptr, &pos, 0xFFFFFFFF, "no font");
}

TEST(ShaderCheck, AMissingShaderModelWarnsOnceAndTheDeviceStillStarts) {
    // Asking for more than the context has stands in for an older GPU.
    DisplaySettings::Get().requiredShaderMajor = 4;
    testing::internal::CaptureStderr();
    bool started = GpuFixture::Start(640, 360, 1);
    std::string err = testing::internal::GetCapturedStderr();
    DisplaySettings::Get().requiredShaderMajor = 3;
    EXPECT_TRUE(started);
    EXPECT_EQ(err, "lumivane: This code won't run on your GPU\n");
    EXPECT_EQ(Gpu::PixelShaderMajor(), 3);
}
