// Runs the registration dialog as the list view would, under a plain main
// window, and prints what the caller would see once it has closed:
//   register_host [NAME_HEX MAC_TEXT [ADDRESS DESTINATION PORT]]   (with arguments: edit mode)
// prints "result N", then after IDOK "name HEX", "mac TEXT", "address TEXT",
// "destination TEXT" and "port N", the port 0 when empty.
#include "targets/mac_text.h"
#include "ui/register_dlg.h"
#include "win/application.h"
#include "win/window.h"

#include <cstdio>
#include <string>

namespace {

std::string Hex(const std::string& bytes) {
    std::string out;
    char pair[3];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        out += pair;
    }
    return out;
}

std::string Narrow(const wchar_t* text) {
    return std::string(text, text + std::wcslen(text));
}

std::string Unhex(const std::wstring& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return out;
}

class HostApp final : public win::Application {
public:
    HostApp(int argc, wchar_t** argv) : m_argc(argc), m_argv(argv) {}

protected:
    bool InitInstance() override {
        const wchar_t* className = L"KivrelRegisterHost";
        WNDCLASSEXW windowClass = {};
        windowClass.lpszClassName = className;
        windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        win::Window::RegisterWindowClass(windowClass);
        const RECT rect = {0, 0, 530, 400};
        SetMainWindow(m_main.Create(className, L"register host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    0, rect, nullptr, nullptr));

        CRegisterDlg dialog;
        if (m_argc >= 3) {
            kivrel::TargetEntry entry;
            entry.name = Unhex(m_argv[1]);
            kivrel::ParseMacText(entry.mac, Narrow(m_argv[2]).c_str());
            dialog.SetEntry(entry);
        }
        if (m_argc == 6) {
            kivrel::PcAddresses addresses;
            addresses.address = Narrow(m_argv[3]);
            addresses.destination = Narrow(m_argv[4]);
            kivrel::ParsePortText(Narrow(m_argv[5]), addresses.port);
            dialog.SetAddresses(addresses);
        }
        const INT_PTR result = dialog.DoModal();
        std::printf("result %d\n", static_cast<int>(result));
        if (result == IDOK) {
            const kivrel::TargetEntry entry = dialog.GetEntry();
            std::printf("name %s\nmac %s\n", Hex(entry.name).c_str(),
                        entry.FormatMacText().c_str());
            const kivrel::PcAddresses kept = dialog.GetAddresses();
            std::printf("address %s\ndestination %s\nport %u\n", kept.address.c_str(),
                        kept.destination.c_str(), static_cast<unsigned>(kept.port));
        }
        std::fflush(stdout);
        ::DestroyWindow(m_main.Hwnd());
        return false;
    }

private:
    int m_argc;
    wchar_t** m_argv;
    win::Window m_main;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    return HostApp(argc, argv).Main();
}
