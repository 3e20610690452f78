#pragma once
// DirectX .x mesh files in the binary token format ("xof 0303bin 0032") and
// its MSZIP-compressed form ("xof 0303bzip0032").
#include <cstdint>
#include <string>
#include <vector>

#include "mesher.h"

struct XMaterial {
    float r, g, b, a;
    float power;
    float sr, sg, sb;  // specular
};

// Positions are written multiplied by `scale` (the show draws the meshes
// scaled back down). One frame holding one mesh with normals, texture
// coordinates and a material list.
std::vector<uint8_t> WriteBinaryX(const MeshData& mesh, const std::string& name, float scale,
                                  const std::vector<XMaterial>& materials);
// The same token stream, deflated in 32 KiB MSZIP chunks.
std::vector<uint8_t> CompressX(const std::vector<uint8_t>& binaryX);
