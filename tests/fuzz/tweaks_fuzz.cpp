// tweaks.txt (core/tweaks.h): any bytes parse; what is written back parses
// again to the same names and values.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/tweaks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TweakTable table;
    ParseTweaks(reinterpret_cast<const char*>(data), size, &table.stored, nullptr);
    for (const StoredTweak& s : table.stored)
        if (!std::isfinite(s.value) || s.name[0] == '\0' || s.text.empty()) std::abort();
    // One registered tweak, so the save writes both kinds of line.
    float value = 0.5f;
    table.registered.push_back(TweakEntry{"registered", &value, 1.0f, 0.0f, 1.0f, false});

    const std::string saved = FormatTweaks(table);
    TweakTable again;
    ParseTweaks(saved.data(), saved.size(), &again.stored, nullptr);
    // The registered line comes first; then the first of each stored name.
    if (again.stored.empty() || std::strcmp(again.stored[0].name, "registered") != 0) std::abort();
    for (size_t i = 1; i < again.stored.size(); ++i) {
        const StoredTweak& s = again.stored[i];
        for (const StoredTweak& original : table.stored) {
            if (std::strcmp(original.name, s.name) != 0) continue;
            if (original.value != s.value || original.text != s.text) std::abort();
            break;
        }
    }
    return 0;
}
