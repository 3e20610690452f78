#include "app/command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char kUsage[] =
    "usage: lumivane [--capture OUT [--fps N] [--size WxH] [--from T] [--to T] [--every K]]\n"
    "\n"
    "With no options the show plays in its window. Escape quits.\n"
    "\n"
    "  --capture OUT  render the show off screen at a fixed frame rate, without a window;\n"
    "                 OUT is a directory (frame_000000.png ..., frames.csv, audio.wav)\n"
    "                 or a file ending in .mp4 (H.264 and AAC through ffmpeg)\n"
    "  --fps N        frames per second of show time (default 60)\n"
    "  --size WxH     window and picture size in pixels (default 1280x720)\n"
    "  --from T       first second of timeline time to write (earlier frames are still drawn)\n"
    "  --to T         stop after the first frame past T seconds (default: the end of the show)\n"
    "  --every K      write every K-th frame (default 1)\n"
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

bool ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error) {
    *out = CommandLine{};
    bool captureOnly = false;  // an option that means nothing without --capture
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out->help = true;
            continue;
        }
        bool known = arg == "--capture" || arg == "--fps" || arg == "--size" || arg == "--from" || arg == "--to" ||
                     arg == "--every";
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
        } else {
            captureOnly = true;
            if (arg == "--fps")
                ok = ParseInt(value, 1, 1000, &c.fps);
            else if (arg == "--size")
                ok = ParseSize(value, &c.width, &c.height);
            else if (arg == "--from")
                ok = ParseSeconds(value, &c.from);
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
    if (captureOnly && !out->capture && !out->help) {
        *error = "--fps, --size, --from, --to and --every need --capture";
        return false;
    }
    const CaptureOptions& c = out->captureOptions;
    if (c.to >= 0.0f && c.to < c.from) {
        *error = "--to must not be before --from";
        return false;
    }
    return true;
}
