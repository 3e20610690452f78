#include "manifest.h"

#include <map>
#include <utility>

namespace {

constexpr size_t kMaxTypeLength = 16;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Names and paths are printable bytes: no control characters, which would
// break a line of the generated sources. Bytes of UTF-8 sequences pass.
bool IsPrintable(const std::string& field) {
    for (unsigned char c : field)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

bool IsLetters(const std::string& field) {
    for (char c : field)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

// 1 to 65535, decimal digits only; -1 otherwise.
int ParseId(const std::string& field) {
    if (field.empty() || field.size() > 5) return -1;
    int id = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return -1;
        id = id * 10 + (c - '0');
    }
    return id >= 1 && id <= 65535 ? id : -1;
}

// A string literal's contents for C++ and for the assembler alike.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

std::string Symbol(const ManifestEntry& e) { return "lumivane_res_" + e.type + "_" + std::to_string(e.id); }

}  // namespace

bool ParseManifest(const char* text, size_t size, std::vector<ManifestEntry>* out, std::string* error) {
    out->clear();
    std::map<std::pair<std::string, int>, int> seen;  // (type, id) -> line
    size_t p = 0;
    for (int lineNumber = 1; p < size; ++lineNumber) {
        size_t end = p;
        while (end < size && text[end] != '\n') ++end;
        std::string line(text + p, end - p);
        p = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();  // written on Windows

        std::vector<std::string> fields;
        for (size_t i = 0; i < line.size();) {
            while (i < line.size() && IsBlank(line[i])) ++i;
            size_t start = i;
            while (i < line.size() && !IsBlank(line[i])) ++i;
            if (i > start) fields.emplace_back(line, start, i - start);
        }
        if (fields.empty() || fields[0][0] == '#') continue;

        auto fail = [&](const std::string& what) {
            *error = "line " + std::to_string(lineNumber) + ": " + what;
            out->clear();
            return false;
        };
        if (fields.size() != 4) return fail("expected four fields: id, type, name and path");
        ManifestEntry e;
        e.id = ParseId(fields[0]);
        e.type = fields[1];
        e.name = fields[2];
        e.path = fields[3];
        e.line = lineNumber;
        if (e.id < 0) return fail("the id must be a number from 1 to 65535");
        if (!IsLetters(e.type) || e.type.size() > kMaxTypeLength) return fail("the type must be 1 to 16 letters");
        if (!IsPrintable(e.name) || !IsPrintable(e.path)) return fail("a control character in the name or path");
        auto [at, fresh] = seen.emplace(std::make_pair(e.type, e.id), lineNumber);
        if (!fresh)
            return fail("resource " + e.type + " " + std::to_string(e.id) + " is already listed on line " +
                        std::to_string(at->second));
        out->push_back(std::move(e));
    }
    return true;
}

std::string ResolveManifestPath(const std::string& path, const std::string& sourceDir,
                                const std::string& generatedDir) {
    const std::string generated = "@GENERATED@/";
    if (path.compare(0, generated.size(), generated) == 0) return generatedDir + "/" + path.substr(generated.size());
    if (!path.empty() && path[0] == '/') return path;
    return sourceDir + "/" + path;
}

std::string ManifestAssembly(const std::vector<ManifestEntry>& entries) {
    std::string s = "/* Generated from the resource manifest; do not edit. */\n\t.section .rodata\n";
    for (const ManifestEntry& e : entries) {
        const std::string sym = Symbol(e);
        // The zero byte after each lets text resources be read as C strings.
        s += "\t.balign 16\n\t.global " + sym + "\n" + sym + ":\n\t.incbin \"" + Escaped(e.path) + "\"\n\t.global " +
             sym + "_end\n" + sym + "_end:\n\t.byte 0\n";
    }
    s += "\t.section .note.GNU-stack,\"\",@progbits\n";
    return s;
}

std::string ManifestTable(const std::vector<ManifestEntry>& entries) {
    std::string decls, rows;
    for (const ManifestEntry& e : entries) {
        const std::string sym = Symbol(e);
        decls += "extern const unsigned char " + sym + "[], " + sym + "_end[];\n";
        rows += "    {" + std::to_string(e.id) + ", \"" + e.type + "\", \"" + Escaped(e.name) + "\", " + sym + ", " +
                sym + "_end},\n";
    }
    return "// Generated from the resource manifest; do not edit.\n#include \"assets/resources.h\"\n\nextern \"C\" "
           "{\n" +
           decls + "}\n\nconst EmbeddedResource kEmbeddedResources[] = {\n" + rows +
           "    {0, nullptr, nullptr, nullptr, nullptr},\n};\n";
}
