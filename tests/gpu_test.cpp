// The Direct3D 9 conventions of the GPU layer, checked with pixels on a
// small render target.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/maths.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"

using GpuFixture::Image;

namespace {

const char kTestEffect[] = R"fx(
float4x4 g_Matrix;
float    g_Depth = 0.3;
float4   g_Direction;
texture  g_Texture;
texture  g_Cube;
sampler s_Texture = sampler_state { Texture = <g_Texture>; MinFilter = POINT; MagFilter = POINT;
                                    AddressU = CLAMP; AddressV = CLAMP; };
samplerCUBE s_Cube = sampler_state { Texture = <g_Cube>; MinFilter = POINT; MagFilter = POINT; };
texture  g_Texture2;
sampler s_Texture2 = sampler_state { Texture = <g_Texture2>; MinFilter = POINT; MagFilter = POINT; };

vertexshader VS_Matrix {
    void main() {
        gl_Position = g_Matrix * in_Position;
        gl_PointSize = 4.0;
        v_Colour = in_Colour;
        v_TexCoord0 = in_TexCoord0;
    }
}
pixelshader PS_Colour { void main() { o_Colour = v_Colour; } }
pixelshader PS_Texture { void main() { o_Colour = texture(s_Texture, v_TexCoord0) * v_Colour; } }
pixelshader PS_PointCoord { void main() { o_Colour = vec4(gl_PointCoord, 0.0, 1.0); } }
pixelshader PS_Depth { void main() { o_Colour = v_Colour; gl_FragDepth = g_Depth; } }
pixelshader PS_Cube { void main() { o_Colour = texture(s_Cube, g_Direction.xyz); } }
pixelshader PS_Constant { void main() { o_Colour = g_Direction; } }
pixelshader PS_TwoTextures {
    void main() { o_Colour = texture(s_Texture, v_TexCoord0) + texture(s_Texture2, v_TexCoord0); }
}
vertexshader VS_Fetch {
    void main() {
        gl_Position = g_Matrix * in_Position;
        v_Colour = textureLod(s_Texture, in_TexCoord0, 0.0) * 0.5;  // a read in the vertex stage
    }
}

technique Colour    { pass p0 { VertexShader = null; PixelShader = PS_Colour; } }
technique Texture   { pass p0 { VertexShader = null; PixelShader = PS_Texture; } }
technique Matrix    { pass p0 { VertexShader = VS_Matrix; PixelShader = PS_Colour; } }
technique Points    { pass p0 { VertexShader = VS_Matrix; PixelShader = PS_PointCoord; } }
technique Depth     { pass p0 { VertexShader = null; PixelShader = PS_Depth; } }
technique Cube      { pass p0 { VertexShader = null; PixelShader = PS_Cube; } }
technique Constant  { pass p0 { VertexShader = null; PixelShader = PS_Constant; } }
technique TwoTextures { pass p0 { VertexShader = null; PixelShader = PS_TwoTextures; } }
technique Fetch     { pass p0 { VertexShader = VS_Fetch; PixelShader = PS_Colour; } }
technique Greater   { pass p0 { VertexShader = null; PixelShader = PS_Colour; ZFunc = GREATER; } }
technique NoDepth   { pass p0 < float fScaleX = 0.25; > { VertexShader = null; PixelShader = PS_Colour;
                                                          ZEnable = false; CullMode = NONE; } }
)fx";

// Pre-transformed: declaration 6.
struct TVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};
// Shader-transformed: declaration 5.
struct MVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

constexpr unsigned kWidth = 64, kHeight = 32;

class GpuConventions : public ::testing::Test {
protected:
    Gpu::Texture* target = nullptr;
    Gpu::Surface* surface = nullptr;
    Gpu::Effect* effect = nullptr;
    Gpu::Surface* previous = nullptr;

    void SetUp() override {
        ASSERT_TRUE(GpuFixture::Start());
        previous = Gpu::GetRenderTarget();
        target = Gpu::CreateTexture(kWidth, kHeight, 1, Gpu::kFormatA8R8G8B8, true);
        ASSERT_NE(target, nullptr);
        surface = Gpu::GetSurfaceLevel(target);
        Gpu::SetRenderTarget(surface);
        effect = Gpu::CreateEffect(kTestEffect, sizeof kTestEffect - 1, "test effect");
        ASSERT_NE(effect, nullptr);
        Gpu::Clear(Gpu::kClearTarget | Gpu::kClearZBuffer, 0xFF000000, 1.0f);
        Gpu::SetRenderState(Gpu::kRsZEnable, 0);
        Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 0);
        Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 0);
        Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    }

    void TearDown() override {
        Gpu::SetRenderTarget(previous);
        Gpu::Release(previous);
        Gpu::ReleaseEffect(effect);
        Gpu::Release(surface);
        Gpu::ReleaseTexture(target);
    }

    void Draw(const char* technique, Gpu::Primitive type, unsigned count, const void* v, int declaration,
              unsigned stride) {
        ASSERT_TRUE(effect->SetTechnique(technique));
        Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(declaration));
        Gpu::ForEachPass(effect, [&] { Gpu::DrawPrimitiveUP(type, count, v, stride); });
    }

    // A pre-transformed rectangle with corners in pixel coordinates.
    void Rect(float x0, float y0, float x1, float y1, uint32_t colour, float z = 0.0f,
              const char* technique = "Colour") {
        const TVertex v[4] = {{x0, y0, z, 1, colour, 0, 0}, {x1, y0, z, 1, colour, 1, 0},
                              {x0, y1, z, 1, colour, 0, 1}, {x1, y1, z, 1, colour, 1, 1}};
        Draw(technique, Gpu::kTriangleStrip, 2, v, kDeclScreenColourTex, sizeof(TVertex));
    }

    static int CountColour(const Image& image, uint32_t colour) {
        int n = 0;
        for (uint32_t p : image.pixels) n += p == colour;
        return n;
    }
};

}  // namespace

TEST_F(GpuConventions, PixelCentresAreIntegersAndRowZeroIsTheTop) {
    // Pre-transformed and shader-transformed positions of the same pixel
    // rectangle cover the same pixels: x 2..4, y 3..6, counted from the top.
    Rect(2, 3, 5, 7, 0xFFFF0000);
    Image pre = GpuFixture::ReadTarget();
    Gpu::Clear(Gpu::kClearTarget, 0xFF000000, 1.0f);
    effect->SetMatrix("g_Matrix", MatrixOrthoOffCenterRH(0, kWidth, kHeight, 0, 0, 1));
    const MVertex m[4] = {{2, 3, 0, 0xFFFF0000, 0, 0}, {5, 3, 0, 0xFFFF0000, 1, 0},
                          {2, 7, 0, 0xFFFF0000, 0, 1}, {5, 7, 0, 0xFFFF0000, 1, 1}};
    Draw("Matrix", Gpu::kTriangleStrip, 2, m, kDeclPosColourTex, sizeof(MVertex));
    Image shaded = GpuFixture::ReadTarget();
    for (const Image* image : {&pre, &shaded}) {
        for (int y = 0; y < static_cast<int>(kHeight); ++y) {
            for (int x = 0; x < static_cast<int>(kWidth); ++x) {
                bool inside = x >= 2 && x <= 4 && y >= 3 && y <= 6;
                ASSERT_EQ(image->At(x, y), inside ? 0xFFFF0000u : 0xFF000000u) << x << "," << y;
            }
        }
    }
}

TEST_F(GpuConventions, HalfPixelShiftedQuadMapsTexelsOntoPixelsAndLockedBytesAreARGB) {
    Gpu::Texture* texture = Gpu::CreateTexture(kWidth, kHeight, 1, Gpu::kFormatA8R8G8B8, false);
    unsigned pitch = 0;
    uint32_t* texels = reinterpret_cast<uint32_t*>(Gpu::LockTexture(texture, &pitch));
    ASSERT_NE(texels, nullptr);
    EXPECT_EQ(pitch, kWidth * 4);
    for (unsigned i = 0; i < kWidth * kHeight; ++i) texels[i] = 0xFF000000u | (i * 2654435761u >> 8);
    // Bytes in memory are B, G, R, A.
    texels[0] = 0xFF112233;
    EXPECT_EQ(reinterpret_cast<uint8_t*>(texels)[0], 0x33);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(texels)[2], 0x11);
    Gpu::UnlockTexture(texture);

    effect->SetTexture("g_Texture", texture);
    Rect(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, 0xFFFFFFFF, 0, "Texture");
    Image image = GpuFixture::ReadTarget();
    for (unsigned i = 0; i < kWidth * kHeight; ++i)
        ASSERT_EQ(image.pixels[i], texels[i]) << "texel " << i;
    Gpu::ReleaseTexture(texture);
}

// Uploads and reads reach the texture they name whatever unit a draw left
// active: here the first texture is still on unit 0, and the draw's second
// texture made another unit the active one.
TEST_F(GpuConventions, UploadsAndReadsReachTheNamedTextureAfterADrawOfTwo) {
    Gpu::Texture* first = Gpu::CreateTexture(4, 4, 1, Gpu::kFormatA8R8G8B8, false);
    Gpu::Texture* second = Gpu::CreateTexture(4, 4, 1, Gpu::kFormatA8R8G8B8, false);
    const std::vector<uint32_t> a(16, 0xFF112233u), b(16, 0xFF445566u), c(16, 0xFF778899u);
    ASSERT_TRUE(Gpu::UploadTexture(first, a.data()));
    ASSERT_TRUE(Gpu::UploadTexture(second, b.data()));
    effect->SetTexture("g_Texture", first);
    effect->SetTexture("g_Texture2", second);
    Rect(0, 0, 4, 4, 0xFFFFFFFF, 0.0f, "TwoTextures");
    ASSERT_TRUE(Gpu::UploadTexture(first, c.data()));
    std::vector<uint32_t> readFirst(16), readSecond(16);
    ASSERT_TRUE(Gpu::ReadTexture(second, readSecond.data()));
    ASSERT_TRUE(Gpu::ReadTexture(first, readFirst.data()));
    EXPECT_EQ(readFirst[5], 0xFF778899u);
    EXPECT_EQ(readSecond[5], 0xFF445566u);
    effect->SetTexture("g_Texture", static_cast<Gpu::Texture*>(nullptr));
    effect->SetTexture("g_Texture2", static_cast<Gpu::Texture*>(nullptr));
    Gpu::ReleaseTexture(first);
    Gpu::ReleaseTexture(second);
}

TEST_F(GpuConventions, FloatFormatsReadAsDirect3DDoes) {
    // R32F samples as (r, 1, 1, 1); A32B32G32R32F holds R, G, B, A in that order.
    Gpu::Texture* r32 = Gpu::CreateTexture(1, 1, 1, Gpu::kFormatR32F, false);
    Gpu::Texture* rgba = Gpu::CreateTexture(1, 1, 1, Gpu::kFormatA32B32G32R32F, false);
    unsigned pitch;
    float* f = reinterpret_cast<float*>(Gpu::LockTexture(r32, &pitch));
    EXPECT_EQ(pitch, 4u);
    f[0] = 0.5f;
    Gpu::UnlockTexture(r32);
    f = reinterpret_cast<float*>(Gpu::LockTexture(rgba, &pitch));
    EXPECT_EQ(pitch, 16u);
    f[0] = 0.2f, f[1] = 0.4f, f[2] = 0.6f, f[3] = 1.0f;
    Gpu::UnlockTexture(rgba);

    effect->SetTexture("g_Texture", r32);
    Rect(-0.5f, -0.5f, 1.5f, 0.5f, 0xFFFFFFFF, 0, "Texture");
    effect->SetTexture("g_Texture", rgba);
    Rect(0.5f, -0.5f, 2.5f, 0.5f, 0xFFFFFFFF, 0, "Texture");
    Image image = GpuFixture::ReadTarget();
    EXPECT_NEAR(GpuFixture::Red(image.At(0, 0)), 128, 1);
    EXPECT_EQ(image.At(0, 0) & 0xFF00FFFF, 0xFF00FFFFu);
    EXPECT_NEAR(GpuFixture::Red(image.At(1, 0)), 51, 1);
    EXPECT_NEAR(GpuFixture::Green(image.At(1, 0)), 102, 1);
    EXPECT_NEAR(GpuFixture::Blue(image.At(1, 0)), 153, 1);
    Gpu::ReleaseTexture(r32);
    Gpu::ReleaseTexture(rgba);
}

TEST_F(GpuConventions, FloatTargetsKeepValuesAboveOneForTheVertexStageToRead) {
    Gpu::Texture* slice = Gpu::CreateTexture(32, 32, 1, Gpu::kFormatR32F, true);
    ASSERT_NE(slice, nullptr);
    Gpu::Surface* s = Gpu::GetSurfaceLevel(slice);
    Gpu::SetRenderTarget(s);
    effect->SetVector("g_Direction", Vector4(1.75f, 0, 0, 0));
    Rect(-0.5f, -0.5f, 31.5f, 31.5f, 0xFFFFFFFF, 0, "Constant");
    std::vector<float> stored(32 * 32 * 4);
    Gpu::ReadRenderTargetFloats(stored.data());  // read back unclamped
    EXPECT_EQ(stored[0], 1.75f);
    EXPECT_EQ(stored[(31 * 32 + 31) * 4], 1.75f);
    Gpu::SetRenderTarget(surface);
    // The vertex stage reads (1.75, 1, 1, 1) and halves it.
    effect->SetTexture("g_Texture", slice);
    effect->SetMatrix("g_Matrix", MatrixOrthoOffCenterRH(0, kWidth, kHeight, 0, 0, 1));
    const MVertex v[4] = {{0, 0, 0, 0, 0.5f, 0.5f}, {4, 0, 0, 0, 0.5f, 0.5f},
                          {0, 4, 0, 0, 0.5f, 0.5f}, {4, 4, 0, 0, 0.5f, 0.5f}};
    Draw("Fetch", Gpu::kTriangleStrip, 2, v, kDeclPosColourTex, sizeof(MVertex));
    uint32_t p = GpuFixture::ReadTarget().At(1, 1);
    EXPECT_EQ(GpuFixture::Red(p), 223);  // 0.875
    EXPECT_EQ(GpuFixture::Green(p), 128);
    Gpu::Release(s);
    Gpu::ReleaseTexture(slice);
}

TEST_F(GpuConventions, CullingJudgesWindingAsSeenOnScreen) {
    // Top-left, top-right, bottom-left runs clockwise on a screen whose y
    // grows downwards.
    struct Case { uint32_t cull; bool clockwise; bool drawn; };
    const Case cases[] = {
        {Gpu::kCullNone, true, true}, {Gpu::kCullNone, false, true},
        {Gpu::kCullCW, true, false},  {Gpu::kCullCW, false, true},
        {Gpu::kCullCCW, true, true},  {Gpu::kCullCCW, false, false},
    };
    effect->SetMatrix("g_Matrix", MatrixOrthoOffCenterRH(0, kWidth, kHeight, 0, 0, 1));
    for (const Case& c : cases) {
        for (bool shaded : {false, true}) {
            Gpu::Clear(Gpu::kClearTarget, 0xFF000000, 1.0f);
            Gpu::SetRenderState(Gpu::kRsCullMode, c.cull);
            float bx = c.clockwise ? 40.0f : 0.0f, by = c.clockwise ? 0.0f : 30.0f;
            float cx = c.clockwise ? 0.0f : 40.0f, cy = c.clockwise ? 30.0f : 0.0f;
            if (shaded) {
                const MVertex v[3] = {{0, 0, 0, 0xFF00FF00, 0, 0}, {bx, by, 0, 0xFF00FF00, 0, 0},
                                      {cx, cy, 0, 0xFF00FF00, 0, 0}};
                Draw("Matrix", Gpu::kTriangleList, 1, v, kDeclPosColourTex, sizeof(MVertex));
            } else {
                const TVertex v[3] = {{0, 0, 0, 1, 0xFF00FF00, 0, 0}, {bx, by, 0, 1, 0xFF00FF00, 0, 0},
                                      {cx, cy, 0, 1, 0xFF00FF00, 0, 0}};
                Draw("Colour", Gpu::kTriangleList, 1, v, kDeclScreenColourTex, sizeof(TVertex));
            }
            EXPECT_EQ(GpuFixture::ReadTarget().At(5, 5) == 0xFF00FF00u, c.drawn)
                << "cull " << c.cull << (c.clockwise ? " clockwise" : " counter-clockwise")
                << (shaded ? " shaded" : " pre-transformed");
        }
    }
}

TEST_F(GpuConventions, AlphaTestComparesAgainstTheReference) {
    struct Case { uint32_t func, ref, alpha; bool drawn; };
    const Case cases[] = {
        {Gpu::kCmpGreaterEqual, 1, 0, false}, {Gpu::kCmpGreaterEqual, 1, 1, true},
        {Gpu::kCmpGreater, 0, 0, false},      {Gpu::kCmpGreater, 0, 1, true},
        {Gpu::kCmpLess, 128, 127, true},      {Gpu::kCmpLess, 128, 128, false},
        {Gpu::kCmpEqual, 77, 77, true},       {Gpu::kCmpNever, 0, 255, false},
    };
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    for (const Case& c : cases) {
        Gpu::Clear(Gpu::kClearTarget, 0xFF000000, 1.0f);
        Gpu::SetRenderState(Gpu::kRsAlphaFunc, c.func);
        Gpu::SetRenderState(Gpu::kRsAlphaRef, c.ref);
        Rect(0, 0, 8, 8, c.alpha << 24 | 0x00FF00FF);
        EXPECT_EQ(GpuFixture::ReadTarget().At(3, 3) != 0xFF000000u, c.drawn)
            << "func " << c.func << " ref " << c.ref << " alpha " << c.alpha;
    }
    // Off: everything is drawn.
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 0);
    Gpu::SetRenderState(Gpu::kRsAlphaFunc, Gpu::kCmpNever);
    Rect(0, 0, 8, 8, 0x00FF00FF);
    EXPECT_EQ(GpuFixture::ReadTarget().At(3, 3), 0x00FF00FFu);
}

// The layer leaves the test out of draws where dropping alpha 0 cannot show
// (source-alpha blending into an 8-bit target, no depth written). Where it
// can, it must still drop: a blended pixel of alpha 0 writes no depth, and
// on a float target a faint alpha under half a step is dropped, not blended.
TEST_F(GpuConventions, AlphaTestUnderBlendingDropsWhereDroppingShows) {
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaFunc, Gpu::kCmpGreaterEqual);
    Gpu::SetRenderState(Gpu::kRsAlphaRef, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::SetRenderState(Gpu::kRsSrcBlend, Gpu::kBlendSrcAlpha);
    Gpu::SetRenderState(Gpu::kRsDestBlend, Gpu::kBlendInvSrcAlpha);

    // 8-bit, no depth: alpha 0 leaves colour and alpha as they were.
    Gpu::Clear(Gpu::kClearTarget, 0x80102030, 1.0f);
    Rect(0, 0, 8, 8, 0x00FF00FF);
    EXPECT_EQ(GpuFixture::ReadTarget().At(3, 3), 0x80102030u);

    // Depth written: the dropped pixel leaves depth at 1, so a later draw
    // behind where it would have been still shows.
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Gpu::Clear(Gpu::kClearTarget | Gpu::kClearZBuffer, 0xFF000000, 1.0f);
    Rect(0, 0, 8, 8, 0x00FF00FF, 0.2f);
    Rect(0, 0, 8, 8, 0xFF00FF00, 0.5f);
    EXPECT_EQ(GpuFixture::ReadTarget().At(3, 3), 0xFF00FF00u) << "a dropped pixel wrote depth";
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);

    // Float target: alpha 0.001 is 0 as an 8-bit value, so it is dropped.
    Gpu::Texture* floats = Gpu::CreateTexture(8, 8, 1, Gpu::kFormatR32F, true);
    ASSERT_NE(floats, nullptr);
    Gpu::Surface* s = Gpu::GetSurfaceLevel(floats);
    Gpu::SetRenderTarget(s);
    Gpu::Clear(Gpu::kClearTarget, 0x00000000, 1.0f);
    effect->SetVector("g_Direction", Vector4(1.0f, 1.0f, 1.0f, 0.001f));
    Rect(-0.5f, -0.5f, 7.5f, 7.5f, 0xFFFFFFFF, 0, "Constant");
    std::vector<float> stored(8 * 8 * 4);
    Gpu::ReadRenderTargetFloats(stored.data());
    EXPECT_EQ(stored[(3 * 8 + 3) * 4], 0.0f);
    Gpu::SetRenderTarget(surface);
    Gpu::Release(s);
    Gpu::ReleaseTexture(floats);
}

TEST_F(GpuConventions, BlendingFactors) {
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::Clear(Gpu::kClearTarget, 0xFF0000FF, 1.0f);
    Gpu::SetRenderState(Gpu::kRsSrcBlend, Gpu::kBlendSrcAlpha);
    Gpu::SetRenderState(Gpu::kRsDestBlend, Gpu::kBlendInvSrcAlpha);
    Rect(0, 0, 4, 4, 0x80FF0000);
    uint32_t mixed = GpuFixture::ReadTarget().At(1, 1);
    EXPECT_NEAR(GpuFixture::Red(mixed), 128, 1);
    EXPECT_NEAR(GpuFixture::Blue(mixed), 127, 1);
    Gpu::SetRenderState(Gpu::kRsSrcBlend, Gpu::kBlendOne);
    Gpu::SetRenderState(Gpu::kRsDestBlend, Gpu::kBlendOne);
    Rect(0, 0, 4, 4, 0x00002000);
    EXPECT_EQ(GpuFixture::ReadTarget().At(1, 1) & 0x00FFFF00u, (mixed & 0x00FFFF00u) + 0x2000u);
}

TEST_F(GpuConventions, DepthRunsZeroToOneAndClearsKeepToTheirBuffer) {
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 0);  // must not stop a depth clear
    GraphicsDevice::ClearDepth(0.5f);
    EXPECT_EQ(GpuFixture::ReadTarget().At(0, 0), 0xFF000000u) << "a depth clear touched colour";
    GraphicsDevice::Clear(0xFF0000FF);               // must not touch depth
    Rect(0, 0, 4, 4, 0xFFFF0000, 0.6f);              // behind 0.5: hidden
    Rect(4, 0, 8, 4, 0xFF00FF00, 0.4f);              // in front: drawn
    Rect(8, 0, 12, 4, 0xFFFFFFFF, 0.5f);             // equal passes LESSEQUAL
    Image image = GpuFixture::ReadTarget();
    EXPECT_EQ(image.At(1, 1), 0xFF0000FFu);
    EXPECT_EQ(image.At(5, 1), 0xFF00FF00u);
    EXPECT_EQ(image.At(9, 1), 0xFFFFFFFFu);
}

TEST_F(GpuConventions, TheScissorLimitsDrawsButNeitherClearsNorANewTarget) {
    const Gpu::PixelRect box{10, 4, 20, 12};  // pixels 10..19 by rows 4..11
    auto insideBox = [&](int x, int y) { return x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1; };
    Gpu::SetScissorRect(box);
    Rect(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, 0xFFFF0000);  // off: everywhere
    EXPECT_EQ(CountColour(GpuFixture::ReadTarget(), 0xFFFF0000), static_cast<int>(kWidth * kHeight));

    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 1);
    Gpu::Clear(Gpu::kClearTarget, 0xFF000000, 1.0f);  // a clear ignores it
    EXPECT_EQ(CountColour(GpuFixture::ReadTarget(), 0xFF000000), static_cast<int>(kWidth * kHeight));
    const Gpu::ClearRect corner{0, 0, 2, 2};  // a clear of a rectangle leaves the scissor as it was
    Gpu::Clear(Gpu::kClearTarget, 0xFF0000FF, 1.0f, &corner);
    Rect(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, 0xFF00FF00);
    Image image = GpuFixture::ReadTarget();
    for (int y = 0; y < static_cast<int>(kHeight); ++y)
        for (int x = 0; x < static_cast<int>(kWidth); ++x) {
            const uint32_t expected = insideBox(x, y) ? 0xFF00FF00u : x < 2 && y < 2 ? 0xFF0000FFu : 0xFF000000u;
            ASSERT_EQ(image.At(x, y), expected) << x << "," << y;
        }

    // Another target brings its whole surface as the rectangle, as on
    // Direct3D 9; it starts cleared in full even while the test is on.
    Gpu::Texture* other = Gpu::CreateTexture(16, 16, 1, Gpu::kFormatA8R8G8B8, true);
    Gpu::Surface* otherSurface = Gpu::GetSurfaceLevel(other);
    Gpu::SetRenderTarget(otherSurface);
    EXPECT_EQ(CountColour(GpuFixture::ReadTarget(), 0x00000000), 16 * 16);
    Rect(-0.5f, -0.5f, 15.5f, 15.5f, 0xFFFFFFFF);
    EXPECT_EQ(CountColour(GpuFixture::ReadTarget(), 0xFFFFFFFF), 16 * 16);
    Gpu::SetRenderTarget(surface);
    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 0);
    Gpu::Release(otherSurface);
    Gpu::ReleaseTexture(other);
}

// The copy of a target onto another, moved: pixel for pixel, clipped to the
// target, whatever the scissor says.
TEST_F(GpuConventions, ACopiedSurfaceLandsMovedAndClipped) {
    Gpu::Texture* source = Gpu::CreateTexture(kWidth, kHeight, 1, Gpu::kFormatA8R8G8B8, true);
    Gpu::Surface* from = Gpu::GetSurfaceLevel(source);
    Gpu::SetRenderTarget(from);
    Gpu::Clear(Gpu::kClearTarget, 0xFF0000FF, 1.0f);
    const Gpu::ClearRect first{0, 0, 1, 1}, last{kWidth - 1, kHeight - 1, kWidth, kHeight};
    Gpu::Clear(Gpu::kClearTarget, 0xFFFF0000, 1.0f, &first);  // red top-left, green bottom-right
    Gpu::Clear(Gpu::kClearTarget, 0xFF00FF00, 1.0f, &last);
    Gpu::SetRenderTarget(surface);

    const struct {
        int dx, dy;
        int redX, redY;  // where the top-left pixel lands (-1: left out)
        int blue;        // pixels of the source's blue that land
    } cases[] = {
        {0, 0, 0, 0, kWidth * kHeight - 2},
        {1, 1, 1, 1, (kWidth - 1) * (kHeight - 1) - 1},   // the last column and row fall outside
        {-2, 0, -1, -1, (kWidth - 2) * kHeight - 1},      // the first two columns fall outside
        {kWidth, 0, -1, -1, 0},                            // nothing lands
    };
    Gpu::SetScissorRect({0, 0, 1, 1});
    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 1);
    for (const auto& c : cases) {
        Gpu::Clear(Gpu::kClearTarget, 0xFF000000, 1.0f);
        Gpu::CopySurface(from, c.dx, c.dy);
        const Image image = GpuFixture::ReadTarget();
        EXPECT_EQ(CountColour(image, 0xFF0000FF), c.blue) << c.dx << "," << c.dy;
        EXPECT_EQ(CountColour(image, 0xFFFF0000), c.redX < 0 ? 0 : 1) << c.dx << "," << c.dy;
        if (c.redX >= 0) EXPECT_EQ(image.At(c.redX, c.redY), 0xFFFF0000u) << c.dx << "," << c.dy;
    }
    // Moved by one, the source's bottom-right pixel falls outside; by none, it lands.
    Gpu::CopySurface(from, 0, 0);
    EXPECT_EQ(GpuFixture::ReadTarget().At(kWidth - 1, kHeight - 1), 0xFF00FF00u);
    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 0);
    Gpu::Release(from);
    Gpu::ReleaseTexture(source);
}

TEST_F(GpuConventions, APassCanChangeTheDepthComparisonUntilItsEnd) {
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 0);
    GraphicsDevice::ClearDepth(0.5f);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZFunc), Gpu::kCmpLessEqual);  // the default
    Rect(0, 0, 4, 4, 0xFFFF0000, 0.6f, "Greater");   // farther passes GREATER
    Rect(4, 0, 8, 4, 0xFF00FF00, 0.4f, "Greater");   // nearer fails it
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZFunc), Gpu::kCmpLessEqual);  // back after End
    Rect(8, 0, 12, 4, 0xFFFFFFFF, 0.4f);             // and LESSEQUAL works again
    Image image = GpuFixture::ReadTarget();
    EXPECT_EQ(image.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(image.At(5, 1), 0xFF000000u);
    EXPECT_EQ(image.At(9, 1), 0xFFFFFFFFu);
}

TEST_F(GpuConventions, PixelStageWritesDepth) {
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Rect(0, 0, 8, 8, 0xFFFF0000, 0.9f, "Depth");     // stores 0.3, not 0.9
    Rect(0, 0, 8, 8, 0xFF00FF00, 0.5f);              // 0.5 is behind 0.3
    Rect(0, 0, 4, 8, 0xFF0000FF, 0.2f);
    Image image = GpuFixture::ReadTarget();
    EXPECT_EQ(image.At(6, 3), 0xFFFF0000u);
    EXPECT_EQ(image.At(2, 3), 0xFF0000FFu);
}

TEST_F(GpuConventions, EveryTargetDrawsWithDepthWhateverItsSize) {
    // Larger than the 1280 x 720 window.
    Gpu::Texture* big = Gpu::CreateTexture(2048, 1024, 1, Gpu::kFormatA8R8G8B8, true);
    Gpu::Surface* s = Gpu::GetSurfaceLevel(big);
    Gpu::SetRenderTarget(s);
    Gpu::Clear(Gpu::kClearTarget | Gpu::kClearZBuffer, 0xFF000000, 1.0f);
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Rect(1500, 900, 1510, 910, 0xFFFF0000, 0.2f);
    Rect(1500, 900, 1510, 910, 0xFF00FF00, 0.7f);
    EXPECT_EQ(GpuFixture::ReadTarget().At(1505, 905), 0xFFFF0000u);
    Gpu::SetRenderTarget(surface);
    Gpu::Release(s);
    Gpu::ReleaseTexture(big);
}

TEST_F(GpuConventions, PointSpritesAreSizedByTheVertexStageWithTheirOriginTopLeft) {
    effect->SetMatrix("g_Matrix", MatrixOrthoOffCenterRH(0, kWidth, kHeight, 0, 0, 1));
    const MVertex point = {10, 10, 0, 0xFFFFFFFF, 0, 0};
    Gpu::Clear(Gpu::kClearTarget, 0x00000000, 1.0f);
    Gpu::SetRenderState(Gpu::kRsPointSpriteEnable, 1);
    Draw("Points", Gpu::kPointList, 1, &point, kDeclPosColourTex, sizeof(MVertex));
    Image image = GpuFixture::ReadTarget();
    // A 4-pixel sprite centred on pixel 10 covers pixels 8..11.
    for (int y = 6; y < 14; ++y) {
        for (int x = 6; x < 14; ++x) {
            bool inside = x >= 8 && x <= 11 && y >= 8 && y <= 11;
            EXPECT_EQ(GpuFixture::Alpha(image.At(x, y)) == 255, inside) << x << "," << y;
        }
    }
    // Sprite coordinates run from (0, 0) at the top-left corner; pixel
    // centres sit at 0, 1/4, 2/4 and 3/4 of the sprite.
    EXPECT_EQ(image.At(8, 8), 0xFF000000u);
    EXPECT_NEAR(GpuFixture::Red(image.At(11, 8)), 191, 1);
    EXPECT_EQ(GpuFixture::Green(image.At(11, 8)), 0);
    EXPECT_EQ(GpuFixture::Red(image.At(8, 11)), 0);
    EXPECT_NEAR(GpuFixture::Green(image.At(8, 11)), 191, 1);
}

TEST_F(GpuConventions, CubeMapFacesKeepTheirOrderAndTopRow) {
    constexpr unsigned kSize = 4;
    uint32_t faces[6][kSize * kSize];
    const uint32_t colours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    const uint32_t* pointers[6];
    for (int f = 0; f < 6; ++f) {
        for (unsigned i = 0; i < kSize * kSize; ++i) faces[f][i] = i < kSize ? 0xFFFFFFFF : colours[f];
        pointers[f] = faces[f];
    }
    Gpu::CubeTexture* cube = Gpu::CreateCubeTexture(kSize, pointers);
    ASSERT_NE(cube, nullptr);
    effect->SetTexture("g_Cube", cube);
    // Each axis picks its face; towards +y on a side face is its top row.
    struct Case { Vector4 direction; uint32_t expected; };
    const Case cases[] = {
        {{1, 0.1f, 0.1f, 0}, colours[0]}, {{-1, 0.1f, 0.1f, 0}, colours[1]},
        {{0.1f, 1, 0.1f, 0}, colours[2]}, {{0.1f, -1, 0.1f, 0}, colours[3]},
        {{0.1f, 0.1f, 1, 0}, colours[4]}, {{0.1f, 0.1f, -1, 0}, colours[5]},
        {{1, 0.95f, 0, 0}, 0xFFFFFFFF},   {{0, 0.95f, -1, 0}, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        effect->SetVector("g_Direction", c.direction);
        Rect(0, 0, 2, 2, 0xFFFFFFFF, 0, "Cube");
        Image image = GpuFixture::ReadTarget();
        EXPECT_EQ(image.At(0, 0), c.expected) << c.direction.x << "," << c.direction.y << "," << c.direction.z;
    }
    Gpu::ReleaseCubeTexture(cube);
}

TEST_F(GpuConventions, IndexedDrawsAddressTheVerticesHandedOver) {
    // The quad's vertices are 4..7; 0..3 are never sent.
    TVertex v[8] = {};
    const TVertex quad[4] = {{0, 0, 0, 1, 0xFF00FF00, 0, 0}, {8, 0, 0, 1, 0xFF00FF00, 0, 0},
                             {0, 8, 0, 1, 0xFF00FF00, 0, 0}, {8, 8, 0, 1, 0xFF00FF00, 0, 0}};
    std::memcpy(&v[4], quad, sizeof quad);
    const uint16_t indices[6] = {4, 5, 6, 6, 5, 7};
    effect->SetTechnique("Colour");
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclScreenColourTex));
    effect->Begin();
    effect->BeginPass(0);
    Gpu::DrawIndexedPrimitiveUP(Gpu::kTriangleList, 4, 4, 2, indices, v, sizeof(TVertex));
    // An index outside the vertices handed over draws nothing.
    const uint16_t stray[3] = {4, 5, 9};
    const TVertex red[8] = {{0, 10, 0, 1, 0xFFFF0000, 0, 0}, {8, 10, 0, 1, 0xFFFF0000, 0, 0},
                            {0, 18, 0, 1, 0xFFFF0000, 0, 0}};
    Gpu::DrawIndexedPrimitiveUP(Gpu::kTriangleList, 4, 4, 1, stray, red, sizeof(TVertex));
    effect->EndPass();
    effect->End();
    Image image = GpuFixture::ReadTarget();
    EXPECT_EQ(CountColour(image, 0xFF00FF00), 64);
    EXPECT_EQ(CountColour(image, 0xFFFF0000), 0);
}

TEST_F(GpuConventions, PassStatesHoldUntilEndAndAnnotationsAreRead) {
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullCW);
    ASSERT_TRUE(effect->SetTechnique("NoDepth"));
    EXPECT_FALSE(effect->SetTechnique("NoSuchTechnique"));
    float scale = 0;
    EXPECT_TRUE(effect->GetPassAnnotation(0, "fScaleX", &scale));
    EXPECT_EQ(scale, 0.25f);
    EXPECT_FALSE(effect->GetPassAnnotation(0, "fScaleY", &scale));
    EXPECT_FALSE(effect->GetPassAnnotation(1, "fScaleX", &scale));
    EXPECT_EQ(effect->Begin(), 1u);
    effect->BeginPass(0);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZEnable), 0u);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsCullMode), Gpu::kCullNone);
    effect->EndPass();
    effect->End();
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsZEnable), 1u);
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsCullMode), Gpu::kCullCW);
}

TEST_F(GpuConventions, RenderTargetsFollowDirect3DReferenceRules) {
    // A texture released while it is render target 0 lives on until another
    // target replaces it.
    Gpu::Texture* t = Gpu::CreateTexture(16, 16, 1, Gpu::kFormatA8R8G8B8, true);
    Gpu::Surface* s = Gpu::GetSurfaceLevel(t);
    Gpu::SetRenderTarget(s);
    Gpu::Release(s);
    Gpu::ReleaseTexture(t);
    Gpu::Clear(Gpu::kClearTarget, 0xFF123456, 1.0f);
    EXPECT_EQ(GpuFixture::ReadTarget().At(15, 15), 0xFF123456u);
    Gpu::Surface* current = Gpu::GetRenderTarget();
    EXPECT_EQ(current, s);
    Gpu::Release(current);
    Gpu::SetRenderTarget(surface);
    // Not render targets: no surface, no drawing into them; render targets cannot be locked.
    Gpu::Texture* managed = Gpu::CreateTexture(16, 16, 0, Gpu::kFormatA8R8G8B8, false);
    EXPECT_EQ(Gpu::GetSurfaceLevel(managed), nullptr);
    EXPECT_EQ(Gpu::LockTexture(target, nullptr), nullptr);
    Gpu::SetRenderTarget(nullptr);  // refused
    current = Gpu::GetRenderTarget();
    EXPECT_EQ(current, surface);
    Gpu::Release(current);
    Gpu::ReleaseTexture(managed);
    EXPECT_EQ(Gpu::CreateTexture(0, 16, 1, Gpu::kFormatA8R8G8B8, false), nullptr);
}

TEST(GpuEffects, AFileThatFailsGivesNullAndOneLineNamingIt) {
    ASSERT_TRUE(GpuFixture::Start());
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        // GLSL error: the compiler's message with the file's line number.
        {"float g_x;\npixelshader P {\n void main() { o_Colour = vec4(g_x) + undefined_name; }\n}\n"
         "technique T { pass p0 { VertexShader = null; PixelShader = P; } }", "3"},
        // Declarative error.
        {"float g_x\ntechnique T { }", "line 2"},
        {"pixelshader P { void main() { o_Colour = vec4(1.0); } }\n"
         "technique T { pass p0 { VertexShader = null; PixelShader = Q; } }", "'Q'"},
        {"pixelshader P { void main() { o_Colour = vec4(1.0); }", "closing"},
        {"", "no technique"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        Gpu::Effect* effect = Gpu::CreateEffect(c.text, std::strlen(c.text), "Data\\Shaders\\Broken.fx");
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(effect, nullptr) << c.text;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find("Data\\Shaders\\Broken.fx"), std::string::npos) << err;
        EXPECT_NE(err.find(c.expected), std::string::npos) << err;
    }
    // A missing resource is also one line, and a null effect is harmless to release.
    testing::internal::CaptureStderr();
    EXPECT_EQ(GraphicsDevice::CreateEffectFromResource(99999, "Data\\Shaders\\Missing.fx"), nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    Gpu::ReleaseEffect(nullptr);
}

TEST(GpuEffects, ANameTheFileDoesNotDeclareIsSaidOnceAndChangesNothing) {
    ASSERT_TRUE(GpuFixture::Start());
    const char text[] =
        "float g_Known = 0.5;\ntexture g_Map;\npixelshader P { void main() { o_Colour = vec4(g_Known); } }\n"
        "technique T { pass p0 { VertexShader = null; PixelShader = P; } }";
    Gpu::Effect* effect = Gpu::CreateEffect(text, std::strlen(text), "Data\\Shaders\\Typo.fx");
    ASSERT_NE(effect, nullptr);
    struct Case { const char* what; std::function<void()> call; int lines; };
    const Case cases[] = {
        {"a declared parameter", [&] { effect->SetFloat("g_Known", 1.0f); }, 0},
        {"a declared texture", [&] { effect->SetTexture("g_Map", static_cast<Gpu::Texture*>(nullptr)); }, 0},
        {"a misspelt parameter", [&] { effect->SetFloat("g_Knwon", 1.0f); }, 1},
        {"the same again", [&] { effect->SetVector("g_Knwon", Vector4(1, 1, 1, 1)); }, 0},
        {"a misspelt texture", [&] { effect->SetTexture("g_Mpa", static_cast<Gpu::Texture*>(nullptr)); }, 1},
        {"a missing technique", [&] { EXPECT_FALSE(effect->SetTechnique("TechMissing")); }, 1},
        {"asking is not setting", [&] { EXPECT_FALSE(effect->HasParameter("g_Other")); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::internal::CaptureStderr();
        c.call();
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.lines) << err;
        if (c.lines) EXPECT_NE(err.find("Data\\Shaders\\Typo.fx"), std::string::npos) << err;
    }
    EXPECT_TRUE(effect->HasParameter("g_Known"));
    Gpu::ReleaseEffect(effect);
}
