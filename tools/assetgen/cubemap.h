#pragma once
// The reflection environment: a dark studio lit by cold panels and one red
// strip, seen from the camera (the show looks it up with view-space
// reflection vectors, so the lights stay put relative to the viewer).
#include <cstdint>
#include <vector>

#include "image.h"

// Radiance of the environment in a direction (x right, y up, z towards the viewer).
Rgba EnvironmentColour(float x, float y, float z);
// One face (0..5 = +X, -X, +Y, -Y, +Z, -Z) in the usual cube-map orientation.
Image MakeCubeFace(int face, int size);
// DDS file: six 256 x 256 DXT1 faces, one level.
std::vector<uint8_t> MakeCubeMapDds();
// Direction of texel centre (s, t in -1..1, t downwards) of a face.
void CubeFaceDirection(int face, float s, float t, float& x, float& y, float& z);
