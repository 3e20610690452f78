// The scroller's letters as clouds of metaballs: the points that
// each glyph of the meta font strip encodes, and where the 64 balls of a
// forming letter are at a given progress. Pure functions over plain data, so
// the tests and the benchmark build the same letters the show does.
#pragma once
#include <cstdint>
#include <vector>

#include "core/maths.h"

struct BitmapFont;
struct EffectRandom;
struct Metaball;

// The glyphs of texture 104, in strip order.
constexpr char kMetaGlyphList[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.-";
constexpr int kMetaBallCount = 64;

struct LetterPoint {
    float x, y, z;   // letter units: x -0.8 .. 0.8 from the left column, y 0, z from -0.8 (top row)
    float strength;  // 255 / blue: the darker the blue, the stronger the ball
};

struct LetterShapes {
    std::vector<LetterPoint> points[256];  // by character code, shuffled
    float advance[256] = {};               // letter units; 0 for characters without a glyph
};

// The letter shapes of the meta writer: `font` is the meta font cut
// from the same strip (`texels`: width x height 32-bit ARGB, rows packed).
// For each glyph in list order, every texel of its columns whose alpha and
// blue are both non-zero becomes a point; its advance is its width times
// 2 / height; a list of n >= 2 points is then shuffled with n swaps drawn
// from `random` (i, then j, each Random16() mod (n - 1)). A space advances
// by the font's space width times 2 / height. Without texels or height no
// character has points or an advance. Allocates; run once.
void BuildLetterShapes(const BitmapFont& font, const uint32_t* texels, unsigned width, unsigned height,
                       EffectRandom& random, LetterShapes& shapes);

// The live letter's balls at `progress` (0 when the letter starts forming, 2
// when it has scrolled its own width): ball k, while k < 64 and the letter
// has points, moves from ballStart[k] towards point k by the eased share
// e = (1 - cos(a pi)) / 2, a = clamp(ballDelay[k] + progress, 0, 1), with
// the point's strength times ballLevel times e; the balls left over move
// towards the centre with strength 0.
void PlaceLetterBalls(const std::vector<LetterPoint>& points, float progress, const Vector3 ballStart[kMetaBallCount],
                      const float ballDelay[kMetaBallCount], float ballLevel, Metaball* const balls[kMetaBallCount]);
