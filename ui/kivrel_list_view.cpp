#include "ui/kivrel_list_view.h"

#include "res/resource.h"
#include "ui/register_dlg.h"
#include "wake/send_dlg.h"
#include "win/ansi_text.h"
#include "win/file_dialog.h"
#include "win/resource_string.h"
#include "win/whole_file.h"

CKivrelListView::CKivrelListView() : m_view(*this, *this, m_messages, m_codec) {}

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

namespace {

win::FileDialogTexts CsvDialogTexts(UINT titleId) {
    return {win::ResourceString(titleId), win::ResourceString(IDS_CSV_FILTER), L"Kivrel.csv",
            L"csv"};
}

} // namespace

// The file dialogs are owned by the main window, as the modal dialogs are.
kivrel::FileOutcome CKivrelListView::RunImport(std::size_t limit, std::string& bytes) {
    win::FileDialogTexts texts = CsvDialogTexts(IDS_IMPORT_TITLE);
    texts.defaultName.clear();
    std::wstring path;
    if (!win::ChooseFileToOpen(::GetAncestor(Hwnd(), GA_ROOT), texts, path)) {
        return kivrel::FileOutcome::Cancelled;
    }
    switch (win::ReadWholeFile(path, limit, bytes)) {
    case win::ReadWholeResult::Read:
        return kivrel::FileOutcome::Done;
    case win::ReadWholeResult::TooBig:
        return kivrel::FileOutcome::TooBig;
    case win::ReadWholeResult::Failed:
        break;
    }
    return kivrel::FileOutcome::Failed;
}

kivrel::FileOutcome CKivrelListView::RunExport(const std::string& bytes) {
    std::wstring path;
    if (!win::ChooseFileToSave(::GetAncestor(Hwnd(), GA_ROOT), CsvDialogTexts(IDS_EXPORT_TITLE),
                               path)) {
        return kivrel::FileOutcome::Cancelled;
    }
    return win::WriteWholeFile(path, bytes) ? kivrel::FileOutcome::Done
                                            : kivrel::FileOutcome::Failed;
}
