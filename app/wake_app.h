// The application object: starts and releases the socket library and chooses,
// once, between the command-line wake and the window.
#pragma once

#include "win/application.h"

class CWakeApp final : public win::Application {
public:
    bool OnCommand(UINT id) override;
    bool QueryCommand(UINT id, bool& enabled) override;
    int ExitInstance() override;

protected:
    bool InitInstance() override;

private:
    bool StartWindow();
    void OnAppAbout();
};
