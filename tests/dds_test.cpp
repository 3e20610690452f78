#include <gtest/gtest.h>

#include <cstring>

#include "assets/image.h"

namespace {

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (size_t k = 0; k < 4; ++k) out.at(at + k) = static_cast<uint8_t>(v >> (8 * k));
}

// One DXT1 block: end points c0, c1 (5:6:5) and the 2-bit index of each texel.
std::vector<uint8_t> Block(uint16_t c0, uint16_t c1, uint32_t indices) {
    return {static_cast<uint8_t>(c0), static_cast<uint8_t>(c0 >> 8), static_cast<uint8_t>(c1),
            static_cast<uint8_t>(c1 >> 8), static_cast<uint8_t>(indices), static_cast<uint8_t>(indices >> 8),
            static_cast<uint8_t>(indices >> 16), static_cast<uint8_t>(indices >> 24)};
}

// A cube map of `size` x `size` faces with `mips` levels. Every block of
// face f has end points white and (f * 4) blue, with texel i using index i % 4.
std::vector<uint8_t> MakeCube(unsigned size, unsigned mips) {
    std::vector<uint8_t> out(128, 0);
    std::memcpy(out.data(), "DDS ", 4);
    Put32(out, 4, 124);
    Put32(out, 8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000);
    Put32(out, 12, size);
    Put32(out, 16, size);
    Put32(out, 28, mips);
    Put32(out, 76, 32);
    Put32(out, 80, 0x4);  // four-character code
    std::memcpy(out.data() + 84, "DXT1", 4);
    Put32(out, 108, 0x1000 | 0x8 | 0x400000);
    Put32(out, 112, 0x200 | 0xFC00);
    uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) indices |= static_cast<uint32_t>(i % 4) << (2 * i);
    for (int face = 0; face < 6; ++face) {
        unsigned level = size;
        for (unsigned m = 0; m < mips; ++m) {
            unsigned blocks = (level + 3) / 4;
            for (unsigned b = 0; b < blocks * blocks; ++b) {
                std::vector<uint8_t> block = Block(0xFFFF, static_cast<uint16_t>(face * 4), indices);
                out.insert(out.end(), block.begin(), block.end());
            }
            level = level > 1 ? level / 2 : 1;
        }
    }
    return out;
}

}  // namespace

TEST(Dxt1, FourColourAndThreeColourBlocks) {
    uint32_t texels[16];
    // White and black: the thirds are 170 and 85 grey.
    std::vector<uint8_t> four = Block(0xFFFF, 0x0000, 0xE4);  // texels 0..3 use indices 0, 1, 2, 3
    DecodeDxt1Block(four.data(), texels);
    EXPECT_EQ(texels[0], 0xFFFFFFFFu);
    EXPECT_EQ(texels[1], 0xFF000000u);
    EXPECT_EQ(texels[2], 0xFFAAAAAAu);
    EXPECT_EQ(texels[3], 0xFF555555u);
    EXPECT_EQ(texels[4], 0xFFFFFFFFu);  // index 0
    // c0 <= c1: the half-way colour, and index 3 is transparent black.
    std::vector<uint8_t> three = Block(0x0000, 0xF800, 0xE4);  // black and pure red
    DecodeDxt1Block(three.data(), texels);
    EXPECT_EQ(texels[1], 0xFFFF0000u);
    EXPECT_EQ(texels[2], 0xFF7F0000u);
    EXPECT_EQ(texels[3], 0x00000000u);
}

TEST(DdsCube, SixFacesDecodeInOrderSkippingFurtherLevels) {
    for (unsigned mips : {1u, 4u}) {
        std::vector<uint8_t> file = MakeCube(8, mips);
        CubeImage cube;
        std::string error;
        ASSERT_TRUE(DecodeDdsCube(file.data(), file.size(), &cube, &error)) << error;
        ASSERT_EQ(cube.size, 8u);
        for (int face = 0; face < 6; ++face) {
            ASSERT_EQ(cube.faces[face].size(), 64u);
            uint32_t blue = static_cast<uint32_t>(face * 4);
            blue = (blue << 3) | (blue >> 2);
            for (unsigned y = 0; y < 8; ++y) {
                for (unsigned x = 0; x < 8; ++x) {
                    uint32_t texel = cube.faces[face][y * 8 + x];
                    unsigned index = (y % 4 * 4 + x % 4) % 4;
                    if (index == 0) {
                        EXPECT_EQ(texel, 0xFFFFFFFFu);
                    } else if (index == 1) {
                        EXPECT_EQ(texel, 0xFF000000u | blue) << face;
                    }
                }
            }
        }
    }
    // A face smaller than one block keeps its 2 x 2 texels.
    std::vector<uint8_t> tiny = MakeCube(2, 1);
    CubeImage cube;
    std::string error;
    ASSERT_TRUE(DecodeDdsCube(tiny.data(), tiny.size(), &cube, &error)) << error;
    EXPECT_EQ(cube.faces[5].size(), 4u);
}

TEST(DdsCube, TruncatedOrHostileFilesFailCleanly) {
    std::vector<uint8_t> good = MakeCube(8, 4);
    auto with = [&good](size_t at, uint32_t value) {
        std::vector<uint8_t> file = good;
        Put32(file, at, value);
        return file;
    };
    struct Case { const char* name; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"empty", {}},
        {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 100)},
        {"last byte missing", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"faces without data", std::vector<uint8_t>(good.begin(), good.begin() + 128)},
        {"huge faces", with(12, 0x7FFFFFFF)},
        {"not square", with(12, 4)},
        {"zero size", with(16, 0)},
        {"many levels", with(28, 0xFFFFFFFF)},  // more levels than the data holds
        {"not a cube", with(112, 0)},
        {"five faces", with(112, 0x200 | 0x7C00)},
        {"not DXT1", with(84, 0x35545844)},      // "DXT5"
        {"wrong header size", with(4, 100)},
    };
    for (const Case& c : cases) {
        CubeImage cube;
        std::string error;
        EXPECT_FALSE(DecodeDdsCube(c.bytes.data(), c.bytes.size(), &cube, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}
