#include "core/tweaks.h"

#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <string>

TweakTable& TweakTable::Get() {
    static TweakTable s_table;
    return s_table;
}

void LoadTweaks(const char* path) {
    FILE* file = std::fopen(path, "r");
    if (!file) return;  // no file: every tweak keeps its default
    std::vector<StoredTweak>& stored = TweakTable::Get().stored;
    // A stream of whitespace-separated tokens, a name and then a number;
    // lines do not matter.
    for (;;) {
        StoredTweak tweak{};
        if (std::fscanf(file, "%255s", tweak.name) != 1) break;
        // A name longer than the record: the rest of the token is dropped.
        std::fscanf(file, "%*[^ \t\n\v\f\r]");
        // A number that does not parse stores 0, and scanning resumes at
        // the unparsed text, which is read as the next name.
        if (std::fscanf(file, "%f", &tweak.value) != 1) tweak.value = 0.0f;
        stored.push_back(tweak);
    }
    std::fclose(file);
}

void RegisterTweak(const char* name, float* value, float step, float min, float max, bool stepOnPress) {
    TweakEntry entry{};
    std::strncpy(entry.name, name ? name : "", sizeof entry.name - 1);
    entry.value = value;
    entry.step = step;
    entry.min = min;
    entry.max = max;
    entry.stepOnPress = stepOnPress;

    TweakTable& table = TweakTable::Get();
    // Names compare exactly, byte for byte, as they will be stored.
    for (const TweakEntry& e : table.registered)
        if (std::strcmp(e.name, entry.name) == 0) return;
    table.registered.push_back(entry);
    for (const StoredTweak& s : table.stored) {
        if (std::strcmp(s.name, entry.name) == 0) {
            *value = s.value;  // not clamped: the editor does that once selected
            break;
        }
    }
}

bool SaveTweaks(const char* path) {
    const TweakTable& table = TweakTable::Get();
    // Nothing registered (the show never started): keep the old file rather
    // than empty it.
    if (table.registered.empty()) return false;

    // Written beside the file and renamed over it, so a save that dies half
    // way never leaves a truncated tweaks.txt behind.
    std::string temporary = std::string(path) + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) return false;
    bool ok = true;
    for (const TweakEntry& e : table.registered)
        if (std::fprintf(file, "%s %f\n", e.name, static_cast<double>(*e.value)) < 0) ok = false;
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}
