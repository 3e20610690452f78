// Where the immediate 2D operations put their pixels, on a scene target of
// the view's size as the show uses it.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/texture.h"
#include "core/camera.h"
#include "core/tweaks.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "tests/gpu_fixture.h"

using GpuFixture::Image;

namespace {

class Renderer2DTest : public ::testing::Test {
protected:
    Texture* scene = nullptr;
    Gpu::Surface* saved = nullptr;

    // The device at this display, drawing into a cleared scene target of
    // the view's size.
    void Begin(float width = 1280, float height = 720, int aspect = 1) {
        ASSERT_TRUE(GpuFixture::Start(width, height, aspect));
        const ViewValues& view = GraphicsDevice::View();
        scene = Texture::CreateRenderTarget(static_cast<unsigned>(view.viewWidth),
                                            static_cast<unsigned>(view.viewHeight), Gpu::kFormatA8R8G8B8);
        saved = GraphicsDevice::SetRenderTexture(scene);
        GraphicsDevice::ClearDepth(1.0f);
        GraphicsDevice::Clear(0xFF000000);
    }

    void TearDown() override {
        GraphicsDevice::RestoreRenderTarget(saved);
        if (scene) {
            scene->Release();
            delete scene;
        }
    }

    // A texture whose every texel differs from its neighbours.
    static Texture* Pattern(unsigned w, unsigned h) {
        Texture* t = Texture::Create(w, h, Gpu::kFormatA8R8G8B8);
        uint32_t* texels = reinterpret_cast<uint32_t*>(t->Lock(nullptr));
        for (unsigned i = 0; i < w * h; ++i) texels[i] = 0xFF000000u | (i * 2654435761u >> 8);
        t->Unlock();
        return t;
    }
    static uint32_t Texel(Texture* t, unsigned x, unsigned y) {
        return reinterpret_cast<uint32_t*>(t->Lock(nullptr))[y * t->width + x];
    }
    static void Free(Texture* t) {
        t->Release();
        delete t;
    }

    // The bounding box of pixels that are not black.
    struct Box { int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1; };
    static Box Covered(const Image& image) {
        Box b;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (image.At(x, y) == 0xFF000000u) continue;
                b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
            }
        }
        return b;
    }
};

}  // namespace

TEST_F(Renderer2DTest, FullLayoutQuadFillsTheSceneTargetAtAnyResolution) {
    struct Case { float w, h; int aspect; Vector2 pos, size; int x0, y0, x1, y1; };
    const Case cases[] = {
        {1280, 720, 1, {100, 100}, {10, 10}, 100, 100, 109, 109},
        {1024, 768, 0, {100, 100}, {10, 10}, 80, 80, 87, 87},      // view 1024 x 576, scale 0.8
        {1680, 1050, 2, {100, 72}, {10, 72}, 132, 105, 144, 209},  // 131.25..144.375 x 105..210
    };
    for (const Case& c : cases) {
        Begin(c.w, c.h, c.aspect);
        const Vector2 origin(0, 0), all(1280, 720);
        Renderer2D::DrawQuad(&origin, &all, 0xFFFFFFFF);
        Image image = GpuFixture::ReadTarget();
        EXPECT_EQ(image.height, static_cast<int>(GraphicsDevice::View().viewHeight));
        int uncovered = 0;
        for (uint32_t p : image.pixels) uncovered += p != 0xFFFFFFFFu;
        EXPECT_EQ(uncovered, 0) << c.w << "x" << c.h;

        GraphicsDevice::Clear(0xFF000000);
        Renderer2D::DrawQuad(&c.pos, &c.size, 0xFFFFFFFF);
        Box b = Covered(GpuFixture::ReadTarget());
        EXPECT_EQ(b.x0, c.x0) << c.w << "x" << c.h;
        EXPECT_EQ(b.y0, c.y0) << c.w << "x" << c.h;
        EXPECT_EQ(b.x1, c.x1) << c.w << "x" << c.h;
        EXPECT_EQ(b.y1, c.y1) << c.w << "x" << c.h;
        TearDown();
        scene = nullptr;
        saved = nullptr;
    }
}

TEST_F(Renderer2DTest, TexturedQuadsSitOnePixelRightAndDownOfSolidOnes) {
    Begin();
    Texture* white = Texture::Create(4, 4, Gpu::kFormatA8R8G8B8);
    uint32_t* texels = reinterpret_cast<uint32_t*>(white->Lock(nullptr));
    std::fill_n(texels, 16, 0xFFFFFFFFu);
    white->Unlock();
    const Vector2 pos(10, 10), size(20, 10);
    Renderer2D::DrawQuad(&pos, &size, 0xFFFFFFFF);
    Box solid = Covered(GpuFixture::ReadTarget());
    GraphicsDevice::Clear(0xFF000000);
    Renderer2D::DrawTexturedQuad(white, &pos, &size, 0xFFFFFFFF);
    Box textured = Covered(GpuFixture::ReadTarget());
    EXPECT_EQ(solid.x0, 10);
    EXPECT_EQ(solid.y0, 10);
    EXPECT_EQ(solid.x1, 29);
    EXPECT_EQ(solid.y1, 19);
    // Half a pixel added to the corners moves the covered pixels by one.
    EXPECT_EQ(textured.x0, 11);
    EXPECT_EQ(textured.y0, 11);
    EXPECT_EQ(textured.x1, 30);
    EXPECT_EQ(textured.y1, 20);
    // A wrapper without a texture draws nothing.
    Texture empty;
    GraphicsDevice::Clear(0xFF000000);
    Renderer2D::DrawTexturedQuad(&empty, &pos, &size, 0xFFFFFFFF);
    Renderer2D::DrawTexturedQuad(nullptr, &pos, &size, 0xFFFFFFFF);
    EXPECT_EQ(Covered(GpuFixture::ReadTarget()).x1, -1);
    Free(white);
}

TEST_F(Renderer2DTest, GradientCornersComeInTheirArgumentOrder) {
    Begin();
    const Vector2 pos(0, 0), size(100, 100);
    const uint32_t tl = 0xFFFF0000, tr = 0xFF00FF00, bl = 0xFF0000FF, br = 0xFFFFFFFF;
    Renderer2D::DrawQuadGradient(&pos, &size, tl, tr, bl, br);
    Image image = GpuFixture::ReadTarget();
    auto near = [](uint32_t a, uint32_t b) {
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(near(image.At(0, 0), tl)) << std::hex << image.At(0, 0);
    EXPECT_TRUE(near(image.At(99, 0), tr)) << std::hex << image.At(99, 0);
    EXPECT_TRUE(near(image.At(0, 99), bl)) << std::hex << image.At(0, 99);
    EXPECT_TRUE(near(image.At(99, 99), br)) << std::hex << image.At(99, 99);
}

TEST_F(Renderer2DTest, TextureWindowOfTheWholeTextureEqualsTheQuadAndRepeatsBeyond) {
    Begin();
    Texture* pattern = Pattern(16, 16);
    const Vector2 pos(0, 0), size(16, 16), origin(0, 0), whole(1, 1);
    Renderer2D::DrawTexturedQuad(pattern, &pos, &size, 0xFFFFFFFF);
    Image quad = GpuFixture::ReadTarget();
    GraphicsDevice::Clear(0xFF000000);
    Renderer2D::DrawTexturedQuadPart(pattern, &pos, &size, &origin, &whole, 0xFFFFFFFF);
    Image part = GpuFixture::ReadTarget();
    EXPECT_EQ(quad.pixels, part.pixels);
    // Texels land exactly on pixels, one pixel right and down.
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x) ASSERT_EQ(quad.At(x + 1, y + 1), Texel(pattern, x, y)) << x << "," << y;

    // Two texture widths over a quad twice as wide: the texture twice over.
    GraphicsDevice::Clear(0xFF000000);
    const Vector2 wide(32, 16), twice(2, 1);
    Renderer2D::DrawTexturedQuadPart(pattern, &pos, &wide, &origin, &twice, 0xFFFFFFFF);
    Image repeated = GpuFixture::ReadTarget();
    for (unsigned y = 0; y < 16; ++y) {
        for (unsigned x = 0; x < 16; ++x) {
            ASSERT_EQ(repeated.At(x + 1, y + 1), Texel(pattern, x, y));
            ASSERT_EQ(repeated.At(x + 17, y + 1), Texel(pattern, x, y));
        }
    }

    // A window half a texel in, still a texel a pixel: each pixel falls
    // between two texels and gets their mean, filtered as at any offset.
    GraphicsDevice::Clear(0xFF000000);
    const Vector2 halfIn(0.5f / 16, 0);
    Renderer2D::DrawTexturedQuadPart(pattern, &pos, &size, &halfIn, &whole, 0xFFFFFFFF);
    Image between = GpuFixture::ReadTarget();
    for (unsigned x = 0; x < 15; ++x) {
        const uint32_t a = Texel(pattern, x, 5), b = Texel(pattern, x + 1, 5), p = between.At(x + 1, 6);
        ASSERT_NEAR(GpuFixture::Red(p), (GpuFixture::Red(a) + GpuFixture::Red(b)) / 2.0, 1.0) << x;
        ASSERT_NEAR(GpuFixture::Blue(p), (GpuFixture::Blue(a) + GpuFixture::Blue(b)) / 2.0, 1.0) << x;
    }
    Free(pattern);
}

TEST_F(Renderer2DTest, RotatedQuadAtAngleZeroShowsTheTextureAQuarterTurnClockwise) {
    Begin();
    Texture* pattern = Pattern(8, 8);
    const Vector2 pos(4, 4), size(8, 8);
    Renderer2D::DrawRotatedQuad(pattern, &pos, &size, 0.0f, 0xFFFFFFFF);
    Image image = GpuFixture::ReadTarget();
    // The same pixels as the unrotated quad (x, y 5..12); the texture's top
    // row runs down the right side.
    for (unsigned j = 0; j < 8; ++j)
        for (unsigned i = 0; i < 8; ++i) ASSERT_EQ(image.At(5 + i, 5 + j), Texel(pattern, j, 7 - i)) << i << "," << j;
    EXPECT_EQ(Covered(image).x0, 5);
    EXPECT_EQ(Covered(image).y1, 12);

    // A positive angle turns clockwise: a quarter turn stands a wide quad up.
    GraphicsDevice::Clear(0xFF000000);
    const Vector2 widePos(100, 100), wide(40, 10);
    Renderer2D::DrawRotatedQuad(pattern, &widePos, &wide, 3.14159265f / 2, 0xFFFFFFFF);
    Box b = Covered(GpuFixture::ReadTarget());
    EXPECT_EQ(b.x1 - b.x0 + 1, 10);
    EXPECT_EQ(b.y1 - b.y0 + 1, 40);
    EXPECT_EQ(b.x0, 116);  // centre 120 (+ half a pixel), half width 5
    Free(pattern);
}

TEST_F(Renderer2DTest, NegativeSizeDrawsTheMirroredRectangle) {
    Begin();
    Texture* pattern = Pattern(16, 16);
    const Vector2 pos(32, 0), mirrored(-16, 16);
    Renderer2D::DrawTexturedQuad(pattern, &pos, &mirrored, 0xFFFFFFFF);
    Image image = GpuFixture::ReadTarget();
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x) ASSERT_EQ(image.At(17 + x, 1 + y), Texel(pattern, 15 - x, y));

    GraphicsDevice::Clear(0xFF000000);
    Renderer2D::DrawQuad(&pos, &mirrored, 0xFFFFFFFF);
    Box b = Covered(GpuFixture::ReadTarget());
    EXPECT_EQ(b.x0, 16);
    EXPECT_EQ(b.x1, 31);
    EXPECT_EQ(b.y1, 15);
    Free(pattern);
}

TEST_F(Renderer2DTest, QuadsAndLinesLeaveTheirStatesBehind) {
    Begin();
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullCW);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 0);
    const Vector2 pos(0, 0), size(4, 4);
    Renderer2D::DrawQuad(&pos, &size, 0xFFFFFFFF);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZWriteEnable), 0u);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsCullMode), Gpu::kCullNone);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsAlphaBlendEnable), 1u);

    // Nothing queued: nothing drawn, no state touched.
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    GraphicsDevice::Clear(0xFF000000);
    Renderer2D::FlushLines();
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZEnable), 0u);
    EXPECT_EQ(Covered(GpuFixture::ReadTarget()).x1, -1);

    // Seen through identity matrices (no active camera), a line along x at
    // y = 0 crosses the middle of the target; it is drawn at once.
    Camera* previous = SetActiveCamera(nullptr);
    const Vector3 a(-1, 0, 0.5f), b(1, 0, 0.5f);
    Renderer2D::DrawLine(&a, &b, 0xFF00FF00);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZEnable), 1u);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZWriteEnable), 1u);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsAlphaTestEnable), 1u);
    Image image = GpuFixture::ReadTarget();
    int onMiddleRows = 0;
    for (int x = 0; x < image.width; ++x)
        onMiddleRows += image.At(x, 359) == 0xFF00FF00u || image.At(x, 360) == 0xFF00FF00u;
    EXPECT_GE(onMiddleRows, image.width - 2);

    // Through a camera looking down -x from (3, 0, 0), a line along z at the
    // origin stands in the middle column.
    Camera camera(1280, 720);
    SetActiveCamera(&camera);
    camera.SetPosition(Vector3(3, 0, 0));
    camera.SetTarget(Vector3(0, 0, 0), Vector3(0, 1, 0));
    GraphicsDevice::Clear(0xFF000000);
    GraphicsDevice::ClearDepth(1.0f);
    const Vector3 c(0, -0.5f, 0), d(0, 0.5f, 0);
    Renderer2D::DrawLine(&c, &d, 0xFF00FF00);
    image = GpuFixture::ReadTarget();
    int onMiddleColumns = 0;
    for (int y = 0; y < image.height; ++y)
        onMiddleColumns += image.At(639, y) == 0xFF00FF00u || image.At(640, y) == 0xFF00FF00u;
    EXPECT_GT(onMiddleColumns, 100);
    EXPECT_EQ(image.At(640, 5), 0xFF000000u);  // a short segment, not the whole column
    SetActiveCamera(previous);
    TweakTable::Get() = TweakTable{};  // the camera's tweaks pointed into it
}

// Quads are drawn without the depth test where it could drop nothing; where
// it could, it still drops. The target's depth is cleared to 0.25 here.
TEST_F(Renderer2DTest, TheDepthTestDropsWhatItWouldDropAndQuadsKeepItsState) {
    Begin();
    struct Case {
        const char* name;
        uint32_t zFunc;
        float z;  // of the triangle's vertices
        bool drawn;
    };
    const Case cases[] = {
        {"LESSEQUAL at depth 0", Gpu::kCmpLessEqual, 0.0f, true},
        {"LESSEQUAL behind the stored depth", Gpu::kCmpLessEqual, 0.5f, false},
        {"LESS at depth 0, in front", Gpu::kCmpLess, 0.0f, true},
        {"GREATER at depth 0", Gpu::kCmpGreater, 0.0f, false},
        {"ALWAYS behind the stored depth", Gpu::kCmpAlways, 0.5f, true},
    };
    for (const Case& c : cases) {
        GraphicsDevice::Clear(0xFF000000);
        GraphicsDevice::ClearDepth(0.25f);
        Gpu::SetRenderState(Gpu::kRsZEnable, 1);
        Gpu::SetRenderState(Gpu::kRsZFunc, c.zFunc);
        const Renderer2D::Vertex2D triangle[3] = {
            {10, 10, c.z, 1, 0xFFFFFFFF}, {60, 10, c.z, 1, 0xFFFFFFFF}, {10, 60, c.z, 1, 0xFFFFFFFF}};
        Renderer2D::DrawTriangle(triangle);
        EXPECT_EQ(Covered(GpuFixture::ReadTarget()).x1 >= 0, c.drawn) << c.name;
        EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZEnable), 1u) << c.name;
    }
    // A quad at depth 0 against a stored 0: LESS drops it, LESSEQUAL does not.
    const Vector2 pos(0, 0), size(8, 8);
    for (uint32_t zFunc : {Gpu::kCmpLess, Gpu::kCmpLessEqual}) {
        GraphicsDevice::Clear(0xFF000000);
        GraphicsDevice::ClearDepth(0.0f);
        Gpu::SetRenderState(Gpu::kRsZFunc, zFunc);
        Renderer2D::DrawQuad(&pos, &size, 0xFFFFFFFF);
        EXPECT_EQ(Covered(GpuFixture::ReadTarget()).x1 >= 0, zFunc == Gpu::kCmpLessEqual) << zFunc;
    }
    Gpu::SetRenderState(Gpu::kRsZFunc, Gpu::kCmpLessEqual);
}

TEST_F(Renderer2DTest, UnlockRebuildsTheMipChainThatMinifiedQuadsRead) {
    Begin();
    // 4 x 4, left half white, right half black; the 1 x 1 level is grey.
    Texture* t = new Texture;
    t->texture = Gpu::CreateTexture(4, 4, 0, Gpu::kFormatA8R8G8B8, false);
    t->width = t->height = 4;
    uint32_t* texels = reinterpret_cast<uint32_t*>(t->Lock(nullptr));
    for (int i = 0; i < 16; ++i) texels[i] = (i % 4) < 2 ? 0xFFFFFFFFu : 0xFF000000u;
    t->Unlock();
    const Vector2 pos(10, 10), one(1, 1);
    Renderer2D::DrawTexturedQuad(t, &pos, &one, 0xFFFFFFFF);
    EXPECT_NEAR(GpuFixture::Red(GpuFixture::ReadTarget().At(11, 11)), 128, 2);
    Free(t);
}

TEST_F(Renderer2DTest, TexturedQuadsGiveThePixelsOfTheFullMipFilterAtEveryScale) {
    // Quads at their texture's size or larger skip the level choice; any
    // scale must still give what the mip-mapped filter gives.
    static const char kMipMapped[] = R"fx(
texture g_Texture;
sampler s = sampler_state { Texture = <g_Texture>; MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
                            AddressU = WRAP; AddressV = WRAP; };
pixelshader P { void main() { o_Colour = texture(s, v_TexCoord0) * v_Colour; } }
technique T { pass p0 { VertexShader = null; PixelShader = P; } }
)fx";
    Begin();
    Texture* t = new Texture;
    t->texture = Gpu::CreateTexture(64, 32, 0, Gpu::kFormatA8R8G8B8, false);  // a full mip chain
    t->width = 64;
    t->height = 32;
    uint32_t* texels = reinterpret_cast<uint32_t*>(t->Lock(nullptr));
    for (unsigned i = 0; i < 64 * 32; ++i) texels[i] = 0xFF000000u | (i * 2654435761u >> 8);
    t->Unlock();
    Gpu::Effect* reference = Gpu::CreateEffect(kMipMapped, sizeof kMipMapped - 1, "mip-mapped quad");
    ASSERT_NE(reference, nullptr);
    reference->SetTechnique("T");
    reference->SetTexture("g_Texture", t->texture);
    struct Case {
        float x, y, w, h;
    };
    const Case cases[] = {{100, 60, 64, 32},  {100.25f, 60.5f, 64, 32}, {100, 60, 200, 90},
                          {100, 60, 64, 100}, {100, 60, 40, 20},        {100, 60, 128, 20}};
    for (const Case& c : cases) {
        const Vector2 pos(c.x, c.y), size(c.w, c.h);
        GraphicsDevice::Clear(0xFF000000);
        Renderer2D::DrawTexturedQuad(t, &pos, &size, 0xFFFFFFFF);
        const Image quad = GpuFixture::ReadTarget();
        GraphicsDevice::Clear(0xFF000000);
        Renderer2D::DrawEffectQuad(reference, &pos, &size, 0xFFFFFFFF);  // the same corners, in pixels at 1280 x 720
        const Image expected = GpuFixture::ReadTarget();
        int differ = 0;
        for (size_t i = 0; i < quad.pixels.size(); ++i) differ += quad.pixels[i] != expected.pixels[i];
        EXPECT_EQ(differ, 0) << c.x << "," << c.y << " " << c.w << " x " << c.h;
    }
    Gpu::ReleaseEffect(reference);
    Free(t);
}
