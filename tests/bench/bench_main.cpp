// The one main of the benchmark program; every file in tests/bench adds its own.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
