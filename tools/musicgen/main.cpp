// musicgen: composes and renders the show's soundtrack and encodes it as Ogg
// Vorbis. The same program always writes the same file.
//
//   musicgen --out FILE.ogg [--wav FILE.wav] [--from S] [--to S] [--quiet]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/musicgen/encode.h"
#include "tools/musicgen/instruments.h"
#include "tools/musicgen/render.h"
#include "tools/musicgen/song.h"

namespace {

constexpr float kVorbisQuality = 0.5f;
constexpr int kStreamSerial = 0x4C756D69;  // fixed, so the output never changes

void PrintStructure(const music::Song& song) {
    double low = 1e9, high = 0.0;
    for (double beat = 126; beat < 453; beat += 1.0) {
        double bpm = song.tempo.BeatsPerMinute(beat);
        low = bpm < low ? bpm : low;
        high = bpm > high ? bpm : high;
    }
    printf("Lumivane soundtrack: %.1f s, D minor, 132 bpm grid (groove %.1f..%.1f bpm)\n",
           song.length, low, high);
    for (const music::Section& s : song.sections)
        printf("  %6.2f-%6.2f s  beat %5.1f  %-20s %s\n", s.start, s.end, s.firstBeat,
               s.name.c_str(), s.content.c_str());
    int counts[music::kInstrumentCount] = {};
    for (const music::Note& n : song.notes) ++counts[n.instrument];
    printf("  notes:");
    for (int i = 0; i < music::kInstrumentCount; ++i)
        printf(" %s %d%s", music::InstrumentName((music::Instrument)i), counts[i],
               i + 1 < music::kInstrumentCount ? "," : "\n");
    printf("  %zu kicks, %zu of them groove beats for the bass flash; %zu glitch windows\n",
           song.kicks.size(), song.syncBeats.size(), song.glitches.size());
}

bool ParseSeconds(const char* text, double* out) {
    char* end = nullptr;
    double v = strtod(text, &end);
    if (end == text || *end != 0 || !(v >= 0.0)) return false;
    *out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = nullptr;
    const char* wav = nullptr;
    double from = 0.0, to = -1.0;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        bool hasValue = i + 1 < argc;
        if (!strcmp(a, "--out") && hasValue) {
            out = argv[++i];
        } else if (!strcmp(a, "--wav") && hasValue) {
            wav = argv[++i];
        } else if (!strcmp(a, "--from") && hasValue) {
            if (!ParseSeconds(argv[++i], &from)) {
                fprintf(stderr, "musicgen: --from needs a time in seconds, got \"%s\"\n", argv[i]);
                return 2;
            }
        } else if (!strcmp(a, "--to") && hasValue) {
            if (!ParseSeconds(argv[++i], &to)) {
                fprintf(stderr, "musicgen: --to needs a time in seconds, got \"%s\"\n", argv[i]);
                return 2;
            }
        } else if (!strcmp(a, "--quiet")) {
            quiet = true;
        } else {
            fprintf(stderr,
                    "usage: musicgen [--out FILE.ogg] [--wav FILE.wav] [--from S] [--to S] "
                    "[--quiet]\n");
            return 2;
        }
    }

    auto started = std::chrono::steady_clock::now();
    music::Song song = music::BuildSong();
    if (!quiet) PrintStructure(song);
    if (!song.cuesWithoutAccent.empty()) {
        fprintf(stderr, "musicgen: %zu scroller cues have no accent, the first at %.2f s\n",
                song.cuesWithoutAccent.size(), song.cuesWithoutAccent[0]);
        return 1;
    }
    if (to < 0.0 || to > song.length) to = song.length;
    if (from >= to) {
        fprintf(stderr, "musicgen: empty range %.2f..%.2f s\n", from, to);
        return 2;
    }
    if (!out && !wav) return 0;  // structure only

    music::StereoBuffer audio = music::RenderSong(song, from, to);
    std::string error;
    if (wav && !music::WriteWav16(wav, audio, &error)) {
        fprintf(stderr, "musicgen: %s\n", error.c_str());
        return 1;
    }
    if (out && !music::WriteOggVorbis(out, audio, kVorbisQuality, kStreamSerial, &error)) {
        fprintf(stderr, "musicgen: %s\n", error.c_str());
        return 1;
    }
    if (!quiet) {
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        printf("  rendered %.2f-%.2f s in %.1f s\n", from, to, seconds);
    }
    return 0;
}
