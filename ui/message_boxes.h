// The program's message boxes: its title as caption, one icon each.
#pragma once

#include "ui/messages.h"

#include <string>

class MessageBoxes final : public kivrel::Messages {
public:
    void ShowStop(unsigned stringId) override;
    void ShowWarning(unsigned stringId) override;
    bool Confirm(unsigned stringId) override;
    void ShowNumbers(unsigned stringId, bool fault, unsigned long first,
                     unsigned long second) override;
    void ShowTexts(unsigned stringId, bool fault, const std::string& first,
                   const std::string& second) override;
    // Exclamation icon, Retry and Cancel; the text's "%1" becomes insert.
    // True on Retry.
    bool AskRetry(unsigned stringId, const std::wstring& insert);
};
