#include "win/message_box.h"

#include "win/resource_string.h"

namespace win {

int ShowMessageBox(UINT textId, UINT captionId, UINT flags) {
    return ::MessageBoxW(::GetActiveWindow(), ResourceString(textId).c_str(),
                         ResourceString(captionId).c_str(), flags);
}

} // namespace win
