#include "effects/bitmap_font.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "assets/texture.h"
#include "effects/glyph_strip.h"
#include "render/renderer_2d.h"

// Every Measure and Draw formats into this one buffer: nothing is allocated
// per frame, and formatting stops at its end.
static char s_text[2048];

static size_t FormatText(const char* format, va_list args) {
    int n = std::vsnprintf(s_text, sizeof s_text, format ? format : "", args);
    if (n < 0) {
        s_text[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < sizeof s_text ? static_cast<size_t>(n) : sizeof s_text - 1;
}

// Only codes 0..127 can have glyphs; any other byte draws nothing.
static bool HasGlyph(const BitmapFont* font, unsigned char c) { return c < 128 && font->uOffsets[c] != -1.0f; }

BitmapFont* BitmapFont::Create(Texture* texture, const char* glyphs, float spacing, float spaceWidth,
                               unsigned gapLimit) {
    BitmapFont* font = new BitmapFont;
    font->texture = texture;
    font->spacing = spacing;
    font->spaceWidth = spaceWidth;
    for (int i = 0; i < 256; ++i) {
        font->widths[i] = 0.0f;
        font->uOffsets[i] = -1.0f;
    }
    if (!texture || !texture->texture || !glyphs) return font;
    font->height = texture->height;

    int bytesPerPixel = 0;
    uint8_t* bits = texture->Lock(&bytesPerPixel);
    if (!bits) return font;
    // The strips are A8R8G8B8 with rows packed at width * 4 bytes; anything
    // else would be read wrongly, so it gets no glyphs.
    if (bytesPerPixel == 4)
        ScanGlyphStrip(reinterpret_cast<const uint32_t*>(bits), texture->width, texture->height, glyphs, gapLimit,
                       font->widths, font->uOffsets);
    else
        std::fprintf(stderr, "lumivane: a glyph strip needs 4 bytes per texel, not %d\n", bytesPerPixel);
    texture->Unlock();
    return font;
}

void BitmapFont::Destroy(BitmapFont** font) {
    if (!font) return;
    delete *font;
    *font = nullptr;
}

void BitmapFont::Measure(const BitmapFont* font, Vector2* size, float scale, const char* format, ...) {
    va_list args;
    va_start(args, format);
    size_t n = FormatText(format, args);
    va_end(args);
    if (!size) return;
    if (!font) {
        *size = Vector2(0.0f, 0.0f);
        return;
    }
    const float lineHeight = static_cast<float>(font->height) * scale;
    float width = 0.0f, x = 0.0f, lineOffset = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s_text[i]);
        if (c == '\n') {
            x = 0.0f;
            lineOffset += lineHeight;
        } else if (c == ' ') {
            x += font->spaceWidth * scale;
        } else if (HasGlyph(font, c)) {
            x += font->widths[c] * scale;
        }
        x += font->spacing * scale;
        if (x > width) width = x;
    }
    // Down to the bottom of the last line, at this scale.
    *size = Vector2(width, lineOffset + lineHeight);
}

float BitmapFont::Draw(const BitmapFont* font, const Vector2* position, uint32_t colour, float scale,
                       const char* format, ...) {
    va_list args;
    va_start(args, format);
    size_t n = FormatText(format, args);
    va_end(args);
    if (!font || !position) return position ? position->x : 0.0f;

    const float invW = font->texture && font->texture->width ? 1.0f / static_cast<float>(font->texture->width) : 0.0f;
    const float lineHeight = static_cast<float>(font->height) * scale;
    float x = position->x, y = position->y;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s_text[i]);
        if (c == '\n') {
            x = position->x;
            y += lineHeight;
        } else if (c == ' ') {
            x += font->spaceWidth * scale;
        } else if (HasGlyph(font, c)) {
            const Vector2 at(x, y), size(font->widths[c] * scale, lineHeight);
            const Vector2 uvOrigin(font->uOffsets[c], 0.0f), uvSize(font->widths[c] * invW, 1.0f);
            Renderer2D::DrawTexturedQuadPart(font->texture, &at, &size, &uvOrigin, &uvSize, colour);
            x += font->widths[c] * scale;
        }
        // After every character: line feeds, spaces and unknown ones too.
        x += font->spacing * scale;
    }
    return x;
}
