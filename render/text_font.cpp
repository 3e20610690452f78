#include "render/text_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/gpu.h"
#include "render/graphics_device.h"

namespace {

struct Glyph {
    bool present = false;
    int x = 0, y = 0, w = 0, h = 0;  // place in the atlas
    int left = 0, top = 0;           // bitmap offset from the pen; top is above the baseline
    int advance = 0;
};

// The quads of one draw, as vertex declaration 6 wants them.
struct GlyphVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};

constexpr int kAtlasWidth = 512;
constexpr size_t kBatchGlyphs = 512;
GlyphVertex s_batch[kBatchGlyphs * 6];

// Characters with glyphs: printable ASCII and the Latin-1 letters and signs.
bool Drawable(int c) { return (c >= 32 && c < 127) || (c >= 160 && c < 256); }

}  // namespace

struct TextFont {
    Gpu::Texture* atlas = nullptr;
    int height = 0, ascent = 0;
    float atlasWidth = 1, atlasHeight = 1;
    Glyph glyphs[256];
};

TextFont* CreateTextFont(const uint8_t* data, size_t size, int height) {
    if (!data || size == 0 || height < 1 || height > 1024) return nullptr;
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    FT_Face face;
    if (FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), 0, &face) != 0) {
        std::fprintf(stderr, "lumivane: the text font cannot be read\n");
        FT_Done_FreeType(library);
        return nullptr;
    }
    // The height is the cell: ascent plus descent, as Windows sizes fonts.
    FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_REAL_DIM, 0, height * 64, 0, 0};
    FT_Request_Size(face, &request);

    TextFont* font = new TextFont;
    font->height = height;
    font->ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);

    // Rasterise every glyph once and pack them in rows of a 512-wide atlas,
    // one texel apart so that filtering never reaches a neighbour.
    std::vector<std::vector<uint8_t>> bitmaps(256);
    int penX = 1, penY = 1, rowHeight = 0;
    for (int c = 0; c < 256; ++c) {
        if (!Drawable(c) || FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        Glyph& g = font->glyphs[c];
        g.present = true;
        g.w = std::min(static_cast<int>(bm.width), kAtlasWidth - 2);
        g.h = static_cast<int>(bm.rows);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (penX + g.w + 1 > kAtlasWidth) {
            penX = 1;
            penY += rowHeight + 1;
            rowHeight = 0;
        }
        g.x = penX;
        g.y = penY;
        penX += g.w + 1;
        rowHeight = std::max(rowHeight, g.h);
        std::vector<uint8_t>& out = bitmaps[c];
        out.resize(static_cast<size_t>(g.w) * g.h);
        for (int row = 0; row < g.h; ++row) {
            const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch;
            std::copy_n(src, g.w, out.begin() + static_cast<ptrdiff_t>(row) * g.w);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    int atlasHeight = penY + rowHeight + 1;
    font->atlas = Gpu::CreateTexture(kAtlasWidth, static_cast<unsigned>(atlasHeight), 1, Gpu::kFormatA8R8G8B8, false);
    unsigned pitch = 0;
    uint32_t* texels = reinterpret_cast<uint32_t*>(Gpu::LockTexture(font->atlas, &pitch));
    if (!texels) {
        DestroyTextFont(font);
        return nullptr;
    }
    // White texels whose alpha is the coverage; the colour tints them.
    std::fill_n(texels, static_cast<size_t>(kAtlasWidth) * atlasHeight, 0x00FFFFFFu);
    for (int c = 0; c < 256; ++c) {
        const Glyph& g = font->glyphs[c];
        for (int row = 0; row < g.h; ++row) {
            for (int col = 0; col < g.w; ++col) {
                uint32_t coverage = bitmaps[c][static_cast<size_t>(row) * g.w + col];
                texels[static_cast<size_t>(g.y + row) * kAtlasWidth + g.x + col] = coverage << 24 | 0xFFFFFFu;
            }
        }
    }
    Gpu::UnlockTexture(font->atlas);
    font->atlasWidth = static_cast<float>(kAtlasWidth);
    font->atlasHeight = static_cast<float>(atlasHeight);
    return font;
}

void DestroyTextFont(TextFont* font) {
    if (!font) return;
    Gpu::ReleaseTexture(font->atlas);
    delete font;
}

// Draws the batch with the 2D effect's textured technique.
static void DrawBatch(TextFont* font, size_t glyphs) {
    Gpu::Effect* effect = GraphicsDevice::GetEffect2D();
    if (glyphs == 0 || !effect) return;
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclScreenColourTex));
    effect->SetTechnique("PosColTex2D");
    effect->SetTexture("g_Texture", font->atlas);
    Gpu::ForEachPass(effect, [&] {
        Gpu::DrawPrimitiveUP(Gpu::kTriangleList, static_cast<unsigned>(glyphs * 2), s_batch, sizeof(GlyphVertex));
    });
}

void DrawTextFont(TextFont* font, const char* text, size_t length, int left, int top, int right, int bottom,
                  uint32_t colour) {
    if (!font || !font->atlas || !text) return;
    // Text blends over the target without depth, and leaves the states as
    // it found them.
    using namespace Gpu;
    const RenderState kept[] = {kRsZEnable, kRsZWriteEnable,    kRsAlphaBlendEnable, kRsSrcBlend,  kRsDestBlend,
                                kRsBlendOp, kRsAlphaTestEnable, kRsAlphaRef,         kRsAlphaFunc, kRsCullMode};
    uint32_t saved[std::size(kept)];
    for (size_t i = 0; i < std::size(kept); ++i) saved[i] = GetRenderState(kept[i]);
    SetRenderState(kRsZEnable, 0);
    SetRenderState(kRsZWriteEnable, 0);
    SetRenderState(kRsAlphaBlendEnable, 1);
    SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    SetRenderState(kRsBlendOp, kBlendOpAdd);
    SetRenderState(kRsAlphaTestEnable, 1);
    SetRenderState(kRsAlphaRef, 0);
    SetRenderState(kRsAlphaFunc, kCmpGreater);
    SetRenderState(kRsCullMode, kCullNone);

    size_t queued = 0;
    int penX = left, lineTop = top;
    for (size_t i = 0; i < length; ++i) {
        int c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            penX = left;
            lineTop += font->height;
            continue;
        }
        const Glyph& g = font->glyphs[c];
        if (!g.present) continue;
        int x0 = penX + g.left, y0 = lineTop + font->ascent - g.top;
        int x1 = x0 + g.w, y1 = y0 + g.h;
        penX += g.advance;
        // The part inside the rectangle, in whole pixels.
        int cx0 = std::max(x0, left), cy0 = std::max(y0, top);
        int cx1 = std::min(x1, right), cy1 = std::min(y1, bottom);
        if (cx0 >= cx1 || cy0 >= cy1) continue;
        // Pixel edges sit half a pixel before the centres, so each atlas
        // texel lands exactly on one pixel.
        float px0 = cx0 - 0.5f, py0 = cy0 - 0.5f, px1 = cx1 - 0.5f, py1 = cy1 - 0.5f;
        float u0 = (g.x + cx0 - x0) / font->atlasWidth, v0 = (g.y + cy0 - y0) / font->atlasHeight;
        float u1 = (g.x + cx1 - x0) / font->atlasWidth, v1 = (g.y + cy1 - y0) / font->atlasHeight;
        GlyphVertex* v = &s_batch[queued * 6];
        v[0] = {px0, py0, 0, 1, colour, u0, v0};
        v[1] = {px1, py0, 0, 1, colour, u1, v0};
        v[2] = {px0, py1, 0, 1, colour, u0, v1};
        v[3] = v[2];
        v[4] = v[1];
        v[5] = {px1, py1, 0, 1, colour, u1, v1};
        if (++queued == kBatchGlyphs) {
            DrawBatch(font, queued);
            queued = 0;
        }
    }
    DrawBatch(font, queued);

    for (size_t i = 0; i < std::size(kept); ++i) SetRenderState(kept[i], saved[i]);
}
