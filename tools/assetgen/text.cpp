#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_STROKER_H

#include <algorithm>
#include <cmath>
#include <cstdio>

static const char* const kFontFiles[kFontCount] = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
};

static FT_Library g_library;
static FT_Face g_faces[kFontCount];

bool TextInit()
{
    if (FT_Init_FreeType(&g_library)) {
        std::fprintf(stderr, "assetgen: FreeType could not be initialised\n");
        return false;
    }
    for (int i = 0; i < kFontCount; ++i)
        if (FT_New_Face(g_library, kFontFiles[i], 0, &g_faces[i])) {
            std::fprintf(stderr, "assetgen: font %s is missing (install fonts-liberation)\n", kFontFiles[i]);
            return false;
        }
    return true;
}

void TextShutdown()
{
    for (FT_Face& f : g_faces)
        if (f)
            FT_Done_Face(f), f = nullptr;
    if (g_library)
        FT_Done_FreeType(g_library), g_library = nullptr;
}

static FT_Face Face(const TextStyle& s)
{
    FT_Face f = g_faces[s.font];
    FT_Set_Char_Size(f, 0, (FT_F26Dot6)std::lround(s.size * 64), 72, 72);
    return f;
}

float MeasureText(const TextStyle& s, const std::string& text)
{
    FT_Face f = Face(s);
    float w = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(f, ch, FT_LOAD_DEFAULT))
            continue;
        w += f->glyph->advance.x / 64.0f + s.tracking;
    }
    return std::max(0.0f, w - s.tracking);
}

float CapHeight(const TextStyle& s)
{
    FT_Face f = Face(s);
    if (FT_Load_Char(f, 'H', FT_LOAD_DEFAULT))
        return s.size * 0.7f;
    return f->glyph->metrics.horiBearingY / 64.0f;
}

// Calls fn(bitmap, left, top) for every glyph of the text, pen starting at x = 0.
template <typename Fn>
static void ForEachGlyph(const TextStyle& s, const std::string& text, Fn fn)
{
    FT_Face f = Face(s);
    FT_Stroker stroker = nullptr;
    if (s.stroke > 0) {
        FT_Stroker_New(g_library, &stroker);
        FT_Stroker_Set(stroker, (FT_Fixed)std::lround(s.stroke * 32), FT_STROKER_LINECAP_ROUND, FT_STROKER_LINEJOIN_ROUND, 0);
    }
    float pen = 0;
    for (unsigned char ch : text) {
        // Sub-pixel pen positions keep tracked capitals evenly spaced.
        const float frac = pen - std::floor(pen);
        FT_Vector delta = {(FT_Pos)std::lround(frac * 64), 0};
        FT_Set_Transform(f, nullptr, &delta);
        if (FT_Load_Char(f, ch, FT_LOAD_NO_HINTING)) {
            continue;
        }
        FT_Glyph glyph;
        if (FT_Get_Glyph(f->glyph, &glyph) == 0) {
            if (stroker)
                FT_Glyph_Stroke(&glyph, stroker, 1);
            if (FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1) == 0) {
                FT_BitmapGlyph bg = (FT_BitmapGlyph)glyph;
                fn(bg->bitmap, (int)std::floor(pen) + bg->left, bg->top);
            }
            FT_Done_Glyph(glyph);
        }
        pen += f->glyph->advance.x / 64.0f + s.tracking;
    }
    FT_Set_Transform(f, nullptr, nullptr);
    if (stroker)
        FT_Stroker_Done(stroker);
}

void DrawText(Image& img, const TextStyle& s, const std::string& text, float x, float y, Rgba c, float align)
{
    const float w = MeasureText(s, text);
    const float startX = x - w * align;
    const int ix = (int)std::floor(startX), iy = (int)std::lround(y);
    ForEachGlyph(s, text, [&](const FT_Bitmap& bm, int left, int top) {
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned q = 0; q < bm.width; ++q) {
                const float cov = bm.buffer[r * bm.pitch + q] / 255.0f;
                BlendPixel(img, ix + left + (int)q, iy - top + (int)r, c, cov);
            }
    });
}

Image RenderTextMask(const TextStyle& s, const std::string& text, int& originX, int& originY)
{
    const float w = MeasureText(s, text);
    const int pad = (int)std::ceil(s.size * 0.5f + s.stroke + 2);
    Image out((int)std::ceil(w) + pad * 2, (int)std::ceil(s.size * 1.6f) + pad * 2);
    originX = pad;
    originY = pad + (int)std::ceil(s.size * 1.1f);
    ForEachGlyph(s, text, [&](const FT_Bitmap& bm, int left, int top) {
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned q = 0; q < bm.width; ++q)
                BlendPixel(out, originX + left + (int)q, originY - top + (int)r, kWhite, bm.buffer[r * bm.pitch + q] / 255.0f);
    });
    return out;
}
