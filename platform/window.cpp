#include "platform/window.h"

#include <SDL2/SDL.h>
#include <cstdio>
#include <cstdlib>

#include "platform/keys.h"

namespace Platform {

static SDL_Window* s_window = nullptr;
static SDL_GLContext s_context = nullptr;
static bool s_offscreen = false;
static WindowDesc s_desc{};  // as made: fullscreen is false once it fell back to a window

static bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

bool HasDisplay() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("SDL_VIDEODRIVER"); }

bool Init(bool offscreen) {
    // The driver follows from what there is, unless the caller chose one: a
    // display that cannot be opened is an error, never a silent fall back to
    // a driver whose window nobody sees.
    if (!IsSet("SDL_VIDEODRIVER")) {
        const char* driver = "offscreen";
        if (!offscreen && IsSet("WAYLAND_DISPLAY"))
            driver = IsSet("DISPLAY") ? "wayland,x11" : "wayland";
        else if (!offscreen && IsSet("DISPLAY"))
            driver = "x11";
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "lumivane: cannot start SDL video: %s\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    s_offscreen = driver && SDL_strcmp(driver, "offscreen") == 0;
    return true;
}

void Shutdown() { SDL_Quit(); }

bool IsOffscreen() { return s_offscreen; }

void GetDisplaySize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    } else {
        *width = *height = 0;
    }
}

// The display's mode of exactly this size (at 60 Hz when it has one).
static bool FindFullscreenMode(int width, int height, SDL_DisplayMode* mode) {
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    wanted.refresh_rate = 60;
    return SDL_GetClosestDisplayMode(0, &wanted, mode) && mode->w == width && mode->h == height;
}

void RequestWindowContext() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Drawing goes into textures; the window's own buffer needs no depth.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

bool CreateMainWindow(const WindowDesc& desc, const char** error) {
    RequestWindowContext();
    s_desc = desc;
    SDL_DisplayMode mode{};
    if (desc.fullscreen && !s_offscreen && !FindFullscreenMode(desc.width, desc.height, &mode)) {
        std::fprintf(stderr, "lumivane: the display has no %dx%d mode; playing in a window of that size\n", desc.width,
                     desc.height);
        s_desc.fullscreen = false;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    // Full screen is a real mode switch, not a window the size of the
    // desktop; SDL makes it when the window is first shown.
    if (s_desc.fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
    s_window = SDL_CreateWindow(desc.title, desc.x, desc.y, desc.width, desc.height, flags);
    if (!s_window) {
        if (error) *error = SDL_GetError();
        return false;
    }
    if (s_desc.fullscreen) SDL_SetWindowDisplayMode(s_window, &mode);
    s_context = SDL_GL_CreateContext(s_window);
    if (!s_context) {
        if (error) *error = SDL_GetError();
        SDL_DestroyWindow(s_window);
        s_window = nullptr;
        return false;
    }
    if (SDL_GL_SetSwapInterval(desc.vsync ? 1 : 0) != 0 && desc.vsync)
        std::fprintf(stderr, "lumivane: vsync is not available here (%s)\n", SDL_GetError());
    return true;
}

// After the window is shown: when the display did not take the mode, the
// show goes on in a window of the same size, centred as a window is.
static void CheckFullscreenMode() {
    int display = SDL_GetWindowDisplayIndex(s_window);
    SDL_DisplayMode current{};
    bool switched = (SDL_GetWindowFlags(s_window) & SDL_WINDOW_FULLSCREEN) && display >= 0 &&
                    SDL_GetCurrentDisplayMode(display, &current) == 0 && current.w == s_desc.width &&
                    current.h == s_desc.height;
    if (switched) return;
    std::fprintf(stderr, "lumivane: cannot switch the display to %dx%d; playing in a window of that size\n",
                 s_desc.width, s_desc.height);
    SDL_SetWindowFullscreen(s_window, 0);
    SDL_SetWindowSize(s_window, s_desc.width, s_desc.height);
    SDL_SetWindowPosition(s_window, s_desc.x, s_desc.y);
    s_desc.fullscreen = false;
}

void DestroyMainWindow() {
    if (s_context) SDL_GL_DeleteContext(s_context);
    if (s_window) SDL_DestroyWindow(s_window);
    s_context = nullptr;
    s_window = nullptr;
}

void ShowMainWindow(bool show) {
    if (!s_window) return;
    if (show) {
        SDL_ShowWindow(s_window);
        SDL_RaiseWindow(s_window);
        if (s_desc.fullscreen) CheckFullscreenMode();
    } else {
        SDL_HideWindow(s_window);
    }
}

void ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void SwapWindow() {
    if (s_window) SDL_GL_SwapWindow(s_window);
}

uint8_t VirtualKeyFromKeycode(int32_t key) {
    if (key >= 'a' && key <= 'z') return static_cast<uint8_t>(key - 'a' + 'A');
    if (key >= '0' && key <= '9') return static_cast<uint8_t>(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<uint8_t>(kKeyF1 + (key - SDLK_F1));
    switch (key) {
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_TAB: return kKeyTab;
    case SDLK_RETURN: return kKeyReturn;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return kKeyShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return kKeyControl;
    case SDLK_LALT:
    case SDLK_RALT: return kKeyAlt;
    case SDLK_PAUSE: return kKeyPause;
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_PAGEUP: return kKeyPageUp;
    case SDLK_PAGEDOWN: return kKeyPageDown;
    case SDLK_END: return kKeyEnd;
    case SDLK_HOME: return kKeyHome;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_UP: return kKeyUp;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_INSERT: return kKeyInsert;
    case SDLK_DELETE: return kKeyDelete;
    default: return 0;
    }
}

static int ButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return -1;
    }
}

bool PollEvent(Event* out) {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    *out = Event{};
    switch (e.type) {
    case SDL_QUIT: out->message = Message::Quit; break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) out->message = Message::Destroy;
        if (e.window.event == SDL_WINDOWEVENT_LEAVE) out->message = Message::MouseLeave;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out->key = VirtualKeyFromKeycode(e.key.keysym.sym);
        if (out->key) out->message = e.type == SDL_KEYDOWN ? Message::KeyDown : Message::KeyUp;
        break;
    case SDL_MOUSEMOTION:
        out->message = Message::MouseMove;
        out->x = static_cast<int16_t>(e.motion.x);
        out->y = static_cast<int16_t>(e.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        out->button = ButtonIndex(e.button.button);
        if (out->button >= 0) out->message = e.type == SDL_MOUSEBUTTONDOWN ? Message::ButtonDown : Message::ButtonUp;
        break;
    case SDL_MOUSEWHEEL: {
        int notches = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        out->message = Message::MouseWheel;
        out->wheel = static_cast<int16_t>(notches * 120);  // WHEEL_DELTA per notch
        break;
    }
    default: break;
    }
    return true;
}

void PostQuit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

void CaptureMouse(bool capture) { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }

uint64_t GetCounter() { return SDL_GetPerformanceCounter(); }
uint64_t GetCounterFrequency() { return SDL_GetPerformanceFrequency(); }
void Sleep(unsigned milliseconds) { SDL_Delay(milliseconds); }

void WarningBox(const char* text, const char* caption) {
    if (s_offscreen || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr) != 0)
        std::fprintf(stderr, "lumivane: %s\n", text);
}

}  // namespace Platform
