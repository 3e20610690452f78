// musiccheck: verifies the rendered soundtrack against the show's picture.
//
//   musiccheck FILE.ogg
//
// Decodes the Ogg Vorbis file and checks its format and length, the clean
// loop from its end to its start, an onset at every scroller cue, shot and
// colour-split burst, the bass flash level ("SYNC_BASS": bins 0-8 of the
// show's own spectrum analyser, gain 1) on every groove beat and its quiet
// during the titles, and the true peak and integrated loudness measured by
// ffmpeg's EBU R128 filter. Prints one line per check; exits 1 if any fails.
#include <kissfft/kiss_fftr.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/spectrum.h"
#include "tools/musicgen/show_times.h"
#include "tools/musicgen/song.h"

namespace {

constexpr int kRate = 44100;

struct Track {
    std::vector<float> left, right;
    int rate = 0, channels = 0;
};

bool Decode(const char* path, Track* track) {
    OggVorbis_File vf;
    if (ov_fopen(path, &vf) != 0) {
        fprintf(stderr, "musiccheck: %s is not a readable Ogg Vorbis file\n", path);
        return false;
    }
    vorbis_info* info = ov_info(&vf, -1);
    track->rate = (int)info->rate;
    track->channels = info->channels;
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n == 0) break;
        if (n < 0) continue;  // a damaged page: skip it, the length check notices
        for (long i = 0; i < n; ++i) {
            track->left.push_back(pcm[0][i]);
            track->right.push_back(pcm[track->channels > 1 ? 1 : 0][i]);
        }
    }
    ov_clear(&vf);
    return true;
}

int failures = 0;

void Report(bool ok, const char* what, const std::string& detail) {
    printf("%s  %-34s %s\n", ok ? "ok  " : "FAIL", what, detail.c_str());
    if (!ok) ++failures;
}

std::string Format(const char* fmt, double a, double b = 0, double c = 0, double d = 0) {
    char text[256];
    snprintf(text, sizeof text, fmt, a, b, c, d);
    return text;
}

double Rms(const Track& t, size_t from, size_t count) {
    double sum = 0.0;
    for (size_t i = from; i < from + count && i < t.left.size(); ++i)
        sum += 0.5 * (t.left[i] * t.left[i] + t.right[i] * t.right[i]);
    return std::sqrt(sum / std::max<size_t>(count, 1));
}

// Onset strength: positive spectral flux of the log-compressed magnitude
// spectrum between 512-sample frames 256 samples apart, every 64 samples
// (1.5 ms). A frame's time is its centre.
struct Onsets {
    static constexpr int kHop = 64, kFrame = 512, kLag = 4;  // lag in hops
    std::vector<float> flux;
    double TimeOf(size_t k) const { return (k * kHop + kFrame / 2) / (double)kRate; }
    // Strongest onset among the frames centred within `radius` of t.
    float MaxNear(double t, double radius) const {
        double first = std::ceil(((t - radius) * kRate - kFrame / 2) / kHop);
        double last = std::floor(((t + radius) * kRate - kFrame / 2) / kHop);
        float best = 0.0f;
        for (double k = std::max(first, 0.0); k <= last && k < (double)flux.size(); ++k)
            best = std::max(best, flux[(size_t)k]);
        return best;
    }
};

Onsets ComputeOnsets(const std::vector<float>& mono) {
    Onsets o;
    const int n = Onsets::kFrame;
    const size_t frames = mono.size() > (size_t)n ? (mono.size() - n) / Onsets::kHop : 0;
    kiss_fftr_cfg plan = kiss_fftr_alloc(n, 0, nullptr, nullptr);
    std::vector<float> window(n), input(n);
    for (int i = 0; i < n; ++i) window[i] = 0.5f - 0.5f * std::cos(2.0f * 3.14159265f * i / n);
    std::vector<kiss_fft_cpx> bins(n / 2 + 1);
    // Log-compressed magnitudes of the last kLag + 1 frames, in a ring.
    std::vector<std::vector<float>> history(Onsets::kLag + 1, std::vector<float>(n / 2 + 1));
    o.flux.assign(frames, 0.0f);
    for (size_t k = 0; k < frames; ++k) {
        for (int i = 0; i < n; ++i) input[i] = mono[k * Onsets::kHop + i] * window[i];
        kiss_fftr(plan, input.data(), bins.data());
        std::vector<float>& now = history[k % history.size()];
        for (int b = 0; b <= n / 2; ++b)
            now[b] =
                std::log1p(1000.0f * std::sqrt(bins[b].r * bins[b].r + bins[b].i * bins[b].i) / n);
        if (k < (size_t)Onsets::kLag) continue;
        const std::vector<float>& before = history[(k - Onsets::kLag) % history.size()];
        float sum = 0.0f;
        for (int b = 1; b <= n / 2; ++b) sum += std::max(0.0f, now[b] - before[b]);
        o.flux[k] = sum;
    }
    kiss_fftr_free(plan);
    return o;
}

// The bass flash level of the show: every 256 samples, the analyser over the
// last 1024 mono samples, bins 0 to 8 averaged with gain 1.
struct SyncLevel {
    static constexpr int kHop = 256;
    std::vector<float> level;  // level[k] is the level at sample (k + 4) * kHop
    double TimeOf(size_t k) const { return (k + 4) * kHop / (double)kRate; }
};

SyncLevel ComputeSync(const std::vector<float>& mono) {
    SyncLevel s;
    float levels[kSpectrumLevels];
    for (size_t end = kSpectrumSamples; end <= mono.size(); end += SyncLevel::kHop) {
        ComputeSpectrum(&mono[end - kSpectrumSamples], levels);
        s.level.push_back(BandLevel(levels, 0, 9, 1.0f));
    }
    return s;
}

bool RunLoudness(const char* path, double* integrated, double* truePeak) {
    std::string command = std::string("ffmpeg -nostats -hide_banner -i '") + path +
                          "' -af ebur128=peak=true -f null - 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    char line[512];
    bool haveI = false, havePeak = false, inSummary = false;
    while (fgets(line, sizeof line, pipe)) {
        if (strstr(line, "Summary:")) inSummary = true;
        if (!inSummary) continue;
        if (sscanf(line, " I: %lf LUFS", integrated) == 1) haveI = true;
        if (sscanf(line, " Peak: %lf dBFS", truePeak) == 1) havePeak = true;
    }
    int status = pclose(pipe);
    return status == 0 && haveI && havePeak;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: musiccheck FILE.ogg\n");
        return 2;
    }
    const char* path = argv[1];
    Track track;
    if (!Decode(path, &track)) return 1;

    // Format and length.
    const double seconds = (double)track.left.size() / kRate;
    Report(track.rate == kRate && track.channels == 2, "44.1 kHz stereo",
           Format("%.0f Hz, %.0f channels", track.rate, track.channels));
    Report(seconds >= 225.0, "length at least 225 s", Format("%.3f s", seconds));
    if (track.rate != kRate || track.left.size() < (size_t)kRate) return 1;

    // The stream loops: its end must run into its start without a click.
    const size_t edge = kRate / 100;  // 10 ms
    double endRms = Rms(track, track.left.size() - edge, edge), startRms = Rms(track, 0, edge);
    double jump = std::max(std::fabs(track.left.back() - track.left.front()),
                           std::fabs(track.right.back() - track.right.front()));
    Report(endRms < 0.003 && startRms < 0.003 && jump < 0.01, "loop seam is silent",
           Format("last 10 ms %.1f dBFS, first 10 ms %.1f dBFS, step %.4f",
                  20 * std::log10(endRms + 1e-9), 20 * std::log10(startRms + 1e-9), jump));

    std::vector<float> mono(track.left.size());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (track.left[i] + track.right[i]);

    // Accents: an onset within 20 ms of every cue, shot and burst, stronger
    // than the track's median onset strength.
    Onsets onsets = ComputeOnsets(mono);
    std::vector<float> sorted = onsets.flux;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const float median = sorted[sorted.size() / 2];
    auto checkOnsets = [&](const double* times, size_t count, const char* what) {
        double weakest = 1e9, at = 0.0;
        size_t weak = 0;
        for (size_t i = 0; i < count; ++i) {
            double ratio = onsets.MaxNear(times[i], 0.020) / std::max(median, 1e-6f);
            if (ratio <= 1.0) ++weak;
            if (ratio < weakest) {
                weakest = ratio;
                at = times[i];
            }
        }
        Report(weak == 0, what,
               Format("%.0f of %.0f above the median; weakest %.1f x median at %.2f s",
                      (double)(count - weak), (double)count, weakest, at));
    };
    checkOnsets(music::kCueTimes.data(), music::kCueCount, "accent on every scroller cue");
    checkOnsets(music::kShotTimes.data(), music::kShotCount, "impact on every shot");
    std::vector<double> bursts;
    for (const music::TimeSpan& b : music::kFuzzBursts) bursts.push_back(b.start);
    checkOnsets(bursts.data(), bursts.size(), "glitch at every burst");

    // The bass flash.
    SyncLevel sync = ComputeSync(mono);
    float titlesMax = 0.0f;
    double titlesAt = 0.0;
    for (size_t k = 0; k < sync.level.size() && sync.TimeOf(k) < music::kLaserStart; ++k)
        if (sync.level[k] > titlesMax) {
            titlesMax = sync.level[k];
            titlesAt = sync.TimeOf(k);
        }
    Report(titlesMax < 0.5f, "SYNC_BASS below 0.5 in the titles",
           Format("highest %.2f at %.2f s", titlesMax, titlesAt));

    // Every groove beat: above 0.5 for at least 30 ms within 120 ms of the
    // kick, so a 60 Hz frame cannot miss it; and below 0.5 again before the
    // next beat, so the flash pulses instead of glowing.
    const music::Song song = music::BuildSong();
    size_t missed = 0, held = 0;
    double weakest = 1e9, weakestAt = 0.0, meanPeak = 0.0, shortest = 1e9;
    for (size_t b = 0; b < song.syncBeats.size(); ++b) {
        double t = song.syncBeats[b];
        double next = b + 1 < song.syncBeats.size() ? song.syncBeats[b + 1] : t + 0.45;
        float peak = 0.0f;
        int above = 0, run = 0;
        bool dips = false;
        for (size_t k = 0; k < sync.level.size(); ++k) {
            double tk = sync.TimeOf(k);
            if (tk < t) continue;
            if (tk > next) break;
            if (tk <= t + 0.120) {
                peak = std::max(peak, sync.level[k]);
                run = sync.level[k] > 0.5f ? run + 1 : 0;
                above = std::max(above, run);
            } else if (sync.level[k] < 0.5f) {
                dips = true;
            }
        }
        meanPeak += peak;
        if (peak < weakest) {
            weakest = peak;
            weakestAt = t;
        }
        shortest = std::min(shortest, above * SyncLevel::kHop * 1000.0 / kRate);
        if (above * SyncLevel::kHop < 0.030 * kRate) {
            if (missed++ < 5)
                printf("      beat at %.2f s: above 0.5 for %.0f ms, peak %.2f\n", t,
                       above * SyncLevel::kHop * 1000.0 / kRate, peak);
        }
        if (!dips && next - t < 0.6) ++held;
    }
    meanPeak /= std::max<size_t>(song.syncBeats.size(), 1);
    Report(missed == 0 && !song.syncBeats.empty(), "SYNC_BASS above 0.5 on groove beats",
           Format("%.0f of %.0f beats; peak mean %.2f, lowest %.2f",
                  (double)(song.syncBeats.size() - missed), (double)song.syncBeats.size(), meanPeak,
                  weakest) +
               Format(" at %.2f s; held at least %.0f ms", weakestAt, shortest));
    Report(held * 10 <= song.syncBeats.size(), "SYNC_BASS falls between beats",
           Format("%.0f of %.0f beats stay above 0.5 until the next", (double)held,
                  (double)song.syncBeats.size()));

    // The groove sections really have a kick on every beat.
    const double grooves[][2] = {{29.5, 55.9},   {57.5, 130.0},  {137.5, 151.5},
                                 {166.5, 168.9}, {172.0, 195.0}, {196.0, 201.9}};
    size_t gaps = 0;
    double firstGap = 0.0;
    for (const auto& g : grooves) {
        double last = g[0] - 0.3;
        for (double t : song.syncBeats) {
            if (t < g[0] - 0.3 || t > g[1] + 0.3) continue;
            if (t - last > 0.5 && gaps++ == 0) firstGap = last;
            last = t;
        }
        if (g[1] - last > 0.5 && gaps++ == 0) firstGap = last;
    }
    Report(gaps == 0, "a kick on every groove beat",
           Format("%.0f gaps longer than a beat", gaps) +
               (gaps ? Format(", the first after %.2f s", firstGap) : std::string()));

    // True peak and loudness, as ffmpeg's EBU R128 meter measures them.
    double integrated = 0.0, truePeak = 0.0;
    if (!RunLoudness(path, &integrated, &truePeak)) {
        Report(false, "loudness and true peak", "ffmpeg did not run or gave no summary");
    } else {
        Report(truePeak <= -0.5, "true peak at most -0.5 dBFS", Format("%.1f dBFS", truePeak));
        Report(integrated >= -16.0 && integrated <= -12.0, "loudness -16 to -12 LUFS",
               Format("%.1f LUFS integrated", integrated));
    }

    printf("%s\n", failures ? "musiccheck: FAILED" : "musiccheck: all checks passed");
    return failures ? 1 : 0;
}
