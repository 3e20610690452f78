// Textures, render targets and cube maps.
#include <cstring>

#include "platform/gpu_internal.h"

namespace Gpu {

struct FormatInfo {
    GLenum internal, format, type;
    unsigned bytes;  // per texel
};

static bool LookUpFormat(Format format, FormatInfo* info) {
    switch (format) {
    // 0xAARRGGBB little-endian is the byte sequence B, G, R, A.
    case kFormatA8R8G8B8: *info = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4}; return true;
    case kFormatR32F: *info = {GL_R32F, GL_RED, GL_FLOAT, 4}; return true;
    case kFormatA32B32G32R32F: *info = {GL_RGBA32F, GL_RGBA, GL_FLOAT, 16}; return true;
    }
    return false;
}

static unsigned FullChain(unsigned w, unsigned h) {
    unsigned levels = 1;
    while (w > 1 || h > 1) {
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
        ++levels;
    }
    return levels;
}

Texture* CreateTexture(unsigned width, unsigned height, unsigned levels, Format format, bool renderTarget) {
    FormatInfo info;
    if (width == 0 || height == 0 || width > 16384 || height > 16384 || !LookUpFormat(format, &info)) return nullptr;
    unsigned chain = FullChain(width, height);
    if (renderTarget) levels = 1;
    if (levels == 0 || levels > chain) levels = chain;

    Texture* t = new Texture;
    t->width = width;
    t->height = height;
    t->levels = levels;
    t->format = format;
    t->renderTarget = renderTarget;
    glGenTextures(1, &t->name);
    BindTextureUnit(0, GL_TEXTURE_2D, t->name);
    if (levels > 1 && (epoxy_gl_version() >= 42 || epoxy_has_gl_extension("GL_ARB_texture_storage"))) {
        // The whole chain in one allocation. Level by level, Mesa keeps the
        // first level's storage apart until the chain is complete and then
        // copies it over, which costs a 2048 x 1024 picture 8 MB more.
        glTexStorage2D(GL_TEXTURE_2D, static_cast<GLsizei>(levels), info.internal, static_cast<GLsizei>(width),
                       static_cast<GLsizei>(height));
    } else {
        unsigned w = width, h = height;
        for (unsigned level = 0; level < levels; ++level) {
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), static_cast<GLint>(info.internal),
                         static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, info.format, info.type, nullptr);
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
    }
    // Only the levels that exist count, so a mip filter never makes the
    // texture incomplete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    if (format == kFormatR32F) {
        // Direct3D 9 reads R32F as (r, 1, 1, 1); GL would give (r, 0, 0, 1).
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G, GL_ONE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, GL_ONE);
    }

    if (renderTarget) {
        t->surface.owner = t;
        t->surface.width = width;
        t->surface.height = height;
        glGenRenderbuffers(1, &t->depth);
        glBindRenderbuffer(GL_RENDERBUFFER, t->depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast<GLsizei>(width),
                              static_cast<GLsizei>(height));
        glGenFramebuffers(1, &t->surface.framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, t->surface.framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t->name, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t->depth);
        bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        if (complete) {
            // A new target starts cleared, as the show's first frames expect,
            // all of it whatever the scissor.
            glClearColor(0, 0, 0, 0);
            glClearDepth(1.0);
            glDepthMask(GL_TRUE);
            glDisable(GL_SCISSOR_TEST);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            if (State().renderStates[kRsScissorTestEnable]) glEnable(GL_SCISSOR_TEST);
            glDepthMask(State().renderStates[kRsZWriteEnable] ? GL_TRUE : GL_FALSE);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, State().renderTarget ? State().renderTarget->framebuffer : 0);
        if (!complete) {
            ReleaseTexture(t);
            return nullptr;
        }
    }
    return t;
}

static void DestroyTexture(Texture* t) {
    ForgetTextureInEffects(t);
    ForgetTextureUnits(t->name);
    if (t->surface.framebuffer) glDeleteFramebuffers(1, &t->surface.framebuffer);
    if (t->depth) glDeleteRenderbuffers(1, &t->depth);
    if (t->name) glDeleteTextures(1, &t->name);
    delete t;
}

void ReleaseTexture(Texture* texture) {
    if (!texture) return;
    if (--texture->references <= 0) DestroyTexture(texture);
}

unsigned TextureWidth(const Texture* texture) { return texture ? texture->width : 0; }
unsigned TextureHeight(const Texture* texture) { return texture ? texture->height : 0; }
Format TextureFormat(const Texture* texture) { return texture ? texture->format : Format{}; }

uint8_t* LockTexture(Texture* texture, unsigned* pitch) {
    FormatInfo info;
    if (!texture || texture->renderTarget || !LookUpFormat(texture->format, &info)) return nullptr;
    if (texture->shadow.empty()) {
        // First lock: level 0 comes back from the GPU once; afterwards the
        // copy stays in step, since locking is the only way to change it.
        texture->shadow.resize(static_cast<size_t>(texture->width) * texture->height * info.bytes);
        BindTextureUnit(0, GL_TEXTURE_2D, texture->name);
        glGetTexImage(GL_TEXTURE_2D, 0, info.format, info.type, texture->shadow.data());
    }
    if (pitch) *pitch = texture->width * info.bytes;
    return texture->shadow.data();
}

bool UploadTexture(Texture* texture, const void* texels) {
    FormatInfo info;
    if (!texture || !texels || texture->renderTarget || !LookUpFormat(texture->format, &info)) return false;
    // A copy an earlier lock made must stay in step with the GPU's.
    if (!texture->shadow.empty()) std::memcpy(texture->shadow.data(), texels, texture->shadow.size());
    BindTextureUnit(0, GL_TEXTURE_2D, texture->name);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(texture->width), static_cast<GLsizei>(texture->height),
                    info.format, info.type, texels);
    if (texture->levels > 1) glGenerateMipmap(GL_TEXTURE_2D);
    return true;
}

bool ReadTexture(Texture* texture, void* texels) {
    FormatInfo info;
    if (!texture || !texels || texture->renderTarget || !LookUpFormat(texture->format, &info)) return false;
    if (!texture->shadow.empty()) {
        std::memcpy(texels, texture->shadow.data(), texture->shadow.size());
        return true;
    }
    BindTextureUnit(0, GL_TEXTURE_2D, texture->name);
    glGetTexImage(GL_TEXTURE_2D, 0, info.format, info.type, texels);
    return true;
}

void UnlockTexture(Texture* texture) {
    FormatInfo info;
    if (!texture || texture->shadow.empty() || !LookUpFormat(texture->format, &info)) return;
    BindTextureUnit(0, GL_TEXTURE_2D, texture->name);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(texture->width), static_cast<GLsizei>(texture->height),
                    info.format, info.type, texture->shadow.data());
    if (texture->levels > 1) glGenerateMipmap(GL_TEXTURE_2D);
}

CubeTexture* CreateCubeTexture(unsigned size, const uint32_t* const faces[6]) {
    if (size == 0 || size > 16384 || !faces) return nullptr;
    for (int i = 0; i < 6; ++i)
        if (!faces[i]) return nullptr;
    CubeTexture* cube = new CubeTexture;
    glGenTextures(1, &cube->name);
    BindTextureUnit(0, GL_TEXTURE_CUBE_MAP, cube->name);
    // Direct3D 9 and GL pick faces and face coordinates the same way, and a
    // face's first row is its top in both, so the faces go up as they are.
    for (int i = 0; i < 6; ++i) {
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i), 0, GL_RGBA8, static_cast<GLsizei>(size),
                     static_cast<GLsizei>(size), 0, GL_BGRA, GL_UNSIGNED_BYTE, faces[i]);
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, 0);
    return cube;
}

void ReleaseCubeTexture(CubeTexture* cube) {
    if (!cube) return;
    ForgetTextureInEffects(cube);
    ForgetTextureUnits(cube->name);
    glDeleteTextures(1, &cube->name);
    delete cube;
}

}  // namespace Gpu
