#include "targets/csv_text.h"

namespace kivrel {
namespace {

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsUtf8(const std::string& bytes) {
    struct Lead {
        unsigned char from, to; // the lead bytes of this length
        unsigned char bits;     // the code point's bits in the lead byte
        unsigned long least;    // anything below is an overlong form
    };
    const Lead kLeads[] = {
        {0xC2, 0xDF, 0x1F, 0x80}, {0xE0, 0xEF, 0x0F, 0x800}, {0xF0, 0xF4, 0x07, 0x10000}};
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i++]);
        if (c < 0x80) {
            continue;
        }
        std::size_t more = 0;
        while (more < 3 && !(c >= kLeads[more].from && c <= kLeads[more].to)) {
            ++more;
        }
        if (more == 3 || bytes.size() - i < more + 1) {
            return false;
        }
        unsigned long code = c & kLeads[more].bits;
        for (std::size_t k = 0; k <= more; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i++]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        if (code < kLeads[more].least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
    }
    return true;
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// From the byte after the mark; a lone surrogate becomes U+FFFD, which no
// ANSI code page holds, so its name is refused rather than changed, and an
// odd last byte is dropped.
std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian) {
    const auto unit = [&bytes, bigEndian](std::size_t at) {
        const unsigned long first = static_cast<unsigned char>(bytes[at]);
        const unsigned long second = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? first << 8 | second : second << 8 | first;
    };
    std::string utf8;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        unsigned long code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        AppendUtf8(utf8, code);
    }
    return utf8;
}

} // namespace

std::string CsvText(const std::string& bytes, const TextCodec& codec) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return bytes.substr(3);
    }
    if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        return Utf16ToUtf8(bytes, bytes[0] == '\xFE');
    }
    std::string ansi;
    return IsUtf8(bytes) && codec.Utf8ToAnsi(bytes, ansi) ? bytes : codec.AnsiToUtf8(bytes);
}

} // namespace kivrel
