// What the rendering core costs at 1280 x 720 on this machine: one
// full-screen copy pass (the floor every other figure is measured in), the
// bloom chain of the cylinder and mesh shots, and the fixed cost of a frame
// (scene target, colour split, fade overlay, present).
//
//     build/tests/lumivane_bench
//
// Each figure is wall time per iteration, the GPU's work included; the
// `copies` counter is that time in copy passes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/lumivane.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/builtin_effects.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/renderer_2d.h"
#include "tests/gpu_fixture.h"

namespace {

double s_copySeconds = 0;  // per copy pass, once measured

// Runs `body` per iteration, waits for the GPU each time, and reports the
// time also in copy passes.
template <typename Body>
void Measure(benchmark::State& state, Body body, bool isCopy = false) {
    body();  // warm up: first use compiles and allocates
    Gpu::Finish();
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        body();
        Gpu::Finish();
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double perIteration = seconds / static_cast<double>(state.iterations());
    if (isCopy) s_copySeconds = perIteration;
    if (s_copySeconds > 0) state.counters["copies"] = perIteration / s_copySeconds;
}

struct Targets {
    Texture* source = nullptr;
    Texture* destination = nullptr;
    Targets() {
        source = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
        destination = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
    }
    ~Targets() {
        for (Texture* t : {source, destination}) {
            t->Release();
            delete t;
        }
    }
};

void CopyPass(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    Targets targets;
    Gpu::Effect* copy = Gpu::CreateEffect(kCopyEffectSource, std::strlen(kCopyEffectSource), "copy");
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(targets.source);
    GraphicsDevice::Clear(0xFF336699);
    GraphicsDevice::RestoreRenderTarget(saved);
    saved = GraphicsDevice::SetRenderTexture(targets.destination);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 0);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);  // as the chain draws its quads
    copy->SetTechnique("RenderNoLight");
    copy->SetTexture("g_Texture", targets.source->texture);
    const Vector2 pos(-0.5f, -0.5f), size(1280, 720);
    Measure(state, [&] { Renderer2D::DrawEffectQuad(copy, &pos, &size, 0xFFFFFFFF); }, true);
    GraphicsDevice::RestoreRenderTarget(saved);
    Gpu::ReleaseEffect(copy);
}

void BloomChain(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    Targets targets;
    Gpu::Effect* e[5];
    const int ids[5] = {283, 280, 276, 277, 284};
    for (int i = 0; i < 5; ++i) e[i] = GraphicsDevice::CreateEffectFromResource(ids[i], nullptr);
    Gpu::Effect* combine = GraphicsDevice::CreateEffectFromResource(282, nullptr);
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(targets.destination);
    Measure(state, [&] {
        PostProcessChain::BeginScene(0x00000000);
        PostProcessChain::EndScene();
        e[1]->SetFloat("g_Strength", 0.5f);
        PostProcessChain::BeginPasses();
        for (int i = 0; i < 3; ++i) PostProcessChain::ApplyEffect(e[0]);
        PostProcessChain::ApplyEffect(e[1]);
        PostProcessChain::ApplyEffect(e[2]);
        PostProcessChain::ApplyEffect(e[3]);
        PostProcessChain::ApplyEffect(e[4]);
        PostProcessChain::ApplyEffect(e[4]);
        PostProcessChain::ApplyEffect(combine);
        PostProcessChain::Present();
    });
    GraphicsDevice::RestoreRenderTarget(saved);
    for (Gpu::Effect* effect : e) Gpu::ReleaseEffect(effect);
    Gpu::ReleaseEffect(combine);
}

void FrameFixedCost(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CLumivane& app = TheLumivane();
    app.Init();
    Measure(state, [&] {
        GraphicsDevice::SetFade(128);  // the opening sets it every frame
        app.Frame();
        GraphicsDevice::Present();
    });
    app.Shutdown();
}

}  // namespace

BENCHMARK(CopyPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BloomChain)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FrameFixedCost)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
