#include <gtest/gtest.h>

#include <SDL2/SDL_keycode.h>

#include "platform/input.h"
#include "platform/keys.h"
#include "platform/window.h"

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override { InputState::Get() = InputState{}; }
    void TearDown() override { InputState::Get() = InputState{}; }
    static void Send(Platform::Message message, int keyOrButton = 0) {
        Platform::Event e;
        e.message = message;
        e.key = static_cast<uint8_t>(keyOrButton);
        e.button = keyOrButton;
        HandleWindowMessage(e);
    }
};

}  // namespace

TEST_F(Input, KeyPressIsSeenInExactlyOneFrame) {
    Send(Platform::Message::KeyDown, 'P');
    EXPECT_TRUE(InputState::IsKeyDown('P'));
    EXPECT_TRUE(InputState::WasKeyPressed('P'));
    InputState::Snapshot();
    Send(Platform::Message::KeyDown, 'P');  // auto-repeat
    EXPECT_TRUE(InputState::IsKeyDown('P'));
    EXPECT_FALSE(InputState::WasKeyPressed('P'));
    // Only the low 8 bits of the key count.
    EXPECT_TRUE(InputState::IsKeyDown('P' + 256));
}

TEST_F(Input, KeyTappedBetweenFramesIsSeenInTheNextFrameOnly) {
    // Down and up before the frame runs: the frame still sees one press.
    Send(Platform::Message::KeyDown, kKeyEscape);
    Send(Platform::Message::KeyUp, kKeyEscape);
    EXPECT_TRUE(InputState::WasKeyPressed(kKeyEscape));
    EXPECT_TRUE(InputState::IsKeyDown(kKeyEscape));
    InputState::Snapshot();
    EXPECT_FALSE(InputState::WasKeyPressed(kKeyEscape));
    EXPECT_FALSE(InputState::IsKeyDown(kKeyEscape));
}

TEST_F(Input, HeldKeyReleasedAndPressedAgainBetweenFramesIsANewPress) {
    Send(Platform::Message::KeyDown, 'P');
    InputState::Snapshot();
    Send(Platform::Message::KeyUp, 'P');
    Send(Platform::Message::KeyDown, 'P');
    EXPECT_TRUE(InputState::WasKeyPressed('P'));
    InputState::Snapshot();
    EXPECT_FALSE(InputState::WasKeyPressed('P'));
}

TEST_F(Input, MouseButtonsWheelAndLeave) {
    Send(Platform::Message::ButtonDown, 1);
    EXPECT_TRUE(InputState::WasMouseButtonPressed(1));
    EXPECT_FALSE(InputState::WasMouseButtonPressed(0));
    EXPECT_FALSE(InputState::WasMouseButtonPressed(3));
    InputState::Snapshot();
    EXPECT_FALSE(InputState::WasMouseButtonPressed(1));
    EXPECT_TRUE(InputState::Get().rightButton);

    Platform::Event wheel;
    wheel.message = Platform::Message::MouseWheel;
    wheel.wheel = 120;
    HandleWindowMessage(wheel);
    wheel.wheel = -240;
    HandleWindowMessage(wheel);  // the last message wins
    EXPECT_EQ(InputState::Get().wheelDelta, -240);
    InputState::Snapshot();
    EXPECT_EQ(InputState::Get().wheelDelta, 0);

    Send(Platform::Message::MouseLeave);
    EXPECT_FALSE(InputState::Get().rightButton);
}

TEST(VirtualKeys, SdlKeysMapToWin32Codes) {
    struct Case { SDL_Keycode sdl; int vk; };
    const Case cases[] = {
        {SDLK_a, 'A'}, {SDLK_z, 'Z'}, {SDLK_0, '0'}, {SDLK_9, '9'}, {SDLK_SPACE, 0x20},
        {SDLK_ESCAPE, 0x1B}, {SDLK_LSHIFT, 0x10}, {SDLK_RSHIFT, 0x10}, {SDLK_LEFT, 0x25},
        {SDLK_UP, 0x26}, {SDLK_RIGHT, 0x27}, {SDLK_DOWN, 0x28}, {SDLK_F1, 0x70}, {SDLK_F2, 0x71},
        {SDLK_F12, 0x7B}, {SDLK_CAPSLOCK, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Platform::VirtualKeyFromKeycode(c.sdl), c.vk) << c.sdl;
}
