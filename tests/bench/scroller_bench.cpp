// What the scroller costs: one meta writer Update (the letter's balls and
// the Polygonise of its surface, on the processor; it must stay under 1 ms),
// and a whole frame of it at 1280 x 720 with 17 letters and their shadows,
// the grid, the fade quad and the overlay, plus the fixed cost of a frame
// (scene target, colour split, present), in copy passes.
//
//     SDL_VIDEODRIVER=offscreen build/tests/lumivane_bench --benchmark_filter=Scroller
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "effects/meta_writer.h"
#include "render/graphics_device.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"

namespace Bench {

namespace fs = std::filesystem;

// A meta writer whose 16 frozen slots all hold letters (no spaces in the
// text), with the live letter half formed. Null without a device.
CMetaWriter* FullScroller() {
    if (!GpuFixture::Start(1280, 720, 1)) return nullptr;
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    const fs::path dir = fs::temp_directory_path() / ("lumivane_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "scroller.txt", std::ios::binary) << "LUMIVANEBYTAVORINSEENATZOPAEVERYLETTERISACLOUD\n";
    const fs::path old = fs::current_path();
    fs::current_path(dir);
    ResetMetaWriterState();
    CMetaWriter* writer = dynamic_cast<CMetaWriter*>(CreateEffect(kMetaWriter, 0, 1e9f));
    fs::current_path(old);
    fs::remove_all(dir);
    if (!writer) return nullptr;
    MetaWriterState& state = GetMetaWriterState();
    for (int frame = 0; frame < 100000 && state.slots[0].vertexCount == 0; ++frame) writer->Update(1.0f / 30.0f);
    while (-state.scrollX < state.letterWidth * 0.5f) writer->Update(1.0f / 60.0f);
    return writer;
}

}  // namespace Bench

namespace {

using Bench::FullScroller;

void ScrollerUpdate(benchmark::State& state) {
    CMetaWriter* writer = FullScroller();
    if (!writer) return state.SkipWithError("no device");
    for (auto _ : state) writer->Update(1.0f / 60.0f);
    const MetaWriterState& scroller = GetMetaWriterState();
    state.counters["triangles"] = scroller.field->IndexCount() / 3;
    delete writer;
}

void ScrollerFrame(benchmark::State& state) {
    CMetaWriter* writer = FullScroller();
    if (!writer) return state.SkipWithError("no device");
    Bench::CopyPass copy;
    CLumivane& app = TheLumivane();
    app.Init();
    ActiveEffectList::Add(writer);
    int letters = 0;
    for (const LetterMeshSlot& slot : GetMetaWriterState().slots) letters += slot.vertexCount > 0;
    Bench::Measure(state, copy, [&] {
        app.Frame();  // the writer's Update and Render, the colour split
        GraphicsDevice::Present();
    });
    state.counters["letters"] = letters + 1;
    app.Shutdown();  // deletes the writer
}

}  // namespace

BENCHMARK(ScrollerUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScrollerFrame)->Unit(benchmark::kMillisecond)->UseManualTime();
