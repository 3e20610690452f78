// The one main of the benchmark program; every file in tests/bench adds its own.
#include <benchmark/benchmark.h>

#include "platform/isolated.h"

int main(int argc, char** argv) {
    // The meshes are read in processes of their own: this program again.
    Platform::RunIsolatedWorkIfAsked();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
