// The registration dialog's checks, in their fixed order, without windows:
// the first fault found is the only one reported.
#pragma once

#include "targets/target_entry.h"

#include <cstdint>
#include <string>

namespace kivrel {

enum class TargetField { None, Name, Mac, Port };

struct TargetInputResult {
    unsigned messageId = 0; // 0 when valid, else the string id to show
    TargetField field = TargetField::None;
    MacBytes mac{};         // the parsed address, when valid
    std::uint16_t port = 0; // the parsed port when valid; 0 when left empty
};

// The texts are ANSI bytes: a double-byte character counts as two. The MAC
// may be written in any of the forms CSV import takes (ParseMacAnyForm); a
// fault is told as the hyphenated form's would be. The port is 1 to 65535,
// or empty, blanks around it ignored.
TargetInputResult ValidateTargetInput(const std::string& nameText, const std::string& macText,
                                      const std::string& portText = std::string());

// The address field's text with what a Japanese keyboard types in full width
// (digits, letters, the hyphen and the dashes an input method makes of it)
// in half width, so that it validates as the user meant; the rest as it is.
std::wstring HalfWidthMacText(std::wstring text);

} // namespace kivrel
