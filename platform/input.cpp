#include "platform/input.h"

#include <cstring>

#include "platform/window.h"

InputState& InputState::Get() {
    static InputState s_input;
    return s_input;
}

bool InputState::Down(int key) const { return keys[key & 0xFF] == 1 || wentDown[key & 0xFF] == 1; }

bool InputState::Pressed(int key) const {
    return (keys[key & 0xFF] == 1 && previousKeys[key & 0xFF] == 0) || wentDown[key & 0xFF] == 1;
}

bool InputState::IsKeyDown(int key) { return Get().Down(key); }
bool InputState::WasKeyPressed(int key) { return Get().Pressed(key); }

bool InputState::WasMouseButtonPressed(int button) {
    const InputState& in = Get();
    switch (button) {
    case 0: return in.leftButton && !in.previousLeftButton;
    case 1: return in.rightButton && !in.previousRightButton;
    case 2: return in.middleButton && !in.previousMiddleButton;
    default: return false;
    }
}

void InputState::Snapshot() {
    InputState& in = Get();
    in.previousLeftButton = in.leftButton;
    in.previousRightButton = in.rightButton;
    in.previousMiddleButton = in.middleButton;
    in.previousMouseX = in.mouseX;
    in.previousMouseY = in.mouseY;
    in.wheelDelta = 0;
    std::memcpy(in.previousKeys, in.keys, sizeof in.keys);
    std::memset(in.wentDown, 0, sizeof in.wentDown);
}

static void SetButton(int button, bool down) {
    InputState& in = InputState::Get();
    bool* held[3] = {&in.leftButton, &in.rightButton, &in.middleButton};
    if (button < 0 || button > 2) return;
    *held[button] = down;
    // While a button is held the window keeps receiving the mouse.
    Platform::CaptureMouse(down);
}

void HandleWindowMessage(const Platform::Event& e) {
    InputState& in = InputState::Get();
    using Platform::Message;
    switch (e.message) {
    case Message::Destroy: Platform::PostQuit(); break;
    case Message::KeyDown:
        // Auto-repeat sends more key-downs while the key is held; only the
        // first one is a press.
        if (in.keys[e.key] == 0) in.wentDown[e.key] = 1;
        in.keys[e.key] = 1;
        break;
    case Message::KeyUp: in.keys[e.key] = 0; break;
    case Message::MouseMove:
        in.mouseX = e.x;
        in.mouseY = e.y;
        break;
    case Message::ButtonDown: SetButton(e.button, true); break;
    case Message::ButtonUp: SetButton(e.button, false); break;
    case Message::MouseWheel: in.wheelDelta = e.wheel; break;
    case Message::MouseLeave: in.leftButton = in.rightButton = in.middleButton = false; break;
    default: break;
    }
}
