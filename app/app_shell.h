// The shell: the quit request and the one application object.
#pragma once

class CApp;

namespace AppShell {

void RequestQuit();
bool IsQuitRequested();
CApp* GetApp();
void SetApp(CApp* app);  // called by the CApp constructor

}  // namespace AppShell
