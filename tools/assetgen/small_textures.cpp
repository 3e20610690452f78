#include "small_textures.h"

#include <algorithm>
#include <cmath>

#include "draw.h"
#include "style.h"
#include "text.h"

Image MakeLaserFlare()
{
    // A hot core, a wide soft halo, a long horizontal streak and thin rays.
    // It is drawn rotated at random every frame, so the rays sparkle.
    Image img(256, 256);
    const float c = 128.0f;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float dx = x + 0.5f - c, dy = y + 0.5f - c;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float ang = std::atan2(dy, dx);
            float v = std::exp(-r * r / (2 * 5.0f * 5.0f));                        // core
            v += 0.45f * std::exp(-r / 26.0f);                                     // halo
            v += 0.12f * std::exp(-r / 70.0f);                                     // wide veil
            v += 0.55f * std::exp(-std::fabs(dy) / 1.6f) * std::exp(-std::fabs(dx) / 60.0f);  // streak
            v += 0.25f * std::exp(-std::fabs(dx) / 1.2f) * std::exp(-std::fabs(dy) / 34.0f);  // cross streak
            // Eight thin rays of uneven length.
            const float rays = std::pow(std::fabs(std::cos(ang * 4.0f + 0.4f)), 60.0f);
            v += 0.35f * rays * std::exp(-r / (30.0f + 20.0f * std::fabs(std::sin(ang * 3.0f))));
            // A faint ring, like a lens ghost.
            v += 0.06f * std::exp(-std::pow((r - 84.0f) / 2.5f, 2.0f));
            // Fade to nothing before the texture's edge.
            const float edge = std::clamp((124.0f - r) / 28.0f, 0.0f, 1.0f);
            v = std::min(1.0f, v) * edge * edge;
            float* p = img.at(x, y);
            // Slightly cold towards the rim; the core stays white.
            const float cool = std::clamp(r / 60.0f, 0.0f, 1.0f);
            p[0] = v * (1.0f - 0.25f * cool);
            p[1] = v * (1.0f - 0.05f * cool);
            p[2] = v;
            p[3] = v;
        }
    return img;
}

Image MakeLaserSmoke()
{
    // Tileable wisps, stretched along u (the beam's length) and warped so
    // the fan shows drifting streaks of light rather than blotches.
    Image img(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float u = x / 256.0f, v = y / 256.0f;
            const float warp = Fbm(u * 4, v * 4, 3, 0x5a0e, 4, 4) * 0.35f;
            float n = Fbm(u * 2, (v + warp) * 12, 5, 0x5a1f, 2, 12) * 0.5f + 0.5f;
            const float fine = Fbm(u * 8, v * 32, 3, 0x77a1, 8, 32) * 0.5f + 0.5f;
            n = 0.7f * n + 0.3f * fine;
            float g = std::clamp((n - 0.28f) * 1.7f, 0.0f, 1.0f);
            g = 0.16f + 0.84f * g * g;
            float* p = img.at(x, y);
            p[0] = p[1] = p[2] = g;
            p[3] = 1.0f;
        }
    return img;
}

Image MakeLoadingPip()
{
    // Pips are 32 x 32 and placed 30 apart: the lit cell stays inside the
    // middle 20 x 20, its glow fades before the overlap.
    Image img(32, 32);
    const float c = 16.0f;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const float dx = std::fabs(x + 0.5f - c), dy = std::fabs(y + 0.5f - c);
            const float box = std::max(dx, dy);
            const float glow = 0.55f * std::exp(-std::max(0.0f, box - 8.0f) / 2.2f) * std::clamp((15.0f - box) / 2.0f, 0.0f, 1.0f);
            AddPixel(img, x, y, kCyan, glow);
        }
    for (int y = 7; y < 25; ++y) {
        const float t = (y - 7.0f) / 18.0f;
        FillRect(img, 7, (float)y, 25, y + 1.0f, {0.36f + 0.4f * (1 - t), 0.70f + 0.28f * (1 - t), 0.86f + 0.14f * (1 - t), 1.0f});
    }
    StrokeRect(img, 7.5f, 7.5f, 24.5f, 24.5f, 1.0f, kIce);
    FillRect(img, 9, 9, 23, 11, {1, 1, 1, 0.55f});  // a glint along the top
    return img;
}

Image MakeFunText()
{
    // One turn of the cylinder: big group name, the vane mark and a small
    // two-line tag, between thin rails. Tiles horizontally.
    Image img(1024, 256, {0.02f, 0.02f, 0.02f, 1});
    FillRect(img, 0, 0, 1024, 9, {0.30f, 0.30f, 0.30f, 1});  // cap band
    FillRect(img, 0, 247, 1024, 256, {0.30f, 0.30f, 0.30f, 1});
    FillRect(img, 0, 18, 1024, 20, kWhite);
    FillRect(img, 0, 236, 1024, 238, kWhite);
    for (int x = 0; x < 1024; x += 16) {
        FillRect(img, (float)x, 24, x + 2.0f, (x % 64 == 0) ? 36.0f : 30.0f, {1, 1, 1, 0.7f});
        FillRect(img, (float)x, (x % 64 == 0) ? 220.0f : 226.0f, x + 2.0f, 232, {1, 1, 1, 0.7f});
    }
    TextStyle big;
    big.font = kSansBold;
    big.size = 128;
    big.tracking = 4;
    DrawText(img, big, "TAVORIN", 36, 174, kWhite);
    const float w = MeasureText(big, "TAVORIN");
    DrawVaneMark(img, 36 + w + 62, 128, 42, kWhite, 3.0f);
    TextStyle tag;
    tag.font = kSansBold;
    tag.size = 28;
    tag.tracking = 4;
    const float tx = 36 + w + 126;
    DrawText(img, tag, "LUMIVANE", tx, 120, kWhite);
    DrawText(img, tag, "Z.O.P.A.", tx, 160, {1, 1, 1, 0.75f});
    return img;
}

void MakeGrid(std::vector<uint8_t>& indices, std::vector<uint8_t>& palette)
{
    // Intensity field of one 2 x 2 unit tile: bright major lines at the tile
    // edge, a medium line at the half, faint quarter lines, and small cross
    // marks at the quarter intersections. Line profiles are smooth (a few
    // pixels wide), so the grid stays crisp at grazing angles and fades
    // evenly as the mip chain shrinks it.
    const int n = 512;
    indices.assign((size_t)n * n, 0);
    auto profile = [n](float p, float period, float sigma) {
        float d = std::fmod(p, period);
        d = std::min(d, period - d);
        (void)n;
        return std::exp(-d * d / (2 * sigma * sigma));
    };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            float v = 0.035f + 0.02f * (Fbm(px / 64.0f, py / 64.0f, 3, 0x6d1d, 8, 8) * 0.5f + 0.5f);
            const float major = std::max(profile(px, 512, 2.2f), profile(py, 512, 2.2f));
            const float half = std::max(profile(px, 256, 1.4f), profile(py, 256, 1.4f));
            const float quarter = std::max(profile(px, 64, 0.9f), profile(py, 64, 0.9f));
            v = std::max(v, 0.95f * major);
            v = std::max(v, 0.55f * half);
            v = std::max(v, 0.22f * quarter);
            // Cross marks: short bright arms at every 128-pixel intersection.
            const float cx = std::fmod(px + 64, 128) - 64, cy = std::fmod(py + 64, 128) - 64;
            const float arm = 9.0f;
            if ((std::fabs(cx) < arm && std::fabs(cy) < 1.6f) || (std::fabs(cy) < arm && std::fabs(cx) < 1.6f))
                v = std::max(v, 0.75f);
            indices[(size_t)y * n + x] = (uint8_t)std::clamp((int)std::lround(v * 255), 0, 255);
        }
    // Palette: black, through deep blue and the laser cyan, to white.
    palette.resize(256 * 3);
    for (int i = 0; i < 256; ++i) {
        const float t = i / 255.0f;
        float r, g, b;
        if (t < 0.5f) {
            const float k = t / 0.5f;
            r = kCyan.r * k * 0.55f;
            g = kCyan.g * k * 0.75f;
            b = 0.05f + (kCyan.b - 0.05f) * k;
        } else {
            const float k = (t - 0.5f) / 0.5f;
            r = kCyan.r * 0.55f + (1 - kCyan.r * 0.55f) * k * k;
            g = kCyan.g * 0.75f + (1 - kCyan.g * 0.75f) * k * k;
            b = kCyan.b + (1 - kCyan.b) * k;
        }
        if (i == 0)
            r = g = b = 0;
        palette[i * 3 + 0] = (uint8_t)std::lround(std::clamp(r, 0.0f, 1.0f) * 255);
        palette[i * 3 + 1] = (uint8_t)std::lround(std::clamp(g, 0.0f, 1.0f) * 255);
        palette[i * 3 + 2] = (uint8_t)std::lround(std::clamp(b, 0.0f, 1.0f) * 255);
    }
}
