#include "effects/meta_letters.h"

#include <algorithm>
#include <cmath>

#include "core/metaballs.h"
#include "core/random.h"
#include "effects/bitmap_font.h"

void BuildLetterShapes(const BitmapFont& font, const uint32_t* texels, unsigned width, unsigned height,
                       EffectRandom& random, LetterShapes& shapes) {
    for (int c = 0; c < 256; ++c) {
        shapes.points[c].clear();
        shapes.advance[c] = 0.0f;
    }
    if (!texels || width == 0 || height == 0) return;
    const float scale = 2.0f / static_cast<float>(height);
    for (const char* g = kMetaGlyphList; *g; ++g) {
        const unsigned char c = static_cast<unsigned char>(*g);
        if (font.uOffsets[c] < 0.0f) continue;  // not in the strip
        const int x0 = static_cast<int>(font.uOffsets[c] * static_cast<float>(width));
        const int w = static_cast<int>(font.widths[c]);
        std::vector<LetterPoint>& points = shapes.points[c];
        for (unsigned r = 0; r < height; ++r) {
            for (int q = 0; q < w; ++q) {
                const int column = x0 + q;
                if (column < 0 || column >= static_cast<int>(width)) continue;
                const uint32_t texel = texels[static_cast<size_t>(r) * width + static_cast<unsigned>(column)];
                const uint32_t alpha = texel >> 24, blue = texel & 0xFFu;
                if (alpha == 0 || blue == 0) continue;
                points.push_back({(static_cast<float>(q) * scale - 1.0f) * 0.8f, 0.0f,
                                  (static_cast<float>(r) * scale - 1.0f) * 0.8f, 255.0f / static_cast<float>(blue)});
            }
        }
        shapes.advance[c] = font.widths[c] * scale;
        const size_t n = points.size();
        if (n >= 2) {
            for (size_t k = 0; k < n; ++k) {
                const size_t i = random.Random16() % (n - 1);
                const size_t j = random.Random16() % (n - 1);
                if (i != j) std::swap(points[i], points[j]);
            }
        }
    }
    shapes.advance[static_cast<unsigned char>(' ')] = font.spaceWidth * scale;
}

void PlaceLetterBalls(const std::vector<LetterPoint>& points, float progress, const Vector3 ballStart[kMetaBallCount],
                      const float ballDelay[kMetaBallCount], float ballLevel, Metaball* const balls[kMetaBallCount]) {
    const float kPi = 3.1415927f;
    const size_t used = std::min(points.size(), static_cast<size_t>(kMetaBallCount));
    for (int k = 0; k < kMetaBallCount; ++k) {
        Metaball* ball = balls[k];
        if (!ball) continue;
        const float a = std::clamp(ballDelay[k] + progress, 0.0f, 1.0f);
        const float e = (1.0f - std::cos(a * kPi)) * 0.5f;
        if (static_cast<size_t>(k) < used) {
            const LetterPoint& p = points[k];
            ball->position = Lerp(ballStart[k], Vector3(p.x, p.y, p.z), e);
            ball->strength = p.strength * ballLevel * e;
        } else {
            ball->position = Lerp(ballStart[k], kZero3, e);
            ball->strength = 0.0f;
        }
    }
}
