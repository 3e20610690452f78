#pragma once
// Shared pieces of the show's look: the dark backdrop, the group's vane
// mark, glows and the 2048 x 1024 screen canvas.
#include <string>
#include <vector>

#include "image.h"
#include "text.h"

// Near-black blue backdrop with a faint grid, soft light, grain and vignette.
void Backdrop(Image& img, uint32_t seed, float gridAlpha = 0.035f);
// The Tavorin vane: a thin ring with curved blades around a hub.
void DrawVaneMark(Image& img, float cx, float cy, float r, Rgba c, float lineWidth = 1.5f);
// Blurred copy of everything drawn by `paint` onto a transparent layer,
// added as light (bloom-like halo around bright marks and titles).
template <typename Paint>
void WithGlow(Image& img, float sigma, float gain, Paint paint)
{
    Image layer(img.w, img.h);
    paint(layer);
    Image glow = layer;
    GaussianBlur(glow, sigma);
    Composite(img, layer, 0, 0);
    AddImage(img, glow, gain);
}
// Small HUD label: monospaced capitals with generous tracking.
void Label(Image& img, const std::string& text, float x, float y, Rgba c, float size = 12, float align = 0);
// Places the 1280 x 720 content in the top-left of a black 2048 x 1024 canvas.
Image ScreenCanvas(const Image& content);
Rgba Scale(Rgba c, float k);
Rgba WithAlpha(Rgba c, float a);
