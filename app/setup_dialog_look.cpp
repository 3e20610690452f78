#include "app/setup_dialog_look.h"

#include <imgui.h>

#include <string>

#include "assets/asset_source.h"
#include "assets/image.h"
#include "assets/resource_ids.h"
#include "platform/setup_window.h"

namespace {

ImVec4 Colour(uint32_t rgb) {
    return ImVec4(((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, 1.0f);
}

constexpr uint32_t kText = 0x000000, kBorder = 0xADADAD, kControl = 0xE1E1E1;
constexpr uint32_t kHover = 0xE5F1FB, kPressed = 0xCCE4F7, kAccent = 0x0078D7;
constexpr uint32_t kWhite = 0xFFFFFF, kListHover = 0xCCE8FF;

// The dialog's text: 8 pt at 96 dpi is about 11 pixels; 13 gives the same
// x-height with Liberation Sans as the dialog font has.
constexpr float kFontPixels = 13.0f;

void LoadDialogFont() {
    AssetBytes bytes;
    if (!OpenAsset(kFontDialog, "RCDATA", "font", &bytes)) return;  // ImGui's own font stands in
    ImFontConfig config;
    config.FontDataOwnedByAtlas = false;  // the bytes are part of the executable
    config.OversampleH = 3;
    config.OversampleV = 1;
    ImGui::GetIO().Fonts->AddFontFromMemoryTTF(const_cast<uint8_t*>(bytes.data), static_cast<int>(bytes.size),
                                               kFontPixels, &config);
}

}  // namespace

void ApplyDialogLook() {
    ImGuiStyle& style = ImGui::GetStyle();
    ImGui::StyleColorsLight(&style);
    style.WindowPadding = ImVec2(0.0f, 0.0f);
    style.WindowBorderSize = 0.0f;
    style.FramePadding = ImVec2(4.0f, 4.0f);  // a 21-pixel field, as a dialog's list has
    style.FrameBorderSize = 1.0f;
    style.FrameRounding = 0.0f;
    style.PopupBorderSize = 1.0f;
    style.PopupRounding = 0.0f;
    style.ItemInnerSpacing = ImVec2(5.0f, 4.0f);
    style.ScrollbarRounding = 0.0f;
    style.GrabRounding = 0.0f;

    ImVec4* c = style.Colors;
    c[ImGuiCol_Text] = Colour(kText);
    c[ImGuiCol_WindowBg] = Colour(kDialogFace);
    c[ImGuiCol_PopupBg] = Colour(kWhite);
    c[ImGuiCol_Border] = Colour(kBorder);
    c[ImGuiCol_BorderShadow] = ImVec4(0, 0, 0, 0);
    c[ImGuiCol_FrameBg] = Colour(kControl);
    c[ImGuiCol_FrameBgHovered] = Colour(kHover);
    c[ImGuiCol_FrameBgActive] = Colour(kPressed);
    c[ImGuiCol_Button] = Colour(kControl);
    c[ImGuiCol_ButtonHovered] = Colour(kHover);
    c[ImGuiCol_ButtonActive] = Colour(kPressed);
    c[ImGuiCol_Header] = Colour(kListHover);
    c[ImGuiCol_HeaderHovered] = Colour(kListHover);
    c[ImGuiCol_HeaderActive] = Colour(kPressed);
    c[ImGuiCol_CheckMark] = Colour(kText);
    LoadDialogFont();
}

void* LoadDialogPicture() {
    AssetBytes bytes;
    if (!OpenAsset(kTexSetup, "RCDATA", "texture", &bytes)) return nullptr;
    Image image;
    std::string why;
    if (!DecodePng(bytes.data, bytes.size, &image, &why)) {
        ReportBadAsset(bytes, why.c_str());
        return nullptr;
    }
    return Platform::CreateSetupTexture(image.texels.data(), static_cast<int>(image.width),
                                        static_cast<int>(image.height));
}

// Check boxes are white, their box as high as the text.
void PushCheckBoxLook() {
    ImGui::PushStyleColor(ImGuiCol_FrameBg, Colour(kWhite));
    ImGui::PushStyleColor(ImGuiCol_Border, Colour(0x333333));
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(0.0f, 0.0f));
}

void PopCheckBoxLook() {
    ImGui::PopStyleVar();
    ImGui::PopStyleColor(2);
}

// The default button wears the accent colour round its edge.
void PushDefaultButtonLook() {
    ImGui::PushStyleColor(ImGuiCol_Border, Colour(kAccent));
    ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
}

void PopDefaultButtonLook() {
    ImGui::PopStyleVar();
    ImGui::PopStyleColor();
}
