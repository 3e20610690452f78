// The spectrum analyser: 1024 mono samples at 44100 Hz become 512 levels,
// 0 to 1, lowest frequency first; level i is the band around i x 43.07 Hz,
// so the levels cover 0 to 22050 Hz. A full-scale sine at a level's centre
// frequency reads about 1.0, silence reads 0.
#pragma once

constexpr int kSpectrumSamples = 1024;
constexpr int kSpectrumLevels = 512;

void ComputeSpectrum(const float* monoSamples1024, float levels[512]);

// The mean of levels[first] .. levels[end - 1] times gain; 0 for an empty or
// inverted band. Bins past the last level do not count.
float BandLevel(const float* levels, unsigned first, unsigned end, float gain);
