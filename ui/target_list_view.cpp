#include "ui/target_list_view.h"

#include "res/resource.h"
#include "targets/target_csv.h"
#include "ui/target_import.h"

#include <exception>
#include <utility>
#include <vector>

namespace kivrel {
namespace {

// The control draws nothing while it lives.
class RedrawOff {
public:
    explicit RedrawOff(ListControl& control) : m_control(control) { m_control.SetRedraw(false); }
    ~RedrawOff() { m_control.SetRedraw(true); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    ListControl& m_control;
};

} // namespace

TargetListView::TargetListView(ListControl& control, ViewDialogs& dialogs, Messages& messages,
                               const TextCodec& codec)
    : m_control(control), m_dialogs(dialogs), m_messages(messages), m_codec(codec) {}

void TargetListView::LoadTargets() {
    m_targets.Clear();
    m_control.DeleteAllRows();
    TargetList loaded;
    m_fileStatus = ReadTargetFile(loaded);
    m_heldAtLoad = m_fileStatus == FILE_HELD;
    m_settled = m_heldAtLoad || m_fileStatus == FILE_DAMAGED;
    m_addressStatus = ReadAddressFile(m_addresses);
    try {
        for (const TargetEntry& entry : loaded) {
            AddTarget(entry);
        }
    } catch (const std::exception&) {
        // Out of memory while showing it: none of it rather than a part. The
        // file is good, so it is kept as one that could not be read, never
        // as a damaged one.
        m_targets.Clear();
        m_control.DeleteAllRows();
        m_fileStatus = FILE_HELD;
        m_settled = true;
    }
    m_settledRevision = m_revision;
}

void TargetListView::ReportLoad() {
    if (m_heldAtLoad) {
        m_messages.ShowWarning(IDS_FILE_IN_USE);
    }
}

bool TargetListView::NeedsSave() const {
    return !m_settled || m_revision != m_settledRevision;
}

bool TargetListView::SaveTargets() {
    if (!NeedsSave()) {
        return true;
    }
    const bool list = WriteTargetFile(m_targets, m_fileStatus);
    if (!WriteAddressFile(m_addresses, m_addressStatus) || !list) {
        return false;
    }
    m_settled = true;
    m_settledRevision = m_revision;
    return true;
}

std::string TargetListView::AddressOf(const MacBytes& mac) const {
    return AddressesOf(mac).address;
}

PcAddresses TargetListView::AddressesOf(const MacBytes& mac) const {
    const auto found = m_addresses.find(mac);
    return found == m_addresses.end() ? PcAddresses() : found->second;
}

void TargetListView::AddTarget(const TargetEntry& entry) {
    ++m_revision;
    m_targets.Append(entry);
    const int row = m_control.RowCount();
    m_control.InsertTextRow(row, entry.name);
    m_control.SetItemText(row, 1, entry.FormatMacText());
}

void TargetListView::ReplaceTarget(int index, const TargetEntry& entry) {
    ++m_revision;
    m_targets.ReplaceAt(index, entry);
    ShowRowTexts(index);
}

void TargetListView::DeleteTarget(int index) {
    ++m_revision;
    const MacBytes mac = m_targets.at(index).mac;
    m_control.DeleteRow(index);
    m_targets.RemoveAt(index);
    ForgetAddressIfUnused(mac);
}

int TargetListView::GetSelectedIndex() const {
    if (m_control.SelectedCount() != 1) {
        return -1;
    }
    for (int i = 0; i < m_control.RowCount(); ++i) {
        if (m_control.IsRowSelected(i)) {
            return i;
        }
    }
    return -1;
}

const CommandRow<TargetListView> TargetListView::kCommands[] = {
    {ID_SEND_SELECTED, &TargetListView::OnSendSelected, &TargetListView::OnUpdateTargetDelete},
    {ID_SEND_ALL, &TargetListView::OnSendAll, &TargetListView::OnUpdateSendAll},
    {ID_TARGET_NEW, &TargetListView::OnTargetNew, nullptr},
    {ID_TARGET_EDIT, &TargetListView::OnTargetEdit, &TargetListView::OnUpdateTargetEdit},
    {ID_TARGET_DELETE, &TargetListView::OnTargetDelete, &TargetListView::OnUpdateTargetDelete},
    {ID_TARGET_UP, &TargetListView::OnTargetUp, &TargetListView::OnUpdateTargetUp},
    {ID_TARGET_DOWN, &TargetListView::OnTargetDown, &TargetListView::OnUpdateTargetDown},
    {ID_TARGET_IMPORT, &TargetListView::OnTargetImport, nullptr},
    {ID_TARGET_EXPORT, &TargetListView::OnTargetExport, &TargetListView::OnUpdateSendAll},
    {ID_TARGET_DIAGNOSE, &TargetListView::OnTargetDiagnose, &TargetListView::OnUpdateTargetEdit},
    {ID_VIEW_STATUS_CHECK, &TargetListView::OnViewStatusCheck, nullptr,
     &TargetListView::StatusChecksOn},
};

bool TargetListView::QueryCommand(unsigned id, CommandState& state) const {
    return QueryCommandRow(kCommands, *this, id, state);
}

void TargetListView::RunCommand(unsigned id) {
    RunCommandRow(kCommands, *this, id);
}

void TargetListView::OnSendSelected() {
    std::vector<std::int32_t> selected;
    for (int i = 0; i < m_control.RowCount(); ++i) {
        if (m_control.IsRowSelected(i)) {
            selected.push_back(i);
        }
    }
    Send(m_targets.CopyEntries(selected));
}

void TargetListView::OnSendAll() {
    Send(m_targets);
}

void TargetListView::Send(TargetList copies) {
    AddressBook addresses;
    for (const TargetEntry& entry : copies) {
        const auto kept = m_addresses.find(entry.mac);
        if (kept != m_addresses.end()) {
            addresses.insert(*kept);
        }
    }
    m_dialogs.RunSend(std::move(copies), std::move(addresses));
}

void TargetListView::OnTargetImport() {
    std::string bytes;
    const FileOutcome read = m_dialogs.RunImport(kMaxImportBytes, bytes);
    if (read == FileOutcome::Cancelled) {
        return;
    }
    const ImportPlan plan = PlanImport(m_targets, read, bytes, m_codec);
    {
        const RedrawOff batch(m_control);
        for (std::int32_t i = 0; i < plan.added.size(); ++i) {
            const TargetEntry& entry = plan.added.at(i);
            AddTarget(entry);
            // As registering it would: left empty, it keeps what its MAC has.
            if (!plan.kept[static_cast<std::size_t>(i)].empty()) {
                KeepAddresses(entry.mac, plan.kept[static_cast<std::size_t>(i)]);
            }
        }
    }
    if (plan.headings.empty()) {
        m_messages.ShowNumbers(plan.messageId, plan.fault, plan.first, plan.second);
    } else {
        m_messages.ShowTexts(plan.messageId, plan.fault, std::to_string(plan.first), plan.headings);
    }
}

void TargetListView::OnTargetExport() {
    ExportList();
}

FileOutcome TargetListView::ExportList() {
    std::string file;
    const FileOutcome outcome =
        m_dialogs.RunExport(FormatTargetCsv(m_targets, m_codec, m_addresses), file);
    switch (outcome) {
    case FileOutcome::Failed:
        m_messages.ShowWarning(IDS_EXPORT_FAILED);
        break;
    case FileOutcome::InUse:
        m_messages.ShowTexts(IDS_EXPORT_IN_USE, true, file, std::string());
        break;
    default:
        break;
    }
    return outcome;
}

bool TargetListView::ShownAtNextStart() const {
    // Only a whole "Kivrel.dat.new" comes before the file at the next start.
    TargetList next;
    ReadTargetFile(next, kTargetFileName, READ_SHARED);
    return PathExists((std::string(kTargetFileName) + ".new").c_str()) && next == m_targets;
}

void TargetListView::OfferExportBeforeClosing() {
    while (m_messages.Confirm(IDS_SAVE_EXPORT_FIRST)) {
        if (ExportList() == FileOutcome::Done) {
            return;
        }
    }
}

void TargetListView::OnTargetDiagnose() {
    const int index = GetSelectedIndex();
    if (index >= 0) {
        const TargetEntry& entry = m_targets.at(index);
        m_dialogs.RunDiagnose(entry, AddressesOf(entry.mac));
    }
}

void TargetListView::OnDblclk() {
    if (m_control.SelectedCount() == 0) {
        return;
    }
    if (m_messages.Confirm(IDS_CONFIRM_SEND)) {
        OnSendSelected();
    }
}

bool TargetListView::OnUpdateTargetEdit() const {
    return m_control.SelectedCount() == 1;
}

bool TargetListView::OnUpdateTargetDelete() const {
    return m_control.SelectedCount() > 0;
}

bool TargetListView::OnUpdateTargetUp() const {
    return m_control.SelectedCount() == 1 && !m_control.IsRowSelected(0);
}

bool TargetListView::OnUpdateTargetDown() const {
    return m_control.SelectedCount() == 1 && !m_control.IsRowSelected(m_control.RowCount() - 1);
}

bool TargetListView::OnUpdateSendAll() const {
    return m_control.RowCount() > 0;
}

void TargetListView::ShowRowTexts(int index) {
    const TargetEntry& entry = m_targets.at(index);
    m_control.SetItemText(index, 0, entry.name);
    m_control.SetItemText(index, 1, entry.FormatMacText());
}

void TargetListView::ForgetAddressIfUnused(const MacBytes& mac) {
    for (const TargetEntry& entry : m_targets) {
        if (entry.mac == mac) {
            return;
        }
    }
    m_addresses.erase(mac);
}

void TargetListView::KeepAddresses(const MacBytes& mac, const PcAddresses& addresses) {
    PcAddresses clean = addresses;
    clean.address = CleanAddressText(addresses.address);
    clean.destination = CleanAddressText(addresses.destination);
    if (clean.empty()) {
        m_addresses.erase(mac);
    } else {
        m_addresses[mac] = clean;
    }
}

} // namespace kivrel
