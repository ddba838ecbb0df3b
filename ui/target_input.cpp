#include "ui/target_input.h"

#include "res/resource.h"
#include "targets/address_file.h"
#include "targets/mac_messages.h"
#include "targets/mac_text.h"

namespace kivrel {
TargetInputResult ValidateTargetInput(const std::string& nameText, const std::string& macText,
                                      const std::string& portText) {
    TargetInputResult result;
    if (nameText.empty()) {
        result.messageId = IDS_NAME_EMPTY;
        result.field = TargetField::Name;
        return result;
    }
    if (!ParseMacAnyForm(result.mac, macText)) {
        result.messageId = MacParseMessageId(MacAnyFormFault(macText));
        result.field = TargetField::Mac;
        return result;
    }
    if (!ParsePortField(portText, result.port)) {
        result.messageId = IDS_PORT_BAD;
        result.field = TargetField::Port;
        result.mac = MacBytes{};
    }
    return result;
}

std::wstring HalfWidthMacText(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'\xFF01' && c <= L'\xFF5E') {
            c = static_cast<wchar_t>(c - 0xFEE0); // the full-width block mirrors ASCII
        } else if (c == L'\x2010' || c == L'\x2011' || c == L'\x2212' || c == L'\x30FC' ||
                   c == L'\xFF70') {
            c = L'-'; // hyphens, minus and the long-vowel marks of the kana modes
        }
    }
    return text;
}

} // namespace kivrel
