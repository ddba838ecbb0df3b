// The dialogs the list view runs for its commands: registration, sending,
// the CSV files' choice, and the question after a failed save.
#include "ui/kivrel_list_view.h"

#include "res/resource.h"
#include "ui/register_dlg.h"
#include "ui/send_dlg.h"
#include "win/file_dialog.h"
#include "win/resource_string.h"
#include "win/ansi_text.h"
#include "win/whole_file.h"

// The message says what a close leaves: the list for the next start, or
// nothing of the changes, which may then go to a CSV file elsewhere.
void CKivrelListView::SaveTargetsOrAsk() {
    while (!SaveTargets()) {
        const bool kept = m_view.ShownAtNextStart();
        // The data file lives in the current folder.
        if (!m_messages.AskRetry(kept ? IDS_SAVE_KEPT : IDS_SAVE_FAILED, win::CurrentFolder())) {
            if (!kept) {
                m_view.OfferExportBeforeClosing();
            }
            return;
        }
    }
}

// Both dialogs are run without a parent: the main window becomes their owner.
bool CKivrelListView::RunRegister(const kivrel::TargetEntry* editing, kivrel::TargetEntry& result,
                                  kivrel::PcAddresses& addresses) {
    CRegisterDlg dialog;
    if (editing != nullptr) {
        dialog.SetEntry(*editing);
    }
    dialog.SetAddresses(addresses);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    result = dialog.GetEntry();
    addresses = dialog.GetAddresses();
    return true;
}

// The PCs sent to are checked often for a while, so that they are seen coming up.
void CKivrelListView::RunSend(kivrel::TargetList copies, kivrel::AddressBook addresses) {
    for (const kivrel::TargetEntry& entry : copies) {
        m_checks->NoteWoken(entry.mac);
    }
    CSendDlg dialog;
    dialog.m_targets = std::move(copies);
    dialog.m_addresses = std::move(addresses);
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

kivrel::FileOutcome CKivrelListView::RunExport(const std::string& bytes, std::string& file) {
    std::wstring path;
    if (!win::ChooseFileToSave(::GetAncestor(Hwnd(), GA_ROOT), CsvDialogTexts(IDS_EXPORT_TITLE),
                               path)) {
        return kivrel::FileOutcome::Cancelled;
    }
    file = win::WideToUtf8(path);
    switch (win::WriteWholeFile(path, bytes)) {
    case win::WriteWholeResult::Written:
        return kivrel::FileOutcome::Done;
    case win::WriteWholeResult::InUse:
        return kivrel::FileOutcome::InUse;
    case win::WriteWholeResult::Failed:
        break;
    }
    return kivrel::FileOutcome::Failed;
}
