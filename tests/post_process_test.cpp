// The post-processing chain: region and extent bookkeeping, ping-pong order
// and the pass files' arithmetic, with pixels at 1280 x 720.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/renderer_2d.h"
#include "tests/gpu_fixture.h"

using GpuFixture::Image;

namespace {

// Pass effects that exist only here: each adds a quarter grey to its source;
// the other writes zeros over a region of a sixteenth.
const char kAddPass[] = R"fx(
texture g_txSrcColor;
sampler s = sampler_state { Texture = <g_txSrcColor>; MinFilter = POINT; MagFilter = POINT; };
pixelshader P { void main() { o_Colour = texture(s, v_TexCoord0) + vec4(0.25); } }
technique PostProcess { pass p0 { VertexShader = null; PixelShader = P; } }
)fx";
const char kZeroPass[] = R"fx(
pixelshader P { void main() { o_Colour = vec4(0.0); } }
technique PostProcess { pass p0 < float fScaleX = 0.0625; float fScaleY = 0.0625; > {
    VertexShader = null; PixelShader = P; } }
)fx";

class Chain : public ::testing::Test {
protected:
    Texture* target = nullptr;  // what the chain's Present draws onto
    Gpu::Surface* saved = nullptr;

    void SetUp() override {
        ASSERT_TRUE(GpuFixture::Start());
        target = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
        saved = GraphicsDevice::SetRenderTexture(target);
        GraphicsDevice::Clear(0xFF000000);
    }

    void TearDown() override {
        GraphicsDevice::RestoreRenderTarget(saved);
        target->Release();
        delete target;
    }

    static Gpu::Effect* Load(int id) {
        Gpu::Effect* e = GraphicsDevice::CreateEffectFromResource(id, nullptr);
        EXPECT_NE(e, nullptr) << id;
        return e;
    }
    static Gpu::Effect* Make(const char* text) { return Gpu::CreateEffect(text, std::strlen(text), "test pass"); }

    // Reads a chain target, then puts render target 0 back.
    static Image Read(Texture* t) {
        Gpu::Surface* previous = GraphicsDevice::SetRenderTexture(t);
        Image image = GpuFixture::ReadTarget();
        GraphicsDevice::RestoreRenderTarget(previous);
        return image;
    }

    static void ExpectQuad(float x3, float y3, float u3, float v3) {
        const PostProcessChain::QuadVertex* q = PostProcessChain::Quad();
        EXPECT_FLOAT_EQ(q[0].x, -0.5f);
        EXPECT_FLOAT_EQ(q[0].y, -0.5f);
        EXPECT_FLOAT_EQ(q[1].x, x3);
        EXPECT_FLOAT_EQ(q[3].x, x3);
        EXPECT_FLOAT_EQ(q[2].y, y3);
        EXPECT_FLOAT_EQ(q[3].y, y3);
        EXPECT_FLOAT_EQ(q[3].u0, u3);
        EXPECT_FLOAT_EQ(q[3].v0, v3);
        // Texture coordinate 1 always spans the whole scene.
        EXPECT_EQ(q[3].u1, 1.0f);
        EXPECT_EQ(q[3].v1, 1.0f);
        EXPECT_EQ(q[0].u1, 0.0f);
    }

    // The scene with whatever `draw` puts into it, then the passes begin.
    template <typename Draw>
    static void Scene(uint32_t clear, Draw draw) {
        PostProcessChain::BeginScene(clear);
        draw();
        PostProcessChain::EndScene();
        PostProcessChain::BeginPasses();
    }
};

}  // namespace

TEST_F(Chain, PassesBounceBetweenThePingPongTargets) {
    Gpu::Effect* add = Make(kAddPass);
    ASSERT_NE(add, nullptr);
    Scene(0x00000000, [] {});
    PostProcessChain::ApplyEffect(add);  // reads the scene, writes pingPong[1]
    EXPECT_EQ(PostProcessChain::PassCounter(), 1);
    EXPECT_NEAR(GpuFixture::Red(Read(PostProcessChain::PingPongTarget(1)).At(640, 360)), 64, 1);
    PostProcessChain::ApplyEffect(add);  // reads pingPong[1], writes pingPong[0]
    EXPECT_EQ(PostProcessChain::PassCounter(), 2);
    EXPECT_NEAR(GpuFixture::Red(Read(PostProcessChain::PingPongTarget(0)).At(640, 360)), 128, 1);
    // A missing pass changes nothing.
    PostProcessChain::ApplyEffect(nullptr);
    EXPECT_EQ(PostProcessChain::PassCounter(), 2);
    ExpectQuad(1279.5f, 719.5f, 1.0f, 1.0f);
    // BeginPasses starts again from the scene.
    PostProcessChain::BeginPasses();
    PostProcessChain::ApplyEffect(add);
    EXPECT_NEAR(GpuFixture::Red(Read(PostProcessChain::PingPongTarget(1)).At(640, 360)), 64, 1);
    // Every pass clears its whole destination, whatever region it draws:
    // nothing of the full-size results is left beside a reduced one.
    Gpu::Effect* down = Load(283);
    PostProcessChain::ApplyEffect(down);  // pingPong[0]: a quarter of the grey
    PostProcessChain::BeginPasses();
    PostProcessChain::ApplyEffect(down);  // pingPong[1]: a quarter of the black scene
    EXPECT_NE(Read(PostProcessChain::PingPongTarget(0)).At(319, 179), 0x00000000u);
    for (int i = 0; i < 2; ++i) {
        Image image = Read(PostProcessChain::PingPongTarget(i));
        EXPECT_EQ(image.At(320, 179), 0x00000000u) << i;
        EXPECT_EQ(image.At(1279, 719), 0x00000000u) << i;
    }
    PostProcessChain::Present();
    Gpu::ReleaseEffect(down);
    Gpu::ReleaseEffect(add);
}

TEST_F(Chain, DownFiltersShrinkTheRegionAndBeginPassesRestoresIt) {
    Gpu::Effect* down = Load(283);
    Gpu::Effect* up = Load(284);
    Scene(0xFF808080, [] {});
    for (int i = 0; i < 3; ++i) PostProcessChain::ApplyEffect(down);
    // 1280 x 720 / 64 = 20 x 11.25 pixels, read from the sixteenth the
    // second pass wrote.
    ExpectQuad(19.5f, 10.75f, 0.0625f, 0.0625f);
    EXPECT_FLOAT_EQ(PostProcessChain::TexExtentU(), 1.0f / 64);
    EXPECT_FLOAT_EQ(PostProcessChain::TexExtentV(), 1.0f / 64);
    // The grey came through three means of 16 and fills exactly the region.
    Image image = Read(PostProcessChain::PingPongTarget(PostProcessChain::PassCounter() % 2));
    EXPECT_EQ(image.At(0, 0), 0xFF808080u);
    EXPECT_EQ(image.At(19, 10), 0xFF808080u);
    EXPECT_EQ(image.At(20, 10), 0x00000000u);
    EXPECT_EQ(image.At(19, 11), 0x00000000u);

    PostProcessChain::ApplyEffect(up);  // unbalanced: three down, one up
    ExpectQuad(79.5f, 44.5f, 1.0f / 64, 1.0f / 64);
    PostProcessChain::ApplyEffect(nullptr);
    ExpectQuad(79.5f, 44.5f, 1.0f / 64, 1.0f / 64);
    PostProcessChain::BeginPasses();
    ExpectQuad(1279.5f, 719.5f, 1.0f, 1.0f);
    EXPECT_EQ(PostProcessChain::TexExtentU(), 1.0f);
    EXPECT_EQ(PostProcessChain::PassCounter(), 0);
    Gpu::ReleaseEffect(down);
    Gpu::ReleaseEffect(up);
}

TEST_F(Chain, DownFilterAveragesFourByFourBlocks) {
    Gpu::Effect* down = Load(283);
    // Columns 0..3 of the scene carry reds 0, 40, 80, 120; every row alike.
    Scene(0xFF000000, [] {
        for (int x = 0; x < 4; ++x) {
            const Vector2 pos(static_cast<float>(x), 0), size(1, 720);
            Renderer2D::DrawQuad(&pos, &size, 0xFF000000u | static_cast<uint32_t>(x * 40) << 16);
        }
    });
    PostProcessChain::ApplyEffect(down);
    Image image = Read(PostProcessChain::PingPongTarget(1));
    EXPECT_NEAR(GpuFixture::Red(image.At(0, 0)), 60, 1);
    EXPECT_EQ(GpuFixture::Red(image.At(1, 0)), 0);
    Gpu::ReleaseEffect(down);
}

// The voxel cloud draws its scene at half size into a target of its own:
// the first pass reads that target whole, the half-size reduction averages
// it into a quarter-size region, and the next scene is the chain's own again.
TEST_F(Chain, AnOwnSmallerSceneTargetIsReadWholeAndHalvedToAQuarter) {
    Texture* own = Texture::CreateRenderTarget(640, 360, Gpu::kFormatA8R8G8B8);
    PostProcessChain::BeginScene(0xFF000000, own);
    // Columns 0 and 1 of the own target: reds 0 and 100; row 359 all white.
    const Vector2 column(1, 0), columnSize(1, 360), row(0, 359), rowSize(640, 1);
    Renderer2D::DrawQuad(&column, &columnSize, 0xFF640000u);
    Renderer2D::DrawQuad(&row, &rowSize, 0xFFFFFFFFu);
    PostProcessChain::EndScene();
    PostProcessChain::BeginPasses();
    ExpectQuad(639.5f, 359.5f, 1.0f, 1.0f);
    PostProcessChain::ApplyHalfReduction();
    ExpectQuad(319.5f, 179.5f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(PostProcessChain::TexExtentU(), 0.25f);
    EXPECT_FLOAT_EQ(PostProcessChain::TexExtentV(), 0.25f);
    Image image = Read(PostProcessChain::PingPongTarget(1));
    EXPECT_NEAR(GpuFixture::Red(image.At(0, 0)), 50, 1);  // the mean of columns 0 and 1
    EXPECT_EQ(GpuFixture::Red(image.At(1, 0)), 0);
    EXPECT_NEAR(GpuFixture::Red(image.At(5, 179)), 128, 1);  // rows 358 and 359
    EXPECT_EQ(image.At(320, 0), 0x00000000u);                // beyond the region: clear
    EXPECT_EQ(image.At(0, 180), 0x00000000u);
    PostProcessChain::Present();

    // The next scene that names no target of its own is the full-size one;
    // so is one that names a target larger than the chain's.
    Texture* large = Texture::CreateRenderTarget(2048, 1024, Gpu::kFormatA8R8G8B8);
    for (Texture* t : {static_cast<Texture*>(nullptr), large}) {
        PostProcessChain::BeginScene(0xFF000000, t);
        PostProcessChain::EndScene();
        PostProcessChain::BeginPasses();
        ExpectQuad(1279.5f, 719.5f, 1.0f, 1.0f);
        PostProcessChain::Present();
    }
    for (Texture* t : {own, large}) {
        t->Release();
        delete t;
    }
}

TEST_F(Chain, Combine4AddsTheWholeSceneThroughTextureCoordinateOne) {
    Gpu::Effect* zero = Make(kZeroPass);
    Gpu::Effect* combine = Load(282);
    // The scene: red rises from left to right, 0 to 255 over 256-pixel steps.
    Scene(0xFF000000, [] {
        for (int i = 0; i < 5; ++i) {
            const Vector2 pos(i * 256.0f, 0), size(256, 720);
            Renderer2D::DrawQuad(&pos, &size, 0xFF000000u | static_cast<uint32_t>(i * 63) << 16);
        }
    });
    PostProcessChain::ApplyEffect(zero);     // a black source over 80 x 45
    PostProcessChain::ApplyEffect(combine);  // x 4: the region is 320 x 180
    ExpectQuad(319.5f, 179.5f, 0.0625f, 0.0625f);
    Image image = Read(PostProcessChain::PingPongTarget(0));
    // The whole scene, squeezed into the region: its fifth steps every 64 pixels.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(GpuFixture::Red(image.At(i * 64 + 32, 90)), i * 63) << i;
    EXPECT_EQ(image.At(320, 90), 0x00000000u);
    Gpu::ReleaseEffect(zero);
    Gpu::ReleaseEffect(combine);
}

TEST_F(Chain, BloomSpreadsOneTexelByTheWeights) {
    const float weights[13] = {0.002216f, 0.008764f, 0.026995f, 0.064759f, 0.120985f, 0.176033f, 0.199471f,
                               0.176033f, 0.120985f, 0.064759f, 0.026995f, 0.008764f, 0.002216f};
    for (int id : {276, 277}) {
        Gpu::Effect* bloom = Load(id);
        Scene(0x00000000, [] {
            const Vector2 pos(100, 50), size(1, 1);
            Renderer2D::DrawQuad(&pos, &size, 0xFFFFFFFF);
        });
        PostProcessChain::ApplyEffect(bloom);
        Image image = Read(PostProcessChain::PingPongTarget(1));
        bool horizontal = id == 276;
        for (int k = -6; k <= 6; ++k) {
            int x = horizontal ? 100 + k : 100, y = horizontal ? 50 : 50 + k;
            double expected = weights[k + 6] * 1.5 * 255;  // g_BloomScale 1.5
            EXPECT_NEAR(GpuFixture::Red(image.At(x, y)), expected, 1.0) << id << " k " << k;
            EXPECT_NEAR(GpuFixture::Alpha(image.At(x, y)), expected, 1.0) << id << " k " << k;
        }
        EXPECT_EQ(image.At(horizontal ? 107 : 101, horizontal ? 51 : 57), 0x00000000u);
        Gpu::ReleaseEffect(bloom);
    }
}

TEST_F(Chain, BrightPassToneMapsAndScales) {
    Gpu::Effect* bright = Load(280);
    Scene(0xFF808080, [] {});
    PostProcessChain::ApplyEffect(bright);
    // c = 128/255 * 0.18 / 0.081; c *= 1 + c / 0.64; c /= 1 + c; times g_Strength 0.5.
    double c = 128.0 / 255 * 0.18 / 0.081;
    c *= 1 + c / 0.64;
    c /= 1 + c;
    double grey = c * 0.5 * 255;
    c = 1.0 * 0.18 / 0.081;
    c *= 1 + c / 0.64;
    c /= 1 + c;
    double alpha = c * 0.5 * 255;
    uint32_t p = Read(PostProcessChain::PingPongTarget(1)).At(10, 10);
    EXPECT_NEAR(GpuFixture::Green(p), grey, 1.0);
    EXPECT_NEAR(GpuFixture::Alpha(p), alpha, 1.0);
    Gpu::ReleaseEffect(bright);
}

TEST_F(Chain, PresentCopiesTheResultOntoTheTargetThatWasCurrent) {
    Gpu::Effect* add = Make(kAddPass);
    Scene(0x00000000, [] {
        const Vector2 pos(10, 20), size(30, 40);
        Renderer2D::DrawQuad(&pos, &size, 0xFF404040);
    });
    // While the passes run, render target 0 is a chain target.
    PostProcessChain::ApplyEffect(add);
    PostProcessChain::Present();
    Gpu::Surface* current = Gpu::GetRenderTarget();
    EXPECT_EQ(current, target->surface);
    Gpu::Release(current);
    Image image = GpuFixture::ReadTarget();
    // One pixel right and down, as every quad drawn with DrawEffectQuad.
    EXPECT_EQ(image.At(11, 21), 0xFF808080u);
    EXPECT_EQ(image.At(40, 60), 0xFF808080u);
    EXPECT_EQ(image.At(41, 61), 0x40404040u);
    EXPECT_EQ(image.At(0, 0), 0xFF000000u);  // the target's own clear: the copy starts a pixel in
    Gpu::ReleaseEffect(add);
}

TEST_F(Chain, EveryPassFileCompilesWithOnePostProcessPass) {
    for (int id : {110, 112, 113, 114, 276, 277, 280, 281, 282, 283, 284}) {
        Gpu::Effect* e = Load(id);
        if (!e) continue;
        EXPECT_TRUE(e->SetTechnique("PostProcess")) << id;
        EXPECT_EQ(e->Begin(), 1u) << id;
        e->End();
        Gpu::ReleaseEffect(e);
    }
}

TEST_F(Chain, NormalBlurWeighsVerticalNeighboursWhereCovered) {
    // Both files hold the same shader, offsetting along the vertical axis.
    for (int id : {112, 113}) {
        Gpu::Effect* blur = Load(id);
        blur->SetInt("g_NumSamples", 2);
        const float weights[2] = {0.25f, 0.25f}, offsets[2] = {-1.0f, 1.0f};
        blur->SetFloatArray("g_fWeights", weights, 2);
        blur->SetFloatArray("g_fOffsets", offsets, 2);
        // Covered rows 90..109 (alpha 1), a white line on row 100.
        Scene(0x00000000, [] {
            const Vector2 pos(0, 90), size(200, 20), line(0, 100), thin(200, 1);
            Renderer2D::DrawQuad(&pos, &size, 0xFF000000);
            Renderer2D::DrawQuad(&line, &thin, 0xFFFFFFFF);
        });
        PostProcessChain::ApplyEffect(blur);
        Image image = Read(PostProcessChain::PingPongTarget(1));
        // Half stays, a quarter comes from each vertical neighbour.
        EXPECT_NEAR(GpuFixture::Red(image.At(50, 100)), 128, 1) << id;
        EXPECT_NEAR(GpuFixture::Red(image.At(50, 99)), 64, 1) << id;
        EXPECT_NEAR(GpuFixture::Red(image.At(50, 101)), 64, 1) << id;
        EXPECT_EQ(image.At(50, 98), 0xFF000000u) << id;
        EXPECT_EQ(image.At(50, 89), 0x00000000u) << id;  // not covered: nothing
        EXPECT_EQ(image.At(0, 100), image.At(50, 100)) << id;
        Gpu::ReleaseEffect(blur);
    }
}

TEST_F(Chain, LightNormalsReflectTheCubeMapAndShadeByTheLight) {
    Gpu::Effect* light = Load(114);
    // Every face 0xFF804000 (r 0.5, g 0.25, b 0).
    static uint32_t face[4];
    std::fill_n(face, 4, 0xFF804000u);
    const uint32_t* faces[6] = {face, face, face, face, face, face};
    Gpu::CubeTexture* cube = Gpu::CreateCubeTexture(2, faces);
    light->SetTexture("g_txCubemap", cube);
    const float view[3] = {0, 0, 1};
    light->SetFloatArray("g_vViewDir", view, 3);
    // A normal facing the viewer, (0, 0, 1), stored as (n + 1) / 2.
    Scene(0xFF8080FF, [] {});
    PostProcessChain::ApplyEffect(light);
    uint32_t p = Read(PostProcessChain::PingPongTarget(1)).At(10, 10);
    // diff = n . normalize(-0.5, 0.25, 0.25); the colour is scaled by diff,
    // then by its own alpha (diff again).
    double diff = 0.25 / std::sqrt(0.375);
    EXPECT_NEAR(GpuFixture::Red(p), (0.502 + 0.1) * diff * diff * 255, 2);
    EXPECT_NEAR(GpuFixture::Green(p), (0.251 + 0.1) * diff * diff * 255, 2);
    EXPECT_NEAR(GpuFixture::Blue(p), 0.1 * diff * diff * 255, 2);
    EXPECT_NEAR(GpuFixture::Alpha(p), diff * diff * 255, 2);
    Gpu::ReleaseEffect(light);
    Gpu::ReleaseCubeTexture(cube);
}

TEST_F(Chain, TheLastEffectDrawnStraightGivesThePixelsOfApplyEffectAndPresent) {
    // A blending pass, which must go through a ping-pong target and the copy.
    static const char kBlendPass[] = R"fx(
texture g_txSrcColor;
sampler s = sampler_state { Texture = <g_txSrcColor>; MinFilter = POINT; MagFilter = POINT; };
pixelshader P { void main() { o_Colour = texture(s, v_TexCoord0) * 0.5; } }
technique PostProcess { pass p0 { VertexShader = null; PixelShader = P; AlphaBlendEnable = true; } }
)fx";
    Gpu::Effect* down = Load(283);
    Gpu::Effect* combine = Load(282);
    Gpu::Effect* light = Load(114);
    Gpu::Effect* add = Make(kAddPass);
    Gpu::Effect* zero = Make(kZeroPass);
    Gpu::Effect* blend = Make(kBlendPass);
    const float view[3] = {0.3f, -0.2f, 1.0f};
    light->SetFloatArray("g_vViewDir", view, 3);
    struct Case {
        const char* name;
        std::vector<Gpu::Effect*> before;
        Gpu::Effect* last;
    };
    const Case cases[] = {
        {"bloom's combine, back from a quarter", {down}, combine},
        {"lighting at full size, alpha 0 where uncovered", {down, add}, light},
        {"a full-size pass first of all", {}, add},
        {"a pass that shrinks the region", {}, zero},
        {"a pass that blends", {down}, blend},
    };
    for (const Case& c : cases) {
        Image images[2];
        for (int straight = 0; straight < 2; ++straight) {
            // The target has a picture of its own, which the alpha test and
            // the copy's one-pixel shift leave showing in places.
            const Vector2 origin(0, 0), full(1280, 720);
            Renderer2D::DrawQuadGradient(&origin, &full, 0xFF102030, 0xFF803010, 0xFF205080, 0xFFF0E0D0);
            Scene(0x00000000, [] {
                const Vector2 pos(100, 50), size(900, 500), bar(300, 0), tall(40, 720);
                Renderer2D::DrawQuadGradient(&pos, &size, 0x00FF0000, 0xFF00FF00, 0x800000FF, 0x10FFFFFF);
                Renderer2D::DrawQuad(&bar, &tall, 0xC0A0B0C0);
            });
            for (Gpu::Effect* e : c.before) PostProcessChain::ApplyEffect(e);
            if (straight) {
                PostProcessChain::ApplyLastEffect(c.last);
            } else {
                PostProcessChain::ApplyEffect(c.last);
                PostProcessChain::Present();
            }
            Gpu::Surface* current = Gpu::GetRenderTarget();
            EXPECT_EQ(current, target->surface) << c.name;
            Gpu::Release(current);
            images[straight] = GpuFixture::ReadTarget();
        }
        int differ = 0;
        for (size_t i = 0; i < images[0].pixels.size(); ++i) differ += images[0].pixels[i] != images[1].pixels[i];
        EXPECT_EQ(differ, 0) << c.name;
    }
    for (Gpu::Effect* e : {down, combine, light, add, zero, blend}) Gpu::ReleaseEffect(e);
}
