// The GPU device: a small Direct3D 9-shaped layer over OpenGL 3.3 core.
//
// Conventions kept from Direct3D 9 so the show's numbers work unchanged:
// row 0 of every target and texture is the top row; depth runs 0..1; pixel
// centres lie on integer coordinates (a quad from -0.5 to w - 0.5 maps texels
// exactly onto pixels); matrices are row-major and multiply row vectors; the
// window is flipped once, when the back buffer is presented.
//
// Everything here runs on the main thread with the window's GL context
// current. No other module calls OpenGL.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/render_states.h"

struct Vector4;
struct Matrix;

namespace Gpu {

// Checks the current OpenGL context and creates the back buffer (a colour
// texture with depth, of the window's size). On failure `error` says why.
bool CreateDevice(int backBufferWidth, int backBufferHeight, const char** error);
// Frees the back buffer and the layer's own objects. Release textures,
// effects and declarations first; what is left dies with the GL context.
void DestroyDevice();

// The highest pixel-shader model the context can run the show's effects
// with: 3 when it has what they need.
int PixelShaderMajor();
// How many textures a vertex stage can read (0: vertex stages read none).
int VertexTextureUnits();

int BackBufferWidth();
int BackBufferHeight();

// Clear flags, as in Direct3D 9.
enum : unsigned { kClearTarget = 1, kClearZBuffer = 2 };
// Pixels x0..x1-1, y0..y1-1 of render target 0 (row 0 at the top).
struct PixelRect {
    int x0, y0, x1, y1;
};
using ClearRect = PixelRect;
// Clears render target 0 and/or its depth buffer, all of it or only the
// rectangle. Colour is 0xAARRGGBB. Clears obey nothing but their flags and
// rectangle (no write masks, no render states, no scissor).
void Clear(unsigned flags, uint32_t colour, float depth, const ClearRect* rect = nullptr);

// While the render state ScissorTestEnable is on, draws change only the
// pixels inside this rectangle. As in Direct3D 9, making a surface render
// target 0 resets it to the whole surface.
void SetScissorRect(const PixelRect& rect);

// Shows the back buffer in the window.
void Present();

// Waits until the GPU has done all the work given so far (for timing).
void Finish();

// Copies the back buffer into `rgba` (width x height x 4 bytes, R, G, B, A),
// top row first.
void ReadBackBuffer(uint8_t* rgba);
// The same for the current render target 0 (its width x height).
void ReadRenderTarget(uint8_t* rgba);
// Render target 0 as floats, four a pixel (R, G, B, A), top row first and
// unclamped: a float target's values outside 0..1 come back as they are.
void ReadRenderTargetFloats(float* rgba);

// ---- Formats and textures ----------------------------------------------

// Direct3D 9 format numbers.
enum Format : uint32_t { kFormatA8R8G8B8 = 21, kFormatR32F = 114, kFormatA32B32G32R32F = 116 };
class Texture;  // a 2D texture (managed or render target)
class Surface;  // level 0 of a render-target texture, or the back buffer
class CubeTexture;

// levels: 0 = full mip chain, 1 = one level. A render target always has one
// level and its own depth buffer, so every target can draw with depth.
// Null for a zero size or an unknown format.
Texture* CreateTexture(unsigned width, unsigned height, unsigned levels, Format format, bool renderTarget);
// Null is ignored. A texture lives on while a surface of it is referenced
// (for example while it is render target 0), as in Direct3D 9.
void ReleaseTexture(Texture* texture);
unsigned TextureWidth(const Texture* texture);  // level 0; 0 for null
unsigned TextureHeight(const Texture* texture);
Format TextureFormat(const Texture* texture);  // 0 for null
// Level 0 in Direct3D 9 memory layout, top row first. A8R8G8B8 texels are
// 32-bit 0xAARRGGBB little-endian (bytes B, G, R, A); R32F one float;
// A32B32G32R32F four floats R, G, B, A. *pitch receives bytes per row.
// Render targets cannot be locked: null.
uint8_t* LockTexture(Texture* texture, unsigned* pitch);
// Uploads level 0 and rebuilds the mip chain.
void UnlockTexture(Texture* texture);
// Replaces level 0 with `texels` (laid out as a lock gives them, rows
// packed) and rebuilds the mip chain, keeping no copy on the processor.
// False for a render target or null.
bool UploadTexture(Texture* texture, const void* texels);
// Copies level 0 into `texels` (width x height texels, laid out as a lock
// gives them) without keeping a copy. False for a render target or null.
bool ReadTexture(Texture* texture, void* texels);

// Cube map from six A8R8G8B8 faces of size x size, face order +X, -X, +Y,
// -Y, +Z, -Z, each top row first.
CubeTexture* CreateCubeTexture(unsigned size, const uint32_t* const faces[6]);
void ReleaseCubeTexture(CubeTexture* cube);

Surface* GetSurfaceLevel(Texture* renderTarget);  // +1 reference; null if not a render target
Surface* GetRenderTarget();                       // current render target 0, +1 reference
// Makes the surface render target 0 (the viewport becomes its size). Null is
// refused, as Direct3D 9 refuses it for target 0.
void SetRenderTarget(Surface* surface);
void AddRef(Surface* surface);
void Release(Surface* surface);  // null is ignored
unsigned SurfaceWidth(const Surface* surface);
unsigned SurfaceHeight(const Surface* surface);
// Copies `from` onto render target 0, moved dx, dy pixels right and down;
// what falls outside the target is left out. Pixel for pixel, without
// shading (the driver copies memory): no state, scissor or blending applies.
void CopySurface(const Surface* from, int dx, int dy);

// ---- States, declarations, drawing -------------------------------------

// Render states (numbers, values and defaults in platform/render_states.h).
// Unknown states are ignored (and read back as 0). LIGHTING is kept but has
// no effect: there is no fixed-function lighting.
void SetRenderState(RenderState state, uint32_t value);
uint32_t GetRenderState(RenderState state);

enum Primitive : uint32_t { kPointList = 1, kLineList = 2, kTriangleList = 4, kTriangleStrip = 5 };
enum class DeclType : uint8_t { Float2, Float3, Float4, Colour /* D3DCOLOR, bytes B, G, R, A */ };
enum class DeclUsage : uint8_t { Position, PositionT /* pre-transformed x, y, z, rhw */, Colour, Normal, TexCoord };
struct VertexElement {
    uint16_t offset;
    DeclType type;
    DeclUsage usage;
    uint8_t usageIndex;
};
class VertexDeclaration;
// Null for an empty or invalid list (more than 8 elements, texture
// coordinate index above 4).
VertexDeclaration* CreateVertexDeclaration(const VertexElement* elements, unsigned count);
void ReleaseVertexDeclaration(VertexDeclaration* declaration);
void SetVertexDeclaration(VertexDeclaration* declaration);

// User-pointer draws, streamed through one buffer (no allocation per call).
// They draw with the effect pass begun last (Effect::BeginPass); with no pass
// begun, or no declaration set, they draw nothing. A declaration with a
// pre-transformed position bypasses the pass's vertex shader, as on
// Direct3D 9: positions are pixels of render target 0.
void DrawPrimitiveUP(Primitive type, unsigned primitiveCount, const void* vertices, unsigned stride);
// 16-bit indices address vertices[minVertexIndex .. minVertexIndex + numVertices).
void DrawIndexedPrimitiveUP(Primitive type, unsigned minVertexIndex, unsigned numVertices, unsigned primitiveCount,
                            const uint16_t* indices, const void* vertices, unsigned stride);

// ---- Effects -----------------------------------------------------------

struct EffectData;

// An effect file: parameters, samplers, GLSL shaders and techniques of
// passes (the declarative format is described in platform/fx_parser.h).
// Setters take parameter names; a type that does not fit is ignored, and a
// name the file does not declare is ignored with one line on stderr (once
// per name), as is a technique name it does not have. Values set between BeginPass and a draw take effect at the draw.
class Effect {
public:
    bool SetTechnique(const char* name);  // false (and no change) if there is none of that name
    bool HasParameter(const char* name);  // for inputs only some files take
    // Begins the current technique: remembers the render states its passes
    // change (End puts them back) and returns the number of passes.
    unsigned Begin();
    void BeginPass(unsigned pass);  // applies the pass's states; draws now use its program
    void EndPass();
    void End();
    void SetFloat(const char* name, float v);
    // Fills the parameter from its first component on (a float2 takes 2, a
    // float3 g[64] takes up to 192); extra values are dropped.
    void SetFloatArray(const char* name, const float* v, unsigned count);
    void SetInt(const char* name, int v);
    void SetVector(const char* name, const Vector4& v);
    void SetMatrix(const char* name, const Matrix& m);  // row-major, row vectors
    void SetTexture(const char* name, Texture* t);      // null unbinds
    void SetTexture(const char* name, CubeTexture* t);
    // A float (or int) annotation of pass `pass` of the current technique.
    bool GetPassAnnotation(unsigned pass, const char* name, float* value);
    // The passes of the current technique, and whether pass `pass` sets
    // `state` itself (for a caller that must know what a pass changes).
    unsigned PassCount();
    bool PassSetsState(unsigned pass, RenderState state);

    EffectData* data = nullptr;  // owned; the layer's business
};
// Runs `draw` once inside every pass of the effect's current technique:
// Begin, then BeginPass / draw() / EndPass for each pass, then End.
template <typename Draw>
void ForEachPass(Effect* effect, Draw draw) {
    unsigned passes = effect->Begin();
    for (unsigned p = 0; p < passes; ++p) {
        effect->BeginPass(p);
        draw();
        effect->EndPass();
    }
    effect->End();
}

// Parses and compiles every pass once. A file that fails gives null and one
// line on stderr naming it and the first error.
Effect* CreateEffect(const char* source, size_t length, const char* name);
// The same without the line on stderr: the reason goes to `error`.
Effect* CompileEffect(const char* source, size_t length, const char* name, std::string* error);
void ReleaseEffect(Effect* effect);
// Gives `effect` the compiled contents of `replacement` and releases
// `replacement` with the old ones, so whoever holds `effect` draws with the
// new file from now on. Parameters of the same name, type and size keep the
// values the show set (the rest start from the new file's defaults), and so
// do bound textures; a technique of the same name stays selected. False (and
// nothing changes) while `effect` is begun.
bool ReplaceEffect(Effect* effect, Effect* replacement);

}  // namespace Gpu
