#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include "assets/image.h"

namespace {

// The picture every PNG below encodes, 5 x 3 texels: four grey levels that
// even 4-bit grey can hold (multiples of 17), each with its own alpha so
// that a four-entry palette with tRNS can say the same.
const int kWidth = 5, kHeight = 3;
const int kLevel[15] = {0, 1, 2, 3, 1, 2, 3, 0, 0, 0, 3, 2, 1, 1, 3};  // which grey
const unsigned kGrey[4] = {0, 51, 170, 255};
const unsigned kAlpha[4] = {255, 0, 128, 64};

struct PngCase {
    const char* name;
    int colourType;
    int bitDepth;
    bool alpha;  // the file carries the alphas (tRNS for the palette)
    bool interlaced;
};

void WriteToVector(png_structp png, png_bytep data, size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void FlushNothing(png_structp) {}

// Packs samples of `bits` bits into bytes, most significant first.
std::vector<uint8_t> PackRow(const std::vector<unsigned>& samples, int bits) {
    std::vector<uint8_t> row;
    unsigned acc = 0;
    int used = 0;
    for (unsigned s : samples) {
        if (bits == 16) {
            row.push_back(static_cast<uint8_t>(s >> 8));
            row.push_back(static_cast<uint8_t>(s));
            continue;
        }
        acc = (acc << bits) | s;
        used += bits;
        if (used == 8) {
            row.push_back(static_cast<uint8_t>(acc));
            acc = 0;
            used = 0;
        }
    }
    if (used) row.push_back(static_cast<uint8_t>(acc << (8 - used)));
    return row;
}

std::vector<uint8_t> MakePng(const PngCase& c) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, WriteToVector, FlushNothing);
    png_set_IHDR(png, info, kWidth, kHeight, c.bitDepth, c.colourType,
                 c.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (c.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[4];
        png_byte trans[4];
        for (int i = 0; i < 4; ++i) {
            png_byte g = static_cast<png_byte>(kGrey[i]);
            palette[i] = {g, g, g};
            trans[i] = static_cast<png_byte>(kAlpha[i]);
        }
        png_set_PLTE(png, info, palette, 4);
        if (c.alpha) png_set_tRNS(png, info, trans, 4, nullptr);
    }
    const unsigned wide = c.bitDepth == 16 ? 257 : 1;  // 8-bit values spread to 16 bits
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < kHeight; ++y) {
        std::vector<unsigned> samples;
        for (int x = 0; x < kWidth; ++x) {
            int level = kLevel[y * kWidth + x];
            unsigned g = kGrey[level] * wide, a = kAlpha[level] * wide;
            switch (c.colourType) {
            case PNG_COLOR_TYPE_GRAY: samples.push_back(c.bitDepth == 4 ? kGrey[level] / 17 : g); break;
            case PNG_COLOR_TYPE_GRAY_ALPHA: samples.insert(samples.end(), {g, a}); break;
            case PNG_COLOR_TYPE_RGB: samples.insert(samples.end(), {g, g, g}); break;
            case PNG_COLOR_TYPE_RGB_ALPHA: samples.insert(samples.end(), {g, g, g, a}); break;
            case PNG_COLOR_TYPE_PALETTE: samples.push_back(static_cast<unsigned>(level)); break;
            }
        }
        rows.push_back(PackRow(samples, c.bitDepth));
    }
    std::vector<png_bytep> rowPointers;
    for (auto& row : rows) rowPointers.push_back(row.data());
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

uint32_t Expected(int i, bool alpha) {
    unsigned g = kGrey[kLevel[i]];
    unsigned a = alpha ? kAlpha[kLevel[i]] : 255;
    return a << 24 | g << 16 | g << 8 | g;
}

}  // namespace

TEST(Png, EveryColourTypeDecodesToTheSameTexels) {
    const PngCase cases[] = {
        {"RGB", PNG_COLOR_TYPE_RGB, 8, false, false},
        {"RGB 16-bit", PNG_COLOR_TYPE_RGB, 16, false, false},
        {"palette", PNG_COLOR_TYPE_PALETTE, 8, false, false},
        {"palette 4-bit", PNG_COLOR_TYPE_PALETTE, 4, false, false},
        {"grey", PNG_COLOR_TYPE_GRAY, 8, false, false},
        {"grey 4-bit", PNG_COLOR_TYPE_GRAY, 4, false, false},
        {"grey 16-bit", PNG_COLOR_TYPE_GRAY, 16, false, false},
        {"RGB interlaced", PNG_COLOR_TYPE_RGB, 8, false, true},
        {"RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false},
        {"RGBA 16-bit", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, false},
        {"grey + alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, true, false},
        {"palette + tRNS", PNG_COLOR_TYPE_PALETTE, 8, true, false},
        {"RGBA interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, true},
    };
    for (const PngCase& c : cases) {
        std::vector<uint8_t> file = MakePng(c);
        Image image;
        std::string error;
        ASSERT_TRUE(DecodePng(file.data(), file.size(), &image, &error)) << c.name << ": " << error;
        ASSERT_EQ(image.width, static_cast<unsigned>(kWidth)) << c.name;
        ASSERT_EQ(image.height, static_cast<unsigned>(kHeight)) << c.name;
        for (int i = 0; i < kWidth * kHeight; ++i)
            ASSERT_EQ(image.texels[i], Expected(i, c.alpha)) << c.name << " texel " << i;
    }
    // In memory the texels are B, G, R, A.
    std::vector<uint8_t> file = MakePng(cases[8]);
    Image image;
    std::string error;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), &image, &error));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(image.texels.data());
    EXPECT_EQ(bytes[4 * 2 + 2], kGrey[2]);   // R of texel 2
    EXPECT_EQ(bytes[4 * 2 + 3], kAlpha[2]);  // A
}

TEST(Png, DamagedFilesFailWithAReason) {
    std::vector<uint8_t> good = MakePng({"RGB", PNG_COLOR_TYPE_RGB, 8, false, false});
    std::vector<uint8_t> corrupt = good;
    corrupt[good.size() / 2 + 4] ^= 0xFF;  // inside the image data: the CRC no longer holds
    std::vector<uint8_t> huge = good;
    huge[16] = 0x7F;  // width 2^31-ish in the header (its CRC is not checked before the limit)
    // Well-formed headers (their CRC made good) for pictures 4096 and 4097
    // texels wide: the reader allocates a picture whole from its header, so
    // the header of the wider one is refused before anything is allocated,
    // and only the narrower one gets as far as its (too short) data.
    for (uint32_t width : {4096u, 4097u}) {
        std::vector<uint8_t> wide = good;
        for (int i = 0; i < 4; ++i) wide[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
        uint32_t crc = static_cast<uint32_t>(crc32(0, wide.data() + 12, 17));  // "IHDR" and its 13 bytes
        for (int i = 0; i < 4; ++i) wide[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        Image image;
        std::string error;
        EXPECT_FALSE(DecodePng(wide.data(), wide.size(), &image, &error)) << width;
        EXPECT_EQ(error == "Invalid IHDR data", width > 4096) << width << ": " << error;
    }

    struct Case { const char* name; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"empty", {}},
        {"not a PNG", std::vector<uint8_t>(64, 'x')},
        {"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
        {"cut short", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size()) - 30)},
        {"corrupt data", corrupt},
        {"huge header", huge},
    };
    for (const Case& c : cases) {
        Image image;
        std::string error;
        EXPECT_FALSE(DecodePng(c.bytes.data(), c.bytes.size(), &image, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_TRUE(image.texels.empty()) << c.name;
    }
}
