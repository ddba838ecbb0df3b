// Runs the send progress dialog on its own for the end-to-end tests:
//     send_host NAME MAC [NAME MAC ...]
// Names are converted to the ANSI code page as the data file holds them. A
// MAC may be followed by what is kept for it, "MAC/DESTINATION/PORT", either
// part empty.
// Exits with the dialog's result, 1 when it was closed with its button, or
// with 10 for a bad MAC text and 11 when the sockets cannot start.
#include "targets/mac_text.h"
#include "ui/send_dlg.h"
#include "win/ansi_text.h"

#include <windows.h>
#include <commctrl.h>
#include <winsock.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    CSendDlg dialog;
    for (int i = 1; i + 1 < argc; i += 2) {
        kivrel::TargetEntry entry;
        entry.name = win::WideToAnsi(argv[i]);
        const std::string word = win::WideToUtf8(argv[i + 1]);
        const std::size_t slash = word.find('/');
        if (kivrel::ParseMacText(entry.mac, word.substr(0, slash).c_str()) != kivrel::MAC_OK) {
            std::fprintf(stderr, "send_host: bad MAC text\n");
            return 10;
        }
        if (slash != std::string::npos) {
            const std::size_t port = word.find('/', slash + 1);
            kivrel::PcAddresses& kept = dialog.m_addresses[entry.mac];
            kept.destination = word.substr(slash + 1, port - slash - 1);
            if (port != std::string::npos && port + 1 < word.size()) {
                kivrel::ParsePortText(word.substr(port + 1), kept.port);
            }
        }
        dialog.m_targets.Append(entry);
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return 11;
    }
    const INT_PTR result = dialog.DoModal();
    ::WSACleanup();
    return static_cast<int>(result);
}
