#include "ui/diagnose_dlg.h"

#include "res/resource.h"
#include "win/ansi_text.h"
#include "win/resource_string.h"

namespace {

// A line's %1, %2, ... with its texts; a multi-line edit breaks only at CR LF.
std::wstring LineText(const kivrel::DiagnosisLine& line) {
    std::wstring text = win::ResourceString(line.textId);
    std::vector<std::wstring> args;
    for (const std::string& arg : line.args) {
        args.push_back(win::Utf8ToWide(arg));
    }
    if (line.argId != 0) {
        args.push_back(win::ResourceString(line.argId));
    }
    for (std::size_t i = 0; i < args.size() && i < 9; ++i) {
        const std::wstring mark = {L'%', static_cast<wchar_t>(L'1' + i)};
        for (auto at = text.find(mark); at != std::wstring::npos;
             at = text.find(mark, at + args[i].size())) {
            text.replace(at, mark.size(), args[i]);
        }
    }
    for (auto at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 2)) {
        text.insert(at, 1, L'\r');
    }
    return text;
}

} // namespace

CDiagnoseDlg::CDiagnoseDlg(const std::vector<kivrel::DiagnosisLine>& lines)
    : win::Dialog(IDD_DIAGNOSE) {
    for (const kivrel::DiagnosisLine& line : lines) {
        m_shown += (m_shown.empty() ? L"" : L"\r\n\r\n") + LineText(line);
    }
}

bool CDiagnoseDlg::OnInitDialog() {
    m_text.Attach(Hwnd(), IDC_DIAGNOSIS_TEXT);
    m_text.SetText(m_shown);
    return win::Dialog::OnInitDialog();
}
