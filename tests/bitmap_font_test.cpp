// The bitmap font on a real device: glyphs cut from a strip texture, the
// advance rules of drawing and measuring, and the shared text buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/texture.h"
#include "effects/bitmap_font.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"

using GpuFixture::Image;

namespace {

// A 32 x 8 strip whose glyphs "AB" are opaque white columns 2-9 and 12-19.
Texture* StripAB() {
    Texture* t = Texture::Create(32, 8, Gpu::kFormatA8R8G8B8);
    uint32_t* texels = reinterpret_cast<uint32_t*>(t->Lock(nullptr));
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned x = 0; x < 32; ++x)
            texels[y * 32 + x] = (x >= 2 && x <= 9) || (x >= 12 && x <= 19) ? 0xFFFFFFFFu : 0x00FFFFFFu;
    t->Unlock();
    return t;
}

void Free(Texture* t) {
    t->Release();
    delete t;
}

// Columns of the image with any light in them, as [first, last] runs.
std::vector<std::pair<int, int>> InkRuns(const Image& image) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < image.width; ++x) {
        bool ink = false;
        for (int y = 0; y < image.height && !ink; ++y) ink = (image.At(x, y) & 0x00FFFFFF) != 0;
        if (!ink) continue;
        if (!runs.empty() && runs.back().second == x - 1)
            runs.back().second = x;
        else
            runs.push_back({x, x});
    }
    return runs;
}

class BitmapFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
        strip = StripAB();
    }
    void TearDown() override {
        BitmapFont::Destroy(&font);
        Free(strip);
    }
    Texture* strip = nullptr;
    BitmapFont* font = nullptr;
};

}  // namespace

TEST_F(BitmapFontTest, CreateCutsTheStripByTheGapLimit) {
    struct Case { unsigned gapLimit; float widthA, offsetA, widthB, offsetB; };
    const Case cases[] = {
        {0xFFFFFFFFu, 8, 2, 8, 12},  // only transparent columns separate glyphs
        {5, 4, 2, 3, 7},             // A cut at column 6, B from 7 to 10
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gapLimit);
        font = BitmapFont::Create(strip, "AB", 2.0f, 24.0f, c.gapLimit);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->height, 8u);
        EXPECT_EQ(font->texture, strip);
        EXPECT_EQ(font->widths['A'], c.widthA);
        EXPECT_FLOAT_EQ(font->uOffsets['A'], c.offsetA / 32);
        EXPECT_EQ(font->widths['B'], c.widthB);
        EXPECT_FLOAT_EQ(font->uOffsets['B'], c.offsetB / 32);
        EXPECT_EQ(font->uOffsets['C'], -1.0f);
        BitmapFont::Destroy(&font);
        EXPECT_EQ(font, nullptr);
    }
    // The strip is left as it was for its other users.
    EXPECT_EQ(reinterpret_cast<uint32_t*>(strip->Lock(nullptr))[2], 0xFFFFFFFFu);
    strip->Unlock();
}

TEST_F(BitmapFontTest, DrawAdvancesByTheGlyphSpaceAndSpacingRules) {
    // Glyphs 8 wide, spacing 2, space 24. A glyph at x covers pixels x+1 to
    // x+w (textured quads sit one pixel right of their position).
    font = BitmapFont::Create(strip, "AB", 2.0f, 24.0f, 0xFFFFFFFFu);
    struct Case {
        const char* name;
        const char* text;
        float scale;
        float endX;                               // start 100
        std::vector<std::pair<int, int>> ink;     // pixel columns
    };
    const Case cases[] = {
        // A: 8 + 2; space: 24 + 2; then B. At scale 2 everything doubles.
        {"A B", "A B", 1.0f, 100 + 10 + 26 + 10, {{101, 108}, {137, 144}}},
        {"A B at 2", "A B", 2.0f, 100 + 20 + 52 + 20, {{101, 116}, {173, 188}}},
        // Lower case, signs without a glyph and bytes above 127 draw nothing
        // but still take the spacing.
        {"unknown characters", "a%\xC1" "B", 1.0f, 100 + 2 + 2 + 2 + 10, {{107, 114}}},
        {"empty", "", 1.0f, 100, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GraphicsDevice::Clear(0xFF000000);
        const Vector2 position(100.0f, 50.0f);
        EXPECT_EQ(BitmapFont::Draw(font, &position, 0xFFFFFFFF, c.scale, "%s", c.text), c.endX);
        EXPECT_EQ(InkRuns(GpuFixture::ReadBackBuffer()), c.ink);
        // Measure gives the same width: the drawn advance, trailing spacing included.
        Vector2 size;
        BitmapFont::Measure(font, &size, c.scale, "%s", c.text);
        EXPECT_EQ(size.x, c.endX - position.x);
        EXPECT_EQ(size.y, 8.0f * c.scale);
    }
}

TEST_F(BitmapFontTest, LineFeedsStartOverAtTheLeftOneGlyphHeightLower) {
    font = BitmapFont::Create(strip, "AB", 2.0f, 24.0f, 0xFFFFFFFFu);
    GraphicsDevice::Clear(0xFF000000);
    const Vector2 position(100.0f, 50.0f);
    // After the line feed the pen is back at 100, plus the spacing every character adds.
    EXPECT_EQ(BitmapFont::Draw(font, &position, 0xFFFFFFFF, 1.0f, "AB\nA"), 100.0f + 2 + 10);
    Image image = GpuFixture::ReadBackBuffer();
    EXPECT_NE(image.At(104, 51 + 8 + 3) & 0xFFFFFF, 0u);   // the second line's A, one glyph height down
    EXPECT_EQ(image.At(104 + 10, 51 + 8 + 3) & 0xFFFFFF, 0u);
    Vector2 size;
    BitmapFont::Measure(font, &size, 1.0f, "AB\nA");
    EXPECT_EQ(size.x, 20.0f);  // the widest line
    EXPECT_EQ(size.y, 16.0f);  // both lines
}

TEST_F(BitmapFontTest, TextIsCutAtTheSharedBuffer) {
    font = BitmapFont::Create(strip, "AB", 2.0f, 24.0f, 0xFFFFFFFFu);
    const std::string huge(3000, 'A');
    Vector2 size;
    BitmapFont::Measure(font, &size, 1.0f, "%s", huge.c_str());
    EXPECT_EQ(size.x, 2047.0f * 10.0f);  // 2048 bytes with the terminator
}

TEST(BitmapFont, WithoutAUsableStripTheFontHasNoGlyphs) {
    BitmapFont* font = BitmapFont::Create(nullptr, "AB", 2.0f, 24.0f, 0xFFFFFFFFu);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->height, 0u);
    EXPECT_EQ(font->uOffsets['A'], -1.0f);
    Vector2 size;
    BitmapFont::Measure(font, &size, 1.0f, "A B");
    EXPECT_EQ(size.x, 2.0f + 26.0f + 2.0f);  // only spacing and the space
    BitmapFont::Destroy(&font);
    BitmapFont::Destroy(nullptr);
}
