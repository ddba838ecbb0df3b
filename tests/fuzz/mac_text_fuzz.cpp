// Feeds arbitrary bytes to ParseMacText and checks result and bytes against a
// second, deliberately plain reading of the same rules.
#include "targets/mac_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using kivrel::MacBytes;
using kivrel::MacParseResult;

int HexValue(char c) {
    static const char kDigits[] = "0123456789abcdef0123456789ABCDEF";
    for (int i = 0; i < 32; ++i) {
        if (c == kDigits[i]) {
            return i % 16;
        }
    }
    return -1;
}

// The text is read as if padded with zero bytes to 17; each group is the two
// bytes before its hyphen, cut at the text's end, and an empty group is zero.
MacParseResult Model(MacBytes& out, const std::string& text) {
    if (text.size() > 17) {
        return kivrel::MAC_ERR_LENGTH;
    }
    std::string padded = text;
    padded.resize(17, '\0');
    for (std::size_t hyphen : {2, 5, 8, 11, 14}) {
        if (padded[hyphen] != '-') {
            return kivrel::MAC_ERR_SEPARATOR;
        }
    }
    for (std::size_t group = 0; group < 6; ++group) {
        int value = 0;
        for (std::size_t i = 3 * group; i < 3 * group + 2 && padded[i] != '\0'; ++i) {
            const int digit = HexValue(padded[i]);
            if (digit < 0) {
                return kivrel::MAC_ERR_DIGIT;
            }
            value = value * 16 + digit;
        }
        out[group] = static_cast<std::uint8_t>(value);
    }
    return kivrel::MAC_OK;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A C string ends at its first zero byte: the rest never reaches the parser.
    const std::string text(reinterpret_cast<const char*>(data),
                           strnlen(reinterpret_cast<const char*>(data), size));
    // Bytes the parser must not touch are recognisable by their starting values.
    MacBytes start{};
    for (std::size_t i = 0; i < start.size(); ++i) {
        start[i] = static_cast<std::uint8_t>(0xA5 ^ (size + i));
    }
    MacBytes expected = start;
    MacBytes got = start;
    const MacParseResult expectedResult = Model(expected, text);
    const MacParseResult result = kivrel::ParseMacText(got, text.c_str());
    Check(result == expectedResult);
    Check(got == expected);
    if (result == kivrel::MAC_OK && text.size() == kivrel::kMacTextLength) {
        std::string upper = text;
        for (char& c : upper) {
            if (c >= 'a' && c <= 'f') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        Check(kivrel::FormatMacText(got) == upper);
    }
    return 0;
}
