// Pictures decoded on the processor, ready for the GPU: A8R8G8B8 texels
// (32-bit 0xAARRGGBB, in memory B, G, R, A), top row first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Image {
    unsigned width = 0, height = 0;
    std::vector<uint32_t> texels;  // width x height
};

// A PNG of any colour type and bit depth (RGB, palette, grey, grey with
// alpha, RGBA; 1 to 16 bits; interlaced or not). Pictures without alpha get
// alpha 255; 16-bit channels keep their high byte. False (with the reason in
// `error`) when the bytes are not a PNG that can be read.
bool DecodePng(const uint8_t* data, size_t size, Image* out, std::string* error);

// A DDS cube map: six square faces in the order +X, -X, +Y, -Y, +Z, -Z, each
// decoded from DXT1 (level 0 only; further levels are skipped).
struct CubeImage {
    unsigned size = 0;
    std::vector<uint32_t> faces[6];
};

// False (with the reason in `error`) unless the bytes hold all six faces; the
// header is checked against the data so that no read goes past its end.
bool DecodeDdsCube(const uint8_t* data, size_t size, CubeImage* out, std::string* error);

// One 8-byte DXT1 block into 4 x 4 texels, row by row.
void DecodeDxt1Block(const uint8_t* block, uint32_t texels[16]);
