#include "render/screen_overlay.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"

namespace {

using Renderer2D::TexturedVertex2D;

// Blocks of 32x32 pixels. Smaller ones leave out more of a HUD's clear
// middle but cut more of the driver's 4x4 blocks with their triangles' edges
// (shaded once for each triangle): 8 to 64 all cost about the same, some 5 %
// less than one quad over the whole target.
constexpr int kBlock = 32;

struct Enlargement {
    const Texture* picture;
    const Gpu::Texture* gpuPicture;           // a picture made again is enlarged again
    unsigned width, height;                   // the target's
    Texture* texels;                          // the picture as the quad shows it, texel for pixel
    std::vector<TexturedVertex2D> triangles;  // the shown runs of blocks, two triangles each
};
// Made on the heap and never destroyed: its textures are freed with the
// device (ReleaseScreenOverlays), and a list destroyed at exit before that
// would lose them.
std::vector<Enlargement>& Enlargements() {
    static std::vector<Enlargement>* list = new std::vector<Enlargement>;
    return *list;
}

// One run of blocks, x0..x1 by y0..y1 in pixels, as two triangles that put
// texel (x, y) of a w x h texture on pixel (x, y).
void AddRun(std::vector<TexturedVertex2D>* out, int x0, int y0, int x1, int y1, float w, float h) {
    // A pre-transformed vertex at -0.5 lies on the pixel grid's edge.
    const float px0 = x0 - 0.5f, py0 = y0 - 0.5f, px1 = x1 - 0.5f, py1 = y1 - 0.5f;
    const float u0 = x0 / w, v0 = y0 / h, u1 = x1 / w, v1 = y1 / h;
    const TexturedVertex2D a{px0, py0, 0, 1, 0xFFFFFFFF, u0, v0}, b{px1, py0, 0, 1, 0xFFFFFFFF, u1, v0},
        c{px0, py1, 0, 1, 0xFFFFFFFF, u0, v1}, d{px1, py1, 0, 1, 0xFFFFFFFF, u1, v1};
    out->insert(out->end(), {a, b, c, c, b, d});
}

// Row of blocks by row, the runs of blocks in which some pixel's alpha is
// above 0 (rgba: w x h pixels, R, G, B, A).
std::vector<TexturedVertex2D> ShownRuns(const std::vector<uint8_t>& rgba, int w, int h) {
    std::vector<TexturedVertex2D> triangles;
    std::vector<bool> shown(static_cast<size_t>((w + kBlock - 1) / kBlock));
    for (int y0 = 0; y0 < h; y0 += kBlock) {
        const int y1 = std::min(h, y0 + kBlock);
        std::fill(shown.begin(), shown.end(), false);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* row = rgba.data() + static_cast<size_t>(y) * w * 4;
            for (int x = 0; x < w; ++x) {
                if (row[x * 4 + 3] != 0) shown[x / kBlock] = true;
            }
        }
        for (size_t b = 0; b < shown.size();) {
            if (!shown[b]) {
                ++b;
                continue;
            }
            const size_t first = b;
            while (b < shown.size() && shown[b]) ++b;
            AddRun(&triangles, static_cast<int>(first) * kBlock, y0, std::min(w, static_cast<int>(b) * kBlock), y1,
                   static_cast<float>(w), static_cast<float>(h));
        }
    }
    return triangles;
}

// Draws the picture as DrawTexturedQuad shows it over the layout, unblended,
// into a target of the current target's size, reads it back into a plain
// texture (a render target would keep a depth buffer as large as itself)
// and finds where it shows. False when the textures could not be made.
bool Enlarge(Texture* picture, unsigned width, unsigned height, Enlargement* e) {
    Texture* target = Texture::CreateRenderTarget(width, height, Gpu::kFormatA8R8G8B8);
    Texture* texels = Texture::Create(width, height, Gpu::kFormatA8R8G8B8);
    if (!target || !target->surface || !texels || !texels->texture) {
        DeleteTexture(target);
        DeleteTexture(texels);
        return false;
    }
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(target);
    Gpu::Clear(Gpu::kClearTarget | Gpu::kClearZBuffer, 0x00000000, 1.0f);
    // ONE, ZERO: the quad's colour as it would reach the blend.
    const uint32_t src = Gpu::GetRenderState(Gpu::kRsSrcBlend), dest = Gpu::GetRenderState(Gpu::kRsDestBlend);
    Gpu::SetRenderState(Gpu::kRsSrcBlend, Gpu::kBlendOne);
    Gpu::SetRenderState(Gpu::kRsDestBlend, Gpu::kBlendZero);
    const Vector2 origin(0.0f, 0.0f), layout(1280.0f, 720.0f);
    Renderer2D::DrawTexturedQuad(picture, &origin, &layout, 0xFFFFFFFF);
    Gpu::SetRenderState(Gpu::kRsSrcBlend, src);
    Gpu::SetRenderState(Gpu::kRsDestBlend, dest);
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    Gpu::ReadRenderTarget(rgba.data());
    GraphicsDevice::RestoreRenderTarget(saved);
    DeleteTexture(target);
    std::vector<TexturedVertex2D> runs = ShownRuns(rgba, static_cast<int>(width), static_cast<int>(height));
    // R, G, B, A as read to A8R8G8B8's bytes B, G, R, A.
    for (size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
    if (!Gpu::UploadTexture(texels->texture, rgba.data())) {
        DeleteTexture(texels);  // never blend a texture that holds no picture
        return false;
    }
    *e = {picture, picture->texture, width, height, texels, std::move(runs)};
    return true;
}

}  // namespace

void DrawScreenOverlay(Texture* picture) {
    if (!picture || !picture->texture) return;
    const Vector2 origin(0.0f, 0.0f), layout(1280.0f, 720.0f);
    // The blocks left out hold only alpha 0, which leaves the target as it
    // was under the usual blend (source alpha and its inverse, added); under
    // any other the picture is drawn as the stretched quad.
    if (Gpu::GetRenderState(Gpu::kRsSrcBlend) != Gpu::kBlendSrcAlpha ||
        Gpu::GetRenderState(Gpu::kRsDestBlend) != Gpu::kBlendInvSrcAlpha ||
        Gpu::GetRenderState(Gpu::kRsBlendOp) != Gpu::kBlendOpAdd) {
        Renderer2D::DrawTexturedQuad(picture, &origin, &layout, 0xFFFFFFFF);
        return;
    }
    Gpu::Surface* target = Gpu::GetRenderTarget();
    const unsigned width = Gpu::SurfaceWidth(target), height = Gpu::SurfaceHeight(target);
    Gpu::Release(target);
    Enlargement* found = nullptr;
    std::vector<Enlargement>& enlargements = Enlargements();
    for (Enlargement& e : enlargements) {
        if (e.picture == picture && e.gpuPicture == picture->texture && e.width == width && e.height == height) {
            found = &e;
            break;
        }
    }
    if (!found) {
        Enlargement e;
        if (!Enlarge(picture, width, height, &e)) {
            Renderer2D::DrawTexturedQuad(picture, &origin, &layout, 0xFFFFFFFF);
            return;
        }
        enlargements.push_back(std::move(e));
        found = &enlargements.back();
    }
    if (!found->triangles.empty())
        Renderer2D::DrawTexelTriangles(found->texels, found->triangles.data(),
                                       static_cast<unsigned>(found->triangles.size() / 3));
}

void ReleaseScreenOverlays() {
    for (Enlargement& e : Enlargements()) DeleteTexture(e.texels);
    Enlargements().clear();
}
