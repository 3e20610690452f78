// Keyboard and mouse state with one frame of history, for edge detection.
// Keys are Win32 virtual-key codes; the window procedure writes the current
// state between frames and the end-of-frame snapshot copies it to "previous".
#pragma once
#include <cstdint>

namespace Platform {
struct Event;
}

struct InputState {
    uint8_t keys[256] = {};
    uint8_t previousKeys[256] = {};
    bool leftButton = false, rightButton = false, middleButton = false;
    bool previousLeftButton = false, previousRightButton = false, previousMiddleButton = false;
    int16_t mouseX = 0, mouseY = 0;
    int16_t previousMouseX = 0, previousMouseY = 0;
    int16_t wheelDelta = 0;  // last wheel message since the previous frame (not summed)

    static InputState& Get();

    static bool IsKeyDown(int key);
    // True during exactly the one frame after the key went down.
    static bool WasKeyPressed(int key);
    // 0 left, 1 right, 2 middle; any other number is false.
    static bool WasMouseButtonPressed(int button);

    // End of frame: the current state becomes the previous one, the wheel resets.
    static void Snapshot();
};

// The window procedure: records what one window message says about input;
// a destroyed window posts the Quit message that ends the loop.
void HandleWindowMessage(const Platform::Event& event);
