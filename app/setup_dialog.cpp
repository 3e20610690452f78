#include "app/setup_dialog.h"

#include <imgui.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/setup_dialog_look.h"
#include "platform/setup_window.h"
#include "render/graphics_device.h"

const char kSetupCaption[] = "Tavorin Lumivane - Z.O.P.a.";

namespace {

// Dialog units to pixels as Windows maps them for "MS Shell Dlg" 8 pt at
// 96 dpi: the font's average character is 6 x 13 pixels, a dialog unit a
// quarter of its width and an eighth of its height (rounded like MulDiv).
constexpr int kBaseUnitX = 6, kBaseUnitY = 13;
constexpr int PixelsX(int units) { return (units * kBaseUnitX + 2) / 4; }
constexpr int PixelsY(int units) { return (units * kBaseUnitY + 4) / 8; }

struct DialogRect {
    int x, y, width, height;  // dialog units
    ImVec2 Position() const { return ImVec2(static_cast<float>(PixelsX(x)), static_cast<float>(PixelsY(y))); }
    ImVec2 Size() const { return ImVec2(static_cast<float>(PixelsX(width)), static_cast<float>(PixelsY(height))); }
};

// The dialog's template: 174 x 232 units, and its controls.
constexpr int kDialogWidth = 174, kDialogHeight = 232;
constexpr DialogRect kPicture{1, 1, 171, 158};
constexpr DialogRect kResolutionLabel{6, 168, 42, 12};
constexpr DialogRect kResolutionList{54, 168, 60, 168};  // the height includes the dropped list
constexpr DialogRect kFullscreenBox{120, 168, 54, 12};
constexpr DialogRect kAspectLabel{0, 186, 48, 12};
constexpr DialogRect kAspectList{54, 186, 60, 168};
constexpr DialogRect kVsyncBox{120, 187, 48, 12};
constexpr DialogRect kGoButton{30, 210, 50, 14};
constexpr DialogRect kDepartButton{90, 210, 50, 14};

const std::vector<std::string> kAspectNames = {"4:3", "16:9", "16:10"};

// Static text, right-aligned in its rectangle, on the line of the drop-down
// list beside it.
void RightAlignedLabel(const char* text, const DialogRect& rect) {
    ImVec2 position = rect.Position();
    position.x += rect.Size().x - ImGui::CalcTextSize(text).x;
    position.y += ImGui::GetStyle().FramePadding.y;
    ImGui::SetCursorPos(position);
    ImGui::TextUnformatted(text);
}

// A drop-down list. Enter or Escape while it is dropped only closes it, as
// in a Windows dialog; returns true when it took the key.
bool DropDownList(const char* id, const DialogRect& rect, const std::vector<std::string>& names, int* selected,
                  const Platform::SetupInput& input) {
    int count = static_cast<int>(names.size());
    ImGui::SetCursorPos(rect.Position());
    ImGui::SetNextItemWidth(rect.Size().x);
    const char* preview = *selected >= 0 && *selected < count ? names[*selected].c_str() : "";
    // The dropped list is at most the template's height less the field.
    float listHeight = rect.Size().y - ImGui::GetFrameHeight();
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), ImVec2(rect.Size().x, listHeight));
    if (!ImGui::BeginCombo(id, preview)) return false;
    for (int i = 0; i < count; ++i) {
        bool isSelected = i == *selected;
        if (ImGui::Selectable(names[i].c_str(), isSelected)) *selected = i;
        if (isSelected && ImGui::IsWindowAppearing()) ImGui::SetScrollHereY();
    }
    bool tookKey = input.enter || input.escape;
    if (tookKey) ImGui::CloseCurrentPopup();
    ImGui::EndCombo();
    return tookKey;
}

// A check box, its box centred on the height of its rectangle.
void CheckBox(const char* label, const DialogRect& rect, bool* value) {
    ImVec2 position = rect.Position();
    position.y += (rect.Size().y - ImGui::GetFontSize()) * 0.5f;
    ImGui::SetCursorPos(position);
    PushCheckBoxLook();
    ImGui::Checkbox(label, value);
    PopCheckBoxLook();
}

bool PushButton(const char* label, const DialogRect& rect, bool isDefault) {
    ImGui::SetCursorPos(rect.Position());
    if (isDefault) PushDefaultButtonLook();
    bool pressed = ImGui::Button(label, rect.Size());
    if (isDefault) PopDefaultButtonLook();
    return pressed;
}

}  // namespace

SetupDialog::SetupDialog(DisplayModeList list) : modes(std::move(list)) {
    resolution = modes.selected;
    aspect = modes.aspectIndex;
    for (const Resolution& r : modes.resolutions)
        m_resolutionNames.push_back(std::to_string(r.width) + "x" + std::to_string(r.height));
}

SetupDialog::Outcome SetupDialog::Frame(const Platform::SetupInput& input, void* picture) {
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBackground |
                                   ImGuiWindowFlags_NoBringToFrontOnFocus;
    ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
    ImGui::Begin("##setup", nullptr, flags);

    if (picture) {
        ImGui::SetCursorPos(kPicture.Position());
        ImGui::Image(picture, kPicture.Size());
    }
    RightAlignedLabel("Resolution:", kResolutionLabel);
    bool listTookKey = DropDownList("##resolution", kResolutionList, m_resolutionNames, &resolution, input);
    CheckBox("Fullscreen", kFullscreenBox, &fullscreen);
    RightAlignedLabel("Aspect Ratio:", kAspectLabel);
    listTookKey |= DropDownList("##aspect", kAspectList, kAspectNames, &aspect, input);
    CheckBox("Vsync", kVsyncBox, &vsync);
    bool go = PushButton("Go!", kGoButton, true);
    bool depart = PushButton("Depart", kDepartButton, false);
    ImGui::End();

    if (input.close) return Outcome::Depart;
    if (!listTookKey) {
        go |= input.enter;  // the default button
        depart |= input.escape;
    }
    if (go) return Outcome::Go;
    if (depart) return Outcome::Depart;
    return Outcome::Open;
}

void SetupDialog::Go(DisplaySettings* settings) const {
    if (resolution >= 0 && resolution < static_cast<int>(modes.resolutions.size())) {
        settings->windowWidth = static_cast<float>(modes.resolutions[resolution].width);
        settings->windowHeight = static_cast<float>(modes.resolutions[resolution].height);
    }
    settings->aspectIndex = aspect;
    settings->windowed = !fullscreen;
    settings->vsync = vsync;
}

bool RunSetupDialog(DisplaySettings* settings) {
    SetupDialog dialog(EnumerateDisplayModes());
    const char* error = "";
    if (!Platform::OpenSetupWindow(kSetupCaption, PixelsX(kDialogWidth), PixelsY(kDialogHeight), &error)) {
        std::fprintf(stderr, "lumivane: cannot open the setup dialog (%s); starting with its preselection\n", error);
        dialog.Go(settings);
        return true;
    }
    ApplyDialogLook();
    void* picture = LoadDialogPicture();
    SetupDialog::Outcome outcome = SetupDialog::Outcome::Open;
    while (outcome == SetupDialog::Outcome::Open) {
        // Waiting for input keeps an idle dialog from spinning; a short wait
        // lets ImGui finish what a click started.
        Platform::SetupInput input = Platform::BeginSetupFrame(30);
        outcome = dialog.Frame(input, picture);
        Platform::EndSetupFrame(kDialogFace);
    }
    Platform::CloseSetupWindow();
    if (outcome != SetupDialog::Outcome::Go) return false;
    dialog.Go(settings);
    return true;
}
