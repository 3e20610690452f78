// BitmapFont: a proportional font cut at run time from a glyph strip, a
// texture holding every glyph side by side in one row with transparent
// columns between them. The text effects measure and draw printf-style text
// with it in the 1280x720 layout space; the scroller only reads the glyph
// positions and widths to sample letter shapes.
#pragma once
#include <cstdint>

#include "core/maths.h"

struct Texture;

struct BitmapFont {
    unsigned height = 0;         // glyph height in texels: the strip's height
    Texture* texture = nullptr;  // not owned (the catalogue's)
    float spacing = 0.0f;        // extra advance after every character, at scale 1
    float spaceWidth = 0.0f;     // advance of a space, at scale 1
    float widths[256];           // glyph widths in texels, by character code
    float uOffsets[256];         // left edges as texture coordinates; -1: no glyph

    // Scans the strip (32-bit ARGB texels, rows packed) for the glyphs of
    // `glyphs`, in that order; see ScanGlyphStrip for the gap limit. A
    // missing or unreadable texture gives a font without glyphs. The caller
    // owns the result.
    static BitmapFont* Create(Texture* texture, const char* glyphs, float spacing, float spaceWidth, unsigned gapLimit);
    // Deletes the font (not its texture) and nulls the pointer.
    static void Destroy(BitmapFont** font);

    // Formats the text into the shared 2048-byte buffer and gives the width
    // (trailing spacing included) and height it takes at this scale.
    static void Measure(const BitmapFont* font, Vector2* size, float scale, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    // Formats the text into the shared buffer and draws it with the top-left
    // corner of its first line at `position`, tinted with `colour`. Returns
    // the pen's x after the last character.
    static float Draw(const BitmapFont* font, const Vector2* position, uint32_t colour, float scale, const char* format,
                      ...) __attribute__((format(printf, 5, 6)));
};
