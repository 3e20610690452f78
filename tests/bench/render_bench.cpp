// What the rendering core costs at 1280 x 720 on this machine: one
// full-screen copy pass (the floor every other figure is measured in), the
// bloom chain of the cylinder and mesh shots, and the fixed cost of a frame
// (scene target, colour split, fade overlay, present).
//
//     SDL_VIDEODRIVER=offscreen build/tests/lumivane_bench --benchmark_repetitions=5
//
// Each time is wall time per iteration with the GPU's work finished. Every
// iteration also times one copy pass right after its subject, so `copies`
// (subject time over copy time) holds up when other work shares the CPU.
#include <benchmark/benchmark.h>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/builtin_effects.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/renderer_2d.h"
#include "render/screen_overlay.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"

namespace {

using Bench::CopyPass;
using Bench::Measure;

void CopyPassFloor(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CopyPass copy, subject;
    Measure(state, copy, [&] { subject.Draw(); });
}

void BloomChain(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {
    }
    CopyPass copy;
    Texture* target = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(target);
    Measure(state, copy, [&] {
        // The cylinder shot's chain on an empty scene.
        PostProcessChain::BeginScene(0x00000000);
        PostProcessChain::BloomAndPresent(0.5f);
    });
    GraphicsDevice::RestoreRenderTarget(saved);
    DeleteTexture(target);
}

void FrameFixedCost(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CopyPass copy;
    CLumivane& app = TheLumivane();
    app.Init();
    Measure(state, copy, [&] {
        app.Frame();
        GraphicsDevice::SetFade(128);  // as during a fade; 0 draws no overlay
        GraphicsDevice::Present();
    });
    app.Shutdown();
}

// The HUD of a mesh shot over a frame: argument 0 as a plain stretched
// quad, 1 as DrawScreenOverlay draws it (the same pixels).
void HudOverlay(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {
    }
    CopyPass copy;
    Texture* target = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
    Texture* hud = GetTexture(kTexOverlay1);
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(target);
    GraphicsDevice::Clear(0xFF336699);
    Measure(state, copy, [&] {
        if (state.range(0) == 0) {
            const Vector2 origin(0.0f, 0.0f), layout(1280.0f, 720.0f);
            Renderer2D::DrawTexturedQuad(hud, &origin, &layout, 0xFFFFFFFF);
        } else {
            DrawScreenOverlay(hud);
        }
    });
    GraphicsDevice::RestoreRenderTarget(saved);
    DeleteTexture(target);
}

}  // namespace

BENCHMARK(HudOverlay)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(CopyPassFloor)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BloomChain)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(FrameFixedCost)->Unit(benchmark::kMillisecond)->UseManualTime();
