#include "style.h"

#include <algorithm>
#include <cmath>

#include "draw.h"

Rgba Scale(Rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
Rgba WithAlpha(Rgba c, float a) { return {c.r, c.g, c.b, a}; }

void Backdrop(Image& img, uint32_t seed, float gridAlpha)
{
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            // A cold pool of light above the centre, falling off into black.
            const float dx = (x - img.w * 0.5f) / img.w, dy = (y - img.h * 0.38f) / img.h;
            const float pool = std::exp(-(dx * dx * 3.0f + dy * dy * 5.0f));
            const float n = Fbm(x / 260.0f, y / 260.0f, 4, seed) * 0.5f + 0.5f;
            float* p = img.at(x, y);
            const float k = 0.55f + 0.9f * pool * (0.75f + 0.5f * n);
            p[0] = kDeep.r * k;
            p[1] = kDeep.g * k * 1.05f;
            p[2] = kDeep.b * k * 1.1f + 0.012f * pool;
            p[3] = 1.0f;
        }
    // Fine grid, every 40 pixels, brighter each 5th line.
    const Rgba grid = WithAlpha(kCyan, gridAlpha);
    for (int x = 0; x < img.w; x += 40)
        FillRect(img, (float)x, 0, x + 1.0f, (float)img.h, WithAlpha(kCyan, (x % 200 == 0) ? gridAlpha * 1.8f : gridAlpha));
    for (int y = 0; y < img.h; y += 40)
        FillRect(img, 0, (float)y, (float)img.w, y + 1.0f, WithAlpha(kCyan, (y % 200 == 0) ? gridAlpha * 1.8f : gridAlpha));
    (void)grid;
    Vignette(img, 0.85f, 0.3f, 1.25f);
    Grain(img, 0.018f, seed ^ 0x51ed27u);
}

void DrawVaneMark(Image& img, float cx, float cy, float r, Rgba c, float lw)
{
    Ring(img, cx, cy, r, lw, c);
    Ring(img, cx, cy, r * 0.22f, lw, c);
    Disc(img, cx, cy, r * 0.07f, c);
    // Five blades: each a curved stroke from the hub to the rim.
    const int blades = 5;
    for (int b = 0; b < blades; ++b) {
        const float a0 = b * 6.2831853f / blades - 1.5707963f;
        float px = cx + std::cos(a0) * r * 0.22f, py = cy + std::sin(a0) * r * 0.22f;
        const int steps = 24;
        for (int i = 1; i <= steps; ++i) {
            const float t = (float)i / steps;
            const float rr = r * (0.22f + 0.78f * t);
            const float a = a0 + 0.95f * t * t;  // the blade bends as it reaches out
            const float qx = cx + std::cos(a) * rr, qy = cy + std::sin(a) * rr;
            Line(img, px, py, qx, qy, lw * (1.0f + 0.6f * (1 - t)), c);
            px = qx;
            py = qy;
        }
    }
    // Four ticks outside the rim, like a sight.
    for (int k = 0; k < 4; ++k) {
        const float a = k * 1.5707963f;
        Line(img, cx + std::cos(a) * r * 1.08f, cy + std::sin(a) * r * 1.08f, cx + std::cos(a) * r * 1.2f,
             cy + std::sin(a) * r * 1.2f, lw, c);
    }
}

void Label(Image& img, const std::string& text, float x, float y, Rgba c, float size, float align)
{
    TextStyle s;
    s.font = kMono;
    s.size = size;
    s.tracking = size * 0.25f;
    DrawText(img, s, text, x, y, c, align);
}

Image ScreenCanvas(const Image& content)
{
    Image out(2048, 1024, {0, 0, 0, 1});
    Composite(out, content, 0, 0);
    return out;
}
