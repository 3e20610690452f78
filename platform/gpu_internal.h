// What the platform/gpu_*.cpp files share: the objects behind the handles of
// platform/gpu.h and the device state. Not for use outside platform/.
#pragma once
#include <epoxy/gl.h>

#include <vector>

#include "platform/gpu.h"

namespace Gpu {

class Surface {
public:
    Texture* owner = nullptr;  // null for the back buffer
    GLuint framebuffer = 0;
    unsigned width = 0, height = 0;
};

class Texture {
public:
    GLuint name = 0;
    unsigned width = 0, height = 0, levels = 1;
    Format format = kFormatA8R8G8B8;
    bool renderTarget = false;
    int references = 1;           // the creator's, plus one per surface reference
    GLuint depth = 0;             // render targets: their depth buffer
    Surface surface;              // render targets: level 0
    std::vector<uint8_t> shadow;  // managed textures: level 0 as locked, made on first lock
};

class CubeTexture {
public:
    GLuint name = 0;
};

class VertexDeclaration {
public:
    VertexElement elements[8];
    unsigned count = 0;
    bool pretransformed = false;
};

// Attribute locations, by usage; every shader's vertex stage uses them.
enum : GLuint { kAttribPosition = 0, kAttribColour = 1, kAttribNormal = 2, kAttribTexCoord0 = 3 };
constexpr unsigned kMaxTexCoords = 5;
constexpr unsigned kMaxSamplers = 16;

// Device state every draw depends on.
struct DeviceState {
    uint32_t renderStates[256] = {};
    Surface* renderTarget = nullptr;  // referenced
    VertexDeclaration* declaration = nullptr;
    Effect* passEffect = nullptr;  // the pass begun last, until EndPass
    unsigned passIndex = 0;
    PixelRect scissor = {};  // SetScissorRect's, in effect while the state is on
};
DeviceState& State();

// The vertex stage used for pre-transformed positions (compiled once).
GLuint PassThroughVertexShader();

// Makes the current pass's program current with its parameters, samplers
// and the layer's own uniforms (target size, alpha test). False: nothing can
// be drawn.
bool PrepareEffectDraw(bool pretransformed);
// A texture is going away: every effect forgets it.
void ForgetTextureInEffects(const void* texture);
// Texture units remember what is bound to them.
void BindTextureUnit(unsigned unit, GLenum target, GLuint name);
void ForgetTextureUnits(GLuint name);
// Frees what the effects and the draw stream hold (device teardown).
void DestroyEffects();
void CreateDrawStream();
void DestroyDrawStream();
void DestroyTextures();

}  // namespace Gpu
