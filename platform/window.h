// The window, its OpenGL context, the event queue and the system clock.
// A thin layer over SDL2 that speaks in the terms the show was designed for:
// window messages with Win32 virtual-key codes, a high-resolution counter,
// Sleep and a warning box.
#pragma once
#include <cstdint>

namespace Platform {

// Starts SDL's video and event subsystems. Without a display (no DISPLAY or
// WAYLAND_DISPLAY), or when `offscreen` is asked for, SDL's offscreen driver
// renders through EGL with no window on any screen.
bool Init(bool offscreen);
// Whether a window would be seen: there is an X11 or Wayland display, or
// SDL_VIDEODRIVER names a driver of the caller's choice.
bool HasDisplay();
void Shutdown();
bool IsOffscreen();

// Size of the primary display in pixels (the window's centring reference).
void GetDisplaySize(int* width, int* height);

// Asks SDL for what every window of the program gets: an OpenGL 3.3 core
// context, double-buffered, without depth or stencil. Applies to the next
// window and context made.
void RequestWindowContext();

struct WindowDesc {
    const char* title;
    int x, y, width, height;  // x, y: where the window goes when it is not full screen
    bool fullscreen;          // switch the display to width x height
    bool vsync;               // swap interval 1
};
// Creates the borderless, hidden window and an OpenGL 3.3 core context for
// it. On failure, `error` (if given) receives SDL's reason. A full-screen
// mode the display does not have, or cannot switch to when the window is
// shown, gives a window of the same size instead, with one line on stderr;
// so does vsync where the swap interval cannot be set.
bool CreateMainWindow(const WindowDesc& desc, const char** error);
void DestroyMainWindow();
void ShowMainWindow(bool show);
void ShowCursor(bool show);
void SwapWindow();

// Window messages, as the window procedure of the show sees them.
enum class Message {
    None,
    Quit,     // the loop must end (WM_QUIT)
    Destroy,  // the window was closed (WM_DESTROY)
    KeyDown,  // key = virtual-key code; auto-repeat sends more of these
    KeyUp,
    MouseMove,   // x, y in client pixels
    ButtonDown,  // button 0 left, 1 right, 2 middle
    ButtonUp,
    MouseWheel,  // wheel: 120 per notch, positive away from the user
    MouseLeave,
};

struct Event {
    Message message = Message::None;
    uint8_t key = 0;
    int button = 0;
    int16_t x = 0, y = 0;
    int16_t wheel = 0;
};

// Takes one waiting event off the queue; false when the queue is empty.
// Events the show has no use for come back as Message::None.
bool PollEvent(Event* event);
// Puts a Quit message on the queue (PostQuitMessage).
void PostQuit();
// Holds the mouse inside the window while a button is down (SetCapture).
void CaptureMouse(bool capture);

// The SDL key code translated to the Win32 virtual-key code the show reads;
// 0 for keys the show has no code for.
uint8_t VirtualKeyFromKeycode(int32_t sdlKeycode);

uint64_t GetCounter();
uint64_t GetCounterFrequency();
void Sleep(unsigned milliseconds);

// A modal warning box; printed on stderr instead when there is no screen.
void WarningBox(const char* text, const char* caption);

}  // namespace Platform
