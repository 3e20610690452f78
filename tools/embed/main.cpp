// embed_resources MANIFEST SOURCE_DIR GENERATED_DIR OUT_DIR
//
// Reads the resource manifest and writes OUT_DIR/resources.S (every listed
// file embedded with .incbin), OUT_DIR/resource_table.cpp (the table that
// finds them by id and type) and OUT_DIR/resources.d, which tells the build
// to run this again when any embedded file changes.
#include <sys/stat.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "manifest.h"

namespace {

// Far beyond a list of a few dozen assets.
constexpr std::streamoff kMaxManifestBytes = 1 << 20;
// Sizes travel as 32-bit signed numbers (the music reader's file interface).
constexpr long long kMaxResourceBytes = 0x7FFFFFFF;

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "embed_resources: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

// A path as a Makefile rule spells it.
std::string MakeEscaped(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: embed_resources MANIFEST SOURCE_DIR GENERATED_DIR OUT_DIR\n");
        return 2;
    }
    const std::string manifest = argv[1], sourceDir = argv[2], generatedDir = argv[3], outDir = argv[4];
    std::ifstream in(manifest, std::ios::binary);
    std::stringstream text;
    if (!in || !(text << in.rdbuf()) || text.tellp() > kMaxManifestBytes) {
        std::fprintf(stderr, "%s: cannot be read, or is larger than 1 MiB\n", manifest.c_str());
        return 1;
    }
    const std::string bytes = text.str();
    std::vector<ManifestEntry> entries;
    std::string error;
    if (!ParseManifest(bytes.data(), bytes.size(), &entries, &error)) {
        std::fprintf(stderr, "%s: %s\n", manifest.c_str(), error.c_str());
        return 1;
    }
    std::string depends = MakeEscaped(outDir + "/resources.S") + ":";
    for (ManifestEntry& e : entries) {
        e.path = ResolveManifestPath(e.path, sourceDir, generatedDir);
        struct stat st;
        if (stat(e.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxResourceBytes) {
            std::fprintf(stderr, "%s:%d: %s is missing, not a regular file, or too large\n", manifest.c_str(), e.line,
                         e.path.c_str());
            return 1;
        }
        depends += " \\\n  " + MakeEscaped(e.path);
    }
    depends += "\n";
    bool ok = WriteFile(outDir + "/resources.S", ManifestAssembly(entries)) &&
              WriteFile(outDir + "/resource_table.cpp", ManifestTable(entries)) &&
              WriteFile(outDir + "/resources.d", depends);
    return ok ? 0 : 1;
}
