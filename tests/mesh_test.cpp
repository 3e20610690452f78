// A mesh drawn subset by subset through the GPU layer.
#include <gtest/gtest.h>

#include "assets/mesh.h"
#include "core/maths.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"
#include "tests/x_fixtures.h"

namespace {

// Declaration 9 in, one colour out.
const char kMeshEffect[] = R"fx(
float4x4 g_Matrix;
float4   g_Colour;
vertexshader VS_Mesh {
    void main() {
        gl_Position = g_Matrix * in_Position;
        v_Colour = g_Colour + vec4(in_Normal * 0.0, 0.0) + vec4(in_TexCoord0 * 0.0, 0.0, 0.0);
    }
}
pixelshader PS_Colour { void main() { o_Colour = v_Colour; } }
technique Mesh { pass p0 { VertexShader = VS_Mesh; PixelShader = PS_Colour; } }
)fx";

}  // namespace

TEST(Mesh, EachSubsetDrawsItsOwnTriangles) {
    ASSERT_TRUE(GpuFixture::Start());
    std::vector<uint8_t> file = CompressX(MakeXBinary());
    Mesh* mesh = Mesh::FromMemory(file.data(), file.size(), "fixture");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->materialCount, 2u);

    Gpu::Surface* previous = Gpu::GetRenderTarget();
    Gpu::Texture* target = Gpu::CreateTexture(32, 32, 1, Gpu::kFormatA8R8G8B8, true);
    Gpu::Surface* surface = Gpu::GetSurfaceLevel(target);
    Gpu::SetRenderTarget(surface);
    Gpu::Clear(Gpu::kClearTarget | Gpu::kClearZBuffer, 0xFF000000, 1.0f);
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 0);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    Gpu::Effect* effect = Gpu::CreateEffect(kMeshEffect, sizeof kMeshEffect - 1, "mesh test effect");
    ASSERT_NE(effect, nullptr);

    // x and y from 0..8 onto the target, 4 pixels per unit; z to 0.5.
    // y grows upwards in clip space and downwards on the target.
    const Matrix m(0.25f, 0, 0, 0,
                   0, -0.25f, 0, 0,
                   0, 0, 0, 0,
                   -1.0f, 1.0f, 0.5f, 1.0f);
    ASSERT_TRUE(effect->SetTechnique("Mesh"));
    effect->SetMatrix("g_Matrix", m);
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosNormalTex));
    const Vector4 colours[2] = {Vector4(0, 1, 0, 1), Vector4(1, 0, 0, 1)};
    effect->Begin();
    for (unsigned s = 0; s < mesh->materialCount; ++s) {
        effect->SetVector("g_Colour", colours[s]);
        effect->BeginPass(0);
        mesh->DrawSubset(s);
        effect->EndPass();
    }
    effect->End();

    GpuFixture::Image image = GpuFixture::ReadTarget();
    // The quad (0..2 x 0..3 units) is green; the triangle at (5, 0), (6, 0), (5, 1) red.
    int green = 0, red = 0;
    for (uint32_t p : image.pixels) {
        green += p == 0xFF00FF00u;
        red += p == 0xFFFF0000u;
    }
    EXPECT_EQ(green, 8 * 12);
    EXPECT_GE(red, 6);
    EXPECT_LE(red, 10);
    EXPECT_EQ(image.At(4, 4), 0xFF00FF00u);
    EXPECT_EQ(image.At(21, 1), 0xFFFF0000u);
    EXPECT_EQ(image.At(12, 4), 0xFF000000u);

    Gpu::SetRenderTarget(previous);
    Gpu::Release(previous);
    Gpu::ReleaseEffect(effect);
    Gpu::Release(surface);
    Gpu::ReleaseTexture(target);
    delete mesh;
}
