// The loading screen's frames at 1280 x 720, from its first frame (which
// makes the loading screen and reads its pictures) until every asset is
// loaded, as the show runs them: with the asset prefetcher decoding ahead
// (prefetch:1, as when playing), and without it (prefetch:0: one asset read
// in each frame, as the tests and, waiting for each decoding, a capture
// have it).
//
// `max_ms` is the longest frame (it must stay under 50 ms), `over_50ms` how
// many frames of all the iterations took longer, `frames` the frames one
// loading takes, `total_ms` its wall time; the time per iteration is the
// mean frame.
//
//     SDL_VIDEODRIVER=offscreen build/tests/lumivane_bench --benchmark_filter=LoadingFrames
#include <benchmark/benchmark.h>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "assets/prefetch.h"
#include "effects/loading.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

namespace {

void LoadingFrames(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CLumivane& app = TheLumivane();
    const bool prefetch = state.range(0) != 0;
    double longest = 0, total = 0;
    int frames = 0, over = 0, loadings = 0;
    for (auto _ : state) {
        ReleaseCatalogue();  // every asset loads again, as at start-up
        if (prefetch) AssetPrefetch::Start(false);
        app.Init();
        app.timeline = TimelineState{};
        double loading = 0;
        int loadingFrames = 0;
        CLoading* screen = nullptr;
        // The first frame makes the loading screen, as the timeline does.
        for (bool done = false; !done && loadingFrames < 100000; ++loadingFrames) {
            Bench::Clock::time_point t0 = Bench::Clock::now();
            if (!screen) {
                screen = static_cast<CLoading*>(CreateEffect(kLoading, 0, 3.4028235e38f));
                ActiveEffectList::Add(screen);
            }
            app.Frame();
            GraphicsDevice::Present();
            Gpu::Finish();
            const double seconds = Bench::Seconds(t0, Bench::Clock::now());
            loading += seconds;
            over += seconds > 0.05;
            if (seconds > longest) longest = seconds;
            done = screen->finished;
        }
        state.SetIterationTime(loading / loadingFrames);
        total += loading;
        frames += loadingFrames;
        ++loadings;
        ActiveEffectList::Clear();
        app.Shutdown();
    }
    state.counters["max_ms"] = longest * 1000.0;
    state.counters["over_50ms"] = over;
    state.counters["frames"] = loadings ? static_cast<double>(frames) / loadings : 0.0;
    state.counters["total_ms"] = loadings ? total * 1000.0 / loadings : 0.0;
}

}  // namespace

BENCHMARK(LoadingFrames)
    ->ArgName("prefetch")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
