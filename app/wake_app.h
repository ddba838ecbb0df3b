// The application object: starts and releases the socket library and chooses,
// once, between the command-line wake and the window. It is the command
// chain's last link.
#pragma once

#include "ui/command_target.h"
#include "win/application.h"

class CWakeApp final : public win::Application, public kivrel::CommandTarget {
public:
    bool QueryCommand(unsigned id, kivrel::CommandState& state) const override;
    void RunCommand(unsigned id) override;

protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    static const kivrel::CommandRow<CWakeApp> kCommands[];
    bool m_socketsStarted = false;

    bool StartWindow();
    void WarnOfZipCopy();
    void ReleaseSockets();
    void OnAppAbout();
    void OnAppExit();
};
