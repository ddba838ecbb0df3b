// How the commands show themselves: the menus' checks and greying, the
// status bar's prompts, the toolbar's tooltips and buttons.
#include "frame/main_frame.h"

#include "res/resource.h"
#include "win/application.h"
#include "win/resource_string.h"

#include <commctrl.h>

void CMainFrame::OnInitMenuPopup(HMENU menu) {
    const kivrel::CommandChain chain = Chain();
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) {
            continue; // separators and submenus
        }
        const kivrel::CommandState state = chain.State(id);
        ::CheckMenuItem(menu, id, MF_BYCOMMAND | (state.checked ? MF_CHECKED : MF_UNCHECKED));
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void CMainFrame::OnMenuSelect(UINT item, UINT flags, HMENU menu) const {
    if (flags == 0xFFFF && menu == nullptr) {
        ShowPrompt(0); // the menu closed
    } else if ((flags & (MF_POPUP | MF_SEPARATOR)) != 0) {
        ShowPrompt(0);
    } else if ((flags & MF_SYSMENU) != 0) {
        ShowPrompt(kivrel::SystemMenuPromptId(item));
    } else {
        ShowPrompt(item);
    }
}

void CMainFrame::ShowPrompt(UINT id) const {
    if (!m_wndStatusBar.IsVisible()) {
        return;
    }
    std::wstring text = id != 0 ? win::ResourceStringPart(id, 0) : std::wstring();
    m_wndStatusBar.SetText(text.empty() ? win::ResourceString(AFX_IDS_IDLEMESSAGE) : text);
}

void CMainFrame::OnIdleUpdate() {
    if (m_closePending && IsEnabled()) {
        DestroyWindow();
        return;
    }
    if (!m_wndToolBar.IsVisible()) {
        return;
    }
    const kivrel::CommandChain chain = Chain();
    for (UINT id : m_wndToolBar.Buttons()) {
        if (id != 0) {
            m_wndToolBar.Enable(id, chain.IsEnabled(id));
        }
    }
}

bool CMainFrame::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        m_tipText = win::ResourceStringPart(static_cast<UINT>(header.idFrom), 1);
        info.lpszText = &m_tipText[0];
        result = 0;
        return true;
    }
    if (header.code == TBN_HOTITEMCHANGE && header.hwndFrom == m_wndToolBar.Hwnd()) {
        const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
        ShowPrompt((hot.dwFlags & HICF_LEAVING) != 0 ? 0 : static_cast<UINT>(hot.idNew));
        result = 0;
        return true;
    }
    return false;
}
