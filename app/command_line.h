// The command line. With no arguments the show asks for its display in the
// setup dialog and plays; the display options choose it without asking, and
// the capture options render the show off screen instead.
#pragma once
#include <string>

#include "app/display_options.h"

// The largest capture: 4096 pixels a side and 4096 x 2304 in all.
constexpr int kMaxCaptureSide = 4096;
constexpr long long kMaxCapturePixels = 4096LL * 2304;

struct CaptureOptions {
    std::string out;  // a directory of PNG frames, or a file ending in .mp4
    int fps = 60;     // every frame's delta is exactly 1/fps
    int width = 1280, height = 720;
    float from = 0.0f;  // timeline seconds; earlier frames run undrawn (playing: where the show opens)
    float to = -1.0f;   // stop after the first frame past this; < 0: the whole show
    int every = 1;      // write every k-th frame

    bool IsMp4() const;
};

struct CommandLine {
    bool help = false;
    bool capture = false;
    CaptureOptions captureOptions;
    DisplayOptions displayOptions;  // playing only; --size goes to the capture when capturing
    std::string dataDir;            // --data: assets from this folder first; empty: embedded only
};

// Fills `out`; on a malformed or unknown option returns false with a
// one-line reason in `error`.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error);

extern const char kUsage[];
