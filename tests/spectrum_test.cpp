#include "assets/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void Sine(float amplitude, double bin, float* samples) {
    for (int i = 0; i < kSpectrumSamples; ++i)
        samples[i] =
            amplitude * static_cast<float>(std::sin(2.0 * M_PI * bin * i / kSpectrumSamples));
}

}  // namespace

TEST(Spectrum, SineAtTheReferenceLevelReadsOneInItsBinAndHalfInItsNeighbours) {
    for (int bin : {2, 8, 100, 300, 510}) {
        float samples[kSpectrumSamples], levels[kSpectrumLevels];
        Sine(kSpectrumFullLevelAmplitude, bin, samples);
        ComputeSpectrum(samples, levels);
        EXPECT_NEAR(levels[bin], 1.0f, 0.01f) << bin;
        EXPECT_NEAR(levels[bin - 1], 0.5f, 0.01f) << bin;
        EXPECT_NEAR(levels[bin + 1], 0.5f, 0.01f) << bin;
        for (int k = 0; k < kSpectrumLevels; ++k) {
            if (std::abs(k - bin) >= 2) {
                EXPECT_LT(levels[k], 0.001f) << bin << " at " << k;
            }
        }
    }
}

TEST(Spectrum, LevelsAreLinearUpToTheClamp) {
    float samples[kSpectrumSamples], levels[kSpectrumLevels];
    Sine(kSpectrumFullLevelAmplitude * 0.5f, 40, samples);
    ComputeSpectrum(samples, levels);
    EXPECT_NEAR(levels[40], 0.5f, 0.01f);

    // A full-scale sine reads 1.0 in its bin: the clamp, never more.
    Sine(1.0f, 40, samples);
    ComputeSpectrum(samples, levels);
    EXPECT_FLOAT_EQ(levels[40], 1.0f);
    for (float level : levels) EXPECT_LE(level, 1.0f);
}

TEST(Spectrum, SilenceReadsZero) {
    float silence[kSpectrumSamples] = {};
    float levels[kSpectrumLevels];
    for (float& level : levels) level = 7.0f;
    ComputeSpectrum(silence, levels);
    for (float level : levels) EXPECT_EQ(level, 0.0f);
}

TEST(Spectrum, BandLevelIsTheMeanOfTheBandTimesTheGain) {
    float levels[kSpectrumLevels];
    for (int k = 0; k < kSpectrumLevels; ++k) levels[k] = k < 9 ? 0.9f : 0.2f;
    struct Case {
        unsigned first, end;
        float gain, expected;
    };
    const Case cases[] = {
        {0, 9, 1.0f, 0.9f},      // the bass band: bins 0 to 8
        {0, 9, 2.0f, 1.8f},      // the gain scales the mean, unclamped
        {8, 10, 1.0f, 0.55f},    // straddles the edge of the 0.9 run
        {5, 5, 1.0f, 0.0f},      // empty band
        {9, 3, 1.0f, 0.0f},      // inverted band
        {510, 600, 1.0f, 0.2f},  // bins from 512 on do not exist and do not count
        {600, 700, 1.0f, 0.0f},  // wholly past the end
    };
    for (const Case& c : cases)
        EXPECT_NEAR(BandLevel(levels, c.first, c.end, c.gain), c.expected, 1e-6f)
            << c.first << ".." << c.end;
}
