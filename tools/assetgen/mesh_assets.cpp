// Builds the head, hand and cylinder meshes, bakes the AO maps, renders the
// framing previews and the setup dialog's picture.
#include <cstdio>
#include <string>

#include "assets.h"
#include "camera_moves.h"
#include "cubemap.h"
#include "cylinder.h"
#include "draw.h"
#include "hud_overlays.h"
#include "png_io.h"
#include "preview.h"
#include "style.h"
#include "xfile.h"

namespace {

std::vector<uint8_t> AoPng(const std::vector<float>& tex, int size)
{
    // Palette picture whose entries are the 256 greys: the shader reads red.
    std::vector<uint8_t> indices((size_t)size * size), palette(256 * 3);
    for (int i = 0; i < 256; ++i)
        palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = (uint8_t)i;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            indices[(size_t)y * size + x] = ToByte(tex[(size_t)y * size + x], x, y);
    return EncodePng(size, size, PngType::Palette, indices, palette);
}

Image Shot(const MeshData& mesh, const std::vector<float>& ao, int aoSize, const CameraMove& move, float progress, int w, int h)
{
    PreviewView v;
    CameraAt(move, progress, v.eye, v.target);
    v.turn = progress;  // the shots turn the model by up to one radian
    v.width = w;
    v.height = h;
    v.clear = {0.012f, 0.016f, 0.024f, 1};
    Image img = RenderPreview(mesh, ao, aoSize, v);
    // A little bloom, as the show's post-processing adds.
    Image glow = img;
    for (float& p : glow.px)
        p = std::max(0.0f, p - 0.55f);
    GaussianBlur(glow, w / 80.0f);
    AddImage(img, glow, 1.2f);
    return img;
}

bool WritePreviews(const std::string& dir, const char* name, const MeshData& mesh, const std::vector<float>& ao, int aoSize,
                   const CameraMove* moves)
{
    // Each move's start and end side by side, one move per row.
    Image sheet(2 * 640 + 12, 3 * 360 + 24, {0.3f, 0.3f, 0.3f, 1});
    for (int m = 0; m < 3; ++m)
        for (int end = 0; end < 2; ++end) {
            const Image img = Shot(mesh, ao, aoSize, moves[m], end ? 1.0f : 0.0f, 640, 360);
            Composite(sheet, img, end * 652, m * 372);
            char label[64];
            std::snprintf(label, sizeof label, "%s MOVE %d %s", name, m, end ? "END" : "START");
            Label(sheet, label, end * 652 + 10.0f, m * 372 + 20.0f, kWhite, 11);
        }
    char path[512];
    std::snprintf(path, sizeof path, "%s/%s_moves.png", dir.c_str(), name);
    return WriteFile(path, EncodePng(sheet.w, sheet.h, PngType::Rgb, ToRgb(sheet)));
}

Image SetupPicture(const MeshData& head, const std::vector<float>& ao, int aoSize)
{
    // A still of the show: the head in three-quarter view under the HUD,
    // with the title. 257 x 257: the dialog's 171 x 158 units in pixels as
    // Windows maps them at 96 dpi (1.5 and 1.625 pixels per unit).
    PreviewView v;
    v.eye = {1.25f, 0.75f, -2.05f};
    v.target = {0.0f, 0.38f, -0.05f};
    v.turn = 0.35f;
    v.width = 514;
    v.height = 514;
    v.clear = {0.012f, 0.016f, 0.024f, 1};
    Image big = RenderPreview(head, ao, aoSize, v);
    Image glow = big;
    for (float& p : glow.px)
        p = std::max(0.0f, p - 0.55f);
    GaussianBlur(glow, 6);
    AddImage(big, glow, 1.2f);
    Image img = Resample(big, 257, 257);
    Vignette(img, 0.6f, 0.4f, 1.3f);
    CornerBrackets(img, 8, 8, 249, 249, 12, 1.0f, WithAlpha(kCyan, 0.7f));
    GradientV(img, 185, 257, {0, 0, 0, 0}, {0, 0, 0, 0.85f});
    TextStyle title;
    title.font = kSans;
    title.size = 23;
    title.tracking = 5;
    WithGlow(img, 4, 0.6f, [&](Image& layer) { DrawText(layer, title, "LUMIVANE", 128.5f, 222, kIce, 0.5f); });
    FillRect(img, 107, 229, 150, 231, kRed);
    Label(img, "TAVORIN  /  Z.O.P.A.", 128.5f, 242, WithAlpha(kCyan, 0.8f), 8, 0.5f);
    Label(img, "SCAN 01", 17, 23, WithAlpha(kCyan, 0.8f), 8);
    return img;
}

}  // namespace

bool BuildMeshAssets(AssetSet& set, const std::string& previewDir)
{
    const std::vector<XMaterial> skin = {{0.2f, 0.2f, 0.2f, 1.0f, 32.0f, 1, 1, 1}, {1.0f, 0.0f, 0.0f, 1.0f, 32.0f, 1, 1, 1}};

    const Model headModel = HeadModel();
    const MeshData head = BuildMesh(headModel);
    const std::vector<float> headAo = BakeAoTexture(headModel, head);
    const Model handModel = HandModel();
    const MeshData hand = BuildMesh(handModel);
    const std::vector<float> handAo = BakeAoTexture(handModel, hand);
    const MeshData cylinder = MakeCylinderMesh();

    // Model files are in hundredths: the show draws them at 0.01 scale.
    set.files.push_back({"Data/meshs/t2_head.x", CompressX(WriteBinaryX(head, "head", 100.0f, skin))});
    set.files.push_back({"Data/meshs/t2_hand.x", WriteBinaryX(hand, "hand", 100.0f, skin)});
    const std::vector<XMaterial> plain = {{1, 1, 1, 1, 8.0f, 0, 0, 0}, {0.6f, 0.6f, 0.6f, 1, 8.0f, 0, 0, 0}};
    set.files.push_back({"Data/meshs/head_cylinder.x", CompressX(WriteBinaryX(cylinder, "cylinder", 1.0f, plain))});

    const std::vector<uint8_t> headAoPng = AoPng(headAo, headModel.aoSize);
    const std::vector<uint8_t> handAoPng = AoPng(handAo, handModel.aoSize);
    set.files.push_back({"Data/Textures/head_AO.png", headAoPng});
    set.files.push_back({"Data/Textures/hand_AO.png", handAoPng});
    set.sheet.push_back({"head_AO.png", PictureFromPng(headAoPng), 384});
    set.sheet.push_back({"hand_AO.png", PictureFromPng(handAoPng), 384});

    const std::vector<uint8_t> dds = MakeCubeMapDds();
    set.files.push_back({"Data/Textures/cubemap.dds", dds});
    set.sheet.push_back({"cubemap.dds (DXT1, decoded)", PictureFromCubeDds(dds), 512});

    const Image setup = SetupPicture(head, headAo, headModel.aoSize);
    set.files.push_back({"Data/Textures/setup_picture.png", EncodePng(setup.w, setup.h, PngType::Rgb, ToRgb(setup))});
    set.sheet.push_back({"setup_picture.png", setup, 257});

    // The shots as the show composes them: mesh, then the stretched overlay.
    auto withOverlay = [](Image shot, int overlay) {
        Composite(shot, Resample(MakeHudOverlay(overlay), shot.w, shot.h), 0, 0);
        return shot;
    };
    set.sheet.push_back({"t2_head.x, head move 0 end, t2_overlay1 (preview)",
                         withOverlay(Shot(head, headAo, headModel.aoSize, kHeadMoves[0], 1.0f, 1280, 720), 1), 560});
    set.sheet.push_back({"t2_hand.x, hand move 1 start, t2_overlay2 (preview)",
                         withOverlay(Shot(hand, handAo, handModel.aoSize, kHandMoves[1], 0.0f, 1280, 720), 2), 560});

    if (!previewDir.empty()) {
        if (!WritePreviews(previewDir, "head", head, headAo, headModel.aoSize, kHeadMoves) ||
            !WritePreviews(previewDir, "hand", hand, handAo, handModel.aoSize, kHandMoves))
            return false;
    }
    return true;
}
