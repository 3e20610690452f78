#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/metaballs.h"
#include "core/random.h"
#include "effects/bitmap_font.h"
#include "effects/meta_letters.h"

namespace {

// A 16-row strip with two glyphs: A in columns 1..3, B in columns 6..7.
struct Strip {
    static constexpr unsigned kWidth = 10, kHeight = 16;
    std::vector<uint32_t> texels = std::vector<uint32_t>(kWidth * kHeight, 0u);
    BitmapFont font;

    Strip() {
        for (int i = 0; i < 256; ++i) {
            font.widths[i] = 0.0f;
            font.uOffsets[i] = -1.0f;
        }
        font.height = kHeight;
        font.spaceWidth = 8.0f;
        font.uOffsets['A'] = 1.0f / kWidth;
        font.widths['A'] = 3.0f;
        font.uOffsets['B'] = 6.0f / kWidth;
        font.widths['B'] = 2.0f;
    }
    void Set(unsigned x, unsigned y, uint32_t argb) { texels[y * kWidth + x] = argb; }
};

}  // namespace

TEST(MetaLetters, PointsComeFromOpaqueTexelsWithBlue) {
    Strip strip;
    strip.Set(1, 0, 0xFF0000FFu);   // A: top-left, full blue: strength 1
    strip.Set(3, 15, 0xFF000033u);  // A: bottom-right, blue 51: strength 5
    strip.Set(2, 5, 0x00FFFFFFu);   // transparent: no point
    strip.Set(2, 6, 0xFFFFFF00u);   // no blue: no point
    strip.Set(4, 4, 0xFF0000FFu);   // between the glyphs: no point
    strip.Set(7, 8, 0xFF000080u);   // B
    LetterShapes shapes;
    EffectRandom random;
    BuildLetterShapes(strip.font, strip.texels.data(), Strip::kWidth, Strip::kHeight, random, shapes);

    ASSERT_EQ(shapes.points['A'].size(), 2u);
    std::vector<LetterPoint> a = shapes.points['A'];
    std::sort(a.begin(), a.end(), [](const LetterPoint& l, const LetterPoint& r) { return l.z < r.z; });
    EXPECT_FLOAT_EQ(a[0].x, -0.8f);
    EXPECT_FLOAT_EQ(a[0].z, -0.8f);
    EXPECT_FLOAT_EQ(a[0].strength, 1.0f);
    EXPECT_FLOAT_EQ(a[1].x, (2 * 0.125f - 1.0f) * 0.8f);
    EXPECT_FLOAT_EQ(a[1].z, (15 * 0.125f - 1.0f) * 0.8f);  // 0.7
    EXPECT_FLOAT_EQ(a[1].strength, 5.0f);
    EXPECT_EQ(a[1].y, 0.0f);
    ASSERT_EQ(shapes.points['B'].size(), 1u);
    EXPECT_FLOAT_EQ(shapes.points['B'][0].x, (1 * 0.125f - 1.0f) * 0.8f);

    EXPECT_FLOAT_EQ(shapes.advance['A'], 3.0f * 0.125f);
    EXPECT_FLOAT_EQ(shapes.advance['B'], 2.0f * 0.125f);
    EXPECT_FLOAT_EQ(shapes.advance[' '], 1.0f);
    EXPECT_EQ(shapes.advance['a'], 0.0f);  // lower case has no glyph
    EXPECT_EQ(shapes.advance['\n'], 0.0f);
    EXPECT_TRUE(shapes.points['C'].empty());
    // Two points drew two pairs of numbers (both mod 1, so no swap).
    EffectRandom reference;
    for (int i = 0; i < 4; ++i) reference.Random16();
    EXPECT_EQ(random.state, reference.state);
}

TEST(MetaLetters, TheShuffleIsTheDesignsSwaps) {
    Strip strip;
    for (unsigned r = 0; r < 16; ++r) strip.Set(1, r, 0xFF000000u | (r + 1));  // A: 16 points, blue 1..16
    LetterShapes shapes;
    EffectRandom random;
    BuildLetterShapes(strip.font, strip.texels.data(), Strip::kWidth, Strip::kHeight, random, shapes);

    std::vector<int> expected(16);
    for (int i = 0; i < 16; ++i) expected[i] = i + 1;
    EffectRandom reference;
    for (int k = 0; k < 16; ++k) {
        const int i = static_cast<int>(reference.Random16() % 15), j = static_cast<int>(reference.Random16() % 15);
        if (i != j) std::swap(expected[i], expected[j]);
    }
    ASSERT_EQ(shapes.points['A'].size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(shapes.points['A'][i].strength, 255.0f / expected[i]) << i;
    EXPECT_FLOAT_EQ(shapes.points['A'][15].strength, 255.0f / 16);  // the last point never moves
}

TEST(MetaLetters, NoStripGivesNoLettersAndNoAdvance) {
    Strip strip;
    LetterShapes shapes;
    EffectRandom random;
    BuildLetterShapes(strip.font, nullptr, 0, 0, random, shapes);
    EXPECT_EQ(shapes.advance[' '], 0.0f);
    EXPECT_EQ(shapes.advance['A'], 0.0f);
    EXPECT_TRUE(shapes.points['A'].empty());
}

// Balls start at random spots with no strength; by progress 1 every ball
// has started moving, by progress 2 all have arrived at full strength.
TEST(MetaLetters, BallProgressZeroOneTwo) {
    std::vector<LetterPoint> points;
    for (int i = 0; i < 70; ++i) points.push_back({0.01f * i, 0.0f, -0.01f * i, 1.0f + i});
    MetaballField field(48, 100.0f, kMetaBallCount, 10, 30);
    Metaball* balls[kMetaBallCount];
    Vector3 start[kMetaBallCount];
    float delay[kMetaBallCount];
    EffectRandom random;
    for (int k = 0; k < kMetaBallCount; ++k) {
        balls[k] = field.AddBall();
        delay[k] = -random.RandomRange(0.0f, 1.0f);
        start[k] = Vector3(random.RandomRange(-0.5f, 0.5f), 0.0f, random.RandomRange(-0.5f, 0.5f));
    }
    delay[5] = 0.0f;   // starts at once
    delay[6] = -1.0f;  // starts last

    PlaceLetterBalls(points, 0.0f, start, delay, 0.26f, balls);
    for (int k = 0; k < kMetaBallCount; ++k) {
        EXPECT_EQ(balls[k]->strength, 0.0f);
        EXPECT_EQ(balls[k]->position.x, start[k].x);
        EXPECT_LE(std::fabs(balls[k]->position.x), 0.5f);
        EXPECT_LE(std::fabs(balls[k]->position.z), 0.5f);
    }
    PlaceLetterBalls(points, 1.0f, start, delay, 0.26f, balls);
    EXPECT_FLOAT_EQ(balls[5]->strength, points[5].strength * 0.26f);  // arrived
    EXPECT_EQ(balls[6]->strength, 0.0f);                              // just leaving
    for (int k = 0; k < kMetaBallCount; ++k) {
        if (delay[k] > -1.0f) {
            EXPECT_GT(balls[k]->strength, 0.0f) << k;
        }
    }
    PlaceLetterBalls(points, 2.0f, start, delay, 0.26f, balls);
    for (int k = 0; k < kMetaBallCount; ++k) {
        EXPECT_FLOAT_EQ(balls[k]->strength, points[k].strength * 0.26f);
        EXPECT_NEAR(balls[k]->position.x, points[k].x, 1e-6f);
        EXPECT_NEAR(balls[k]->position.z, points[k].z, 1e-6f);
    }
}

TEST(MetaLetters, BallsWithoutAPointGoToTheCentreWithNoStrength) {
    std::vector<LetterPoint> points = {{0.3f, 0.0f, 0.2f, 2.0f}};
    MetaballField field(48, 100.0f, kMetaBallCount, 10, 30);
    Metaball* balls[kMetaBallCount];
    Vector3 start[kMetaBallCount];
    float delay[kMetaBallCount];
    for (int k = 0; k < kMetaBallCount; ++k) {
        balls[k] = field.AddBall();
        delay[k] = -0.5f;
        start[k] = Vector3(0.4f, 0.0f, -0.4f);
    }
    PlaceLetterBalls(points, 1.0f, start, delay, 0.5f, balls);  // a = 0.5: halfway
    EXPECT_FLOAT_EQ(balls[0]->position.x, 0.35f);
    EXPECT_FLOAT_EQ(balls[0]->strength, 0.5f);
    EXPECT_FLOAT_EQ(balls[1]->position.x, 0.2f);
    EXPECT_FLOAT_EQ(balls[1]->position.z, -0.2f);
    EXPECT_EQ(balls[1]->strength, 0.0f);
}
