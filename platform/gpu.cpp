// The device: back buffer, render targets, render states, clears, present.
#include "platform/gpu.h"

#include <algorithm>

#include "platform/gpu_internal.h"
#include "platform/window.h"

namespace Gpu {

// The back buffer lives in a texture so that, like every other target, it is
// stored top row first; Present flips it into the window's bottom-up buffer.
struct BackBuffer {
    GLuint colour = 0;
    GLuint depth = 0;
    Surface surface;
};

static BackBuffer s_back;
static int s_shaderMajor = 0;
static int s_vertexTextureUnits = 0;
static DeviceState s_state;
static GLuint s_vertexArray = 0;

DeviceState& State() { return s_state; }

static void ApplyRenderState(uint32_t state);

// Direct3D 9's defaults for a device with an automatic depth buffer, put
// into effect.
static void ResetRenderStates() {
    for (size_t i = 0; i < kRenderStateCount; ++i) {
        s_state.renderStates[kRenderStates[i].state] = kRenderStates[i].defaultValue;
        ApplyRenderState(kRenderStates[i].state);
    }
}

// llvmpipe compiles the shader that makes mip levels on its first use (some
// 85 ms here), and the first picture the loading screen uploads would wait
// for it in a frame. Making the levels of a tiny texture now moves that
// compile to start-up. Its shape is the pictures' (power-of-two sides,
// A8R8G8B8), as the compiled variant depends on them.
static void PrepareMipGeneration() {
    const uint32_t texels[4 * 4] = {};
    Texture* t = CreateTexture(4, 4, 0, kFormatA8R8G8B8, false);
    UploadTexture(t, texels);
    ReleaseTexture(t);
}

bool CreateDevice(int width, int height, const char** error) {
    if (epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 is not available";
        return false;
    }
    // Depth 0..1, as Direct3D 9 has it. The origin stays GL's lower-left:
    // every vertex stage negates y instead, so row 0 of each target is its
    // top (as in an uploaded image) and ties on edges go the Direct3D way
    // (top and left edges inclusive), which the upper-left clip origin would
    // turn round on Mesa. Without clip control depth would be -1..1: the
    // effects cannot run as designed, which the shader check reports.
    if (epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control")) {
        glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
        s_shaderMajor = 3;
    } else {
        s_shaderMajor = 2;
    }

    GLint units = 0;
    glGetIntegerv(GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS, &units);
    s_vertexTextureUnits = units;

    glGenTextures(1, &s_back.colour);
    glBindTexture(GL_TEXTURE_2D, s_back.colour);
    // X8R8G8B8, like a windowed Direct3D back buffer: no alpha is stored,
    // destination alpha reads 1 and captures come out opaque.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffers(1, &s_back.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, s_back.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &s_back.surface.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, s_back.surface.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, s_back.colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, s_back.depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        if (error) *error = "the back buffer cannot be created";
        DestroyDevice();
        return false;
    }
    s_back.surface.width = static_cast<unsigned>(width);
    s_back.surface.height = static_cast<unsigned>(height);

    glGenVertexArrays(1, &s_vertexArray);
    glBindVertexArray(s_vertexArray);
    glEnable(GL_PROGRAM_POINT_SIZE);  // point sprites are sized by the vertex stage
    // Sprite coordinates start at row 0's side, the top, as Direct3D's do.
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    CreateDrawStream();

    s_state = DeviceState{};
    s_state.renderTarget = &s_back.surface;
    glViewport(0, 0, width, height);
    s_state.scissor = {0, 0, width, height};
    ResetRenderStates();
    // The frame never clears the back buffer's depth; it starts at the far
    // plane, so depth-tested quads drawn onto it always pass.
    Clear(kClearTarget | kClearZBuffer, 0, 1.0f);
    PrepareMipGeneration();
    return true;
}

void DestroyDevice() {
    DestroyEffects();
    DestroyDrawStream();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (s_vertexArray) glDeleteVertexArrays(1, &s_vertexArray);
    if (s_back.surface.framebuffer) glDeleteFramebuffers(1, &s_back.surface.framebuffer);
    if (s_back.depth) glDeleteRenderbuffers(1, &s_back.depth);
    if (s_back.colour) glDeleteTextures(1, &s_back.colour);
    s_vertexArray = 0;
    s_back = BackBuffer{};
    s_state = DeviceState{};
}

int PixelShaderMajor() { return s_shaderMajor; }
int VertexTextureUnits() { return s_vertexTextureUnits; }
int BackBufferWidth() { return static_cast<int>(s_back.surface.width); }
int BackBufferHeight() { return static_cast<int>(s_back.surface.height); }

void Clear(unsigned flags, uint32_t colour, float depth, const ClearRect* rect) {
    GLbitfield bits = 0;
    if (flags & kClearTarget) {
        glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f, (colour & 0xFF) / 255.0f,
                     ((colour >> 24) & 0xFF) / 255.0f);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & kClearZBuffer) {
        // A depth clear must not depend on ZWRITEENABLE (GL's depth mask).
        glDepthMask(GL_TRUE);
        glClearDepth(depth);
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    // GL's clears obey the scissor: it covers the rectangle, or nothing.
    const bool scissored = s_state.renderStates[kRsScissorTestEnable] != 0;
    if (rect) {
        if (rect->x1 <= rect->x0 || rect->y1 <= rect->y0) bits = 0;
        glEnable(GL_SCISSOR_TEST);
        glScissor(rect->x0, rect->y0, rect->x1 - rect->x0, rect->y1 - rect->y0);
    } else if (scissored) {
        glDisable(GL_SCISSOR_TEST);
    }
    if (bits) glClear(bits);
    if (rect || scissored) ApplyRenderState(kRsScissorTestEnable);
    if (flags & kClearZBuffer) glDepthMask(s_state.renderStates[kRsZWriteEnable] ? GL_TRUE : GL_FALSE);
}

void SetScissorRect(const PixelRect& rect) {
    s_state.scissor = rect;
    if (s_state.renderStates[kRsScissorTestEnable]) ApplyRenderState(kRsScissorTestEnable);
}

// The whole of render target 0.
static void ResetScissorRect() {
    const Surface* t = s_state.renderTarget;
    SetScissorRect({0, 0, t ? static_cast<int>(t->width) : 0, t ? static_cast<int>(t->height) : 0});
}

void Present() {
    // Without a screen nothing shows the window: captures read the back
    // buffer itself, so the copy into the window is skipped.
    if (!Platform::IsOffscreen()) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, s_back.surface.framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        // Row 0 of the back buffer is the top; the window's row 0 is the bottom.
        int w = BackBufferWidth(), h = BackBufferHeight();
        // The copy is the whole picture, whatever the scissor of the draws.
        glDisable(GL_SCISSOR_TEST);
        glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        ApplyRenderState(kRsScissorTestEnable);
    }
    Platform::SwapWindow();
    glBindFramebuffer(GL_FRAMEBUFFER, s_state.renderTarget ? s_state.renderTarget->framebuffer : 0);
}

void CopySurface(const Surface* from, int dx, int dy) {
    const Surface* to = s_state.renderTarget;
    if (!from || !to || from == to) return;
    // The source rectangle whose copy lands inside the target.
    const int x0 = std::max(0, -dx), y0 = std::max(0, -dy);
    const int x1 = std::min(static_cast<int>(from->width), static_cast<int>(to->width) - dx);
    const int y1 = std::min(static_cast<int>(from->height), static_cast<int>(to->height) - dy);
    if (x1 <= x0 || y1 <= y0) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from->framebuffer);
    glDisable(GL_SCISSOR_TEST);
    // Rows count from the top in both: each target stores row 0 first.
    glBlitFramebuffer(x0, y0, x1, y1, x0 + dx, y0 + dy, x1 + dx, y1 + dy, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    ApplyRenderState(kRsScissorTestEnable);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, to->framebuffer);
}

void Finish() { glFinish(); }

static void ReadSurface(const Surface* surface, GLenum type, void* rgba) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, surface->framebuffer);
    glReadPixels(0, 0, static_cast<GLsizei>(surface->width), static_cast<GLsizei>(surface->height), GL_RGBA, type,
                 rgba);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s_state.renderTarget->framebuffer);
}

void ReadBackBuffer(uint8_t* rgba) { ReadSurface(&s_back.surface, GL_UNSIGNED_BYTE, rgba); }
void ReadRenderTarget(uint8_t* rgba) { ReadSurface(s_state.renderTarget, GL_UNSIGNED_BYTE, rgba); }
// A float colour buffer is read without clamping (GL_CLAMP_READ_COLOR's
// default clamps only fixed-point buffers).
void ReadRenderTargetFloats(float* rgba) { ReadSurface(s_state.renderTarget, GL_FLOAT, rgba); }

// ---- Render targets ----------------------------------------------------

Surface* GetSurfaceLevel(Texture* texture) {
    if (!texture || !texture->renderTarget) return nullptr;
    ++texture->references;
    return &texture->surface;
}

Surface* GetRenderTarget() {
    AddRef(s_state.renderTarget);
    return s_state.renderTarget;
}

void SetRenderTarget(Surface* surface) {
    if (!surface || surface == s_state.renderTarget) return;
    AddRef(surface);
    Surface* old = s_state.renderTarget;
    s_state.renderTarget = surface;
    glBindFramebuffer(GL_FRAMEBUFFER, surface->framebuffer);
    glViewport(0, 0, static_cast<GLsizei>(surface->width), static_cast<GLsizei>(surface->height));
    ResetScissorRect();
    Release(old);
}

// A surface shares its texture's reference count, as in Direct3D 9; the
// back buffer belongs to the device and is never freed by a release.
void AddRef(Surface* surface) {
    if (surface && surface->owner) ++surface->owner->references;
}

void Release(Surface* surface) {
    if (surface && surface->owner) ReleaseTexture(surface->owner);
}

unsigned SurfaceWidth(const Surface* surface) { return surface ? surface->width : 0; }
unsigned SurfaceHeight(const Surface* surface) { return surface ? surface->height : 0; }

// ---- Render states -----------------------------------------------------

static GLenum BlendFactor(uint32_t v) {
    switch (v) {
    case kBlendZero: return GL_ZERO;
    case kBlendOne: return GL_ONE;
    case kBlendSrcColor: return GL_SRC_COLOR;
    case kBlendInvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case kBlendSrcAlpha: return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case kBlendDestAlpha: return GL_DST_ALPHA;
    case kBlendInvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case kBlendDestColor: return GL_DST_COLOR;
    case kBlendInvDestColor: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

static GLenum CompareFunction(uint32_t v) {
    switch (v) {
    case kCmpNever: return GL_NEVER;
    case kCmpLess: return GL_LESS;
    case kCmpEqual: return GL_EQUAL;
    case kCmpGreater: return GL_GREATER;
    case kCmpNotEqual: return GL_NOTEQUAL;
    case kCmpGreaterEqual: return GL_GEQUAL;
    case kCmpAlways: return GL_ALWAYS;
    default: return GL_LEQUAL;
    }
}

static GLenum BlendEquation(uint32_t v) {
    switch (v) {
    case kBlendOpSubtract: return GL_FUNC_SUBTRACT;
    case kBlendOpRevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
    case kBlendOpMin: return GL_MIN;
    case kBlendOpMax: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

static void ApplyRenderState(uint32_t state) {
    const uint32_t* rs = s_state.renderStates;
    switch (state) {
    case kRsZEnable:
        if (rs[kRsZEnable])
            glEnable(GL_DEPTH_TEST);
        else
            glDisable(GL_DEPTH_TEST);
        break;
    case kRsZWriteEnable: glDepthMask(rs[kRsZWriteEnable] ? GL_TRUE : GL_FALSE); break;
    case kRsZFunc: glDepthFunc(CompareFunction(rs[kRsZFunc])); break;
    case kRsAlphaBlendEnable:
        if (rs[kRsAlphaBlendEnable])
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
        break;
    case kRsSrcBlend:
    case kRsDestBlend: glBlendFunc(BlendFactor(rs[kRsSrcBlend]), BlendFactor(rs[kRsDestBlend])); break;
    case kRsBlendOp: glBlendEquation(BlendEquation(rs[kRsBlendOp])); break;
    case kRsCullMode:
        // Direct3D judges winding as seen on screen (y down); GL judges it
        // in its window space, whose y runs the other way (the vertex stages
        // turn y round), so a clockwise triangle on screen is GL's
        // counter-clockwise. Culling CW keeps GL's clockwise ones.
        if (rs[kRsCullMode] == kCullCW || rs[kRsCullMode] == kCullCCW) {
            glEnable(GL_CULL_FACE);
            glFrontFace(rs[kRsCullMode] == kCullCW ? GL_CW : GL_CCW);
            glCullFace(GL_BACK);
        } else {
            glDisable(GL_CULL_FACE);
        }
        break;
    case kRsScissorTestEnable:
        if (rs[kRsScissorTestEnable]) {
            // Rows count from the top in both: each target stores row 0 first.
            const PixelRect& r = s_state.scissor;
            glEnable(GL_SCISSOR_TEST);
            glScissor(r.x0, r.y0, r.x1 > r.x0 ? r.x1 - r.x0 : 0, r.y1 > r.y0 ? r.y1 - r.y0 : 0);
        } else {
            glDisable(GL_SCISSOR_TEST);
        }
        break;
    default: break;  // alpha test is applied per draw; lighting and point sprites need nothing
    }
}

static bool KnownState(uint32_t state) { return FindRenderState(state) != nullptr; }

void SetRenderState(RenderState state, uint32_t value) {
    if (!KnownState(state)) return;
    if (s_state.renderStates[state] == value) return;
    s_state.renderStates[state] = value;
    ApplyRenderState(state);
}

uint32_t GetRenderState(RenderState state) { return KnownState(state) ? s_state.renderStates[state] : 0; }

}  // namespace Gpu
