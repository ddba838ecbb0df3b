#include "ui/kivrel_list_view.h"

#include "res/resource.h"
#include "ui/register_dlg.h"
#include "wake/send_dlg.h"
#include "win/ansi_text.h"
#include "win/resource_string.h"

CKivrelListView::CKivrelListView() : m_view(*this, *this, m_messages) {}

CKivrelListView* CKivrelListView::CreateObject() {
    return new CKivrelListView;
}

bool CKivrelListView::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    HWND hwnd = win::CreateChildControl(WC_LISTVIEWW, style, parent, id, rect);
    if (hwnd == nullptr || !Subclass(hwnd)) {
        if (hwnd != nullptr) {
            ::DestroyWindow(hwnd);
        }
        delete this;
        return false;
    }
    m_list.Attach(hwnd);
    // With no label before it, its own text is what a screen reader names it by.
    m_list.SetText(win::ResourceString(IDS_TARGET_LIST_NAME));

    // Several rows may be selected.
    m_look.SetUp(m_list, LVS_SHOWSELALWAYS, {{IDS_COLUMN_NAME, 360}, {IDS_COLUMN_MAC, 140}});
    return true;
}

void CKivrelListView::LoadTargets() {
    const win::RowBatch batch(m_list);
    m_view.LoadTargets();
}

bool CKivrelListView::OnReflectedNotify(NMHDR& header, LRESULT& result) {
    if (header.code == NM_DBLCLK) {
        result = 0;
        m_view.OnDblclk();
        return true;
    }
    // No context menu.
    if (header.code == NM_RCLICK) {
        result = 0;
        return true;
    }
    return false;
}

void CKivrelListView::OnFinalMessage() {
    delete this;
}

int CKivrelListView::RowCount() const {
    return m_list.GetItemCount();
}

int CKivrelListView::SelectedCount() const {
    return m_list.GetSelectedCount();
}

bool CKivrelListView::IsRowSelected(int row) const {
    return (m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int CKivrelListView::InsertTextRow(int row, const std::string& text) {
    return m_list.InsertItem(row, win::AnsiToWide(text));
}

void CKivrelListView::SetItemText(int row, int column, const std::string& text) {
    m_list.SetItemText(row, column, win::AnsiToWide(text));
}

void CKivrelListView::DeleteRow(int row) {
    m_list.DeleteItem(row);
}

void CKivrelListView::DeleteAllRows() {
    m_list.DeleteAllItems();
}

void CKivrelListView::SetRowState(int row, unsigned state, unsigned mask) {
    m_list.SetItemState(row, state, mask);
}

void CKivrelListView::EnsureVisible(int row) {
    m_list.EnsureVisible(row, true);
}

void CKivrelListView::SaveTargetsOrAsk() {
    while (!SaveTargets()) {
        // The data file lives in the current folder.
        std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
        folder.resize(folder.empty() ? 0 : ::GetCurrentDirectoryW(folder.size(), &folder[0]));
        if (!m_messages.AskRetry(IDS_SAVE_FAILED, folder)) {
            return;
        }
    }
}

// Both dialogs are run without a parent: the main window becomes their owner.
bool CKivrelListView::RunRegister(const kivrel::TargetEntry* editing, kivrel::TargetEntry& result,
                                  std::string& address) {
    CRegisterDlg dialog;
    if (editing != nullptr) {
        dialog.SetEntry(*editing);
    }
    dialog.SetAddress(address);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    result = dialog.GetEntry();
    address = dialog.GetAddress();
    return true;
}

void CKivrelListView::RunSend(kivrel::TargetList copies) {
    CSendDlg dialog;
    dialog.m_targets = std::move(copies);
    dialog.DoModal();
}
