// The capture's colour conversion: BT.709 in limited range, as the .mp4 is
// tagged, with each chroma sample the mean of its 2 x 2 block.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/yuv420.h"

namespace {

struct Yuv {
    int y, u, v;
};

// A frame of one colour, converted.
Yuv Convert(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgba(4 * 2 * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = r;
        rgba[i + 1] = g;
        rgba[i + 2] = b;
        rgba[i + 3] = 255;
    }
    std::vector<uint8_t> yuv(Yuv420Bytes(4, 2));
    RgbaToYuv420(rgba.data(), 4, 2, yuv.data());
    return {yuv[5], yuv[8 + 1], yuv[8 + 2 + 1]};
}

}  // namespace

TEST(Yuv420, PrimariesLandOnBt709LimitedRange) {
    struct Case { uint8_t r, g, b; Yuv expected; };
    const Case cases[] = {
        {0, 0, 0, {16, 128, 128}},     {255, 255, 255, {235, 128, 128}}, {255, 0, 0, {63, 102, 240}},
        {0, 255, 0, {173, 42, 26}},    {0, 0, 255, {32, 240, 118}},      {128, 128, 128, {126, 128, 128}},
    };
    for (const Case& c : cases) {
        const Yuv got = Convert(c.r, c.g, c.b);
        EXPECT_EQ(got.y, c.expected.y) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(got.u, c.expected.u) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(got.v, c.expected.v) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

TEST(Yuv420, PlanesKeepTheirPixelsAndChromaIsTheMeanOfItsBlock) {
    // 4 x 2: a red and a blue column on the left, white on the right.
    const uint32_t kRed = 0xFF0000FF, kBlue = 0xFFFF0000, kWhite = 0xFFFFFFFF;  // as bytes R, G, B, A
    const uint32_t pixels[8] = {kRed, kBlue, kWhite, kWhite, kRed, kBlue, kWhite, kWhite};
    std::vector<uint8_t> rgba(32);
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 4; ++k) rgba[4 * i + k] = static_cast<uint8_t>(pixels[i] >> (8 * k));
    std::vector<uint8_t> yuv(Yuv420Bytes(4, 2));
    ASSERT_EQ(yuv.size(), 12u);
    RgbaToYuv420(rgba.data(), 4, 2, yuv.data());
    const uint8_t expectedY[8] = {63, 32, 235, 235, 63, 32, 235, 235};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(yuv[i], expectedY[i]) << "pixel " << i;
    // Red and blue averaged: U = 128 + (-0.10064 + 0.43922) * 255 / 2, V likewise.
    EXPECT_EQ(yuv[8], 171);
    EXPECT_EQ(yuv[10], 179);
    EXPECT_EQ(yuv[9], 128);  // white
    EXPECT_EQ(yuv[11], 128);
}
