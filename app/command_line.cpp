#include "app/command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "timeline/show_times.h"

const char kUsage[] =
    "usage: lumivane [--window | --fullscreen] [--size WxH] [--aspect A] [--vsync] [--from T] [--data DIR]\n"
    "       lumivane --capture OUT [--fps N] [--size WxH] [--from T] [--to T] [--every K] [--data DIR]\n"
    "\n"
    "With no options the setup dialog asks for the display (when there is a screen), then the\n"
    "show plays. Any display option skips the dialog; what it leaves out is what the dialog\n"
    "would have preselected (the desktop's resolution and shape, a window, no vsync).\n"
    "Escape quits the show; Page Down and Page Up jump 10 s, Home goes back to the start.\n"
    "\n"
    "  --window       play in a borderless window centred on the screen\n"
    "  --fullscreen   play full screen, switching the display to the chosen size\n"
    "  --size WxH     window and picture size in pixels (capture default 1280x720; a capture\n"
    "                 is at most 4096x2304, and even in both for .mp4)\n"
    "  --aspect A     the monitor's shape: 4:3 (the picture gets black bars), 16:9 or 16:10\n"
    "  --vsync        wait for the display's refresh before showing each frame\n"
    "  --capture OUT  render the show off screen at a fixed frame rate, without a window;\n"
    "                 OUT is a directory (frame_000000.png ..., frames.csv, audio.wav)\n"
    "                 or a file ending in .mp4 (H.264 and AAC through ffmpeg)\n"
    "  --fps N        frames per second of show time (default 60)\n"
    "  --from T       playing: open the show at T seconds of timeline time, music included;\n"
    "                 capturing: the first second to write (earlier frames run undrawn);\n"
    "                 before the end of the show at 223 s\n"
    "  --to T         stop after the first frame past T seconds (default: the end of the show)\n"
    "  --every K      write every K-th frame (default 1)\n"
    "  --data DIR     read each asset from DIR where it has a file of the asset's name\n"
    "                 (DIR/Data/Shaders/Scene.fx, ...); playing, effect files that change\n"
    "                 there are reloaded while the show runs\n"
    "  --help         this text\n";

bool CaptureOptions::IsMp4() const { return out.size() > 4 && out.compare(out.size() - 4, 4, ".mp4") == 0; }

static bool ParseInt(const char* text, int lo, int hi, int* out) {
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < lo || v > hi) return false;
    *out = static_cast<int>(v);
    return true;
}

static bool ParseSeconds(const char* text, float* out) {
    errno = 0;
    char* end = nullptr;
    float v = std::strtof(text, &end);
    if (errno || end == text || *end || !std::isfinite(v) || v < 0.0f) return false;
    *out = v;
    return true;
}

static bool ParseSize(const char* text, int* w, int* h) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    std::string width(text, x);
    return ParseInt(width.c_str(), 16, 16384, w) && ParseInt(x + 1, 16, 16384, h);
}

// What a capture cannot do, refused before anything is loaded.
static bool CheckCapture(const CaptureOptions& c, std::string* error) {
    const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
    // The largest picture H.264's common levels take: 4K (4096 x 2304). It
    // already takes seconds a frame on the processor and half a gigabyte of
    // targets; 16384 x 16384 would take 13 GB and a minute and more a frame.
    if (c.width > kMaxCaptureSide || c.height > kMaxCaptureSide ||
        static_cast<long long>(c.width) * c.height > kMaxCapturePixels) {
        *error = "--size " + size + " is too large for a capture: at most 4096x2304 pixels";
        return false;
    }
    // The encoder halves the colour planes (yuv420p).
    if (c.IsMp4() && (c.width % 2 || c.height % 2)) {
        *error = "--size " + size + " cannot be encoded as .mp4: the width and height must be even";
        return false;
    }
    return true;
}

bool ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error) {
    *out = CommandLine{};
    bool captureOnly = false;  // an option that means nothing without --capture
    bool playOnly = false;     // an option that means nothing with --capture
    bool sizeGiven = false;
    int width = 0, height = 0;
    DisplayOptions& display = out->displayOptions;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out->help = true;
            continue;
        }
        // Switches without a value.
        if (arg == "--window" || arg == "--fullscreen" || arg == "--vsync") {
            playOnly = true;
            if (arg == "--window") display.window = true;
            if (arg == "--fullscreen") display.fullscreen = true;
            if (arg == "--vsync") display.vsync = true;
            continue;
        }
        bool known = arg == "--capture" || arg == "--fps" || arg == "--size" || arg == "--from" || arg == "--to" ||
                     arg == "--every" || arg == "--aspect" || arg == "--data";
        if (!known) {
            *error = "unknown option '" + arg + "'";
            return false;
        }
        if (i + 1 >= argc) {
            *error = "option " + arg + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        CaptureOptions& c = out->captureOptions;
        bool ok = true;
        if (arg == "--capture") {
            out->capture = true;
            c.out = value;
            ok = !c.out.empty();
        } else if (arg == "--size") {
            ok = ParseSize(value, &width, &height);
            sizeGiven = true;
        } else if (arg == "--from") {
            ok = ParseSeconds(value, &c.from);
        } else if (arg == "--data") {
            out->dataDir = value;
            ok = !out->dataDir.empty();
        } else if (arg == "--aspect") {
            playOnly = true;
            display.aspectIndex = ParseAspect(value);
            ok = display.aspectIndex >= 0;
        } else {
            captureOnly = true;
            if (arg == "--fps")
                ok = ParseInt(value, 1, 1000, &c.fps);
            else if (arg == "--to")
                ok = ParseSeconds(value, &c.to);
            else if (arg == "--every")
                ok = ParseInt(value, 1, 1000000, &c.every);
        }
        if (!ok) {
            *error = "bad value '" + std::string(value) + "' for " + arg;
            return false;
        }
    }
    if (out->help) return true;
    if (captureOnly && !out->capture) {
        *error = "--fps, --to and --every need --capture";
        return false;
    }
    if (playOnly && out->capture) {
        *error = "--window, --fullscreen, --aspect and --vsync are for playing, not for --capture";
        return false;
    }
    if (display.window && display.fullscreen) {
        *error = "--window and --fullscreen exclude each other";
        return false;
    }
    // --size is the picture of a capture, or the display of the show.
    if (sizeGiven && out->capture) {
        out->captureOptions.width = width;
        out->captureOptions.height = height;
    } else if (sizeGiven) {
        display.sizeGiven = true;
        display.width = width;
        display.height = height;
    }
    const CaptureOptions& c = out->captureOptions;
    if (c.to >= 0.0f && c.to < c.from) {
        *error = "--to must not be before --from";
        return false;
    }
    // Past the end there is no frame to open on, nor one to write.
    if (c.from >= ShowTimes::kShowEnd) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(ShowTimes::kShowEnd));
        *error = "--from must be before the end of the show at " + std::string(seconds) + " s";
        return false;
    }
    return !out->capture || CheckCapture(c, error);
}
