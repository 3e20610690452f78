// The resource manifest (Data/resources.manifest): one asset per line,
//
//     id  type  name  path
//
// separated by spaces or tabs; blank lines and lines starting with '#' are
// skipped. The id is 1 to 65535 (a Win32 resource number), the type is
// letters (RCDATA, MUSIC), the name is the asset's file-like label and the
// path the file to embed: "@GENERATED@/..." for a file a generator in tools/
// writes into the build tree, an absolute path for a file of a system
// package, anything else relative to the source tree.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct ManifestEntry {
    int id = 0;
    std::string type, name, path;
    int line = 0;  // where the manifest lists it
};

// The manifest's entries in order. False, with "line N: what is wrong" in
// `error`, on a malformed line, a character that has no place in a name or
// path, an id out of range, or a type and id listed twice.
bool ParseManifest(const char* text, size_t size, std::vector<ManifestEntry>* out, std::string* error);

// The file an entry's path names.
std::string ResolveManifestPath(const std::string& path, const std::string& sourceDir, const std::string& generatedDir);

// The assembly file that embeds every entry's file (paths already resolved),
// each followed by a zero byte its size leaves out, and the C++ table that
// finds them (assets/resources.h).
std::string ManifestAssembly(const std::vector<ManifestEntry>& entries);
std::string ManifestTable(const std::vector<ManifestEntry>& entries);
