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

#include <chrono>
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

using Clock = std::chrono::steady_clock;

// One full-screen copy between two 1280 x 720 targets with the chain's copy
// effect, as its passes draw (no blending, no culling).
class CopyPass {
public:
    CopyPass() {
        source = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
        destination = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
        Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(source);
        GraphicsDevice::Clear(0xFF336699);
        GraphicsDevice::RestoreRenderTarget(saved);
        effect = Gpu::CreateEffect(kCopyEffectSource, std::strlen(kCopyEffectSource), "copy");
    }
    ~CopyPass() {
        Gpu::ReleaseEffect(effect);
        for (Texture* t : {source, destination}) {
            t->Release();
            delete t;
        }
    }
    void Draw() {
        Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(destination);
        Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 0);
        Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
        effect->SetTechnique("RenderNoLight");
        effect->SetTexture("g_Texture", source->texture);
        const Vector2 pos(-0.5f, -0.5f), size(1280, 720);
        Renderer2D::DrawEffectQuad(effect, &pos, &size, 0xFFFFFFFF);
        GraphicsDevice::RestoreRenderTarget(saved);
    }

private:
    Texture* source;
    Texture* destination;
    Gpu::Effect* effect;
};

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// Times `body` per iteration (GPU work finished), each followed by one timed
// copy pass for the ratio.
template <typename Body>
void Measure(benchmark::State& state, CopyPass& copy, Body body) {
    body();  // warm up: the first use compiles shader variants
    copy.Draw();
    Gpu::Finish();
    double subject = 0, copies = 0;
    for (auto _ : state) {
        Clock::time_point t0 = Clock::now();
        body();
        Gpu::Finish();
        Clock::time_point t1 = Clock::now();
        copy.Draw();
        Gpu::Finish();
        Clock::time_point t2 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        subject += Seconds(t0, t1);
        copies += Seconds(t1, t2);
    }
    state.counters["copies"] = copies > 0 ? subject / copies : 0;
}

void CopyPassFloor(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CopyPass copy, subject;
    Measure(state, copy, [&] { subject.Draw(); });
}

void BloomChain(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CopyPass copy;
    Texture* target = Texture::CreateRenderTarget(1280, 720, Gpu::kFormatA8R8G8B8);
    const int ids[6] = {283, 280, 276, 277, 284, 282};
    Gpu::Effect* e[6];
    for (int i = 0; i < 6; ++i) e[i] = GraphicsDevice::CreateEffectFromResource(ids[i], nullptr);
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(target);
    Measure(state, copy, [&] {
        // The cylinder shot's chain: three reductions, bright pass, bloom
        // both ways, two enlargements, combine, present.
        PostProcessChain::BeginScene(0x00000000);
        PostProcessChain::EndScene();
        e[1]->SetFloat("g_Strength", 0.5f);
        PostProcessChain::BeginPasses();
        for (int i : {0, 0, 0, 1, 2, 3, 4, 4, 5}) PostProcessChain::ApplyEffect(e[i]);
        PostProcessChain::Present();
    });
    GraphicsDevice::RestoreRenderTarget(saved);
    for (Gpu::Effect* effect : e) Gpu::ReleaseEffect(effect);
    target->Release();
    delete target;
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

}  // namespace

BENCHMARK(CopyPassFloor)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BloomChain)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(FrameFixedCost)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK_MAIN();
