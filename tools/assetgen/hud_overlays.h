#pragma once
// The four HUD overlays laid over the head, hand and voxel shots. Each is
// composed in the 1280 x 720 canvas and squeezed to 1024 x 512, because the
// show stretches it back over the whole screen.
#include "image.h"

Image MakeHudOverlay(int index);  // index 1..4, result 1024 x 512 RGBA
