// The message boxes the program shows, by string id. Portable decisions report
// through this; each platform shows the boxes its own way.
#pragma once

namespace kivrel {

class Messages {
public:
    virtual ~Messages() = default;
    virtual void ShowStop(unsigned stringId) = 0;    // stop icon, OK
    virtual void ShowWarning(unsigned stringId) = 0; // exclamation icon, OK
    virtual bool Confirm(unsigned stringId) = 0;     // question icon, OK/Cancel; true on OK
};

} // namespace kivrel
