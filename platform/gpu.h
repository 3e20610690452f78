// The GPU device: a small Direct3D 9-shaped layer over OpenGL 3.3 core.
//
// Conventions kept from Direct3D 9 so the show's numbers work unchanged:
// row 0 of every target and texture is the top row; depth runs 0..1; the
// window is flipped once, when the back buffer is presented.
#pragma once
#include <cstdint>

namespace Gpu {

// Checks the current OpenGL context and creates the back buffer (a colour
// texture with depth, of the window's size). On failure `error` says why.
bool CreateDevice(int backBufferWidth, int backBufferHeight, const char** error);
void DestroyDevice();

// The highest pixel-shader model the context can run the show's effects
// with: 3 when it has what they need.
int PixelShaderMajor();

int BackBufferWidth();
int BackBufferHeight();

// Clear flags, as in Direct3D 9.
enum : unsigned { kClearTarget = 1, kClearZBuffer = 2 };
// Clears render target 0 and/or the depth buffer. Colour is 0xAARRGGBB.
// Clears obey nothing but their flags (no write masks, no scissor).
void Clear(unsigned flags, uint32_t colour, float depth);

// Shows the back buffer in the window.
void Present();

// Copies the back buffer into `rgba` (width x height x 4 bytes, R, G, B, A),
// top row first.
void ReadBackBuffer(uint8_t* rgba);

}  // namespace Gpu
