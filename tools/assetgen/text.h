#pragma once
// Text set with FreeType from the Liberation fonts of the Debian package
// fonts-liberation: the show's clean sans-serif typography.
#include <string>

#include "image.h"

enum FontId { kSans, kSansBold, kNarrow, kNarrowBold, kMono, kFontCount };

struct TextStyle {
    FontId font = kSans;
    float size = 16;      // pixel size (em)
    float tracking = 0;   // extra advance after every character, in pixels
    float stroke = 0;     // > 0: outline of this width instead of a fill
};

// Loads the fonts; prints a one-line message and returns false when one is missing.
bool TextInit();
void TextShutdown();

// Advance width of a string in pixels.
float MeasureText(const TextStyle& s, const std::string& text);
// Cap height (height of "H") in pixels, for vertical placement.
float CapHeight(const TextStyle& s);
// Draws text with its baseline at y; align 0 = left edge at x, 0.5 = centred, 1 = right edge.
void DrawText(Image& img, const TextStyle& s, const std::string& text, float x, float y, Rgba c, float align = 0.0f);
// Coverage of text rendered into its own picture (white, alpha = coverage),
// with the baseline's left end at (originX, originY) of the result.
Image RenderTextMask(const TextStyle& s, const std::string& text, int& originX, int& originY);
