#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <imgui.h>

#include "app/setup_dialog.h"
#include "app/setup_dialog_look.h"
#include "platform/setup_window.h"
#include "platform/window.h"
#include "render/graphics_device.h"

namespace {

using Outcome = SetupDialog::Outcome;

DisplayModeList ThreeModes() {
    DisplayModeList modes;
    modes.resolutions = {{800, 600}, {1024, 768}, {1920, 1080}};
    modes.selected = 2;
    modes.aspectIndex = 1;
    return modes;
}

// The dialog's frames without a window: ImGui alone, fed the mouse by hand.
class DialogFrames : public ::testing::Test {
protected:
    void SetUp() override {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(261, 377);  // 174 x 232 dialog units
        ApplyDialogLook();
        unsigned char* pixels;
        int w, h;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
    }
    void TearDown() override { ImGui::DestroyContext(); }

    static Outcome Frame(SetupDialog& dialog, Platform::SetupInput input = {}, ImVec2 mouse = ImVec2(-1, -1),
                         bool button = false) {
        ImGuiIO& io = ImGui::GetIO();
        io.DeltaTime = 1.0f / 60.0f;
        io.MousePos = mouse;
        io.MouseDown[0] = button;
        ImGui::NewFrame();
        Outcome outcome = dialog.Frame(input, nullptr);
        ImGui::Render();
        return outcome;
    }
    // Move over a point, press and release: a click, over three frames.
    static Outcome Click(SetupDialog& dialog, ImVec2 at) {
        Frame(dialog, {}, at, false);
        Frame(dialog, {}, at, true);
        return Frame(dialog, {}, at, false);
    }

    // Pixel centres of the controls: dialog units x 1.5 across, x 1.625 down.
    const ImVec2 kGo{45 + 37, 341 + 11};
    const ImVec2 kDepart{135 + 37, 341 + 11};
    const ImVec2 kResolution{81 + 45, 273 + 10};
    const ImVec2 kFullscreen{180 + 6, 273 + 10};
};

}  // namespace

TEST_F(DialogFrames, EnterGoesEscapeAndClosingDepart) {
    struct Case {
        Platform::SetupInput input;
        Outcome outcome;
    };
    const Case cases[] = {
        {{}, Outcome::Open},
        {{true, false, false}, Outcome::Go},
        {{false, true, false}, Outcome::Depart},
        {{false, false, true}, Outcome::Depart},
        {{true, false, true}, Outcome::Depart},  // closing wins
    };
    for (const Case& c : cases) {
        SetupDialog dialog(ThreeModes());
        EXPECT_EQ(Frame(dialog, c.input), c.outcome) << c.input.enter << c.input.escape << c.input.close;
    }
}

TEST_F(DialogFrames, ButtonsAndCheckBoxesAnswerTheMouseWhereTheTemplatePutsThem) {
    SetupDialog dialog(ThreeModes());
    EXPECT_EQ(Click(dialog, kFullscreen), Outcome::Open);
    EXPECT_TRUE(dialog.fullscreen);
    EXPECT_EQ(Click(dialog, kGo), Outcome::Go);
    SetupDialog other(ThreeModes());
    EXPECT_EQ(Click(other, kDepart), Outcome::Depart);
}

TEST_F(DialogFrames, EnterOrEscapeWithTheListDroppedOnlyCloseIt) {
    for (bool enter : {true, false}) {
        SetupDialog dialog(ThreeModes());
        EXPECT_EQ(Click(dialog, kResolution), Outcome::Open);
        ASSERT_TRUE(ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopup));
        Platform::SetupInput key{enter, !enter, false};
        EXPECT_EQ(Frame(dialog, key), Outcome::Open);
        EXPECT_FALSE(ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopup));
        EXPECT_EQ(Frame(dialog, key), enter ? Outcome::Go : Outcome::Depart);
        EXPECT_EQ(dialog.resolution, 2);
    }
}

TEST(SetupDialog, StartsFromThePreselectionAndGoWritesTheChoices) {
    SetupDialog dialog(ThreeModes());
    EXPECT_EQ(dialog.resolution, 2);
    EXPECT_EQ(dialog.aspect, 1);
    EXPECT_FALSE(dialog.fullscreen);
    EXPECT_FALSE(dialog.vsync);

    dialog.resolution = 1;
    dialog.aspect = 0;
    dialog.fullscreen = true;
    dialog.vsync = true;
    DisplaySettings s;
    dialog.Go(&s);
    EXPECT_EQ(s.windowWidth, 1024.0f);
    EXPECT_EQ(s.windowHeight, 768.0f);
    EXPECT_EQ(s.aspectIndex, 0);
    EXPECT_FALSE(s.windowed);
    EXPECT_TRUE(s.vsync);

    // Without any resolution "Go!" keeps the size.
    SetupDialog empty{DisplayModeList{}};
    s = DisplaySettings{};
    empty.Go(&s);
    EXPECT_EQ(s.windowWidth, 1280.0f);
    EXPECT_EQ(s.windowHeight, 720.0f);
    EXPECT_EQ(s.aspectIndex, 1);
    EXPECT_TRUE(s.windowed);
}

// The whole dialog in its own (offscreen) window: keys tapped before its
// first frame still count, "Go!" writes the settings and "Depart" leaves
// them alone.
TEST(SetupDialogWindow, TappedKeysDecideAndOnlyGoWritesTheSettings) {
    ASSERT_TRUE(Platform::Init(true));
    struct Case {
        SDL_Keycode key;
        bool started;
    };
    for (const Case& c : {Case{SDLK_RETURN, true}, Case{SDLK_ESCAPE, false}}) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = c.key;
        SDL_PushEvent(&e);
        e.type = SDL_KEYUP;
        SDL_PushEvent(&e);
        // Choices nobody would preselect, to see whether they are overwritten.
        DisplaySettings s;
        s.windowWidth = 640;
        s.aspectIndex = 0;
        s.windowed = false;
        s.vsync = true;
        EXPECT_EQ(RunSetupDialog(&s), c.started);
        EXPECT_EQ(s.windowWidth, 640.0f);  // the offscreen display offers no mode: the size stays
        EXPECT_EQ(s.aspectIndex, c.started ? 1 : 0);
        EXPECT_EQ(s.windowed, c.started);
        EXPECT_EQ(s.vsync, !c.started);
    }
}
