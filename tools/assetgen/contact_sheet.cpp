#include "contact_sheet.h"

#include <algorithm>
#include <cmath>

#include "draw.h"
#include "png_io.h"
#include "style.h"

Image PictureFromPng(const std::vector<uint8_t>& png)
{
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
    if (!DecodePngRgba(png, w, h, rgba))
        return Image(8, 8, kRed);
    Image img(w, h);
    for (size_t i = 0; i < (size_t)w * h; ++i) {
        const float a = rgba[i * 4 + 3] / 255.0f;
        for (int c = 0; c < 3; ++c)
            img.px[i * 4 + c] = rgba[i * 4 + c] / 255.0f * a;
        img.px[i * 4 + 3] = a;
    }
    return img;
}

static void Rgb565(uint16_t v, float* c)
{
    c[0] = ((v >> 11) & 31) / 31.0f;
    c[1] = ((v >> 5) & 63) / 63.0f;
    c[2] = (v & 31) / 31.0f;
}

Image PictureFromCubeDds(const std::vector<uint8_t>& dds)
{
    const int size = 256;
    // Cross: +Y on top, then -X +Z +X -Z, -Y at the bottom.
    static const int cellX[6] = {2, 0, 1, 1, 1, 3}, cellY[6] = {1, 1, 0, 2, 1, 1};
    Image out(size * 4, size * 3, {0, 0, 0, 0});
    if (dds.size() < 128 + 6 * size * size / 2)
        return out;
    const uint8_t* p = dds.data() + 128;
    for (int face = 0; face < 6; ++face)
        for (int by = 0; by < size / 4; ++by)
            for (int bx = 0; bx < size / 4; ++bx, p += 8) {
                const uint16_t c0 = p[0] | p[1] << 8, c1 = p[2] | p[3] << 8;
                float pal[4][3];
                Rgb565(c0, pal[0]);
                Rgb565(c1, pal[1]);
                for (int k = 0; k < 3; ++k) {
                    if (c0 > c1) {
                        pal[2][k] = (2 * pal[0][k] + pal[1][k]) / 3;
                        pal[3][k] = (pal[0][k] + 2 * pal[1][k]) / 3;
                    } else {
                        pal[2][k] = (pal[0][k] + pal[1][k]) / 2;
                        pal[3][k] = 0;
                    }
                }
                const uint32_t bits = p[4] | p[5] << 8 | p[6] << 16 | (uint32_t)p[7] << 24;
                for (int i = 0; i < 16; ++i) {
                    const int sel = (bits >> (2 * i)) & 3;
                    float* d = out.at(cellX[face] * size + bx * 4 + (i & 3), cellY[face] * size + by * 4 + (i >> 2));
                    for (int k = 0; k < 3; ++k)
                        d[k] = pal[sel][k];
                    d[3] = 1;
                }
            }
    return out;
}

Image LayoutContactSheet(const std::vector<SheetItem>& items, int sheetWidth)
{
    const int margin = 24, labelH = 26;
    struct Placed { const SheetItem* item; int x, y, w, h; };
    std::vector<Placed> placed;
    int x = margin, y = margin, rowH = 0;
    for (const SheetItem& it : items) {
        const int w = it.width;
        const int h = (int)std::lround((double)it.picture.h * w / it.picture.w);
        if (x + w + margin > sheetWidth && x > margin) {
            x = margin;
            y += rowH + labelH + margin;
            rowH = 0;
        }
        placed.push_back({&it, x, y + labelH, w, h});
        x += w + margin;
        rowH = std::max(rowH, h);
    }
    const int height = y + rowH + labelH + margin;
    Image sheet(sheetWidth, height, {0.07f, 0.075f, 0.085f, 1});
    for (const Placed& p : placed) {
        Label(sheet, p.item->label, (float)p.x, (float)p.y - 8, {0.8f, 0.9f, 0.95f, 1}, 12);
        if (p.item->checker)
            for (int yy = 0; yy < p.h; ++yy)
                for (int xx = 0; xx < p.w; ++xx) {
                    const bool odd = ((xx / 12) + (yy / 12)) & 1;
                    BlendPixel(sheet, p.x + xx, p.y + yy, odd ? Rgba{0.16f, 0.17f, 0.2f, 1} : Rgba{0.11f, 0.12f, 0.14f, 1}, 1);
                }
        const Image scaled = (p.w == p.item->picture.w) ? p.item->picture
                             : (p.w < p.item->picture.w) ? Resample(p.item->picture, p.w, p.h)
                                                         : [&] {
                                                               // Enlarge with nearest texels so small pictures stay readable.
                                                               Image big(p.w, p.h);
                                                               for (int yy = 0; yy < p.h; ++yy)
                                                                   for (int xx = 0; xx < p.w; ++xx) {
                                                                       const float* s = p.item->picture.at(xx * p.item->picture.w / p.w, yy * p.item->picture.h / p.h);
                                                                       std::copy(s, s + 4, big.at(xx, yy));
                                                                   }
                                                               return big;
                                                           }();
        Composite(sheet, scaled, p.x, p.y);
        StrokeRect(sheet, p.x - 0.5f, p.y - 0.5f, p.x + p.w + 0.5f, p.y + p.h + 0.5f, 1.0f, {0.3f, 0.35f, 0.4f, 1});
    }
    return sheet;
}
