#include "tools/musicgen/tempo.h"

#include <algorithm>
#include <cmath>

namespace music {

double TempoMap::Seconds(double beat) const {
    const int n = (int)beatSeconds.size();
    if (n < 2) return 0.0;
    int k = (int)std::floor(beat);
    if (k < 0) k = 0;
    if (k > n - 2) k = n - 2;
    double f = beat - k;
    return beatSeconds[k] + (beatSeconds[k + 1] - beatSeconds[k]) * f;
}

double TempoMap::Beat(double seconds) const {
    const int n = (int)beatSeconds.size();
    if (n < 2) return 0.0;
    auto it = std::upper_bound(beatSeconds.begin(), beatSeconds.end(), seconds);
    int k = (int)(it - beatSeconds.begin()) - 1;
    if (k < 0) k = 0;
    if (k > n - 2) k = n - 2;
    return k + (seconds - beatSeconds[k]) / (beatSeconds[k + 1] - beatSeconds[k]);
}

double TempoMap::BeatsPerMinute(double beat) const {
    return 60.0 / (Seconds(std::floor(beat) + 1.0) - Seconds(std::floor(beat)));
}

double FitGridPhase(const double* times, size_t count, double bpm) {
    const double spb = 60.0 / bpm;
    double bestPhase = 0.0, bestError = 1e300;
    // A fine scan is enough: the error is smooth in the phase except where a
    // time switches to another nearest beat.
    for (int i = 0; i < 4000; ++i) {
        double phase = spb * i / 4000.0;
        double error = 0.0;
        for (size_t c = 0; c < count; ++c) {
            double x = (times[c] - phase) / spb;
            double r = (x - std::round(x)) * spb;
            error += r * r;
        }
        if (error < bestError) {
            bestError = error;
            bestPhase = phase;
        }
    }
    return bestPhase;
}

// Moves the beat times so that the anchor's (interpolated) time lies within
// its tolerance. Both neighbouring beats move together for fractional beats.
static void ProjectAnchor(const TempoAnchor& a, std::vector<double>& t) {
    int k = (int)std::floor(a.beat);
    if (k < 0 || k + 1 >= (int)t.size()) return;
    double f = a.beat - k;
    double at = t[k] * (1.0 - f) + t[k + 1] * f;
    double shift = 0.0;
    if (at < a.seconds - a.tolerance) shift = a.seconds - a.tolerance - at;
    if (at > a.seconds + a.tolerance) shift = a.seconds + a.tolerance - at;
    if (shift == 0.0) return;
    if (f == 0.0) {
        t[k] += shift;
    } else {
        t[k] += shift;
        t[k + 1] += shift;
    }
}

TempoMap BuildTempoMap(double phase, double bpm, int beatCount,
                       const std::vector<TempoAnchor>& anchors) {
    const double spb = 60.0 / bpm;
    const int n = beatCount;
    std::vector<double> x(n), y(n), next(n), grad(n);
    for (int k = 0; k < n; ++k) x[k] = phase + spb * k;
    y = x;
    // Objective 1/2 |D2 t|^2 (D2: second difference). Its Hessian has norm at
    // most 16, so a step of 1/16 always descends; Nesterov's momentum makes a
    // few thousand steps converge to well under a microsecond.
    double momentum = 1.0;
    for (int iter = 0; iter < 4000; ++iter) {
        std::fill(grad.begin(), grad.end(), 0.0);
        for (int k = 0; k + 2 < n; ++k) {
            double d = y[k] - 2.0 * y[k + 1] + y[k + 2];
            grad[k] += d;
            grad[k + 1] -= 2.0 * d;
            grad[k + 2] += d;
        }
        for (int k = 0; k < n; ++k) next[k] = y[k] - grad[k] / 16.0;
        // A few sweeps of projections settle anchors that share a beat.
        for (int sweep = 0; sweep < 3; ++sweep)
            for (const TempoAnchor& a : anchors) ProjectAnchor(a, next);
        double m = (1.0 + std::sqrt(1.0 + 4.0 * momentum * momentum)) / 2.0;
        for (int k = 0; k < n; ++k) y[k] = next[k] + (momentum - 1.0) / m * (next[k] - x[k]);
        momentum = m;
        x.swap(next);
    }
    // The last step was a projection, so x meets every anchor.
    TempoMap map;
    map.beatSeconds = x;
    return map;
}

}  // namespace music
