#pragma once
// The small textures: laser flare and smoke, loading pip, scroller ground
// grid and the text wrapped round the falling cylinders.
#include <cstdint>
#include <vector>

#include "image.h"

Image MakeLaserFlare();  // 256 x 256 RGBA, white (the show tints it)
Image MakeLaserSmoke();  // 256 x 256, tiles in both directions
Image MakeLoadingPip();  // 32 x 32 RGBA
Image MakeFunText();     // 1024 x 256, wraps once round the cylinder; tiles horizontally

// 512 x 512 grid: one texture tile is 2 world units of ground.
// indices: one palette index per pixel; palette: 256 RGB entries.
void MakeGrid(std::vector<uint8_t>& indices, std::vector<uint8_t>& palette);

// Rows of the fun text that the cylinder caps sample (a flat grey band).
constexpr float kFunTextCapV = 4.0f / 256.0f;
