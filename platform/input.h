// Keyboard and mouse state with one frame of history, for edge detection.
// Keys are Win32 virtual-key codes; the window procedure writes the current
// state between frames and the end-of-frame snapshot copies it to "previous".
//
// Key-down messages are also latched until the end of the frame, so a key
// that went down and up again between two frames (a quick tap, which on a
// slow renderer is most taps) still counts as down and pressed in the next
// frame, once.
#pragma once
#include <cstdint>

namespace Platform {
struct Event;
}

struct InputState {
    uint8_t keys[256] = {};
    uint8_t previousKeys[256] = {};
    uint8_t wentDown[256] = {};  // 1: a key-down (not an auto-repeat) since the last snapshot
    bool leftButton = false, rightButton = false, middleButton = false;
    bool previousLeftButton = false, previousRightButton = false, previousMiddleButton = false;
    int16_t mouseX = 0, mouseY = 0;
    int16_t previousMouseX = 0, previousMouseY = 0;
    int16_t wheelDelta = 0;  // last wheel message since the previous frame (not summed)

    static InputState& Get();

    // Held now, or went down since the last frame (a tap).
    bool Down(int key) const;
    // Went down since the last frame: true in exactly one frame per press,
    // however short the press.
    bool Pressed(int key) const;

    // Down and Pressed of the process's input state.
    static bool IsKeyDown(int key);
    static bool WasKeyPressed(int key);
    // 0 left, 1 right, 2 middle; any other number is false.
    static bool WasMouseButtonPressed(int button);

    // End of frame: the current state becomes the previous one, the wheel
    // and the latched key-downs reset.
    static void Snapshot();
};

// The window procedure: records what one window message says about input;
// a destroyed window posts the Quit message that ends the loop.
void HandleWindowMessage(const Platform::Event& event);
