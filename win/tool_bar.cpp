#include "win/tool_bar.h"

#include "win/window.h"

#include <commctrl.h>

namespace win {

bool ToolBar::Create(HWND parent, UINT id, UINT bitmapId, const std::vector<UINT>& buttons) {
    SetHwnd(CreateChildControl(TOOLBARCLASSNAMEW,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                               parent, id));
    if (Hwnd() == nullptr) {
        return false;
    }
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    int images = 0;
    for (UINT button : buttons) {
        images += button != 0 ? 1 : 0;
    }
    TBADDBITMAP bitmap = {::GetModuleHandleW(nullptr), bitmapId};
    if (Send(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&bitmap)) == -1) {
        return false;
    }
    std::vector<TBBUTTON> items;
    int image = 0;
    for (UINT button : buttons) {
        TBBUTTON item = {};
        if (button == 0) {
            item.fsStyle = TBSTYLE_SEP;
        } else {
            item.iBitmap = image++;
            item.idCommand = static_cast<int>(button);
            item.fsState = TBSTATE_ENABLED;
            item.fsStyle = TBSTYLE_BUTTON;
        }
        items.push_back(item);
    }
    m_buttons = buttons;
    return Send(TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data())) != FALSE;
}

void ToolBar::Enable(UINT id, bool enabled) const {
    const bool now = Send(TB_ISBUTTONENABLED, id) != 0;
    if (now != enabled) {
        Send(TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
    }
}

} // namespace win
