#include "draw.h"

#include <algorithm>
#include <cmath>

static float Overlap(float a0, float a1, float b0, float b1)
{
    return std::max(0.0f, std::min(a1, b1) - std::max(a0, b0));
}

void FillRect(Image& img, float x0, float y0, float x1, float y1, Rgba c)
{
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    for (int y = std::max(0, (int)std::floor(y0)); y < std::min(img.h, (int)std::ceil(y1)); ++y) {
        const float cy = Overlap((float)y, y + 1.0f, y0, y1);
        for (int x = std::max(0, (int)std::floor(x0)); x < std::min(img.w, (int)std::ceil(x1)); ++x)
            BlendPixel(img, x, y, c, cy * Overlap((float)x, x + 1.0f, x0, x1));
    }
}

void StrokeRect(Image& img, float x0, float y0, float x1, float y1, float width, Rgba c)
{
    const float h = width * 0.5f;
    FillRect(img, x0 - h, y0 - h, x1 + h, y0 + h, c);
    FillRect(img, x0 - h, y1 - h, x1 + h, y1 + h, c);
    FillRect(img, x0 - h, y0 + h, x0 + h, y1 - h, c);
    FillRect(img, x1 - h, y0 + h, x1 + h, y1 - h, c);
}

void Line(Image& img, float x0, float y0, float x1, float y1, float width, Rgba c)
{
    const float r = width * 0.5f;
    const int minX = std::max(0, (int)std::floor(std::min(x0, x1) - r - 1));
    const int maxX = std::min(img.w - 1, (int)std::ceil(std::max(x0, x1) + r + 1));
    const int minY = std::max(0, (int)std::floor(std::min(y0, y1) - r - 1));
    const int maxY = std::min(img.h - 1, (int)std::ceil(std::max(y0, y1) + r + 1));
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
            const float ex = px - t * dx, ey = py - t * dy;
            const float d = std::sqrt(ex * ex + ey * ey);
            // Lines thinner than a pixel fade instead of breaking up.
            const float cov = std::clamp(r + 0.5f - d, 0.0f, 1.0f) * std::min(1.0f, width);
            BlendPixel(img, x, y, c, cov);
        }
}

void Disc(Image& img, float cx, float cy, float r, Rgba c)
{
    for (int y = std::max(0, (int)(cy - r - 2)); y < std::min(img.h, (int)(cy + r + 2)); ++y)
        for (int x = std::max(0, (int)(cx - r - 2)); x < std::min(img.w, (int)(cx + r + 2)); ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            BlendPixel(img, x, y, c, std::clamp(r + 0.5f - d, 0.0f, 1.0f));
        }
}

void Arc(Image& img, float cx, float cy, float r, float width, float a0, float a1, Rgba c)
{
    const float h = width * 0.5f;
    const float twoPi = 6.2831853f;
    for (int y = std::max(0, (int)(cy - r - h - 2)); y < std::min(img.h, (int)(cy + r + h + 2)); ++y)
        for (int x = std::max(0, (int)(cx - r - h - 2)); x < std::min(img.w, (int)(cx + r + h + 2)); ++x) {
            const float px = x + 0.5f - cx, py = y + 0.5f - cy;
            const float d = std::hypot(px, py);
            float cov = std::clamp(h + 0.5f - std::fabs(d - r), 0.0f, 1.0f) * std::min(1.0f, width);
            if (cov <= 0)
                continue;
            if (a1 - a0 < twoPi) {
                float a = std::atan2(py, px);
                while (a < a0) a += twoPi;
                while (a >= a0 + twoPi) a -= twoPi;
                // Soft ends, about half a pixel at this radius.
                const float edge = 0.5f / std::max(r, 1.0f);
                const float inA = std::clamp((a - a0) / edge + 0.5f, 0.0f, 1.0f) * std::clamp((a1 - a) / edge + 0.5f, 0.0f, 1.0f);
                cov *= inA;
            }
            BlendPixel(img, x, y, c, cov);
        }
}

void Ring(Image& img, float cx, float cy, float r, float width, Rgba c)
{
    Arc(img, cx, cy, r, width, 0.0f, 6.2831853f, c);
}

void CornerBrackets(Image& img, float x0, float y0, float x1, float y1, float len, float width, Rgba c)
{
    FillRect(img, x0, y0, x0 + len, y0 + width, c);
    FillRect(img, x0, y0 + width, x0 + width, y0 + len, c);
    FillRect(img, x1 - len, y0, x1, y0 + width, c);
    FillRect(img, x1 - width, y0 + width, x1, y0 + len, c);
    FillRect(img, x0, y1 - width, x0 + len, y1, c);
    FillRect(img, x0, y1 - len, x0 + width, y1 - width, c);
    FillRect(img, x1 - len, y1 - width, x1, y1, c);
    FillRect(img, x1 - width, y1 - len, x1, y1 - width, c);
}

void RulerH(Image& img, float x0, float x1, float y, float step, int major, float len, int dir, Rgba c)
{
    int i = 0;
    for (float x = x0; x <= x1 + 0.01f; x += step, ++i) {
        const float l = (i % major == 0) ? len : len * 0.45f;
        FillRect(img, x, y, x + 1, y + l * dir, c);
    }
}

void RulerV(Image& img, float y0, float y1, float x, float step, int major, float len, int dir, Rgba c)
{
    int i = 0;
    for (float y = y0; y <= y1 + 0.01f; y += step, ++i) {
        const float l = (i % major == 0) ? len : len * 0.45f;
        FillRect(img, x, y, x + l * dir, y + 1, c);
    }
}

void GradientV(Image& img, float y0, float y1, Rgba top, Rgba bottom)
{
    for (int y = std::max(0, (int)y0); y < std::min(img.h, (int)std::ceil(y1)); ++y) {
        const float t = std::clamp((y + 0.5f - y0) / (y1 - y0), 0.0f, 1.0f);
        const Rgba c = {top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                        top.b + (bottom.b - top.b) * t, top.a + (bottom.a - top.a) * t};
        for (int x = 0; x < img.w; ++x)
            BlendPixel(img, x, y, c, 1.0f);
    }
}

void GlowSpot(Image& img, float cx, float cy, float sigma, Rgba c, float gain)
{
    const float r = sigma * 3.5f;
    for (int y = std::max(0, (int)(cy - r)); y < std::min(img.h, (int)(cy + r + 1)); ++y)
        for (int x = std::max(0, (int)(cx - r)); x < std::min(img.w, (int)(cx + r + 1)); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            AddPixel(img, x, y, c, gain * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma)));
        }
}
