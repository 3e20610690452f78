#include <gtest/gtest.h>

#include <cmath>

#include "assets/spectrum.h"

TEST(Spectrum, AFullScaleSineOnABinCentreReadsAboutOneInThatBin) {
    const int bins[] = {1, 8, 100, 300, 511};
    for (int bin : bins) {
        float samples[kSpectrumSamples];
        for (int i = 0; i < kSpectrumSamples; ++i)
            samples[i] = static_cast<float>(std::sin(2.0 * M_PI * bin * i / kSpectrumSamples));
        float levels[kSpectrumLevels];
        ComputeSpectrum(samples, levels);
        EXPECT_NEAR(levels[bin], 1.0f, 0.01f) << bin;
        for (int i = 0; i < kSpectrumLevels; ++i) {
            EXPECT_GE(levels[i], 0.0f);
            EXPECT_LE(levels[i], 1.0f);
            // The window spreads a bin-centred sine over its two neighbours only.
            if (std::abs(i - bin) >= 2) {
                EXPECT_LT(levels[i], 0.001f) << bin << " at " << i;
            }
        }
    }
}

TEST(Spectrum, HalfAmplitudeReadsHalfAndSilenceReadsZero) {
    float samples[kSpectrumSamples];
    for (int i = 0; i < kSpectrumSamples; ++i)
        samples[i] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 40 * i / kSpectrumSamples));
    float levels[kSpectrumLevels];
    ComputeSpectrum(samples, levels);
    EXPECT_NEAR(levels[40], 0.5f, 0.01f);

    float silence[kSpectrumSamples] = {};
    ComputeSpectrum(silence, levels);
    for (float level : levels) EXPECT_EQ(level, 0.0f);
}

TEST(Spectrum, BandLevelIsTheMeanTimesTheGain) {
    float levels[kSpectrumLevels];
    for (int i = 0; i < kSpectrumLevels; ++i) levels[i] = i < 9 ? 0.9f : 1.0f;
    struct Case { unsigned first, end; float gain, expected; };
    const Case cases[] = {
        {0, 9, 1.0f, 0.9f},     // nine bins at 0.9; bin 9 onwards does not count
        {0, 9, 2.0f, 1.8f},
        {8, 10, 1.0f, 0.95f},
        {5, 5, 1.0f, 0.0f},     // empty band
        {9, 3, 1.0f, 0.0f},     // inverted band
        {510, 600, 1.0f, 1.0f}, // bins past the last level are left out
    };
    for (const Case& c : cases)
        EXPECT_NEAR(BandLevel(levels, c.first, c.end, c.gain), c.expected, 1e-6f) << c.first << ".." << c.end;
}
