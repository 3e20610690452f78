// What reaching a time of the show costs at 1280 x 720: the whole show from
// its start to 150 s without drawing (a jump, or a capture's frames before
// --from), and the cost of one frame drawn and undrawn over a stretch of
// scroller and shots (120 s to 130 s), whose ratio says how much cheaper
// fast-forward is than drawing; and what each stretch of the show costs a
// frame, drawn through. Frames run at 60 a second with the music mixed, as
// a jump runs them.
//
//     SDL_VIDEODRIVER=offscreen build/tests/lumivane_bench --benchmark_filter=Show
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "app/jumps.h"
#include "app/lumivane.h"
#include "assets/music.h"
#include "platform/gpu.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"
#include "timeline/show_times.h"

namespace {

namespace fs = std::filesystem;

// The show at 1280 x 720 with its music on the virtual clock and its words
// (laser.txt, scroller.txt) in a working folder of its own, rewound to its
// start. False without a device.
class Show {
public:
    bool Start() {
        if (!GpuFixture::Start(1280, 720, 1) || !Music::Init(true)) return false;
        dir = fs::temp_directory_path() / ("lumivane_bench_show_" + std::to_string(getpid()));
        fs::create_directories(dir);
        for (const char* text : {"laser.txt", "scroller.txt"})
            fs::copy_file(fs::path(LUMIVANE_SOURCE_DIR) / text, dir / text, fs::copy_options::overwrite_existing);
        previous = fs::current_path();
        fs::current_path(dir);
        TheLumivane().Init();
        TheLumivane().Rewind();
        return true;
    }
    ~Show() {
        if (dir.empty()) return;
        TheLumivane().Shutdown();
        Music::Shutdown();
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    // Frames until the timeline reaches `time`; returns how many.
    static long RunTo(float time, bool draw) {
        long frames = 0;
        for (CLumivane& app = TheLumivane(); app.timeline.demoTime < time; ++frames) Jumps::StepFrame(app, draw);
        Gpu::Finish();
        return frames;
    }

private:
    fs::path dir, previous;
};

void ShowFastForwardTo150s(benchmark::State& state) {
    Show show;
    if (!show.Start()) return state.SkipWithError("no device");
    long frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TheLumivane().Rewind();
        state.ResumeTiming();
        frames = Show::RunTo(150.0f, false);
    }
    state.counters["frames"] = static_cast<double>(frames);
}

// One frame between 120 s and 130 s, drawn (range 1) or not (range 0).
void ShowFrame(benchmark::State& state) {
    Show show;
    if (!show.Start()) return state.SkipWithError("no device");
    const bool draw = state.range(0) != 0;
    Show::RunTo(120.0f, false);
    long frames = 0;
    for (auto _ : state) {
        if (TheLumivane().timeline.demoTime >= 130.0f) {
            state.PauseTiming();
            TheLumivane().Rewind();
            Show::RunTo(120.0f, false);
            state.ResumeTiming();
        }
        Jumps::StepFrame(TheLumivane(), draw);
        if (draw) Gpu::Finish();
        ++frames;
    }
    state.counters["frames"] = static_cast<double>(frames);
}

// The show's own frames over one stretch of its timeline, drawn one after
// another as a capture draws them, each an iteration: where SceneFrame holds
// one moment of a scene, these take in every camera, burst and fade of the
// stretch. All of them take some five minutes.
void ShowStretch(benchmark::State& state, float from) {
    Show show;
    if (!show.Start()) return state.SkipWithError("no device");
    Show::RunTo(from, false);
    Bench::CopyPass copy;
    Bench::Measure(state, copy, [] { Jumps::StepFrame(TheLumivane(), true); });
}

// The stretches, each from its start to the next one's, 60 frames a second.
struct Stretch {
    const char* name;
    float from, to;
};
const Stretch kStretches[] = {
    {"titles", ShowTimes::kIntroStart, ShowTimes::kLaserStart},
    {"laser", ShowTimes::kLaserStart, ShowTimes::kScrollerStart},
    {"scroller_and_shots", ShowTimes::kScrollerStart, ShowTimes::kVoxelStart},
    {"voxel", ShowTimes::kVoxelStart, ShowTimes::kCylinderStart},
    {"cylinders", ShowTimes::kCylinderStart, ShowTimes::kEndScreenStart},
    {"end_screen", ShowTimes::kEndScreenStart, ShowTimes::kShowEnd},
};

const bool s_stretchesRegistered = [] {
    for (const Stretch& s : kStretches) {
        const std::string name = std::string("ShowStretch/") + s.name;
        benchmark::RegisterBenchmark(name.c_str(), ShowStretch, s.from)
            ->Iterations(static_cast<int64_t>((s.to - s.from) * 60.0f))
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace

BENCHMARK(ShowFastForwardTo150s)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ShowFrame)->ArgName("drawn")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
