#include "app/app_shell.h"

namespace AppShell {

static bool s_quit = false;
static CApp* s_app = nullptr;

void RequestQuit() { s_quit = true; }
bool IsQuitRequested() { return s_quit; }
CApp* GetApp() { return s_app; }
void SetApp(CApp* app) { s_app = app; }

}  // namespace AppShell
