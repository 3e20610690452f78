// Encodes every texture in its catalogue format and checks the glyph strips
// with the same column scan the show's font uses.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "assets.h"
#include "effects/glyph_strip.h"
#include "glyph_fonts.h"
#include "ground_preview.h"
#include "hud_overlays.h"
#include "png_io.h"
#include "screens.h"
#include "small_textures.h"
#include "style.h"

static const char kTex[] = "Data/Textures/";

static void Add(AssetSet& set, const std::string& name, std::vector<uint8_t> png, int sheetWidth, bool checker = false)
{
    set.sheet.push_back({name, PictureFromPng(png), sheetWidth, checker});
    set.files.push_back({kTex + name, std::move(png)});
}

static bool CheckStrip(const std::vector<uint8_t>& rgba, int w, int h, unsigned gapLimit, const char* name)
{
    std::vector<uint32_t> texels((size_t)w * h);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = (uint32_t)rgba[i * 4 + 3] << 24 | rgba[i * 4] << 16 | rgba[i * 4 + 1] << 8 | rgba[i * 4 + 2];
    float widths[256], offsets[256];
    const int found = ScanGlyphStrip(texels.data(), w, h, kGlyphList, gapLimit, widths, offsets);
    if (found != (int)std::strlen(kGlyphList)) {
        std::fprintf(stderr, "assetgen: %s cuts into %d glyphs instead of %zu\n", name, found, std::strlen(kGlyphList));
        return false;
    }
    return true;
}

bool BuildTextureAssets(AssetSet& set)
{
    auto screen = [&](const char* name, const Image& content) {
        const Image canvas = ScreenCanvas(content);
        std::vector<uint8_t> png = EncodePng(canvas.w, canvas.h, PngType::Rgb, ToRgb(canvas));
        set.files.push_back({std::string(kTex) + name, png});
        set.sheet.push_back({name, content, 560});
    };
    screen("tavorin_t3mission.png", MakeMissionScreen());
    screen("tavorin_t3logo.png", MakeLogoScreen());
    screen("tavorin_t3endscreen.png", MakeEndScreen());
    {
        Image loader = MakeLoaderScreen();
        const Image canvas = ScreenCanvas(loader);
        set.files.push_back({std::string(kTex) + "tavorin_t3loader.png", EncodePng(canvas.w, canvas.h, PngType::Rgb, ToRgb(canvas))});
        // On the sheet, show the loader with eight of its twelve pips lit.
        const Image pip = MakeLoadingPip();
        for (int i = 0; i < 8; ++i)
            Composite(loader, pip, (int)(kPipRowX + kPipStep * i), (int)kPipRowY);
        set.sheet.push_back({"tavorin_t3loader.png (8 pips)", loader, 560});
    }
    {
        const Image overlay = MakeScrollerOverlay();
        Image canvas(2048, 1024);
        Composite(canvas, overlay, 0, 0);
        Add(set, "tavorin_t3scrolleroverlay.png", EncodePng(2048, 1024, PngType::GreyAlpha, ToGreyAlpha(canvas)), 560, true);
        set.sheet.back().picture = overlay;
    }
    for (int i = 1; i <= 4; ++i) {
        const Image hud = MakeHudOverlay(i);
        Add(set, "t2_overlay" + std::to_string(i) + ".png", EncodePng(hud.w, hud.h, PngType::Rgba, ToRgba(hud)), 560, true);
        // Shown at the proportions the show stretches it to.
        set.sheet.back().picture = Resample(PictureFromPng(set.files.back().bytes), 1280, 720);
    }
    {
        const Image strip = MakeLaserFont();
        const std::vector<uint8_t> rgba = ToRgba(strip);
        if (!CheckStrip(rgba, strip.w, strip.h, 0xFFFFFFFFu, "laser_font.png"))
            return false;
        Add(set, "laser_font.png", EncodePng(strip.w, strip.h, PngType::Rgba, rgba), 2048, true);
    }
    {
        const std::vector<uint8_t> rgba = MakeMetaFontRgba();
        if (!CheckStrip(rgba, kMetaFontW, kMetaFontH, 12, "meta_font.png"))
            return false;
        Add(set, "meta_font.png", EncodePng(kMetaFontW, kMetaFontH, PngType::Rgba, rgba), 2048, true);
        set.sheet.push_back({"meta_font.png as metaball letters (top view)", PreviewMetaLetters(rgba), 960});
    }
    {
        std::vector<uint8_t> indices, palette;
        MakeGrid(indices, palette);
        Add(set, "grid.png", EncodePng(512, 512, PngType::Palette, indices, palette), 384);
        set.sheet.push_back({"grid.png on the ground, view 1, quiet", RenderGroundPreview(indices, palette, 0.4f, 640, 360), 560});
        set.sheet.push_back({"grid.png on the ground, view 1, bass flash", RenderGroundPreview(indices, palette, 2.0f, 640, 360), 560});
    }
    {
        const Image flare = MakeLaserFlare();
        Add(set, "laser_flare.png", EncodePng(256, 256, PngType::Rgba, ToRgba(flare)), 256, true);
        const Image smoke = MakeLaserSmoke();
        Add(set, "laser_smoke.png", EncodePng(256, 256, PngType::Grey, ToGrey(smoke)), 256);
        const Image pip = MakeLoadingPip();
        Add(set, "loading_pip.png", EncodePng(32, 32, PngType::Rgba, ToRgba(pip)), 192, true);
        const Image fun = MakeFunText();
        Add(set, "tavorin_t3_funtext.png", EncodePng(1024, 256, PngType::Grey, ToGrey(fun)), 768);
    }
    return true;
}

bool BuildAllAssets(AssetSet& set, const std::string& previewDir)
{
    if (!BuildTextureAssets(set) || !BuildMeshAssets(set, previewDir))
        return false;
    // With a preview folder, every picture of the sheet is also written on
    // its own at full size.
    if (!previewDir.empty())
        for (size_t i = 0; i < set.sheet.size(); ++i) {
            std::string name;
            for (char c : set.sheet[i].label)
                name += std::isalnum((unsigned char)c) ? c : '_';
            const Image& p = set.sheet[i].picture;
            char path[64];
            std::snprintf(path, sizeof path, "/sheet%02zu_", i);
            if (!WriteFile(previewDir + path + name.substr(0, 40) + ".png", EncodePng(p.w, p.h, PngType::Rgba, ToRgba(p))))
                return false;
        }
    return true;
}
