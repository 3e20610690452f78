// Where a picture is wholly transparent: the largest rectangle of texels of
// alpha 0 inside a window of the texture. Drawn blended, such texels change
// no pixel, so a quad of the picture may leave out the pixels that sample
// only them (Renderer2D::DrawTexturedQuadSparse does).
#pragma once
#include "platform/gpu.h"

struct Texture;

// The rectangle (texels x0..x1-1, y0..y1-1; empty when there is none) is
// found once per texture and window, by reading the texture back, and
// remembered: the texture's picture must not change afterwards. False when
// the texture cannot be read (a render target, a format without alpha).
bool FindClearInterior(Texture* texture, const Gpu::PixelRect& window, Gpu::PixelRect* clear);

// The largest rectangle of zero alpha within `window` of a picture of
// A8R8G8B8 texels (0xAARRGGBB), `width` texels a row.
Gpu::PixelRect LargestClearRect(const uint32_t* texels, int width, const Gpu::PixelRect& window);
