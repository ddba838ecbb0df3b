#include "win/tool_bar.h"

#include "win/window.h"

namespace win {
namespace {

const UINT kToolBarType = 241;

// The slots of a toolbar resource and its button size; no slots when the
// resource is missing, of another version or cut short.
std::vector<UINT> LoadSlots(UINT resourceId, SIZE& button) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found =
        ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(kToolBarType));
    const HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* words =
        static_cast<const WORD*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    const DWORD size = found != nullptr ? ::SizeofResource(module, found) : 0;
    if (words == nullptr || size < 4 * sizeof(WORD) || words[0] != 1 ||
        size < (4u + words[3]) * sizeof(WORD)) {
        return {};
    }
    button = {words[1], words[2]};
    return std::vector<UINT>(words + 4, words + 4 + words[3]);
}

} // namespace

bool ToolBar::Create(HWND parent, UINT id, UINT resourceId) {
    SIZE button = {};
    m_buttons = LoadSlots(resourceId, button);
    if (m_buttons.empty()) {
        return false;
    }
    SetHwnd(CreateChildControl(TOOLBARCLASSNAMEW,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                               parent, id));
    if (Hwnd() == nullptr) {
        return false;
    }
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(button.cx, button.cy));
    return AddButtons(resourceId);
}

bool ToolBar::AddButtons(UINT bitmapId) {
    int images = 0;
    for (UINT slot : m_buttons) {
        images += slot != 0 ? 1 : 0;
    }
    TBADDBITMAP bitmap = {::GetModuleHandleW(nullptr), bitmapId};
    if (Send(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&bitmap)) == -1) {
        return false;
    }
    std::vector<TBBUTTON> items;
    int image = 0;
    for (UINT slot : m_buttons) {
        TBBUTTON item = {};
        if (slot == 0) {
            item.fsStyle = TBSTYLE_SEP;
        } else {
            item.iBitmap = image++;
            item.idCommand = static_cast<int>(slot);
            item.fsState = TBSTATE_ENABLED;
            item.fsStyle = TBSTYLE_BUTTON;
        }
        items.push_back(item);
    }
    return Send(TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data())) != FALSE;
}

void ToolBar::Enable(UINT id, bool enabled) const {
    const bool now = Send(TB_ISBUTTONENABLED, id) != 0;
    if (now != enabled) {
        Send(TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
    }
}

} // namespace win
