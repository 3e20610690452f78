#pragma once
// The scroller's ground seen from one of its camera views, sampled with a
// mip chain and trilinear filtering as a graphics card would, to check
// that the grid stays clean at grazing angles.
#include <cstdint>
#include <vector>

#include "image.h"

Image RenderGroundPreview(const std::vector<uint8_t>& indices, const std::vector<uint8_t>& palette, float flash, int w, int h);
