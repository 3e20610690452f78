#include "app/app.h"

#include "app/app_shell.h"

CApp::CApp() { AppShell::SetApp(this); }
