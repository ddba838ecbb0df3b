#include "targets/mac_text.h"

#include <cstdio>
#include <cstring>

namespace kivrel {

std::string FormatMacText(const MacBytes& mac) {
    char text[kMacTextLength + 1];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::string TargetEntry::FormatMacText() const {
    return kivrel::FormatMacText(mac);
}

bool HexPairToByte(std::uint8_t& out, const char* group) {
    std::uint8_t value = 0;
    for (const char* p = group; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return false;
        }
        value = static_cast<std::uint8_t>(value * 16 + digit);
    }
    out = value;
    return true;
}

MacParseResult ParseMacText(MacBytes& out, const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > kMacTextLength) {
        return MAC_ERR_LENGTH;
    }
    // Zero-filled, so a short text reads as zero bytes behind its end.
    char work[kMacTextLength + 1] = {};
    std::memcpy(work, text, length);
    for (unsigned k = 0; k < 5; ++k) {
        if (work[3 * k + 2] != '-') {
            return MAC_ERR_SEPARATOR;
        }
    }
    for (unsigned k = 0; k < 6; ++k) {
        work[3 * k + 2] = '\0';
        if (!HexPairToByte(out[k], &work[3 * k])) {
            return MAC_ERR_DIGIT;
        }
    }
    return MAC_OK;
}

namespace {

// Every third character of a 17-character text, or every fifth of a 14, is
// the separator; the rest are the twelve digits.
bool TakeDigits(const std::string& text, std::string& digits) {
    if (text.size() == 12) {
        digits = text;
        return true;
    }
    const bool dotted = text.size() == 14;
    if (!dotted && text.size() != kMacTextLength) {
        return false;
    }
    const std::size_t step = dotted ? 5 : 3;
    const char separator = dotted ? '.' : text[2];
    if (!dotted && separator != '-' && separator != ':') {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % step != step - 1) {
            digits += text[i];
        } else if (text[i] != separator) {
            return false;
        }
    }
    return true;
}

} // namespace

bool ParseMacAnyForm(MacBytes& out, const std::string& text) {
    std::string digits;
    // A NUL would end a pair early and pass as a one-digit group.
    if (text.find('\0') != std::string::npos || !TakeDigits(text, digits)) {
        return false;
    }
    MacBytes mac;
    for (std::size_t k = 0; k < mac.size(); ++k) {
        const char pair[] = {digits[2 * k], digits[2 * k + 1], '\0'};
        if (!HexPairToByte(mac[k], pair)) {
            return false;
        }
    }
    out = mac;
    return true;
}

MacParseResult MacAnyFormFault(const std::string& macText) {
    MacBytes mac;
    if (ParseMacAnyForm(mac, macText)) {
        return MAC_OK;
    }
    const std::string text = macText.substr(0, macText.find('\0'));
    if (text.size() != 12 && text.size() != 14 && text.size() != kMacTextLength) {
        return MAC_ERR_LENGTH;
    }
    std::string digits;
    return TakeDigits(text, digits) ? MAC_ERR_DIGIT : MAC_ERR_SEPARATOR;
}

} // namespace kivrel
