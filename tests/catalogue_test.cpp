#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "assets/asset_source.h"
#include "assets/catalogue.h"
#include "assets/cube_texture.h"
#include "assets/image.h"
#include "assets/mesh.h"
#include "assets/resources.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"

namespace {

// The catalogue's preload never goes back, so the whole table is loaded once
// per test process, by the first test that needs it.
class CatalogueTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(GpuFixture::Start());
        float progress = 0.0f, expected = 0.0f;
        for (int k = 1; k <= kCatalogueSize; ++k) {
            ASSERT_FALSE(PreloadNextAsset(&progress)) << k;
            expected = std::min(expected + 0.028571429f, 1.0f);
            progresses[k] = progress;
            ASSERT_EQ(progress, expected) << "after " << k << " calls";
        }
        doneCall = PreloadNextAsset(&progress);
        progressAfter36 = progress;
    }

    static float progresses[kCatalogueSize + 1];
    static bool doneCall;
    static float progressAfter36;
};

float CatalogueTest::progresses[kCatalogueSize + 1];
bool CatalogueTest::doneCall = false;
float CatalogueTest::progressAfter36 = 0.0f;

}  // namespace

TEST_F(CatalogueTest, ProgressGrowsBy1Over35AndTheCallAfterTheLastReportsCompletion) {
    EXPECT_NEAR(progresses[1], 1.0f / 35.0f, 1e-7f);
    EXPECT_NEAR(progresses[35], 1.0f, 1e-5f);
    EXPECT_TRUE(doneCall);
    EXPECT_EQ(progressAfter36, 1.0f);
    float progress = 0.25f;  // whatever it was, a completed catalogue reports 1
    EXPECT_TRUE(PreloadNextAsset(&progress));
    EXPECT_EQ(progress, 1.0f);
}

TEST_F(CatalogueTest, TheTableIsInPreloadOrder) {
    AssetKind kind;
    EXPECT_EQ(GetCatalogueEntry(0, &kind).resourceId, 285);
    EXPECT_EQ(kind, AssetKind::Mesh);
    EXPECT_STREQ(GetCatalogueEntry(3, &kind).name, "Data\\Shaders\\PP_BloomH.fx");
    EXPECT_EQ(kind, AssetKind::Effect);
    EXPECT_EQ(GetCatalogueEntry(16, &kind).resourceId, 102);
    EXPECT_EQ(kind, AssetKind::Texture);
    EXPECT_EQ(GetCatalogueEntry(34, &kind).resourceId, 106);
    EXPECT_EQ(kind, AssetKind::CubeTexture);
}

TEST_F(CatalogueTest, EveryAssetThatIsEmbeddedIsLoaded) {
    for (int i = 0; i < kCatalogueSize; ++i) {
        AssetKind kind;
        const CatalogueEntry& e = GetCatalogueEntry(i, &kind);
        const EmbeddedResource* resource = FindResource(e.resourceId, "RCDATA");
        if (resource) {
            EXPECT_STREQ(resource->name, e.name);
        }
        bool loaded = false;
        switch (kind) {
        case AssetKind::Mesh: loaded = GetMesh(e.resourceId) != nullptr; break;
        case AssetKind::Effect: loaded = GetEffect(e.resourceId) != nullptr; break;
        case AssetKind::Texture: loaded = GetTexture(e.resourceId) != nullptr; break;
        case AssetKind::CubeTexture: loaded = GetCubeTexture(e.resourceId) != nullptr; break;
        }
        // Assets other developers have not made yet are missing, and then null.
        EXPECT_EQ(loaded, resource != nullptr) << e.name;
    }
}

TEST_F(CatalogueTest, TexturesHaveTheSizesOfTheTable) {
    struct Size { int id; unsigned width, height; };
    const Size sizes[] = {
        {102, 2048, 1024}, {103, 512, 512},   {104, 512, 16},    {107, 1024, 1024}, {118, 512, 512},
        {108, 2048, 1024}, {109, 32, 32},     {111, 2048, 1024}, {127, 2048, 1024}, {115, 2048, 32},
        {116, 256, 256},   {117, 256, 256},   {119, 1024, 512},  {120, 1024, 512},  {121, 1024, 512},
        {122, 1024, 512},  {128, 2048, 1024}, {129, 1024, 256},
    };
    for (const Size& s : sizes) {
        Texture* texture = GetTexture(s.id);
        if (!FindResource(s.id, "RCDATA")) continue;
        ASSERT_NE(texture, nullptr) << s.id;
        EXPECT_EQ(texture->width, s.width) << s.id;
        EXPECT_EQ(texture->height, s.height) << s.id;
        EXPECT_NE(texture->texture, nullptr);
        EXPECT_EQ(texture->surface, nullptr);
        EXPECT_EQ(Gpu::TextureWidth(texture->texture), s.width);
    }
    // The head and the hand are coloured per subset: they have at least two.
    for (int id : {285, 286}) {
        if (!FindResource(id, "RCDATA")) continue;
        Mesh* mesh = GetMesh(id);
        ASSERT_NE(mesh, nullptr) << id;
        EXPECT_GE(mesh->materialCount, 2u) << id;
        for (unsigned m = 0; m < mesh->materialCount; ++m)
            EXPECT_EQ(std::memcmp(mesh->materials[m].ambient, mesh->materials[m].diffuse, sizeof(float) * 4), 0);
    }
}

TEST_F(CatalogueTest, LookupsSearchTheirOwnKindAndRememberMisses) {
    EXPECT_EQ(GetTexture(285), nullptr);  // a mesh id
    EXPECT_EQ(GetMesh(103), nullptr);     // a texture id
    EXPECT_EQ(GetCubeTexture(110), nullptr);
    EXPECT_EQ(GetEffect(106), nullptr);
    EXPECT_EQ(GetTexture(4242), nullptr);
    EXPECT_EQ(GetTexture(4242), nullptr);  // the null entry it left behind
    if (FindResource(285, "RCDATA")) {
        EXPECT_NE(GetMesh(285), nullptr);
    }
}

TEST_F(CatalogueTest, TheCataloguesRgbSplitIsNotTheApplicationsOwn) {
    Gpu::Effect* own = GraphicsDevice::CreateEffectFromResource(110, "Data\\Shaders\\RGBSplit.fx");
    ASSERT_NE(own, nullptr);
    ASSERT_NE(GetEffect(110), nullptr);
    EXPECT_NE(GetEffect(110), own);
    Gpu::ReleaseEffect(own);
}

// The object the catalogue holds for preload step `index`.
static const void* LoadedAt(int index) {
    AssetKind kind;
    const int id = GetCatalogueEntry(index, &kind).resourceId;
    switch (kind) {
    case AssetKind::Mesh: return GetMesh(id);
    case AssetKind::Effect: return GetEffect(id);
    case AssetKind::Texture: return GetTexture(id);
    case AssetKind::CubeTexture: return GetCubeTexture(id);
    }
    return nullptr;
}

// A jump back runs the loading screen through as many frames as at start-up,
// and loads nothing twice: every lookup gives the object it gave before.
TEST_F(CatalogueTest, ARewoundPreloadStepsThroughTheTableAgainWithoutLoading) {
    std::vector<const void*> before;
    for (int i = 0; i < kCatalogueSize; ++i) before.push_back(LoadedAt(i));
    RewindPreload();
    float progress = 0.0f;
    for (int k = 1; k <= kCatalogueSize; ++k) {
        ASSERT_FALSE(PreloadNextAsset(&progress)) << k;
        EXPECT_EQ(progress, progresses[k]) << k;
    }
    EXPECT_TRUE(PreloadNextAsset(&progress));
    for (int i = 0; i < kCatalogueSize; ++i) EXPECT_EQ(LoadedAt(i), before[i]) << i;
}

TEST(Assets, MissingResourcesGiveNullWithOneLineNamingThem) {
    ASSERT_TRUE(GpuFixture::Start());
    struct Case { const char* kind; bool (*load)(); };
    const Case cases[] = {
        {"texture", [] { return Texture::FromResource(4243) == nullptr; }},
        {"cube", [] { return CubeTexture::FromResource(4243) == nullptr; }},
        {"mesh", [] { return Mesh::FromResource(4243) == nullptr; }},
        {"picture that is a shader", [] { return Texture::FromResource(110) == nullptr; }},
        {"mesh that is a picture", [] { return Mesh::FromResource(900) == nullptr; }},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_TRUE(c.load()) << c.kind;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.kind << ": " << err;
        EXPECT_TRUE(err.find("4243") != std::string::npos || err.find("110") != std::string::npos ||
                    err.find("900") != std::string::npos)
            << err;
    }
}

TEST(Assets, TwoNoiseTexturesDiffer) {
    ASSERT_TRUE(GpuFixture::Start());
    Texture* a = Texture::CreateNoise(128, 128, Gpu::kFormatA8R8G8B8);
    Texture* b = Texture::CreateNoise(128, 128, Gpu::kFormatA8R8G8B8);
    ASSERT_TRUE(a && b);
    int bytesPerPixel = 0;
    const uint8_t* pa = a->Lock(&bytesPerPixel);
    EXPECT_EQ(bytesPerPixel, 4);
    std::vector<uint8_t> first(pa, pa + 128 * 128 * 4);
    a->Unlock();
    const uint8_t* pb = b->Lock(nullptr);
    EXPECT_NE(std::memcmp(first.data(), pb, first.size()), 0);
    b->Unlock();
    for (Texture* t : {a, b}) {
        t->Release();
        delete t;
    }
}

TEST(Assets, APictureResourceIsUploadedTexelForTexel) {
    ASSERT_TRUE(GpuFixture::Start());
    AssetBytes pip;
    ASSERT_TRUE(OpenAsset(109, "RCDATA", "texture", &pip));
    Image decoded;
    std::string error;
    ASSERT_TRUE(DecodePng(pip.data, pip.size, &decoded, &error)) << error;
    Texture* texture = Texture::FromResource(109);
    ASSERT_NE(texture, nullptr);
    int bytesPerPixel = 0;
    const uint8_t* bits = texture->Lock(&bytesPerPixel);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bytesPerPixel, 4);
    EXPECT_EQ(std::memcmp(bits, decoded.texels.data(), decoded.texels.size() * 4), 0);
    texture->Unlock();
    texture->Release();
    delete texture;
}
