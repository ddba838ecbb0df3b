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

} // namespace kivrel
