// The resource manifest (tools/embed/manifest.h): any bytes parse or fail
// with a message that names a line; the sources made from a parsed manifest
// have exactly the lines they are built from, so no name or path can break
// out of its string.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<ManifestEntry> entries;
    std::string error;
    if (!ParseManifest(reinterpret_cast<const char*>(data), size, &entries, &error)) {
        if (error.compare(0, 5, "line ") != 0 || !entries.empty()) std::abort();
        return 0;
    }
    for (ManifestEntry& e : entries) e.path = ResolveManifestPath(e.path, "/source", "/generated");
    const std::string assembly = ManifestAssembly(entries), table = ManifestTable(entries);
    // Three lines around the entries and seven per entry in the assembly;
    // nine lines and two per entry (a declaration and a row) in the table.
    if (std::count(assembly.begin(), assembly.end(), '\n') != 3 + 7 * static_cast<long>(entries.size())) std::abort();
    if (std::count(table.begin(), table.end(), '\n') != 9 + 2 * static_cast<long>(entries.size())) std::abort();
    return 0;
}
