#include "app/wake_app.h"

#include "app/cli_wake.h"
#include "app/command_line.h"
#include "app/seen_messages.h"
#include "res/resource.h"
#include "targets/target_file.h"
#include "ui/message_boxes.h"
#include "wake/abort_event.h"
#include "wake/wake_sender.h"
#include "win/message_box.h"

#include <winsock.h>

namespace {

bool IsLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}

void LoadShared(kivrel::TargetList& list) {
    kivrel::ReadTargetFile(list, kivrel::kTargetFileName, kivrel::READ_SHARED);
}

} // namespace

bool CWakeApp::InitInstance() {
    MessageBoxes boxes;
    kivrel::SeenMessages messages(boxes, win::QueryWindowStationFlags);
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        messages.ShowStop(IDS_WINSOCK_FAILED);
        SetExitCode(kivrel::CLI_EXIT_NO_SOCKETS);
        return false;
    }
    m_socketsStarted = true;
    const std::string text = kivrel::CommandLineText(::GetCommandLineA(), IsLeadByte);
    if (!text.empty()) {
        kivrel::AbortEvent pause;
        SetExitCode(kivrel::RunCommandLineWake(text, messages, kivrel::SendWake,
                                               {LoadShared, IsLeadByte, pause}));
        ReleaseSockets();
        return false;
    }
    if (!StartWindow()) {
        ReleaseSockets();
        return false;
    }
    return true;
}

// The socket library stays started for as long as the process lives: a
// session's end that the process outlives must leave the sends working.
int CWakeApp::ExitInstance() {
    ReleaseSockets();
    return win::Application::ExitInstance();
}

void CWakeApp::ReleaseSockets() {
    if (m_socketsStarted) {
        m_socketsStarted = false;
        ::WSACleanup();
    }
}
