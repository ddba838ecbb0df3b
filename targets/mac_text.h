// The only textual form of a MAC address: six hexadecimal pairs joined by
// hyphens. Lengths and positions count bytes of the ANSI string.
#pragma once

#include "targets/target_entry.h"

namespace kivrel {

enum MacParseResult {
    MAC_OK = 0,
    MAC_ERR_LENGTH = 1,    // longer than 17 bytes; nothing stored
    MAC_ERR_SEPARATOR = 2, // no hyphen at 2, 5, 8, 11 or 14; nothing stored
    MAC_ERR_DIGIT = 3,     // a group is not hexadecimal; earlier groups stored
};

constexpr unsigned kMacTextLength = 17;

std::string FormatMacText(const MacBytes& mac);

// Accepts either letter case. Texts of 15 and 16 bytes pass with a short last
// group; callers that want exactly 17 check the length first.
MacParseResult ParseMacText(MacBytes& out, const char* text);

// The forms other tools and spreadsheets write: 00-11-22-33-44-55,
// 00:11:22:33:44:55, 001122334455 or 0011.2233.4455, either case, exactly.
// out is untouched unless the whole text is one of them.
bool ParseMacAnyForm(MacBytes& out, const std::string& text);

// Why ParseMacAnyForm refuses a text, told as ParseMacText's faults: its
// length (up to a NUL, which no form holds), a separator out of place (every
// one must be the form's), or a digit. MAC_OK when it takes it.
MacParseResult MacAnyFormFault(const std::string& text);

// Converts a terminated group of hexadecimal digits; out is untouched on failure.
bool HexPairToByte(std::uint8_t& out, const char* group);

} // namespace kivrel
