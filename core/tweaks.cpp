#include "core/tweaks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "platform/file_io.h"

TweakTable& TweakTable::Get() {
    static TweakTable s_table;
    return s_table;
}

namespace {

// The C locale's white space; a NUL byte separates tokens too, so no name
// hides bytes after one.
bool IsSeparator(char c) { return c == '\0' || c == ' ' || (c >= '\t' && c <= '\r'); }

// Where a number token that strtof may read ends: at the next separator.
size_t TokenEnd(const std::string& text, size_t at) {
    while (at < text.size() && !IsSeparator(text[at])) ++at;
    return at;
}

}  // namespace

void ParseTweaks(const char* data, size_t size, std::vector<StoredTweak>* out, TweakParseReport* report) {
    // strtof needs a terminator; the copy has one after every byte of the file.
    const std::string text(data, size);
    size_t p = 0;
    for (;;) {
        while (p < text.size() && IsSeparator(text[p])) ++p;
        if (p >= text.size()) break;
        // The name: a name longer than the record keeps its first 255 bytes.
        StoredTweak tweak{};
        size_t end = TokenEnd(text, p);
        size_t length = end - p < sizeof tweak.name - 1 ? end - p : sizeof tweak.name - 1;
        std::memcpy(tweak.name, text.data() + p, length);
        p = end;
        while (p < text.size() && IsSeparator(text[p])) ++p;

        // The number. strtof reads a prefix of the token ("1.5abc" gives 1.5
        // and "abc" is the next name); a token with no number in front is read
        // as the next name. Either way the scan goes on from what was not used.
        end = TokenEnd(text, p);
        std::string token = text.substr(p, end - p);
        char* stop = nullptr;
        float value = token.empty() ? 0.0f : std::strtof(token.c_str(), &stop);
        size_t used = token.empty() ? 0 : static_cast<size_t>(stop - token.c_str());
        p += used;
        if (used == 0 || !std::isfinite(value)) {
            if (report && report->skipped++ == 0) report->firstSkipped = tweak.name;
            continue;
        }
        tweak.value = value;
        tweak.text = token.substr(0, used);
        out->push_back(std::move(tweak));
    }
}

std::string FormatTweaks(const TweakTable& table) {
    std::string out;
    std::unordered_set<std::string> written;
    char line[400];
    for (const TweakEntry& e : table.registered) {
        written.insert(e.name);
        if (!std::isfinite(*e.value)) continue;  // it would not be read back
        std::snprintf(line, sizeof line, "%s %f\n", e.name, static_cast<double>(*e.value));
        out += line;
    }
    // A tweak that nobody registered in this run (its owner never ran, or
    // came later in the show than this run got) keeps what the file said.
    for (const StoredTweak& s : table.stored) {
        if (!written.insert(s.name).second) continue;
        out += s.name;
        out += ' ';
        out += s.text;
        out += '\n';
    }
    return out;
}

void LoadTweaks(const char* path) {
    TweakTable& table = TweakTable::Get();
    std::string text, error;
    switch (Platform::ReadSmallFile(path, kMaxTweakFileBytes, &text, &error)) {
    case Platform::ReadResult::Missing: return;  // every tweak keeps its default
    case Platform::ReadResult::Failed:
        table.fileUnread = true;
        std::fprintf(stderr, "lumivane: cannot read %s: %s; every tweak keeps its default\n", path, error.c_str());
        return;
    case Platform::ReadResult::Ok: break;
    }
    TweakParseReport report;
    ParseTweaks(text.data(), text.size(), &table.stored, &report);
    if (report.skipped == 1)
        std::fprintf(stderr, "lumivane: %s: '%s' has no finite number; it keeps its default\n", path,
                     report.firstSkipped.c_str());
    else if (report.skipped > 1)
        std::fprintf(stderr,
                     "lumivane: %s: %d names have no finite number (the first is '%s'); they keep their defaults\n",
                     path, report.skipped, report.firstSkipped.c_str());
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

SaveResult SaveTweaks(const char* path) {
    const TweakTable& table = TweakTable::Get();
    // Nothing registered (the show never started): keep the old file rather
    // than rewrite it.
    if (table.registered.empty()) return SaveResult::Unchanged;
    if (table.fileUnread) {
        std::fprintf(stderr, "lumivane: cannot save %s: it could not be read, so it is not written over\n", path);
        return SaveResult::Failed;
    }
    std::string error;
    switch (Platform::ReplaceFile(path, FormatTweaks(table), &error)) {
    case Platform::WriteResult::Ok: return SaveResult::Saved;
    case Platform::WriteResult::ReadOnly:
        std::fprintf(stderr, "lumivane: %s is read-only; this run's tweaks are not saved\n", path);
        return SaveResult::Unchanged;
    case Platform::WriteResult::Failed: break;
    }
    std::fprintf(stderr, "lumivane: cannot save %s: %s\n", path, error.c_str());
    return SaveResult::Failed;
}
