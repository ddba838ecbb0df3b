#include "app/wake_app.h"

#include "app/cli_wake.h"
#include "app/command_line.h"
#include "app/seen_messages.h"
#include "frame/main_frame.h"
#include "res/resource.h"
#include "targets/address_file.h"
#include "targets/target_file.h"
#include "ui/ansi_codec.h"
#include "ui/message_boxes.h"
#include "wake/abort_event.h"
#include "wake/wake_sender.h"
#include "win/ansi_text.h"
#include "win/message_box.h"
#include "win/resource_string.h"
#include "win/whole_file.h"

#include <winsock.h>

namespace {

bool IsLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}

void LoadShared(kivrel::TargetList& list) {
    kivrel::ReadTargetFile(list, kivrel::kTargetFileName, kivrel::READ_SHARED);
}

void LoadAddresses(kivrel::AddressBook& book) {
    kivrel::ReadAddressFile(book, kivrel::kAddressFileName, kivrel::READ_SHARED);
}

// A line for a script, which may have redirected standard error: no box. To
// a console as its text, elsewhere in the ANSI code page, as cmd's own.
void PrintError(unsigned id, const std::string& destination) {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::wstring line =
        L"Kivrel: " +
        kivrel::FillTexts(win::ResourceString(id), win::Utf8ToWide(destination), std::wstring()) +
        L"\r\n";
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(error, &mode)) {
        ::WriteConsoleW(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const std::string bytes = win::WideToAnsi(line);
    ::WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string CurrentFolder() {
    return win::WideToUtf8(win::CurrentFolder());
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
        const AnsiCodec codec;
        SetExitCode(kivrel::RunCommandLineWake(text, messages, kivrel::SendWake,
                                               {LoadShared, IsLeadByte, pause, codec, CurrentFolder,
                                                CMainFrame::AnyOpen, LoadAddresses, PrintError}));
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
