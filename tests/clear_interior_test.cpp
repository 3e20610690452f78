// Pictures with a clear middle: finding the largest clear rectangle, and
// drawing the quad around it with exactly the pixels of the whole quad.
#include <gtest/gtest.h>

#include <vector>

#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/clear_interior.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "tests/gpu_fixture.h"

namespace {

bool Same(const Gpu::PixelRect& a, const Gpu::PixelRect& b) {
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// w x h texels, opaque except alpha 0 inside `clear`, with a few opaque
// texels inside it when `specks`.
std::vector<uint32_t> Picture(int w, int h, const Gpu::PixelRect& clear, bool specks) {
    std::vector<uint32_t> texels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= clear.x0 && x < clear.x1 && y >= clear.y0 && y < clear.y1;
            const uint32_t colour = 0x00FFFFFFu & (static_cast<uint32_t>(x * 7 + y * 13) * 2654435761u);
            texels[static_cast<size_t>(y) * w + x] = inside ? colour : 0xC0000000u | colour;
        }
    if (specks) texels[static_cast<size_t>(clear.y0 + 2) * w + clear.x0 + 3] |= 0x01000000u;
    return texels;
}

}  // namespace

TEST(ClearInterior, TheLargestClearRectangleWithinTheWindow) {
    struct Case {
        const char* name;
        Gpu::PixelRect clear, window, expected;
        bool specks;
    };
    const Case cases[] = {
        {"no clear texel", {0, 0, 0, 0}, {0, 0, 40, 30}, {0, 0, 0, 0}, false},
        {"a clear middle", {5, 4, 30, 20}, {0, 0, 40, 30}, {5, 4, 30, 20}, false},
        {"all of it clear", {0, 0, 40, 30}, {0, 0, 40, 30}, {0, 0, 40, 30}, false},
        {"only inside the window", {5, 4, 30, 20}, {10, 0, 40, 15}, {10, 4, 30, 15}, false},
        // One texel of alpha 1 at (8, 6): the clear part right of it is the larger.
        {"a speck of alpha 1", {5, 4, 30, 20}, {0, 0, 40, 30}, {9, 4, 30, 20}, true},
    };
    for (const Case& c : cases) {
        const std::vector<uint32_t> texels = Picture(40, 30, c.clear, c.specks);
        const Gpu::PixelRect found = LargestClearRect(texels.data(), 40, c.window);
        const bool empty = found.x1 <= found.x0 || found.y1 <= found.y0;
        const bool expectEmpty = c.expected.x1 <= c.expected.x0;
        if (expectEmpty)
            EXPECT_TRUE(empty) << c.name;
        else
            EXPECT_TRUE(Same(found, c.expected))
                << c.name << ": " << found.x0 << "," << found.y0 << " " << found.x1 << "," << found.y1;
    }
}

TEST(ClearInterior, TheSparseQuadDrawsTheWholeQuadsPixels) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    // A picture like the show's overlays: clear in the middle, with edges of
    // every alpha around it.
    Texture* picture = Texture::Create(512, 256, Gpu::kFormatA8R8G8B8);
    const std::vector<uint32_t> texels = Picture(512, 256, {60, 40, 450, 210}, false);
    uint32_t* locked = reinterpret_cast<uint32_t*>(picture->Lock(nullptr));
    ASSERT_NE(locked, nullptr);
    std::copy(texels.begin(), texels.end(), locked);
    picture->Unlock();
    Texture* target = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(target);

    struct Case {
        const char* name;
        Vector2 position, size;
    };
    const Case cases[] = {
        {"at its own size", {100, 50}, {512, 256}},
        {"enlarged over the canvas", {0, 0}, {1280, 720}},
        {"enlarged unevenly, part off the canvas", {-300.5f, 130.25f}, {1100.3f, 777.7f}},
        {"reduced: drawn whole", {10, 10}, {400, 200}},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> images[2];
        for (int sparse = 0; sparse < 2; ++sparse) {
            const Vector2 origin(0, 0), canvas(1280, 720);
            Renderer2D::DrawQuadGradient(&origin, &canvas, 0xFF204060, 0xFF602040, 0xFF406020, 0xFFA0A0A0);
            if (sparse)
                Renderer2D::DrawTexturedQuadSparse(picture, &c.position, &c.size, 0xE0FFFFFF);
            else
                Renderer2D::DrawTexturedQuad(picture, &c.position, &c.size, 0xE0FFFFFF);
            images[sparse] = GpuFixture::ReadTarget().pixels;
        }
        int differ = 0;
        for (size_t i = 0; i < images[0].size(); ++i) differ += images[0][i] != images[1][i];
        EXPECT_EQ(differ, 0) << c.name;
        EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsScissorTestEnable), 0u) << c.name;
    }
    GraphicsDevice::RestoreRenderTarget(saved);
    DeleteTexture(target);
    DeleteTexture(picture);
}
