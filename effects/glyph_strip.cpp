#include "effects/glyph_strip.h"

#include <cstring>

static bool ColumnIsOpaque(const uint32_t* texels, unsigned width, unsigned height, unsigned x) {
    for (unsigned y = 0; y < height; ++y)
        if (texels[y * width + x] >> 24) return true;
    return false;
}

int ScanGlyphStrip(const uint32_t* texels, unsigned width, unsigned height, const char* glyphs, unsigned gapLimit,
                   float widths[256], float uOffsets[256]) {
    for (int i = 0; i < 256; ++i) {
        widths[i] = 0.0f;
        uOffsets[i] = -1.0f;
    }
    const size_t glyphCount = std::strlen(glyphs);
    if (!texels || width == 0 || glyphCount == 0) return 0;

    const float invW = 1.0f / (float)width;
    bool inGlyph = false;
    unsigned glyphStart = 0, lastEnd = 0;
    size_t g = 0;
    for (unsigned x = 0; x < width && g < glyphCount; ++x) {
        // Unsigned on purpose: the limit 0xFFFFFFFF admits every column.
        if (x - lastEnd <= gapLimit && ColumnIsOpaque(texels, width, height, x)) {
            if (!inGlyph) {
                glyphStart = x;
                inGlyph = true;
            }
        } else if (inGlyph) {
            inGlyph = false;
            lastEnd = x;
            const unsigned char c = (unsigned char)glyphs[g];
            widths[c] = (float)(x - glyphStart);
            uOffsets[c] = (float)glyphStart * invW;
            ++g;
        }
    }
    return (int)g;
}
