// Immediate drawing: screen quads in the 1280x720 layout space (solid,
// gradient, textured, a texture window, rotated), quads in pixels with any
// effect or as the fade overlay, and 3D line segments. Each call builds its
// vertices on the stack, sets its own states and technique on the built-in
// 2D effect and draws at once, so calls are independent of each other.
//
// Quads leave z-writes off, culling off and blending on; lines leave depth,
// z-writes, alpha test and blending on. Depth and alpha testing keep their
// settings for quads (a quad or triangle that the depth test would pass
// everywhere is drawn without it, for the same pixels).
#pragma once
#include <cstdint>

#include "core/maths.h"

namespace Gpu {
class Effect;
}
struct Texture;

namespace Renderer2D {

// Declaration 2: pre-transformed position (pixels, z = 0, rhw = 1) and colour.
struct Vertex2D {
    float x, y, z, rhw;
    uint32_t colour;
};

// Declaration 6: pre-transformed position, colour, texture coordinate.
struct TexturedVertex2D {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};

// Layout space: (x, y) lands on pixel (x * scaleX, y * scaleY) of the target.
void DrawQuad(const Vector2* position, const Vector2* size, uint32_t colour);
void DrawQuadGradient(const Vector2* position, const Vector2* size, uint32_t topLeft, uint32_t topRight,
                      uint32_t bottomLeft, uint32_t bottomRight);
// Textured quads sit half a pixel right and down of the solid ones. A null
// texture (or one whose creation failed) draws nothing.
void DrawTexturedQuad(Texture* texture, const Vector2* position, const Vector2* size, uint32_t tint);
// DrawTexturedQuad with the same pixels for less work when the picture has a
// wholly transparent middle (found once per texture, see clear_interior.h):
// the pixels that see only clear texels are left out with the scissor. The
// picture must not change once drawn this way. Leaves the scissor test off.
void DrawTexturedQuadSparse(Texture* texture, const Vector2* position, const Vector2* size, uint32_t tint);
// The texture window (uvOrigin, uvSize) stretched over the quad; the
// texture repeats outside 0..1.
void DrawTexturedQuadPart(Texture* texture, const Vector2* position, const Vector2* size, const Vector2* uvOrigin,
                          const Vector2* uvSize, uint32_t tint);
// Turned by `angle` radians about its centre, clockwise on screen. At angle
// 0 the texture itself shows a quarter turn clockwise.
void DrawRotatedQuad(Texture* texture, const Vector2* position, const Vector2* size, float angle, uint32_t tint);

// Pixel space. Runs the caller's effect with its current technique and
// parameters; changes no render state.
void DrawEffectQuad(Gpu::Effect* effect, const Vector2* position, const Vector2* size, uint32_t colour);
// An untextured quad of the colour (only its alpha and black matter).
void DrawFullscreenFade(const Vector2* position, const Vector2* size, uint32_t colour);
// One triangle in pixels (no half-pixel offset is added), untextured or
// textured, with the same states and effect as the quads.
void DrawTriangle(const Vertex2D vertices[3]);
void DrawTexturedTriangle(Texture* texture, const TexturedVertex2D vertices[3]);
// A list of textured triangles (three vertices each) that put every texel's
// centre on a pixel's centre, so the texture is read without filtering; the
// quads' states. Vertices are in pixels, as given.
void DrawTexelTriangles(Texture* texture, const TexturedVertex2D* vertices, unsigned triangles);

// World space, seen by the active camera. Each segment is drawn at once.
void DrawLine(const Vector3* start, const Vector3* end, uint32_t colour);
// Draws what is queued (nothing below two vertices).
void FlushLines();

}  // namespace Renderer2D
