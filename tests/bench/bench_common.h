// What every frame-cost benchmark shares: one full-screen copy pass between
// two 1280 x 720 targets (the unit every figure is given in) and the loop
// that times a subject against it.
#pragma once
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstring>

#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/builtin_effects.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"

class CMetaWriter;

namespace Bench {

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

inline double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// Processor time of the whole process (every renderer thread), in seconds.
inline double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times `body` per iteration (GPU work finished), each followed by one timed
// copy pass for the ratio. `copies` is the ratio of wall times; `cpu_copies`
// the ratio of processor time summed over the renderer's threads, which
// holds up better when other programs share the processor (it counts work,
// not waiting). `cpu_ms` is that processor time for one iteration, which
// compares programs whose copy passes differ.
template <typename Body>
void Measure(benchmark::State& state, CopyPass& copy, Body body) {
    body();  // warm up: the first use compiles shader variants
    copy.Draw();
    Gpu::Finish();
    double subject = 0, copies = 0, subjectCpu = 0, copiesCpu = 0;
    for (auto _ : state) {
        double c0 = ProcessSeconds();
        Clock::time_point t0 = Clock::now();
        body();
        Gpu::Finish();
        Clock::time_point t1 = Clock::now();
        double c1 = ProcessSeconds();
        copy.Draw();
        Gpu::Finish();
        Clock::time_point t2 = Clock::now();
        double c2 = ProcessSeconds();
        state.SetIterationTime(Seconds(t0, t1));
        subject += Seconds(t0, t1);
        copies += Seconds(t1, t2);
        subjectCpu += c1 - c0;
        copiesCpu += c2 - c1;
    }
    state.counters["copies"] = copies > 0 ? subject / copies : 0;
    state.counters["cpu_copies"] = copiesCpu > 0 ? subjectCpu / copiesCpu : 0;
    state.counters["cpu_ms"] = state.iterations() > 0 ? subjectCpu * 1e3 / state.iterations() : 0;
}

// A meta writer whose 16 frozen slots all hold letters, with the live letter
// half formed (scroller_bench.cpp). Null without a device.
CMetaWriter* FullScroller();

}  // namespace Bench
