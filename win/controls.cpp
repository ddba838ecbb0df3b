#include "win/controls.h"

#include "win/ansi_text.h"

namespace win {

std::wstring Edit::GetWideText() const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(Hwnd())) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(Hwnd(), &text[0], static_cast<int>(text.size()))));
    return text;
}

std::string Edit::GetText() const {
    return WideToAnsi(GetWideText());
}

bool Edit::Shows(const std::string& ansi) const {
    return GetWideText() == AnsiToWide(ansi);
}

void Edit::SetText(const std::string& ansi) const {
    WindowHandle::SetText(AnsiToWide(ansi));
}

} // namespace win
