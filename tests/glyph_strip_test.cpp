#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/glyph_strip.h"

namespace {

// A strip W x 2 with opaque columns given as [first, last] runs.
std::vector<uint32_t> Strip(unsigned width, std::initializer_list<std::pair<unsigned, unsigned>> runs)
{
    std::vector<uint32_t> texels(width * 2, 0x00FFFFFFu);  // white, fully transparent
    for (auto [a, b] : runs)
        for (unsigned x = a; x <= b; ++x)
            texels[width + x] = 0x80FFFFFFu;  // one opaque texel in the second row is enough
    return texels;
}

struct ScanCase {
    unsigned gapLimit;
    float widthA, offsetA, widthB, offsetB;
};

class GlyphStripAB : public ::testing::TestWithParam<ScanCase> {};

TEST_P(GlyphStripAB, CutsRunsByTheGapRule)
{
    const unsigned W = 32;
    const auto texels = Strip(W, {{2, 9}, {12, 19}});
    float widths[256], offsets[256];
    const ScanCase c = GetParam();
    EXPECT_EQ(ScanGlyphStrip(texels.data(), W, 2, "AB", c.gapLimit, widths, offsets), 2);
    EXPECT_EQ(widths['A'], c.widthA);
    EXPECT_FLOAT_EQ(offsets['A'], c.offsetA / W);
    EXPECT_EQ(widths['B'], c.widthB);
    EXPECT_FLOAT_EQ(offsets['B'], c.offsetB / W);
    EXPECT_EQ(offsets['C'], -1.0f);
    EXPECT_EQ(widths['C'], 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Limits, GlyphStripAB,
                         ::testing::Values(ScanCase{0xFFFFFFFFu, 8, 2, 8, 12},  // only transparent columns separate
                                           ScanCase{5, 4, 2, 3, 7}));          // A cut at column 6, B from 7 to 10

TEST(GlyphStrip, SingleClearColumnsSeparateGlyphsInListOrder)
{
    const auto texels = Strip(16, {{0, 2}, {4, 4}, {6, 9}});
    float widths[256], offsets[256];
    EXPECT_EQ(ScanGlyphStrip(texels.data(), 16, 2, "XYZ", 0xFFFFFFFFu, widths, offsets), 3);
    EXPECT_EQ(widths['X'], 3.0f);
    EXPECT_EQ(widths['Y'], 1.0f);
    EXPECT_EQ(widths['Z'], 4.0f);
    EXPECT_FLOAT_EQ(offsets['Z'], 6.0f / 16);
}

TEST(GlyphStrip, ListLongerThanStripLeavesTheRestWithoutGlyphs)
{
    const auto texels = Strip(16, {{1, 3}, {14, 15}});  // the second run touches the last column
    float widths[256], offsets[256];
    EXPECT_EQ(ScanGlyphStrip(texels.data(), 16, 2, "ABC", 0xFFFFFFFFu, widths, offsets), 1);
    EXPECT_EQ(widths['A'], 3.0f);
    EXPECT_EQ(offsets['B'], -1.0f);  // a run still open at the last column is not assigned
    EXPECT_EQ(offsets['C'], -1.0f);
}

TEST(GlyphStrip, GapBeyondTheLimitOutsideAGlyphEndsTheScan)
{
    const auto texels = Strip(32, {{1, 3}, {20, 22}});
    float widths[256], offsets[256];
    EXPECT_EQ(ScanGlyphStrip(texels.data(), 32, 2, "AB", 12, widths, offsets), 1);
    EXPECT_EQ(offsets['B'], -1.0f);
}

}  // namespace
