#include "tests/gpu_fixture.h"

#include <cstdio>

#include "assets/catalogue.h"
#include "platform/gpu.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "render/post_process.h"

namespace GpuFixture {

static bool s_platform = false;
static bool s_device = false;
static float s_width = 0, s_height = 0;
static int s_aspect = -1;

bool Start(float width, float height, int aspect) {
    if (s_device && width == s_width && height == s_height && aspect == s_aspect) return true;
    if (!s_platform) {
        if (!Platform::Init(true)) return false;
        s_platform = true;
    }
    if (s_device) {
        ReleaseCatalogue();  // its textures and effects belong to the device that goes
        PostProcessChain::Release();
        GraphicsDevice::Destroy();
        s_device = false;
    }
    DisplaySettings& display = DisplaySettings::Get();
    display.windowWidth = width;
    display.windowHeight = height;
    display.aspectIndex = aspect;
    display.windowed = true;
    if (!GraphicsDevice::Create()) {
        std::fprintf(stderr, "the test device cannot be created\n");
        return false;
    }
    PostProcessChain::Create();
    s_device = true;
    s_width = width;
    s_height = height;
    s_aspect = aspect;
    return true;
}

static Image ToImage(int width, int height, const std::vector<uint8_t>& rgba) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        image.pixels[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                          static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    return image;
}

Image ReadTarget() {
    Gpu::Surface* target = Gpu::GetRenderTarget();
    int w = static_cast<int>(Gpu::SurfaceWidth(target)), h = static_cast<int>(Gpu::SurfaceHeight(target));
    Gpu::Release(target);
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    Gpu::ReadRenderTarget(rgba.data());
    return ToImage(w, h, rgba);
}

Image ReadBackBuffer() {
    int w = Gpu::BackBufferWidth(), h = Gpu::BackBufferHeight();
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    Gpu::ReadBackBuffer(rgba.data());
    return ToImage(w, h, rgba);
}

uint8_t Alpha(uint32_t c) { return static_cast<uint8_t>(c >> 24); }
uint8_t Red(uint32_t c) { return static_cast<uint8_t>(c >> 16); }
uint8_t Green(uint32_t c) { return static_cast<uint8_t>(c >> 8); }
uint8_t Blue(uint32_t c) { return static_cast<uint8_t>(c); }

}  // namespace GpuFixture
