#include "render/renderer_2d.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "assets/texture.h"
#include "core/camera.h"
#include "platform/gpu.h"
#include "render/clear_interior.h"
#include "render/graphics_device.h"

namespace {

using Renderer2D::TexturedVertex2D;
using Renderer2D::Vertex2D;

// Declaration 1: world position and colour.
struct LineVertex {
    float x, y, z;
    uint32_t colour;
};

constexpr unsigned kLineCapacity = 8192;
LineVertex s_lines[kLineCapacity];
unsigned s_lineCount = 0;

struct Rect {
    float x0, y0, x1, y1;
};

// Layout units to pixels.
Rect LayoutRect(const Vector2* position, const Vector2* size) {
    const ViewValues& v = GraphicsDevice::View();
    float x0 = position->x * v.scaleX, y0 = position->y * v.scaleY;
    return {x0, y0, x0 + size->x * v.scaleX, y0 + size->y * v.scaleY};
}

// Runs every pass of the effect's current technique over the triangles: one
// strip (two triangles for a quad) or a list.
void DrawTriangles(Gpu::Effect* effect, const void* vertices, unsigned stride, unsigned triangles = 2,
                   Gpu::Primitive primitive = Gpu::kTriangleStrip) {
    Gpu::ForEachPass(effect, [&] { Gpu::DrawPrimitiveUP(primitive, triangles, vertices, stride); });
}

// Whether the depth test would pass every pixel of the draw: ALWAYS, or
// LESSEQUAL with every vertex at depth 0, which no stored depth is below.
// Such draws (the quads are all at depth 0) are made with the test off, for
// the same pixels: over the whole window the driver's test costs about 0.15
// of a copy pass.
bool DepthTestPassesAll(const void* vertices, unsigned stride, unsigned count) {
    const uint32_t func = Gpu::GetRenderState(Gpu::kRsZFunc);
    if (func == Gpu::kCmpAlways) return true;
    if (func != Gpu::kCmpLessEqual) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(vertices);
    for (unsigned i = 0; i < count; ++i) {
        float z;  // the third float of both 2D vertex layouts
        std::memcpy(&z, bytes + i * stride + 2 * sizeof(float), sizeof z);
        if (z != 0.0f) return false;
    }
    return true;
}

// The common steps of the layout-space quads.
void DrawWithEffect2D(int declaration, const char* technique, Texture* texture, const void* vertices, unsigned stride,
                      unsigned triangles = 2, Gpu::Primitive primitive = Gpu::kTriangleStrip) {
    Gpu::Effect* effect = GraphicsDevice::GetEffect2D();
    if (!effect) return;
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(declaration));
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 0);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    effect->SetTechnique(technique);
    if (declaration == kDeclScreenColourTex) effect->SetTexture("g_Texture", texture ? texture->texture : nullptr);
    effect->SetMatrix("g_OrthogonalMatrix", GraphicsDevice::GetOrthoMatrix());
    const unsigned count = primitive == Gpu::kTriangleList ? triangles * 3 : triangles + 2;
    const uint32_t zEnable = Gpu::GetRenderState(Gpu::kRsZEnable);
    if (zEnable && DepthTestPassesAll(vertices, stride, count)) Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    DrawTriangles(effect, vertices, stride, triangles, primitive);
    Gpu::SetRenderState(Gpu::kRsZEnable, zEnable);
}

// The textured quad's corners: half a pixel right and down, the texture's
// top-left at vertex 1.
void TexturedCorners(TexturedVertex2D v[4], const Rect& r, uint32_t colour, float ou, float ov, float su, float sv) {
    v[0] = {r.x0 + 0.5f, r.y1 + 0.5f, 0, 1, colour, ou, ov + sv};
    v[1] = {r.x0 + 0.5f, r.y0 + 0.5f, 0, 1, colour, ou, ov};
    v[2] = {r.x1 + 0.5f, r.y1 + 0.5f, 0, 1, colour, ou + su, ov + sv};
    v[3] = {r.x1 + 0.5f, r.y0 + 0.5f, 0, 1, colour, ou + su, ov};
}

bool Usable(const Texture* texture) { return texture && texture->texture; }

// The technique of an axis-aligned textured quad: one that shows at least a
// pixel per texel both ways (its own size or larger) never reaches the
// texture's smaller levels, since the level choice picks the first for any
// such scale, and can sample without that choice. One that shows each
// texel on exactly one pixel, the right way up and from a whole texel on,
// samples every pixel at a texel's centre, where filtering returns that
// texel: it is read without filtering, for the same bytes.
const char* TexturedTechnique(const Texture* texture, const Rect& r, float ou, float ov, float su, float sv) {
    const float texelsX = std::fabs(su) * static_cast<float>(texture->width);
    const float texelsY = std::fabs(sv) * static_cast<float>(texture->height);
    const float firstX = ou * static_cast<float>(texture->width), firstY = ov * static_cast<float>(texture->height);
    auto whole = [](float f) { return f == std::floor(f); };
    if (su > 0 && sv > 0 && r.x1 - r.x0 == texelsX && r.y1 - r.y0 == texelsY && whole(r.x0) && whole(r.y0) &&
        whole(firstX) && whole(firstY))
        return "PosColTex2DPoint";
    const bool magnified = std::fabs(r.x1 - r.x0) >= texelsX && std::fabs(r.y1 - r.y0) >= texelsY;
    return magnified ? "PosColTex2DLevel0" : "PosColTex2D";
}

// The pixels of the quad that sample only texels of `clear` (bilinear, so
// both texels either side of each sample point), as [x0, x1) x [y0, y1);
// empty when there are none. Pixel x samples texel coordinate
// (x + 0.5 - (r.x0 + 1)) * w / (r.x1 - r.x0) - 0.5: the corners sit half a
// pixel in and the layer moves them half a pixel more.
Gpu::PixelRect PixelsSeeingOnly(const Rect& r, unsigned w, unsigned h, const Gpu::PixelRect& clear) {
    // A 64th of a texel to spare for the rasteriser's rounding.
    constexpr float kSpare = 1.0f / 64.0f;
    auto span = [](float q0, float q1, unsigned texels, int c0, int c1, int* p0, int* p1) {
        const float pixelsPerTexel = (q1 - q0) / static_cast<float>(texels);
        *p0 = static_cast<int>(std::ceil((static_cast<float>(c0) + kSpare + 0.5f) * pixelsPerTexel + q0 + 0.5f));
        *p1 =
            static_cast<int>(std::floor((static_cast<float>(c1 - 1) - kSpare + 0.5f) * pixelsPerTexel + q0 + 0.5f)) + 1;
    };
    Gpu::PixelRect p;
    span(r.x0, r.x1, w, clear.x0, clear.x1, &p.x0, &p.x1);
    span(r.y0, r.y1, h, clear.y0, clear.y1, &p.y0, &p.y1);
    if (p.x1 <= p.x0 || p.y1 <= p.y0) p = {0, 0, 0, 0};
    return p;
}

}  // namespace

namespace Renderer2D {

void DrawQuad(const Vector2* position, const Vector2* size, uint32_t colour) {
    DrawQuadGradient(position, size, colour, colour, colour, colour);
}

void DrawQuadGradient(const Vector2* position, const Vector2* size, uint32_t topLeft, uint32_t topRight,
                      uint32_t bottomLeft, uint32_t bottomRight) {
    if (!position || !size) return;
    Rect r = LayoutRect(position, size);
    const Vertex2D v[4] = {
        {r.x0, r.y0, 0, 1, topLeft},
        {r.x1, r.y0, 0, 1, topRight},
        {r.x0, r.y1, 0, 1, bottomLeft},
        {r.x1, r.y1, 0, 1, bottomRight},
    };
    DrawWithEffect2D(kDeclScreenColour, "PosCol2D", nullptr, v, sizeof(Vertex2D));
}

void DrawTexturedQuad(Texture* texture, const Vector2* position, const Vector2* size, uint32_t tint) {
    if (!Usable(texture) || !position || !size) return;
    TexturedVertex2D v[4];
    const Rect r = LayoutRect(position, size);
    TexturedCorners(v, r, tint, 0, 0, 1, 1);
    DrawWithEffect2D(kDeclScreenColourTex, TexturedTechnique(texture, r, 0, 0, 1, 1), texture, v,
                     sizeof(TexturedVertex2D));
}

void DrawTexturedQuadSparse(Texture* texture, const Vector2* position, const Vector2* size, uint32_t tint) {
    if (!Usable(texture) || !position || !size) return;
    TexturedVertex2D v[4];
    const Rect r = LayoutRect(position, size);
    TexturedCorners(v, r, tint, 0, 0, 1, 1);
    const char* technique = TexturedTechnique(texture, r, 0, 0, 1, 1);
    Gpu::Surface* target = Gpu::GetRenderTarget();
    const int tw = static_cast<int>(Gpu::SurfaceWidth(target)), th = static_cast<int>(Gpu::SurfaceHeight(target));
    Gpu::Release(target);
    // Only a quad that is not minified samples the first level alone, where
    // the clear texels are known; it must also run the right way up. (An
    // unfiltered read sees no more texels than a filtered one.)
    Gpu::PixelRect hole{0, 0, 0, 0};
    const bool firstLevel =
        std::strcmp(technique, "PosColTex2DLevel0") == 0 || std::strcmp(technique, "PosColTex2DPoint") == 0;
    if (firstLevel && r.x1 > r.x0 && r.y1 > r.y0) {
        // The texels that land on the target, a texel to spare each side.
        const float sx = static_cast<float>(texture->width) / (r.x1 - r.x0);
        const float sy = static_cast<float>(texture->height) / (r.y1 - r.y0);
        auto texel = [](float t, unsigned n) { return std::clamp(static_cast<int>(t), 0, static_cast<int>(n)); };
        const Gpu::PixelRect window{texel((0.0f - r.x0) * sx - 1.0f, texture->width),
                                    texel((0.0f - r.y0) * sy - 1.0f, texture->height),
                                    texel(std::ceil((static_cast<float>(tw) - r.x0) * sx) + 1.0f, texture->width),
                                    texel(std::ceil((static_cast<float>(th) - r.y0) * sy) + 1.0f, texture->height)};
        Gpu::PixelRect clear;
        if (FindClearInterior(texture, window, &clear))
            hole = PixelsSeeingOnly(r, texture->width, texture->height, clear);
    }
    hole = {std::clamp(hole.x0, 0, tw), std::clamp(hole.y0, 0, th), std::clamp(hole.x1, 0, tw),
            std::clamp(hole.y1, 0, th)};
    // Below an eighth of the target the four draws around it cost more than they save.
    if (static_cast<long>(hole.x1 - hole.x0) * (hole.y1 - hole.y0) * 8 < static_cast<long>(tw) * th) {
        DrawWithEffect2D(kDeclScreenColourTex, technique, texture, v, sizeof(TexturedVertex2D));
        return;
    }
    // The same quad four times, each limited to one side of the hole, so
    // every pixel outside it is drawn exactly as by the whole quad.
    const Gpu::PixelRect sides[4] = {
        {0, 0, tw, hole.y0}, {0, hole.y1, tw, th}, {0, hole.y0, hole.x0, hole.y1}, {hole.x1, hole.y0, tw, hole.y1}};
    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 1);
    for (const Gpu::PixelRect& side : sides) {
        if (side.x1 <= side.x0 || side.y1 <= side.y0) continue;
        Gpu::SetScissorRect(side);
        DrawWithEffect2D(kDeclScreenColourTex, technique, texture, v, sizeof(TexturedVertex2D));
    }
    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 0);
}

void DrawTexturedQuadPart(Texture* texture, const Vector2* position, const Vector2* size, const Vector2* uvOrigin,
                          const Vector2* uvSize, uint32_t tint) {
    if (!Usable(texture) || !position || !size || !uvOrigin || !uvSize) return;
    TexturedVertex2D v[4];
    const Rect r = LayoutRect(position, size);
    TexturedCorners(v, r, tint, uvOrigin->x, uvOrigin->y, uvSize->x, uvSize->y);
    DrawWithEffect2D(kDeclScreenColourTex,
                     TexturedTechnique(texture, r, uvOrigin->x, uvOrigin->y, uvSize->x, uvSize->y), texture, v,
                     sizeof(TexturedVertex2D));
}

void DrawRotatedQuad(Texture* texture, const Vector2* position, const Vector2* size, float angle, uint32_t tint) {
    if (!Usable(texture) || !position || !size) return;
    const ViewValues& view = GraphicsDevice::View();
    float cx = (position->x + size->x * 0.5f) * view.scaleX;
    float cy = (position->y + size->y * 0.5f) * view.scaleY;
    float hx = size->x * view.scaleX * 0.5f, hy = size->y * view.scaleY * 0.5f;
    float c = std::cos(angle), s = std::sin(angle);
    // Corner offsets in strip order, and the texture corner each one shows.
    const float corners[4][4] = {{-hx, -hy, 0, 1}, {hx, -hy, 0, 0}, {-hx, hy, 1, 1}, {hx, hy, 1, 0}};
    TexturedVertex2D v[4];
    for (int i = 0; i < 4; ++i) {
        float dx = corners[i][0], dy = corners[i][1];
        v[i] = {cx + dx * c - dy * s + 0.5f, cy + dx * s + dy * c + 0.5f, 0, 1, tint, corners[i][2], corners[i][3]};
    }
    DrawWithEffect2D(kDeclScreenColourTex, "PosColTex2D", texture, v, sizeof(TexturedVertex2D));
}

void DrawEffectQuad(Gpu::Effect* effect, const Vector2* position, const Vector2* size, uint32_t colour) {
    if (!effect || !position || !size) return;
    Rect r{position->x, position->y, position->x + size->x, position->y + size->y};
    TexturedVertex2D v[4];
    TexturedCorners(v, r, colour, 0, 0, 1, 1);
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclScreenColourTex));
    DrawTriangles(effect, v, sizeof(TexturedVertex2D));
}

void DrawFullscreenFade(const Vector2* position, const Vector2* size, uint32_t colour) {
    if (!position || !size) return;
    // The textured quad's corners. Its texture would be none, which samples
    // as opaque black, so the result is black with the colour's alpha:
    // drawn here without the texture read, which costs a good part of a
    // full-window pass.
    float x0 = position->x + 0.5f, y0 = position->y + 0.5f;
    float x1 = x0 + size->x, y1 = y0 + size->y;
    uint32_t black = colour & 0xFF000000u;
    const Vertex2D v[4] = {{x0, y1, 0, 1, black}, {x0, y0, 0, 1, black}, {x1, y1, 0, 1, black}, {x1, y0, 0, 1, black}};
    DrawWithEffect2D(kDeclScreenColour, "PosCol2D", nullptr, v, sizeof(Vertex2D));
}

void DrawTriangle(const Vertex2D vertices[3]) {
    DrawWithEffect2D(kDeclScreenColour, "PosCol2D", nullptr, vertices, sizeof(Vertex2D), 1);
}

void DrawTexturedTriangle(Texture* texture, const TexturedVertex2D vertices[3]) {
    if (!Usable(texture)) return;
    DrawWithEffect2D(kDeclScreenColourTex, "PosColTex2D", texture, vertices, sizeof(TexturedVertex2D), 1);
}

void DrawTexelTriangles(Texture* texture, const TexturedVertex2D* vertices, unsigned triangles) {
    if (!Usable(texture) || !vertices || triangles == 0) return;
    DrawWithEffect2D(kDeclScreenColourTex, "PosColTex2DPoint", texture, vertices, sizeof(TexturedVertex2D), triangles,
                     Gpu::kTriangleList);
}

void DrawLine(const Vector3* start, const Vector3* end, uint32_t colour) {
    if (!start || !end) return;
    if (s_lineCount + 2 > kLineCapacity) FlushLines();
    s_lines[s_lineCount++] = {start->x, start->y, start->z, colour};
    s_lines[s_lineCount++] = {end->x, end->y, end->z, colour};
    FlushLines();
}

void FlushLines() {
    if (s_lineCount < 2) return;
    Gpu::Effect* effect = GraphicsDevice::GetEffect2D();
    if (effect) {
        Gpu::SetRenderState(Gpu::kRsZEnable, 1);
        Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
        Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
        Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
        Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosColour));
        effect->SetMatrix("g_mModel", kIdentity);
        // Lines are seen by the active camera (identity while there is none).
        const Camera* camera = GetActiveCamera();
        effect->SetMatrix("g_mModelView", camera ? camera->GetView() : kIdentity);
        effect->SetMatrix("g_mProj", camera ? camera->GetProjection() : kIdentity);
        effect->SetTechnique("RenderLine");
        Gpu::ForEachPass(effect,
                         [] { Gpu::DrawPrimitiveUP(Gpu::kLineList, s_lineCount / 2, s_lines, sizeof(LineVertex)); });
    }
    s_lineCount = 0;
}

}  // namespace Renderer2D
