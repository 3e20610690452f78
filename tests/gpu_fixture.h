// A real device for the tests: the offscreen window, its GL context (Mesa's
// llvmpipe), the device module and the post-processing chain, made once per
// test process and remade only when a test asks for another display.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace GpuFixture {

// Makes sure the device exists with these display settings (aspect: 0
// "4:3", 1 "16:9", 2 "16:10"). False (and a message) if it cannot be made.
bool Start(float width = 1280, float height = 720, int aspect = 1);

// The pixels of render target 0 (or the back buffer) as 0xAARRGGBB, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Image ReadTarget();
Image ReadBackBuffer();

uint8_t Alpha(uint32_t c);
uint8_t Red(uint32_t c);
uint8_t Green(uint32_t c);
uint8_t Blue(uint32_t c);

}  // namespace GpuFixture
