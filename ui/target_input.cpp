#include "ui/target_input.h"

#include "res/resource.h"
#include "targets/mac_messages.h"
#include "targets/mac_text.h"

namespace kivrel {

TargetInputResult ValidateTargetInput(const std::string& nameText, const std::string& macText) {
    TargetInputResult result;
    if (nameText.empty()) {
        result.messageId = IDS_NAME_EMPTY;
        result.field = TargetField::Name;
        return result;
    }
    // Exactly 17: the parser alone would take the short forms of 15 and 16.
    // A text holding a NUL byte fails here too, as it cannot be parsed whole.
    MacParseResult parsed = MAC_ERR_LENGTH;
    if (macText.size() == kMacTextLength && macText.find('\0') == std::string::npos) {
        parsed = ParseMacText(result.mac, macText.c_str());
    }
    result.messageId = MacParseMessageId(parsed);
    if (parsed != MAC_OK) {
        result.field = TargetField::Mac;
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
