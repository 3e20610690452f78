// The spectrum analyser behind the sync channels and the F2 display.
//
// Input: the last 1024 samples of the mixed output, mono (mean of left and
// right), 44100 Hz. Output: 512 levels, lowest frequency first. Level k is the
// magnitude of FFT bin k of the Hann-windowed block, that is the band centred
// on k x 44100 / 1024 = k x 43.07 Hz (level 0 is DC, level 511 is 22007 Hz;
// the Nyquist bin at 22050 Hz is dropped). Levels are clamped to 0..1;
// silence reads 0.
//
// Scale: a sine of amplitude kSpectrumFullLevelAmplitude (0.125, -18 dBFS,
// the usual alignment level) on a bin centre reads 1.0 in that bin and 0.5 in
// its two neighbours; louder sines, a full-scale one included, read 1.0 there
// too. The reference sits under full scale because the sync channels average
// bands of bins: a kick drum spreads over many bins, and referenced to full
// scale no signal that fits in a mix can lift the nine-bin (0-344 Hz) bass
// band that the grid's flash compares with 0.5 much above 0.6, and a kick in
// a mix of ordinary loudness (-13 LUFS) reaches about 0.1 to 0.2.
#pragma once

constexpr int kSpectrumSamples = 1024;
constexpr int kSpectrumLevels = 512;
constexpr float kSpectrumFullLevelAmplitude = 0.125f;

// Not reentrant: one shared FFT plan and work buffers, made on the first call
// (no allocation after that).
void ComputeSpectrum(const float* monoSamples1024, float levels[512]);

// Mean of levels[first] .. levels[end - 1] times gain, summed in float from
// the lowest bin up; 0 for an empty or inverted band. Bins from 512 on are
// left out.
float BandLevel(const float* levels, unsigned first, unsigned end, float gain);
