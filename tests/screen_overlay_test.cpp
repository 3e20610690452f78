// The shots' HUD drawn from its enlargement: byte for byte the pixels of
// the stretched quad it stands in for.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "render/screen_overlay.h"
#include "tests/gpu_fixture.h"

namespace {

// A picture like the overlays at a size of its own: clear in the middle but
// for a few marks, every alpha from 1 to 255 towards the edges, and colours
// that differ from texel to texel.
Texture* HudLikePicture(unsigned w, unsigned h) {
    Texture* picture = Texture::Create(w, h, Gpu::kFormatA8R8G8B8);
    uint32_t* texels = reinterpret_cast<uint32_t*>(picture->Lock(nullptr));
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const float dx = (x + 0.5f) / w - 0.5f, dy = (y + 0.5f) / h - 0.5f;
            const float edge = std::max(0.0f, dx * dx + dy * dy - 0.08f) * 2000.0f;
            uint32_t alpha = std::min(255u, static_cast<uint32_t>(edge));
            if ((x == w / 2 || y == h / 2) && x % 7 != 0) alpha = 200;  // a cross in the middle
            if (x == w / 3 && y == h / 3) alpha = 1;                    // one faint speck
            const uint32_t colour = 0x00FFFFFFu & ((x * 7 + y * 13) * 2654435761u);
            texels[y * w + x] = alpha << 24 | colour;
        }
    picture->Unlock();
    return picture;
}

// The picture over a gradient, drawn as a stretched quad or from its
// enlargement, read back.
std::vector<uint32_t> Drawn(Texture* picture, bool enlarged) {
    const Vector2 origin(0, 0), canvas(1280, 720);
    GraphicsDevice::Clear(0xFF000000);
    Renderer2D::DrawQuadGradient(&origin, &canvas, 0xFF204060, 0xFF602040, 0xFF406020, 0xFFA0A0A0);
    if (enlarged)
        DrawScreenOverlay(picture);
    else
        Renderer2D::DrawTexturedQuad(picture, &origin, &canvas, 0xFFFFFFFF);
    return GpuFixture::ReadTarget().pixels;
}

// The states the show draws its overlays with.
void UsualStates() {
    Gpu::SetRenderState(Gpu::kRsSrcBlend, Gpu::kBlendSrcAlpha);
    Gpu::SetRenderState(Gpu::kRsDestBlend, Gpu::kBlendInvSrcAlpha);
    Gpu::SetRenderState(Gpu::kRsBlendOp, Gpu::kBlendOpAdd);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
}

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return -1;
    int differ = 0;
    for (size_t i = 0; i < a.size(); ++i) differ += a[i] != b[i];
    return differ;
}

}  // namespace

TEST(ScreenOverlay, DrawsTheStretchedQuadsPixelsAtEveryViewSize) {
    struct Case {
        float width, height;
        unsigned pictureWidth, pictureHeight;
    };
    // The show's size with a picture enlarged unevenly (as the HUD is), a
    // smaller view that shrinks the picture, and one it fills texel for pixel.
    const Case cases[] = {{1280, 720, 1024, 512}, {800, 450, 1024, 512}, {640, 360, 640, 360}};
    for (const Case& c : cases) {
        ASSERT_TRUE(GpuFixture::Start(c.width, c.height, 1));
        const ViewValues& view = GraphicsDevice::View();
        Texture* target = Texture::CreateRenderTarget(static_cast<unsigned>(view.viewWidth),
                                                      static_cast<unsigned>(view.viewHeight), Gpu::kFormatA8R8G8B8);
        Texture* picture = HudLikePicture(c.pictureWidth, c.pictureHeight);
        Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(target);
        UsualStates();
        const std::vector<uint32_t> quad = Drawn(picture, false);
        // Twice: the first draw makes the enlargement, the second reuses it.
        EXPECT_EQ(Differing(quad, Drawn(picture, true)), 0) << c.width << "x" << c.height;
        EXPECT_EQ(Differing(quad, Drawn(picture, true)), 0) << c.width << "x" << c.height << ", drawn again";
        GraphicsDevice::RestoreRenderTarget(saved);
        ReleaseScreenOverlays();
        DeleteTexture(picture);
        DeleteTexture(target);
    }
}

TEST(ScreenOverlay, TheShowsOverlaysKeepTheirPixels) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    Texture* target = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(target);
    UsualStates();
    for (int id = kTexOverlay1; id <= kTexOverlay4; ++id) {
        Texture* overlay = GetTexture(id);
        ASSERT_NE(overlay, nullptr) << id;
        EXPECT_EQ(Differing(Drawn(overlay, false), Drawn(overlay, true)), 0) << "overlay " << id;
    }
    GraphicsDevice::RestoreRenderTarget(saved);
    DeleteTexture(target);
}
