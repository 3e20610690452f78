#include "hud_overlays.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "draw.h"
#include "style.h"
#include "text.h"

static const Rgba kLine = {0.533f, 0.890f, 0.988f, 0.75f};
static const Rgba kFaint = {0.533f, 0.890f, 0.988f, 0.32f};
static const Rgba kText = {0.80f, 0.95f, 1.0f, 0.85f};

static void DarkEdges(Image& img, float strength)
{
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float dx = (x + 0.5f) / img.w * 2 - 1, dy = (y + 0.5f) / img.h * 2 - 1;
            const float d = std::sqrt(dx * dx * 0.7f + dy * dy * 0.9f);
            float t = std::clamp((d - 0.55f) / 0.7f, 0.0f, 1.0f);
            BlendPixel(img, x, y, {0, 0, 0, 1}, strength * t * t);
        }
}

static void Crosshair(Image& img, float cx, float cy, float r, Rgba c)
{
    FillRect(img, cx - r, cy - 0.75f, cx - r * 0.3f, cy + 0.75f, c);
    FillRect(img, cx + r * 0.3f, cy - 0.75f, cx + r, cy + 0.75f, c);
    FillRect(img, cx - 0.75f, cy - r, cx + 0.75f, cy - r * 0.3f, c);
    FillRect(img, cx - 0.75f, cy + r * 0.3f, cx + 0.75f, cy + r, c);
}

static void DataBlock(Image& img, float x, float y, const char* const* lines, int n, float align = 0)
{
    for (int i = 0; i < n; ++i)
        Label(img, lines[i], x, y + i * 22.0f, i == 0 ? kLine : kText, 14, align);
}

static void Common(Image& img, const char* title, const char* code)
{
    DarkEdges(img, 0.6f);
    CornerBrackets(img, 36, 32, 1244, 688, 40, 2.0f, kLine);
    Label(img, title, 60, 70, kText, 15);
    FillRect(img, 60, 80, 300, 81.5f, kFaint);
    FillRect(img, 60, 79, 84, 82.5f, kRed);
    Label(img, code, 1220, 70, kFaint, 14, 1.0f);
    Label(img, "TAVORIN", 1220, 664, kFaint, 14, 1.0f);
    // A heading ruler along the top with a caret at the centre.
    RulerH(img, 460, 820, 36, 12, 5, 9, 1, kFaint);
    Line(img, 634, 58, 640, 50, 1.5f, kLine);
    Line(img, 646, 58, 640, 50, 1.5f, kLine);
}

static void Overlay1(Image& img)
{
    Common(img, "SCAN 01 / SURFACE", "LMV-0285");
    Crosshair(img, 640, 360, 26, kLine);
    CornerBrackets(img, 420, 150, 860, 570, 24, 1.5f, kFaint);
    RulerV(img, 140, 580, 1180, 10, 5, 14, -1, kFaint);
    FillRect(img, 1150, 318, 1178, 321, kRed);
    Label(img, "+0.218", 1144, 326, kText, 14, 1.0f);
    const char* data[] = {"DEPTH FIELD", "RAYS     64", "OCCL   0.61", "REFL   0.50"};
    DataBlock(img, 60, 560, data, 4);
    RulerH(img, 420, 860, 600, 11, 4, 10, 1, kFaint);
}

static void Overlay2(Image& img)
{
    Common(img, "FIELD SAMPLER", "LMV-0120");
    const float cx = 640, cy = 360;
    Arc(img, cx, cy, 230, 1.5f, -2.9f, -1.9f, kLine);
    Arc(img, cx, cy, 230, 1.5f, -1.2f, -0.2f, kLine);
    Arc(img, cx, cy, 230, 1.5f, 0.2f, 1.2f, kLine);
    Arc(img, cx, cy, 230, 1.5f, 1.9f, 2.9f, kLine);
    Arc(img, cx, cy, 244, 4.0f, -0.9f, -0.5f, kRed);
    for (int i = 0; i < 72; ++i) {
        const float a = i * 6.2831853f / 72;
        const float r0 = (i % 6 == 0) ? 252 : 258;
        Line(img, cx + std::cos(a) * r0, cy + std::sin(a) * r0, cx + std::cos(a) * 264, cy + std::sin(a) * 264, 1.2f, kFaint);
    }
    Crosshair(img, cx, cy, 14, kLine);
    // A quiet spectrum of thin bars along the bottom.
    for (int i = 0; i < 48; ++i) {
        const float h = 6 + 40 * std::pow(std::fabs(std::sin(i * 0.37f) * std::cos(i * 0.11f)), 1.5f);
        FillRect(img, 60 + i * 8.0f, 640 - h, 63 + i * 8.0f, 640, i == 9 ? kRed : kFaint);
    }
    const char* data[] = {"VOXELS  32768", "LEVEL   0.200", "BLOBS      64"};
    DataBlock(img, 1220, 560, data, 3, 1.0f);
}

static void Overlay3(Image& img)
{
    Common(img, "TRACK / LOCK", "LMV-0121");
    // Faint dot lattice over the whole frame.
    for (int y = 120; y <= 600; y += 40)
        for (int x = 100; x <= 1180; x += 40)
            Disc(img, (float)x, (float)y, 1.1f, {0.533f, 0.890f, 0.988f, 0.28f});
    // A target box, off centre, with leader line and tag.
    StrokeRect(img, 700, 210, 900, 410, 1.5f, kLine);
    CornerBrackets(img, 690, 200, 910, 420, 16, 2.5f, kLine);
    Line(img, 900, 210, 980, 150, 1.2f, kLine);
    FillRect(img, 980, 138, 1130, 162, {0.95f, 0.12f, 0.16f, 0.85f});
    Label(img, "LOCK 0.97", 990, 156, {1, 1, 1, 0.95f}, 14);
    Crosshair(img, 800, 310, 18, kLine);
    const char* data[] = {"AXIS   Y", "TURN   1.00 RAD", "EASE   COSINE"};
    DataBlock(img, 60, 560, data, 3);
}

static void Overlay4(Image& img)
{
    DarkEdges(img, 0.5f);
    // Letterbox bands with a timecode.
    GradientV(img, 0, 92, {0, 0, 0, 0.75f}, {0, 0, 0, 0.0f});
    GradientV(img, 628, 720, {0, 0, 0, 0.0f}, {0, 0, 0, 0.75f});
    FillRect(img, 60, 92, 1220, 93.5f, kFaint);
    FillRect(img, 60, 627, 1220, 628.5f, kFaint);
    RulerH(img, 60, 1220, 628, 20, 5, 12, 1, kFaint);
    Label(img, "SURFACE 04", 60, 70, kText, 15);
    Label(img, "00:02:13:51", 1220, 70, kText, 15, 1.0f);
    Disc(img, 1220 - 150, 65, 5, kRed);
    Label(img, "REC", 1220 - 138, 70, {0.95f, 0.12f, 0.16f, 0.95f}, 14);
    Crosshair(img, 640, 360, 34, kFaint);
    Ring(img, 640, 360, 6, 1.5f, kLine);
    // A soft scan bar across the frame, with its centre line.
    for (int y = 380; y < 480; ++y) {
        const float t = std::exp(-std::pow((y - 430) / 22.0f, 2.0f));
        FillRect(img, 60, (float)y, 1220, y + 1.0f, {0.533f, 0.890f, 0.988f, 0.09f * t});
    }
    FillRect(img, 60, 430, 1220, 431, {0.533f, 0.890f, 0.988f, 0.4f});
    FillRect(img, 60, 426, 64, 435, kRed);
    // A trace in the lower left.
    float px = 60, py = 590;
    for (int i = 1; i <= 120; ++i) {
        const float x = 60 + i * 2.5f;
        const float y = 590 - 14 * std::sin(i * 0.21f) * std::exp(-std::pow((i - 60) / 34.0f, 2.0f)) - 3 * std::sin(i * 1.3f);
        Line(img, px, py, x, y, 1.3f, kLine);
        px = x, py = y;
    }
    Label(img, "TAVORIN / LUMIVANE", 60, 664, kFaint, 14);
    Label(img, "F 1.4   ISO 800", 1220, 664, kFaint, 14, 1.0f);
}

Image MakeHudOverlay(int index)
{
    Image img(1280, 720);
    switch (index) {
    case 1: Overlay1(img); break;
    case 2: Overlay2(img); break;
    case 3: Overlay3(img); break;
    default: Overlay4(img); break;
    }
    return Resample(img, 1024, 512);
}
