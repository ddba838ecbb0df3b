#include "ui/kivrel_list_view.h"

#include "ui/register_dlg.h"
#include "wake/send_dlg.h"
#include "win/ansi_text.h"

namespace {

const struct {
    const wchar_t* heading;
    int width;
} kColumns[] = {{L"Name", 360}, {L"MAC", 140}};

} // namespace

CKivrelListView::CKivrelListView() : m_view(*this, *this, m_messages) {}

CKivrelListView::~CKivrelListView() {
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
}

CKivrelListView* CKivrelListView::CreateObject() {
    return new CKivrelListView;
}

bool CKivrelListView::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    HWND hwnd = ::CreateWindowExW(0, WC_LISTVIEWW, nullptr, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr || !Subclass(hwnd)) {
        if (hwnd != nullptr) {
            ::DestroyWindow(hwnd);
        }
        delete this;
        return false;
    }
    m_list.Attach(hwnd);

    // Without the font the control keeps its default one.
    m_font = win::CreateListFont();
    if (m_font != nullptr) {
        m_list.SetFont(m_font);
    }
    // Several rows may be selected; the headers are not buttons, so nothing sorts.
    m_list.AddStyle(LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER);
    m_list.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const auto& column : kColumns) {
        m_list.InsertColumn(index++, column.heading, column.width);
    }
    return true;
}

// A long list would otherwise be laid out and repainted once per row.
void CKivrelListView::LoadTargets() {
    m_list.SetRedraw(false);
    m_view.LoadTargets();
    m_list.SetRedraw(true);
}

bool CKivrelListView::OnReflectedNotify(const NMHDR& header, LRESULT& result) {
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

// Both dialogs are run without a parent: the main window becomes their owner.
bool CKivrelListView::RunRegister(const kivrel::TargetEntry* editing, kivrel::TargetEntry& result) {
    CRegisterDlg dialog;
    if (editing != nullptr) {
        dialog.SetEntry(*editing);
    }
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    result = dialog.GetEntry();
    return true;
}

void CKivrelListView::RunSend(kivrel::TargetList copies) {
    CSendDlg dialog;
    dialog.m_targets = std::move(copies);
    dialog.DoModal();
}
