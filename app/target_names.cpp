#include "app/target_names.h"

namespace kivrel {

// Neither a blank nor a quote is ever the second byte of a double-byte
// character, so the ends can be trimmed byte by byte.
std::string Unquoted(const std::string& text) {
    const char* const kBlanks = " \t";
    std::string::size_type first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return std::string();
    }
    std::string::size_type last = text.find_last_not_of(kBlanks);
    if (last > first && text[first] == '"' && text[last] == '"') {
        first = text.find_first_not_of(kBlanks, first + 1);
        last = text.find_last_not_of(kBlanks, last - 1);
        if (first > last) {
            return std::string();
        }
    }
    return text.substr(first, last - first + 1);
}

namespace {

std::string Key(const std::string& text, LeadBytePredicate isLeadByte) {
    std::string key = Unquoted(text);
    for (std::string::size_type i = 0; i < key.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(key[i]);
        if (isLeadByte(c)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            key[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
}

} // namespace

std::vector<MacBytes> MacsNamed(const TargetList& list, const std::string& text,
                                LeadBytePredicate isLeadByte) {
    std::vector<MacBytes> macs;
    const std::string wanted = Key(text, isLeadByte);
    if (wanted.empty()) {
        return macs;
    }
    for (const TargetEntry& entry : list) {
        if (Key(entry.name, isLeadByte) == wanted) {
            macs.push_back(entry.mac);
        }
    }
    return macs;
}

} // namespace kivrel
