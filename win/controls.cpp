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

void Edit::TurnOffInputMethod() const {
    // Looked up, not imported: USER32 loads IMM32 wherever an input method can
    // run, and where it has not there is nothing to turn off.
    using AssociateFn = BOOL(WINAPI*)(HWND, HANDLE, DWORD);
    const HMODULE imm = ::GetModuleHandleW(L"imm32.dll");
    const auto associate = imm != nullptr ? reinterpret_cast<AssociateFn>(reinterpret_cast<void*>(
                                                ::GetProcAddress(imm, "ImmAssociateContextEx")))
                                          : nullptr;
    if (associate != nullptr) {
        associate(Hwnd(), nullptr, 0); // no context: the input method is off here
    }
}

void Edit::SetText(const std::string& ansi) const {
    WindowHandle::SetText(AnsiToWide(ansi));
}

} // namespace win
