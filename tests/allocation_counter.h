// Counts the heap allocations made through operator new while counting is on,
// for tests that check that per-frame work allocates nothing. The test
// program replaces the global operator new to do this (allocation_counter.cpp).
#pragma once

namespace AllocationCounter {

void Start();  // resets the count and starts counting
long Stop();   // stops counting and returns the allocations seen since Start

}  // namespace AllocationCounter
