// The text font: a TrueType face rasterised once, at one pixel height, into
// an atlas texture, and drawn as one textured quad per glyph.
#pragma once
#include <cstddef>
#include <cstdint>

struct TextFont;

// The holder the device hands out, as the show passes fonts around.
struct FontHolder {
    TextFont* font = nullptr;
};

// `height` is the cell height in pixels (ascent plus descent), which is also
// the line spacing. Null (with one line on stderr) if the face cannot be read.
TextFont* CreateTextFont(const uint8_t* fontData, size_t size, int height);
void DestroyTextFont(TextFont* font);

// Draws `length` bytes of text (Latin-1) in the current render target with
// the top-left of the first line at pixel (left, top), clipped to
// [left, right) x [top, bottom). '\n' starts a new line. Glyph coverage
// times the colour's alpha blends over what is there; depth is not used.
void DrawTextFont(TextFont* font, const char* text, size_t length, int left, int top, int right, int bottom,
                  uint32_t colour);
