#include <gtest/gtest.h>

#include <cstring>

#include "assets/asset_source.h"
#include "assets/resources.h"

TEST(EmbeddedResources, FoundByIdAndTypeOnly) {
    const EmbeddedResource* font = FindResource(900, "RCDATA");
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(font->name, "Data\\Fonts\\LiberationSans-Bold.ttf");
    const unsigned char* bytes = static_cast<const unsigned char*>(LockResource(font));
    ASSERT_GT(SizeofResource(font), 1000u);
    const unsigned char trueType[4] = {0x00, 0x01, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(bytes, trueType, 4), 0);
    EXPECT_EQ(bytes[SizeofResource(font)], 0);  // the terminator past the end

    EXPECT_EQ(FindResource(900, "MUSIC"), nullptr);
    EXPECT_EQ(FindResource(12345, "RCDATA"), nullptr);
    EXPECT_EQ(SizeofResource(nullptr), 0u);
    EXPECT_EQ(LockResource(nullptr), nullptr);

    AssetBytes asset;
    EXPECT_TRUE(OpenAsset(900, "RCDATA", "font", &asset));
    EXPECT_EQ(asset.data, bytes);
    EXPECT_EQ(asset.size, SizeofResource(font));
    EXPECT_STREQ(asset.name, font->name);
    EXPECT_FALSE(OpenAsset(901, "RCDATA", "font", &asset));  // and says so on stderr
    EXPECT_EQ(asset.data, nullptr);
}
