// The message boxes the program shows, by string id. Portable decisions report
// through this; each platform shows the boxes its own way.
#pragma once

#include <string>

namespace kivrel {

class Messages {
public:
    virtual ~Messages() = default;
    virtual void ShowStop(unsigned stringId) = 0;    // stop icon, OK
    virtual void ShowWarning(unsigned stringId) = 0; // exclamation icon, OK
    virtual bool Confirm(unsigned stringId) = 0;     // question icon, OK/Cancel; true on OK
    // A text whose %1 and %2 read first and second (a line, or counts): the
    // exclamation icon for a fault, otherwise the information icon.
    virtual void ShowNumbers(unsigned stringId, bool fault, unsigned long first,
                             unsigned long second) = 0;
    // The same with %1 and %2 reading two UTF-8 texts: a name, a folder, a file.
    virtual void ShowTexts(unsigned stringId, bool fault, const std::string& first,
                           const std::string& second) = 0;
};

// The text with each %1 and %2 replaced by first and second, in one pass, so
// that a "%2" inside first stays as it is; for narrow and wide texts.
template <class Text> Text FillTexts(const Text& text, const Text& first, const Text& second) {
    Text filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            filled += text[++i] == '1' ? first : second;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

template <class Text> Text FillNumbers(Text text, unsigned long first, unsigned long second) {
    const std::string a = std::to_string(first);
    const std::string b = std::to_string(second);
    return FillTexts(text, Text(a.begin(), a.end()), Text(b.begin(), b.end()));
}

} // namespace kivrel
