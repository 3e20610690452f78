// DirectX .x files made in the tests: one small mesh with two materials,
// written as text, binary, and both compressed (MSZIP).
//
// Vertices 0-3 form a quad (one four-sided face, material 0), vertices 4-6 a
// triangle (material 1). Normals have their own index list: the quad uses
// normal 0, the triangle normal 1.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct XFixture {
    float positions[7][3];
    float texcoords[7][2];
    float normals[2][3];
    float faceColour[2][4];
    float power[2];
    float specular[2][3];
    float emissive[2][3];
};

const XFixture& TheXFixture();
std::vector<uint8_t> MakeXText();
std::vector<uint8_t> MakeXBinary();
// The body of a "txt " or "bin " file compressed into a "tzip" or "bzip" one.
std::vector<uint8_t> CompressX(const std::vector<uint8_t>& plain);
