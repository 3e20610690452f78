#include "platform/gpu.h"

#include <epoxy/gl.h>

#include "platform/window.h"

namespace Gpu {

// The back buffer lives in a texture so that, like every other target, it is
// stored top row first; Present flips it into the window's bottom-up buffer.
struct BackBuffer {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    int width = 0, height = 0;
};

static BackBuffer s_back;
static int s_shaderMajor = 0;

bool CreateDevice(int width, int height, const char** error) {
    if (epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 is not available";
        return false;
    }
    // Upper-left origin and 0..1 depth, as Direct3D 9 has them.
    if (epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control")) {
        glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
        s_shaderMajor = 3;
    } else {
        s_shaderMajor = 2;
    }

    s_back.width = width;
    s_back.height = height;
    glGenTextures(1, &s_back.colour);
    glBindTexture(GL_TEXTURE_2D, s_back.colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glGenRenderbuffers(1, &s_back.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, s_back.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &s_back.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, s_back.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, s_back.colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, s_back.depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        if (error) *error = "the back buffer cannot be created";
        DestroyDevice();
        return false;
    }
    glViewport(0, 0, width, height);
    return true;
}

void DestroyDevice() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (s_back.framebuffer) glDeleteFramebuffers(1, &s_back.framebuffer);
    if (s_back.depth) glDeleteRenderbuffers(1, &s_back.depth);
    if (s_back.colour) glDeleteTextures(1, &s_back.colour);
    s_back = BackBuffer{};
}

int PixelShaderMajor() { return s_shaderMajor; }
int BackBufferWidth() { return s_back.width; }
int BackBufferHeight() { return s_back.height; }

void Clear(unsigned flags, uint32_t colour, float depth) {
    GLbitfield bits = 0;
    if (flags & kClearTarget) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                     (colour & 0xFF) / 255.0f, ((colour >> 24) & 0xFF) / 255.0f);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & kClearZBuffer) {
        glDepthMask(GL_TRUE);
        glClearDepth(depth);
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    glDisable(GL_SCISSOR_TEST);
    if (bits) glClear(bits);
}

void Present() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s_back.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // Row 0 of the back buffer is the top; the window's row 0 is the bottom.
    glBlitFramebuffer(0, 0, s_back.width, s_back.height, 0, s_back.height, s_back.width, 0,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    Platform::SwapWindow();
    glBindFramebuffer(GL_FRAMEBUFFER, s_back.framebuffer);
}

void ReadBackBuffer(uint8_t* rgba) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s_back.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, s_back.width, s_back.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

}  // namespace Gpu
