#include "platform/setup_window.h"

#include <SDL2/SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>
#include <epoxy/gl.h>
#include <imgui.h>

#include <vector>

#include "platform/window.h"

namespace Platform {

static SDL_Window* s_window = nullptr;
static SDL_GLContext s_context = nullptr;
static SDL_Window* s_previousWindow = nullptr;
static SDL_GLContext s_previousContext = nullptr;
static std::vector<GLuint> s_textures;
static bool s_shown = false;

bool OpenSetupWindow(const char* title, int width, int height, const char** error) {
    s_previousWindow = SDL_GL_GetCurrentWindow();
    s_previousContext = SDL_GL_GetCurrentContext();
    RequestWindowContext();
    s_window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (s_window) s_context = SDL_GL_CreateContext(s_window);
    if (!s_context) {
        if (error) *error = SDL_GetError();
        if (s_window) SDL_DestroyWindow(s_window);
        s_window = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(s_window, s_context);
    SDL_GL_SetSwapInterval(1);

    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing is saved between runs
    io.LogFilename = nullptr;
    ImGui_ImplSDL2_InitForOpenGL(s_window, s_context);
    ImGui_ImplOpenGL3_Init("#version 330 core");
    s_shown = false;
    return true;
}

void CloseSetupWindow() {
    if (!s_window) return;
    SDL_GL_MakeCurrent(s_window, s_context);
    for (GLuint texture : s_textures) glDeleteTextures(1, &texture);
    s_textures.clear();
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_GL_DeleteContext(s_context);
    SDL_DestroyWindow(s_window);
    s_context = nullptr;
    s_window = nullptr;
    // The keys and clicks that ended the dialog belong to it, not to the
    // window that comes next.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    if (s_previousContext) SDL_GL_MakeCurrent(s_previousWindow, s_previousContext);
    s_previousWindow = nullptr;
    s_previousContext = nullptr;
}

void* CreateSetupTexture(const uint32_t* texels, int width, int height) {
    if (!s_window || !texels || width <= 0 || height <= 0) return nullptr;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // 0xAARRGGBB little-endian is B, G, R, A in memory.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels);
    glBindTexture(GL_TEXTURE_2D, 0);
    s_textures.push_back(texture);
    return reinterpret_cast<void*>(static_cast<intptr_t>(texture));
}

SetupInput BeginSetupFrame(int waitMilliseconds) {
    SetupInput input;
    SDL_Event e;
    // Polled in short sleeps rather than SDL_WaitEventTimeout. While SDL
    // waits, an event that another thread adds wakes it with a message sent
    // to the window on a second X connection; SDL 2.26 can send that message
    // after the dialog has closed its window, and the X error for the
    // missing window ends the program (exit 1, "BadWindow" on X_SendEvent).
    bool have = SDL_PollEvent(&e) != 0;
    for (int waited = 0; !have && waited < waitMilliseconds; waited += 5) {
        SDL_Delay(5);
        have = SDL_PollEvent(&e) != 0;
    }
    while (have) {
        ImGui_ImplSDL2_ProcessEvent(&e);
        switch (e.type) {
        case SDL_QUIT: input.close = true; break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) input.close = true;
            break;
        case SDL_KEYDOWN:
            if (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) input.enter = true;
            if (e.key.keysym.sym == SDLK_ESCAPE) input.escape = true;
            break;
        default: break;
        }
        have = SDL_PollEvent(&e) != 0;
    }
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    return input;
}

void EndSetupFrame(uint32_t clearColour) {
    ImGui::Render();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(s_window, &width, &height);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClearColor(((clearColour >> 16) & 0xFF) / 255.0f, ((clearColour >> 8) & 0xFF) / 255.0f,
                 (clearColour & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    SDL_GL_SwapWindow(s_window);
    // Shown once there is something to see.
    if (!s_shown) {
        SDL_ShowWindow(s_window);
        SDL_RaiseWindow(s_window);
        s_shown = true;
    }
}

}  // namespace Platform
