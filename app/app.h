// The application object as the entry point sees it.
#pragma once

class CApp {
public:
    CApp();
    virtual void Init() = 0;
    virtual void Shutdown() = 0;
    virtual void Frame() = 0;
    // Runs the setup dialog; true when the viewer chose to start the show.
    virtual bool ShowSetup() = 0;

protected:
    ~CApp() = default;
};
