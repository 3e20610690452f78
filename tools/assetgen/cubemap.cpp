#include "cubemap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

void CubeFaceDirection(int face, float s, float t, float& x, float& y, float& z)
{
    switch (face) {
    case 0: x = 1, y = -t, z = -s; break;
    case 1: x = -1, y = -t, z = s; break;
    case 2: x = s, y = 1, z = t; break;
    case 3: x = s, y = -1, z = -t; break;
    case 4: x = s, y = -t, z = 1; break;
    default: x = -s, y = -t, z = -1; break;
    }
    const float l = std::sqrt(x * x + y * y + z * z);
    x /= l, y /= l, z /= l;
}

// Soft rectangular light panel around a direction: u/v half sizes in radians.
static float Panel(float x, float y, float z, float cx, float cy, float cz, float halfW, float halfH, float soft)
{
    const float l = std::sqrt(cx * cx + cy * cy + cz * cz);
    cx /= l, cy /= l, cz /= l;
    const float d = x * cx + y * cy + z * cz;
    if (d <= 0)
        return 0;
    // Local frame: right = up x centre, up = centre x right.
    float rx = cz, ry = 0, rz = -cx;  // (0,1,0) x c
    float rl = std::sqrt(rx * rx + rz * rz);
    if (rl < 1e-4f)
        rx = 1, rz = 0, rl = 1;
    rx /= rl, rz /= rl;
    const float ux = cy * rz - cz * ry, uy = cz * rx - cx * rz, uz = cx * ry - cy * rx;
    const float a = std::atan2(x * rx + y * ry + z * rz, d), b = std::atan2(x * ux + y * uy + z * uz, d);
    const float ea = std::clamp((halfW - std::fabs(a)) / soft + 0.5f, 0.0f, 1.0f);
    const float eb = std::clamp((halfH - std::fabs(b)) / soft + 0.5f, 0.0f, 1.0f);
    return ea * eb;
}

Rgba EnvironmentColour(float x, float y, float z)
{
    // Base: dark blue above, near black below, a bright thin horizon.
    const float up = std::clamp(y, -1.0f, 1.0f);
    float r = 0.015f + 0.03f * std::max(0.0f, up);
    float g = 0.025f + 0.05f * std::max(0.0f, up);
    float b = 0.045f + 0.09f * std::max(0.0f, up);
    const float horizon = std::exp(-y * y / (2 * 0.03f * 0.03f));
    r += 0.10f * horizon, g += 0.20f * horizon, b += 0.24f * horizon;
    const float haze = std::exp(-y * y / (2 * 0.25f * 0.25f));
    r += 0.02f * haze, g += 0.05f * haze, b += 0.08f * haze;

    // Key: a large cold softbox above and behind the viewer.
    const float key = Panel(x, y, z, 0.25f, 0.85f, 0.55f, 0.55f, 0.28f, 0.12f);
    r += 1.1f * key, g += 1.35f * key, b += 1.5f * key;
    // Two tall cyan strips on the left, a red strip on the right behind.
    const float stripL = Panel(x, y, z, -1.0f, 0.15f, 0.35f, 0.07f, 0.75f, 0.05f);
    const float stripL2 = Panel(x, y, z, -0.8f, 0.1f, -0.6f, 0.04f, 0.7f, 0.04f);
    r += 0.533f * (1.3f * stripL + 0.8f * stripL2), g += 0.890f * (1.3f * stripL + 0.8f * stripL2), b += 0.988f * (1.3f * stripL + 0.8f * stripL2);
    const float stripR = Panel(x, y, z, 1.0f, 0.05f, -0.3f, 0.05f, 0.8f, 0.05f);
    r += 1.2f * stripR, g += 0.12f * stripR, b += 0.14f * stripR;
    // Floor: a faint cold bounce straight below, no lines (on curved
    // surfaces any pattern down there reads as a wireframe).
    if (y < 0.0f) {
        const float bounce = std::pow(-y, 3.0f);
        r += 0.01f * bounce, g += 0.025f * bounce, b += 0.035f * bounce;
    }
    return {r, g, b, 1.0f};
}

Image MakeCubeFace(int face, int size)
{
    Image img(size, size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            // 2 x 2 supersampling keeps the panel edges clean.
            float acc[3] = {0, 0, 0};
            for (int sy = 0; sy < 2; ++sy)
                for (int sx = 0; sx < 2; ++sx) {
                    const float s = (i + 0.25f + 0.5f * sx) / size * 2 - 1, t = (j + 0.25f + 0.5f * sy) / size * 2 - 1;
                    float x, y, z;
                    CubeFaceDirection(face, s, t, x, y, z);
                    const Rgba c = EnvironmentColour(x, y, z);
                    acc[0] += c.r, acc[1] += c.g, acc[2] += c.b;
                }
            float* p = img.at(i, j);
            for (int k = 0; k < 3; ++k)
                p[k] = std::min(1.0f, acc[k] * 0.25f);
            p[3] = 1;
        }
    return img;
}

static void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back((uint8_t)(v >> (8 * i)));
}

std::vector<uint8_t> MakeCubeMapDds()
{
    const int size = 256;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'D', 'D', 'S', ' '});
    Put32(out, 124);                                     // header size
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000);  // caps, height, width, pixel format, mip count, linear size
    Put32(out, size);                                    // height
    Put32(out, size);                                    // width
    Put32(out, size * size / 2);                         // bytes of one face's top level
    Put32(out, 0);                                       // depth
    Put32(out, 1);                                       // one level
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);                                   // reserved
    Put32(out, 32);                                      // pixel format size
    Put32(out, 0x4);                                     // four-cc
    out.insert(out.end(), {'D', 'X', 'T', '1'});
    for (int i = 0; i < 5; ++i)
        Put32(out, 0);                                   // bit counts and masks
    Put32(out, 0x1000 | 0x8);                            // texture, complex
    Put32(out, 0x200 | 0xFC00);                          // cube map with all six faces
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);                                       // reserved
    for (int face = 0; face < 6; ++face) {
        const Image img = MakeCubeFace(face, size);
        for (int by = 0; by < size; by += 4)
            for (int bx = 0; bx < size; bx += 4) {
                uint8_t block[64];
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x) {
                        const float* p = img.at(bx + x, by + y);
                        for (int c = 0; c < 3; ++c)
                            block[(y * 4 + x) * 4 + c] = ToByte(p[c], bx + x, by + y);
                        block[(y * 4 + x) * 4 + 3] = 255;
                    }
                uint8_t dxt[8];
                stb_compress_dxt_block(dxt, block, 0, STB_DXT_HIGHQUAL);
                out.insert(out.end(), dxt, dxt + 8);
            }
    }
    return out;
}
