// The dialogs the list view runs for its commands: registration, sending,
// the diagnosis, the CSV files' choice, and the question after a failed save.
#include "ui/kivrel_list_view.h"

#include "res/resource.h"
#include "net/adapter_addresses.h"
#include "net/neighbour_table.h"
#include "status/echo_network.h"
#include "ui/diagnose_dlg.h"
#include "ui/register_dlg.h"
#include "ui/send_dlg.h"
#include "win/file_dialog.h"
#include "win/resource_string.h"
#include "win/ansi_text.h"
#include "win/whole_file.h"

#include <cstdio>

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

// The PCs sent to are checked often for a while, so that they are seen coming
// up; what was sent is kept for the diagnosis.
void CKivrelListView::RunSend(kivrel::TargetList copies, kivrel::AddressBook addresses) {
    for (const kivrel::TargetEntry& entry : copies) {
        m_checks->NoteWoken(entry.mac);
    }
    kivrel::LastWake wake;
    wake.sent = true;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char when[32];
    std::snprintf(when, sizeof when, "%04u/%02u/%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    wake.when = when;
    // The sender reads the same list as it sends; none read means one unbound copy.
    if (!kivrel::ReadAdapterAddresses(wake.adapters)) {
        wake.adapters.clear();
    }
    CSendDlg dialog;
    dialog.m_targets = std::move(copies);
    dialog.m_addresses = std::move(addresses);
    dialog.DoModal();
    for (std::size_t i = 0; i < dialog.m_results.size(); ++i) {
        const kivrel::MacBytes& mac = dialog.m_targets.at(static_cast<int>(i)).mac;
        const auto kept = dialog.m_addresses.find(mac);
        wake.destination =
            kept != dialog.m_addresses.end() ? kivrel::DestinationText(kept->second) : "";
        wake.done = dialog.m_results[i] == 0;
        m_lastWakes[mac] = wake;
    }
}

void CKivrelListView::RunDiagnose(const kivrel::TargetEntry& entry,
                                  const kivrel::PcAddresses& addresses) {
    kivrel::DiagnosisFacts facts;
    facts.mac = entry.mac;
    facts.destination = kivrel::DestinationText(addresses);
    const std::string& address = addresses.address;
    if (!kivrel::ReadNeighbourTable(facts.neighbours)) {
        facts.neighbours.clear();
    }
    if (address.empty()) {
        const kivrel::NeighbourAddresses seen = kivrel::LatestNeighbourAddresses(facts.neighbours);
        const auto found = seen.find(entry.mac);
        facts.resolved = found != seen.end();
        facts.ipv4 = facts.resolved ? found->second : 0;
    } else {
        facts.resolved = kivrel::EchoNetwork().Resolve(address, facts.ipv4);
    }
    if (!kivrel::ReadAdapterSubnets(facts.subnets)) {
        facts.subnets.clear();
    }
    if (!kivrel::ReadDefaultGateways(facts.gateways)) {
        facts.gateways.clear();
    }
    facts.checks = m_checks->FactsOf(entry.mac);
    const auto wake = m_lastWakes.find(entry.mac);
    if (wake != m_lastWakes.end()) {
        facts.wake = wake->second;
    }
    CDiagnoseDlg dialog(kivrel::Diagnose(facts));
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
