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
};

// The text with each %1 and %2 replaced by the number, for narrow and wide texts.
template <class Text> Text FillNumbers(Text text, unsigned long first, unsigned long second) {
    const unsigned long numbers[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        const Text mark = {'%', static_cast<typename Text::value_type>('1' + i)};
        const std::string digits = std::to_string(numbers[i]);
        const Text number(digits.begin(), digits.end());
        for (auto at = text.find(mark); at != Text::npos;
             at = text.find(mark, at + number.size())) {
            text.replace(at, mark.size(), number);
        }
    }
    return text;
}

} // namespace kivrel
