// assetgen: writes every texture, the cube map and the meshes of the show,
// deterministically (the same bytes on every run).
//
//   assetgen --out DIR               write DIR/Data/Textures/... and DIR/Data/meshs/...
//   assetgen --contact-sheet FILE    draw every texture on one PNG for review
//   assetgen --preview DIR           render the start and end of each mesh camera move
#include <sys/stat.h>

#include <cerrno>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets.h"
#include "contact_sheet.h"
#include "png_io.h"
#include "text.h"

static bool MakeDirs(const std::string& path)
{
    std::string partial;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
                std::fprintf(stderr, "assetgen: cannot create %s\n", partial.c_str());
                return false;
            }
        }
        if (i < path.size())
            partial += path[i];
    }
    return true;
}

int main(int argc, char** argv)
{
    std::string outDir, sheetPath, previewDir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--out" || a == "--contact-sheet" || a == "--preview") && i + 1 < argc) {
            (a == "--out" ? outDir : a == "--contact-sheet" ? sheetPath : previewDir) = argv[++i];
        } else {
            std::fprintf(stderr, "usage: assetgen [--out DIR] [--contact-sheet FILE.png] [--preview DIR]\n");
            return 2;
        }
    }
    if (outDir.empty() && sheetPath.empty() && previewDir.empty()) {
        std::fprintf(stderr, "usage: assetgen [--out DIR] [--contact-sheet FILE.png] [--preview DIR]\n");
        return 2;
    }
    if (!TextInit())
        return 1;

    AssetSet set;
    if (!BuildAllAssets(set, previewDir)) {
        TextShutdown();
        return 1;
    }

    bool ok = true;
    if (!outDir.empty()) {
        ok = MakeDirs(outDir + "/Data/Textures") && MakeDirs(outDir + "/Data/meshs");
        for (const Asset& a : set.files)
            ok = ok && WriteFile(outDir + "/" + a.path, a.bytes);
    }
    if (ok && !sheetPath.empty()) {
        const Image sheet = LayoutContactSheet(set.sheet, 2400);
        ok = WriteFile(sheetPath, EncodePng(sheet.w, sheet.h, PngType::Rgb, ToRgb(sheet)));
        if (ok)
            std::printf("assetgen: contact sheet %s (%d x %d)\n", sheetPath.c_str(), sheet.w, sheet.h);
    }
    TextShutdown();
    return ok ? 0 : 1;
}
