// DDS cube maps with DXT1 faces: a small reader that trusts nothing in the
// header it has not checked against the size of the data.
#include <cstring>

#include "assets/image.h"

namespace {

constexpr size_t kHeaderSize = 4 + 124;  // "DDS " and the header
constexpr uint32_t kCapsComplex = 0x8;
constexpr uint32_t kCaps2Cubemap = 0x200;
constexpr uint32_t kCaps2AllFaces = 0xFC00;  // +X, -X, +Y, -Y, +Z, -Z
constexpr uint32_t kFlagMipMapCount = 0x20000;
constexpr uint32_t kPixelFourCC = 0x4;
constexpr unsigned kMaxFaceSize = 8192;

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// 5:6:5 to 8:8:8 by repeating the top bits, so 31 and 63 become 255.
void Expand565(uint32_t c, int rgb[3]) {
    int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

uint32_t Pack(int a, const int rgb[3]) {
    return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 |
           static_cast<uint32_t>(rgb[2]);
}

// Bytes of one DXT1 level of a face of `size` texels, in 4 x 4 blocks.
size_t LevelBytes(unsigned size) {
    size_t blocks = (size + 3) / 4;
    return blocks * blocks * 8;
}

}  // namespace

void DecodeDxt1Block(const uint8_t* block, uint32_t texels[16]) {
    uint32_t c0 = block[0] | block[1] << 8;
    uint32_t c1 = block[2] | block[3] << 8;
    int colour[4][3];
    Expand565(c0, colour[0]);
    Expand565(c1, colour[1]);
    uint32_t palette[4];
    palette[0] = Pack(255, colour[0]);
    palette[1] = Pack(255, colour[1]);
    if (c0 > c1) {
        // Four colours: two end points and two thirds between them.
        for (int k = 0; k < 3; ++k) {
            colour[2][k] = (2 * colour[0][k] + colour[1][k]) / 3;
            colour[3][k] = (colour[0][k] + 2 * colour[1][k]) / 3;
        }
        palette[2] = Pack(255, colour[2]);
        palette[3] = Pack(255, colour[3]);
    } else {
        // Three colours and transparent black.
        for (int k = 0; k < 3; ++k) colour[2][k] = (colour[0][k] + colour[1][k]) / 2;
        palette[2] = Pack(255, colour[2]);
        palette[3] = 0;
    }
    uint32_t bits = Read32(block + 4);
    for (int i = 0; i < 16; ++i) texels[i] = palette[(bits >> (2 * i)) & 3];
}

bool DecodeDdsCube(const uint8_t* data, size_t size, CubeImage* out, std::string* error) {
    *out = CubeImage{};
    if (size < kHeaderSize || std::memcmp(data, "DDS ", 4) != 0 || Read32(data + 4) != 124) {
        *error = "not a DDS file";
        return false;
    }
    const uint8_t* h = data + 4;
    uint32_t flags = Read32(h + 4);
    uint32_t height = Read32(h + 8);
    uint32_t width = Read32(h + 12);
    uint32_t mipCount = (flags & kFlagMipMapCount) ? Read32(h + 24) : 1;
    uint32_t pixelFlags = Read32(h + 76);
    uint32_t caps = Read32(h + 104);
    uint32_t caps2 = Read32(h + 108);
    if (!(caps2 & kCaps2Cubemap) || (caps2 & kCaps2AllFaces) != kCaps2AllFaces || !(caps & kCapsComplex)) {
        *error = "not a cube map with all six faces";
        return false;
    }
    if (!(pixelFlags & kPixelFourCC) || std::memcmp(h + 80, "DXT1", 4) != 0) {
        *error = "its faces are not DXT1";
        return false;
    }
    if (width == 0 || width != height || width > kMaxFaceSize) {
        *error = "its faces are not square or have an unusable size";
        return false;
    }
    if (mipCount == 0) mipCount = 1;
    // Each face holds its whole mip chain; the levels past the first are
    // only skipped, but they must be there.
    size_t faceBytes = 0;
    unsigned levelSize = width;
    for (uint32_t level = 0; level < mipCount && level < 32; ++level) {
        faceBytes += LevelBytes(levelSize);
        levelSize = levelSize > 1 ? levelSize / 2 : 1;
    }
    if (size - kHeaderSize < faceBytes * 6) {
        *error = "the file ends before its sixth face";
        return false;
    }

    out->size = width;
    const unsigned blocks = (width + 3) / 4;
    for (int face = 0; face < 6; ++face) {
        const uint8_t* src = data + kHeaderSize + face * faceBytes;
        std::vector<uint32_t>& texels = out->faces[face];
        texels.assign(static_cast<size_t>(width) * width, 0);
        for (unsigned by = 0; by < blocks; ++by) {
            for (unsigned bx = 0; bx < blocks; ++bx, src += 8) {
                uint32_t block[16];
                DecodeDxt1Block(src, block);
                // Faces smaller than a block keep only the texels they have.
                for (unsigned y = 0; y < 4 && by * 4 + y < width; ++y)
                    for (unsigned x = 0; x < 4 && bx * 4 + x < width; ++x)
                        texels[static_cast<size_t>(by * 4 + y) * width + bx * 4 + x] = block[y * 4 + x];
            }
        }
    }
    return true;
}
