#pragma once
// The two glyph strips of the show's bitmap fonts.
#include <cstdint>
#include <vector>

#include "image.h"

extern const char kGlyphList[];  // "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.-"

// 2048 x 32: the laser writer's letters, set from Liberation Sans Bold.
Image MakeLaserFont();

// 512 x 16: the scroller's letters as ball clouds. Every glyph is a run of
// opaque columns; pixels whose blue byte is not 0 are metaball centres with
// strength 255 / blue. Returned as straight 8-bit RGBA.
std::vector<uint8_t> MakeMetaFontRgba();
constexpr int kMetaFontW = 512, kMetaFontH = 16;

// Top-down picture of the letters as the scroller's metaballs form them
// (the surface's outline in the ground plane), for review.
Image PreviewMetaLetters(const std::vector<uint8_t>& rgba);

// Ball strength factor and iso level the scroller uses by default.
constexpr float kBallLevel = 0.26f, kMetaLevel = 100.0f;
