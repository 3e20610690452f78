#include "glyph_fonts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effects/glyph_strip.h"
#include "style.h"
#include "text.h"

const char kGlyphList[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.-";

Image MakeLaserFont()
{
    // Letters sit on one baseline with their caps 23 pixels tall; two clear
    // columns separate neighbours. White with a faint cold cast towards the
    // foot, so the revealed line matches the beam.
    Image strip(2048, 32);
    TextStyle s;
    s.font = kSansBold;
    s.size = 31;
    const int baseline = 27;
    int x = 2;
    for (const char* p = kGlyphList; *p; ++p) {
        const std::string ch(1, *p);
        int ox, oy;
        Image mask = RenderTextMask(s, ch, ox, oy);
        // Trim the mask to its opaque columns.
        int minX = mask.w, maxX = -1;
        for (int yy = 0; yy < mask.h; ++yy)
            for (int xx = 0; xx < mask.w; ++xx)
                if (mask.at(xx, yy)[3] > 0.5f / 255.0f) {
                    minX = std::min(minX, xx);
                    maxX = std::max(maxX, xx);
                }
        for (int yy = 0; yy < mask.h; ++yy) {
            const int ty = baseline - oy + yy;
            if (ty < 0 || ty >= 32)
                continue;
            for (int xx = minX; xx <= maxX; ++xx) {
                const float a = mask.at(xx, yy)[3];
                if (a <= 0.5f / 255.0f)
                    continue;
                const float t = std::clamp((ty - 4) / 24.0f, 0.0f, 1.0f);
                const Rgba c = {1.0f - 0.22f * t, 1.0f - 0.06f * t, 1.0f, 1.0f};
                BlendPixel(strip, x + xx - minX, ty, c, a);
            }
        }
        x += (maxX - minX + 1) + 2;
    }
    return strip;
}

// ---------------------------------------------------------------------------
// Scroller letters. Each glyph is a few strokes in a box 13 units tall
// (rows 1..14 of the strip), sampled into ball centres about a pixel
// apart. The balls merge into strokes roughly 0.2 letter units wide.

struct Stroke {
    std::vector<float> xy;  // x0, y0, x1, y1, ...
};

struct MetaGlyph {
    char c;
    int width;  // skeleton width in pixels (the glyph gets a clear column each side)
    std::vector<Stroke> strokes;
};

static Stroke Ellipse(float cx, float cy, float rx, float ry, float a0Deg, float a1Deg, int steps = 24)
{
    Stroke s;
    for (int i = 0; i <= steps; ++i) {
        const float a = (a0Deg + (a1Deg - a0Deg) * i / steps) * 3.14159265f / 180.0f;
        s.xy.push_back(cx + std::cos(a) * rx);
        s.xy.push_back(cy + std::sin(a) * ry);
    }
    return s;
}

static const std::vector<MetaGlyph>& MetaGlyphs()
{
    // y grows downwards; 0 is the cap line, 13 the baseline.
    static const std::vector<MetaGlyph> glyphs = {
        {'A', 9, {{{0, 13, 4, 0, 8, 13}}, {{1.6f, 8.5f, 6.4f, 8.5f}}}},
        {'B', 9, {{{0, 0, 0, 13}}, {{0, 0, 5, 0, 7, 1, 7.6f, 3, 7, 5, 5, 6.3f, 0, 6.3f}},
                  {{5, 6.3f, 7.3f, 7.3f, 8, 9.6f, 7.3f, 12, 5, 13, 0, 13}}}},
        {'C', 9, {Ellipse(4.5f, 6.5f, 4.5f, 6.5f, 40, 320)}},
        {'D', 9, {{{0, 0, 0, 13}}, {{0, 0, 4, 0, 7, 2, 8, 6.5f, 7, 11, 4, 13, 0, 13}}}},
        {'E', 8, {{{7, 0, 0, 0, 0, 13, 7, 13}}, {{0, 6.5f, 5.5f, 6.5f}}}},
        {'F', 8, {{{7, 0, 0, 0, 0, 13}}, {{0, 6.5f, 5.5f, 6.5f}}}},
        {'G', 9, {Ellipse(4.5f, 6.5f, 4.5f, 6.5f, 35, 325), {{8.3f, 8.4f, 8.3f, 12}}, {{5, 7.6f, 8.3f, 7.6f}}}},
        {'H', 9, {{{0, 0, 0, 13}}, {{8, 0, 8, 13}}, {{0, 6.5f, 8, 6.5f}}}},
        {'I', 1, {{{0, 0, 0, 13}}}},
        {'J', 7, {{{6, 0, 6, 9.5f, 5.2f, 12.2f, 3, 13, 0.8f, 12.2f, 0, 10}}}},
        {'K', 9, {{{0, 0, 0, 13}}, {{8, 0, 0, 8.5f}}, {{2.8f, 5.6f, 8, 13}}}},
        {'L', 8, {{{0, 0, 0, 13, 7, 13}}}},
        {'M', 10, {{{0, 13, 0, 0, 4.5f, 9, 9, 0, 9, 13}}}},
        {'N', 9, {{{0, 13, 0, 0, 8, 13, 8, 0}}}},
        {'O', 10, {Ellipse(4.5f, 6.5f, 4.5f, 6.5f, 0, 360, 28)}},
        {'P', 9, {{{0, 13, 0, 0, 5, 0, 7.3f, 1, 8, 3.4f, 7.3f, 5.8f, 5, 7, 0, 7}}}},
        {'Q', 10, {Ellipse(4.5f, 6.5f, 4.5f, 6.5f, 0, 360, 28), {{5.5f, 9.5f, 9, 13}}}},
        {'R', 9, {{{0, 13, 0, 0, 5, 0, 7.3f, 1, 8, 3.4f, 7.3f, 5.8f, 5, 7, 0, 7}}, {{4.5f, 7, 8, 13}}}},
        {'S', 9, {{{8, 1.8f, 6, 0, 2.5f, 0, 0.5f, 1.3f, 0, 3.4f, 1, 5.3f, 4, 6.5f, 7, 7.7f, 8, 9.8f, 7.5f, 12, 5.5f, 13,
                    2, 13, 0, 11.4f}}}},
        {'T', 9, {{{0, 0, 8, 0}}, {{4, 0, 4, 13}}}},
        {'U', 9, {{{0, 0, 0, 9, 1, 12, 4, 13, 7, 12, 8, 9, 8, 0}}}},
        {'V', 9, {{{0, 0, 4, 13, 8, 0}}}},
        {'W', 10, {{{0, 0, 1.7f, 13, 4.5f, 4.5f, 7.3f, 13, 9, 0}}}},
        {'X', 9, {{{0, 0, 8, 13}}, {{8, 0, 0, 13}}}},
        {'Y', 9, {{{0, 0, 4, 6.5f, 8, 0}}, {{4, 6.5f, 4, 13}}}},
        {'Z', 9, {{{0, 0, 8, 0, 0, 13, 8, 13}}}},
        {'0', 9, {Ellipse(4, 6.5f, 4, 6.5f, 0, 360, 26), {{2.6f, 9, 5.4f, 4}}}},
        {'1', 8, {{{1, 3, 4, 0, 4, 13}}, {{1, 13, 7, 13}}}},
        {'2', 9, {{{0.3f, 2.6f, 1.5f, 0.6f, 4, 0, 6.5f, 0.6f, 7.8f, 2.6f, 7.5f, 4.8f, 5.5f, 7, 0, 13, 8, 13}}}},
        {'3', 9, {{{0.3f, 1.5f, 2.5f, 0, 5.5f, 0, 7.5f, 1.5f, 7.5f, 4.5f, 5, 6.3f, 3, 6.3f}},
                  {{5, 6.3f, 7.8f, 8, 8, 10.5f, 6.5f, 12.5f, 4, 13, 1.5f, 12.7f, 0, 11}}}},
        {'4', 9, {{{6, 13, 6, 0, 0, 9, 8, 9}}}},
        {'5', 9, {{{7.5f, 0, 1, 0, 0.5f, 6, 2.5f, 5.2f, 5, 5.2f, 7.3f, 6.5f, 8, 9.3f, 7.2f, 12, 4.5f, 13, 2, 12.8f, 0,
                    11.3f}}}},
        {'6', 9, {{{7, 0.8f, 5, 0, 3, 0.3f, 1, 2, 0, 5.5f, 0, 9, 1, 12, 4, 13, 7, 12, 8, 9.5f, 7, 7, 4.5f, 6, 2, 6.5f,
                    0, 8.5f}}}},
        {'7', 9, {{{0, 0, 8, 0, 3, 13}}}},
        {'8', 9, {Ellipse(4, 3.2f, 3.3f, 3.2f, 0, 360, 18), Ellipse(4, 9.7f, 4, 3.3f, 0, 360, 20)}},
        {'9', 9, {{{1, 12.2f, 3, 13, 5, 12.7f, 7, 11, 8, 7.5f, 8, 4, 7, 1, 4, 0, 1, 1, 0, 3.5f, 1, 6, 3.5f, 7, 6, 6.5f,
                    8, 4.5f}}}},
        {'!', 1, {{{0, 0, 0, 8.5f}}, {{0, 12.5f, 0, 13}}}},
        {'?', 9, {{{0, 2.6f, 1.5f, 0.5f, 4, 0, 6.5f, 0.6f, 7.8f, 2.6f, 7.3f, 4.7f, 4, 7, 4, 9.2f}}, {{4, 12.5f, 4, 13}}}},
        {'.', 2, {{{0, 12, 1, 12}}, {{0, 13, 1, 13}}}},
        {'-', 6, {{{0, 7, 5, 7}}}},
    };
    return glyphs;
}

// Ball centres of one glyph: pixels along its strokes, about a pixel apart.
constexpr float kBallStep = 1.0f;
static std::vector<std::pair<int, int>> GlyphBalls(const MetaGlyph& g)
{
    std::vector<std::pair<int, int>> pts;
    auto add = [&](float x, float y) {
        const int px = (int)std::lround(x), py = (int)std::lround(y);
        for (auto& p : pts)
            if (p.first == px && p.second == py)
                return;
        pts.push_back({px, py});
    };
    for (const Stroke& s : g.strokes) {
        const size_t n = s.xy.size() / 2;
        add(s.xy[0], s.xy[1]);
        float carry = 0;
        for (size_t i = 1; i < n; ++i) {
            const float x0 = s.xy[2 * i - 2], y0 = s.xy[2 * i - 1], x1 = s.xy[2 * i], y1 = s.xy[2 * i + 1];
            const float len = std::hypot(x1 - x0, y1 - y0);
            float t = kBallStep - carry;
            while (t <= len) {
                add(x0 + (x1 - x0) * t / len, y0 + (y1 - y0) * t / len);
                t += kBallStep;
            }
            carry = len - (t - kBallStep);
        }
        add(s.xy[2 * n - 2], s.xy[2 * n - 1]);
    }
    return pts;
}

std::vector<uint8_t> MakeMetaFontRgba()
{
    std::vector<uint8_t> rgba((size_t)kMetaFontW * kMetaFontH * 4, 0);
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &rgba[((size_t)y * kMetaFontW + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
    };
    // Glyphs are packed tightly: one clear column between neighbours, so
    // that every glyph ends within the scan's gap limit of 12 columns.
    int x = 0;
    for (const MetaGlyph& g : MetaGlyphs()) {
        const int w = g.width + 2;  // a ball-free column on each side spaces the letters
        const int left = x + 1;     // column x stays clear
        // The glyph's footprint: a dim baseline under the whole width, so
        // every column is opaque even where the letter has no balls.
        for (int q = 0; q < w; ++q)
            put(left + q, 15, 40, 60, 0);
        const auto balls = GlyphBalls(g);
        for (auto [bx, by] : balls) {
            // Isolated balls (dots, stroke ends) are a little stronger so
            // they do not shrink to specks.
            int neighbours = 0;
            for (auto [ox, oy] : balls)
                if ((ox != bx || oy != by) && std::abs(ox - bx) <= 2 && std::abs(oy - by) <= 2)
                    ++neighbours;
            const uint8_t blue = neighbours <= 2 ? 150 : (neighbours >= 8 ? 255 : 225);
            put(left + 1 + bx, 1 + by, 90, 200, blue);
        }
        x = left + w;
    }
    return rgba;
}

Image PreviewMetaLetters(const std::vector<uint8_t>& rgba)
{
    // Cut the strip the way the scroller does, then draw the ground-plane
    // outline of each letter's ball cloud: field = sum s / d^2 above the level.
    std::vector<uint32_t> texels((size_t)kMetaFontW * kMetaFontH);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = (uint32_t)rgba[i * 4 + 3] << 24 | rgba[i * 4] << 16 | rgba[i * 4 + 1] << 8 | rgba[i * 4 + 2];
    float widths[256], offsets[256];
    ScanGlyphStrip(texels.data(), kMetaFontW, kMetaFontH, kGlyphList, 12, widths, offsets);
    const int cell = 64, cols = 10;
    const int n = (int)std::strlen(kGlyphList);
    Image out(cols * cell, ((n + cols - 1) / cols) * cell, kDeep);
    const float scale = 2.0f / kMetaFontH;
    for (int i = 0; i < n; ++i) {
        const unsigned char c = kGlyphList[i];
        if (offsets[c] < 0)
            continue;
        const int x0 = (int)(offsets[c] * kMetaFontW), w = (int)widths[c];
        struct Ball { float x, z, s; };
        std::vector<Ball> balls;
        for (int r = 0; r < kMetaFontH; ++r)
            for (int q = 0; q < w; ++q) {
                const uint8_t* p = &rgba[((size_t)r * kMetaFontW + x0 + q) * 4];
                if (p[3] && p[2])
                    balls.push_back({(q * scale - 1) * 0.8f, (r * scale - 1) * 0.8f, 255.0f / p[2] * kBallLevel});
            }
        // A cell maps letter space x, z in [-1, 1] to 64 x 64 pixels.
        const int ox = (i % cols) * cell, oy = (i / cols) * cell;
        for (int py = 0; py < cell; ++py)
            for (int px = 0; px < cell; ++px) {
                const float lx = (px + 0.5f) / cell * 2 - 1, lz = (py + 0.5f) / cell * 2 - 1;
                float f = 0;
                for (const Ball& b : balls)
                    f += b.s / std::max((lx - b.x) * (lx - b.x) + (lz - b.z) * (lz - b.z), 0.0001f);
                if (f > kMetaLevel)
                    BlendPixel(out, ox + px, oy + py, kIce, std::min(1.0f, (f - kMetaLevel) / 40.0f + 0.5f));
            }
        for (const Ball& b : balls)
            BlendPixel(out, ox + (int)((b.x + 1) * 0.5f * cell), oy + (int)((b.z + 1) * 0.5f * cell), kRed, 1.0f);
    }
    return out;
}
