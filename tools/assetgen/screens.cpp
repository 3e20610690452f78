#include "screens.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "draw.h"
#include "style.h"
#include "text.h"

Image MakeMissionScreen()
{
    Image img(1280, 720);
    Backdrop(img, 0x3101u);

    // Header: group name and a thin rule with a red lead.
    Label(img, "TAVORIN", 96, 96, Scale(kIce, 0.9f), 13);
    FillRect(img, 96, 112, 1184, 113, WithAlpha(kCyan, 0.25f));
    FillRect(img, 96, 111, 136, 114, kRed);
    Label(img, "TRANSMISSION 03 / OPENING STATEMENT", 1184, 96, WithAlpha(kCyan, 0.7f), 11, 1.0f);

    // The statement itself.
    TextStyle big;
    big.font = kSans;
    big.size = 54;
    big.tracking = 3;
    WithGlow(img, 10, 0.45f, [&](Image& layer) {
        DrawText(layer, big, "LIGHT IS A LANGUAGE.", 96, 300, kIce);
        DrawText(layer, big, "WE CAME TO SPEAK IT.", 96, 372, kIce);
    });
    FillRect(img, 96, 404, 99, 532, WithAlpha(kCyan, 0.9f));

    TextStyle body;
    body.font = kNarrow;
    body.size = 19;
    body.tracking = 2;
    const Rgba dim = WithAlpha(kIce, 0.72f);
    DrawText(img, body, "FOUR MINUTES OF LINES, LETTERS AND SURFACES,", 118, 432, dim);
    DrawText(img, body, "EVERY PIXEL COMPUTED WHILE YOU WATCH.", 118, 460, dim);
    DrawText(img, body, "NOTHING PAINTED. NOTHING BORROWED.", 118, 488, dim);
    DrawText(img, body, "MADE FOR Z.O.P.A.", 118, 524, WithAlpha(kCyan, 0.95f));

    // Right: the vane mark inside a sight of thin arcs.
    const float cx = 1000, cy = 380;
    WithGlow(img, 6, 0.8f, [&](Image& layer) { DrawVaneMark(layer, cx, cy, 92, WithAlpha(kCyan, 0.9f), 1.6f); });
    Arc(img, cx, cy, 150, 1.0f, -2.6f, -0.6f, WithAlpha(kCyan, 0.35f));
    Arc(img, cx, cy, 150, 1.0f, 0.55f, 2.55f, WithAlpha(kCyan, 0.35f));
    Arc(img, cx, cy, 166, 3.0f, -0.35f, 0.15f, kRed);
    for (int i = 0; i < 36; ++i) {
        const float a = i * 6.2831853f / 36;
        const float r0 = (i % 9 == 0) ? 176 : 180;
        Line(img, cx + std::cos(a) * r0, cy + std::sin(a) * r0, cx + std::cos(a) * 186, cy + std::sin(a) * 186, 1.0f,
             WithAlpha(kCyan, 0.45f));
    }
    Label(img, "SIGNAL  LOCKED", cx, cy + 230, WithAlpha(kCyan, 0.6f), 11, 0.5f);

    // Footer.
    FillRect(img, 96, 620, 1184, 621, WithAlpha(kCyan, 0.18f));
    Label(img, "LUMIVANE", 96, 644, WithAlpha(kIce, 0.55f), 11);
    Label(img, "01 / 03", 1184, 644, WithAlpha(kIce, 0.55f), 11, 1.0f);
    return img;
}

Image MakeLogoScreen()
{
    // The logo zooms from 0.75 to 1.25 about the centre: everything that
    // matters stays inside the middle 1024 x 576, and the edges fall to
    // black so the picture's border never shows while it is small.
    Image img(1280, 720);
    Backdrop(img, 0x1060u, 0.03f);
    const float cx = 640, cy = 360;

    // Horizontal light line through the title, fading at both ends.
    for (int x = 0; x < 1280; ++x) {
        const float t = std::exp(-std::pow((x - cx) / 420.0f, 2.0f));
        BlendPixel(img, x, 420, kCyan, 0.55f * t);
        BlendPixel(img, x, 421, kCyan, 0.2f * t);
    }

    TextStyle title;
    title.font = kSans;
    title.size = 132;
    title.tracking = 22;
    WithGlow(img, 14, 0.7f, [&](Image& layer) {
        DrawText(layer, title, "LUMIVANE", cx, 392, kIce, 0.5f);
        DrawVaneMark(layer, cx, 206, 46, WithAlpha(kCyan, 0.95f), 1.4f);
    });
    // Red accent under the first letter, like a cursor.
    const float w = MeasureText(title, "LUMIVANE");
    FillRect(img, cx - w * 0.5f, 432, cx - w * 0.5f + 60, 435, kRed);

    Label(img, "T A V O R I N", cx, 470, WithAlpha(kIce, 0.85f), 15, 0.5f);
    Label(img, "A REAL-TIME PIECE FOR Z.O.P.A.", cx, 500, WithAlpha(kCyan, 0.6f), 11, 0.5f);

    // Corner sight marks of the inner frame.
    CornerBrackets(img, 200, 120, 1080, 600, 26, 1.0f, WithAlpha(kCyan, 0.35f));
    RulerH(img, 420, 860, 588, 10, 5, 8, -1, WithAlpha(kCyan, 0.3f));

    // Strong fall-off to black at the borders.
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float dx = (x + 0.5f - cx) / 640.0f, dy = (y + 0.5f - cy) / 360.0f;
            const float d = std::sqrt(dx * dx * 0.9f + dy * dy);
            float t = std::clamp((d - 0.75f) / 0.3f, 0.0f, 1.0f);
            t = t * t * (3 - 2 * t);
            float* p = img.at(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] *= 1.0f - t;
        }
    return img;
}

Image MakeEndScreen()
{
    Image img(1280, 720);
    Backdrop(img, 0xE7D5u);

    TextStyle title;
    title.font = kSans;
    title.size = 64;
    title.tracking = 10;
    WithGlow(img, 10, 0.5f, [&](Image& layer) {
        DrawText(layer, title, "LUMIVANE", 96, 150, kIce);
        DrawVaneMark(layer, 1140, 128, 34, WithAlpha(kCyan, 0.9f), 1.3f);
    });
    FillRect(img, 96, 176, 1184, 177, WithAlpha(kCyan, 0.25f));
    FillRect(img, 96, 175, 156, 178, kRed);
    Label(img, "BY TAVORIN  /  RELEASED AT Z.O.P.A.", 96, 204, WithAlpha(kCyan, 0.75f), 12);

    // Credits column.
    TextStyle head;
    head.font = kMono;
    head.size = 12;
    head.tracking = 3;
    TextStyle name;
    name.font = kSans;
    name.size = 28;
    name.tracking = 2;
    struct Credit { const char* role; const char* who; };
    const Credit credits[] = {{"CODE", "VESKEL"}, {"GRAPHICS", "MIRAE"}, {"MUSIC", "TOLVAN"}, {"SHAPES + LIGHT", "ORIN KADE"}};
    float y = 276;
    for (const Credit& c : credits) {
        DrawText(img, head, c.role, 96, y, WithAlpha(kCyan, 0.8f));
        DrawText(img, name, c.who, 96, y + 34, kIce);
        y += 82;
    }

    // Greetings column: invented fellow groups.
    FillRect(img, 560, 252, 561, 590, WithAlpha(kCyan, 0.25f));
    DrawText(img, head, "GREETINGS", 600, 276, WithAlpha(kCyan, 0.8f));
    TextStyle greet;
    greet.font = kNarrow;
    greet.size = 22;
    greet.tracking = 2;
    const char* groups[] = {"VELLUM OCTET", "SOFT HAZARD",  "PALE ORBIT",     "GLASSWORKS NINE", "MIRROR ATLAS",
                            "SODIUM BLOOM", "QUIET ENGINE", "PAPER SATELLITE", "AMBER LATTICE",  "NORTHWARD SIGNAL",
                            "STATIC CHAPEL", "LOW TIDE COLLECTIVE"};
    for (int i = 0; i < 12; ++i) {
        const float gx = 600 + (i / 6) * 300, gy = 318 + (i % 6) * 44;
        FillRect(img, gx, gy - 14, gx + 6, gy - 8, i % 4 == 0 ? kRed : WithAlpha(kCyan, 0.8f));
        DrawText(img, greet, groups[i], gx + 18, gy, WithAlpha(kIce, 0.9f));
    }
    DrawText(img, greet, "AND EVERYONE AT Z.O.P.A.", 618, 590, WithAlpha(kCyan, 0.85f));

    FillRect(img, 96, 620, 1184, 621, WithAlpha(kCyan, 0.18f));
    Label(img, "THANK YOU FOR WATCHING", 96, 644, WithAlpha(kIce, 0.6f), 11);
    Label(img, "03 / 03", 1184, 644, WithAlpha(kIce, 0.55f), 11, 1.0f);
    return img;
}

Image MakeLoaderScreen()
{
    Image img(1280, 720);
    Backdrop(img, 0x10adu, 0.03f);
    // Everything is centred on the pip row, which sits right of the screen's middle.
    const float cx = kPipRowX + (kPipStep * (kPipCount - 1) + kPipSize) * 0.5f;

    WithGlow(img, 8, 0.7f, [&](Image& layer) { DrawVaneMark(layer, cx, 236, 58, WithAlpha(kCyan, 0.9f), 1.4f); });
    TextStyle title;
    title.font = kSans;
    title.size = 40;
    title.tracking = 14;
    DrawText(img, title, "LUMIVANE", cx, 350, kIce, 0.5f);

    // The pip track: a frame around the row, and a dim empty slot under
    // each pip position so the row reads as a gauge before it fills.
    const float x0 = kPipRowX, x1 = kPipRowX + kPipStep * (kPipCount - 1) + kPipSize;
    const float y0 = kPipRowY, y1 = kPipRowY + kPipSize;
    StrokeRect(img, x0 - 8.5f, y0 - 6.5f, x1 + 8.5f, y1 + 6.5f, 1.0f, WithAlpha(kCyan, 0.45f));
    for (int i = 0; i < kPipCount; ++i) {
        const float px = kPipRowX + kPipStep * i + kPipSize * 0.5f, py = kPipRowY + kPipSize * 0.5f;
        StrokeRect(img, px - 9.5f, py - 9.5f, px + 9.5f, py + 9.5f, 1.0f, WithAlpha(kCyan, 0.22f));
    }
    FillRect(img, x0 - 9, y0 - 7, x0 - 5, y1 + 7, kRed);
    Label(img, "LOADING", x0 - 8, y0 - 18, WithAlpha(kCyan, 0.8f), 11);
    Label(img, "35 OBJECTS", x1 + 8, y0 - 18, WithAlpha(kCyan, 0.5f), 11, 1.0f);
    RulerH(img, x0 - 8, x1 + 8, y1 + 14, 10, 6, 6, 1, WithAlpha(kCyan, 0.3f));

    Label(img, "TAVORIN", 96, 96, WithAlpha(kIce, 0.8f), 12);
    Label(img, "Z.O.P.A.", 1184, 96, WithAlpha(kIce, 0.6f), 12, 1.0f);
    Label(img, "PLEASE STAND BY", cx, 560, WithAlpha(kIce, 0.45f), 11, 0.5f);
    CornerBrackets(img, 80, 70, 1200, 650, 22, 1.0f, WithAlpha(kCyan, 0.3f));
    return img;
}

Image MakeScrollerOverlay()
{
    // Grey + alpha: colour is brightness only. Letterbox shading at the top
    // and bottom, thin rules, brackets and labels; the middle stays clear.
    Image img(1280, 720);
    for (int y = 0; y < 720; ++y) {
        const float d = std::min(y, 719 - y);
        const float a = 0.82f * std::pow(std::clamp(1.0f - d / 110.0f, 0.0f, 1.0f), 1.6f);
        for (int x = 0; x < 1280; ++x)
            BlendPixel(img, x, y, {0, 0, 0, 1}, a);
    }
    // Side shading, lighter.
    for (int x = 0; x < 1280; ++x) {
        const float d = std::min(x, 1279 - x);
        const float a = 0.5f * std::pow(std::clamp(1.0f - d / 90.0f, 0.0f, 1.0f), 2.0f);
        for (int y = 0; y < 720; ++y)
            BlendPixel(img, x, y, {0, 0, 0, 1}, a);
    }
    const Rgba line = {1, 1, 1, 0.55f};
    const Rgba faint = {1, 1, 1, 0.3f};
    FillRect(img, 64, 58, 560, 59, line);
    FillRect(img, 720, 58, 1216, 59, line);
    FillRect(img, 64, 661, 1216, 662, line);
    CornerBrackets(img, 40, 40, 1240, 680, 30, 1.5f, {1, 1, 1, 0.7f});
    RulerH(img, 64, 1216, 662, 16, 4, 10, 1, faint);
    RulerV(img, 120, 600, 40, 12, 5, 8, 1, faint);
    RulerV(img, 120, 600, 1239, 12, 5, 8, -1, faint);
    Label(img, "TAVORIN // LUMIVANE", 64, 44, {1, 1, 1, 0.85f}, 11);
    Label(img, "SCROLL  FIELD 48", 1216, 44, {1, 1, 1, 0.6f}, 11, 1.0f);
    Label(img, "Z.O.P.A.", 640, 700, {1, 1, 1, 0.55f}, 10, 0.5f);
    // A small centre sight high in the frame, and a pair of side carets.
    Line(img, 628, 58.5f, 652, 58.5f, 1, faint);
    Line(img, 640, 50, 640, 66, 1, line);
    Disc(img, 1216 - 4, 80, 3.5f, {1, 1, 1, 0.9f});
    Label(img, "LIVE", 1204, 84, {1, 1, 1, 0.7f}, 10, 1.0f);
    return img;
}
