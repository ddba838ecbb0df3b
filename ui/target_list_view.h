// What the main list of targets does, whatever control shows it: it owns the
// live list, keeps row i showing entry i, and carries every list command as
// the first link of the command chain.
#pragma once

#include "targets/address_file.h"
#include "ui/command_target.h"
#include "targets/target_entry.h"
#include "targets/target_file.h"
#include "targets/target_list.h"
#include "targets/text_codec.h"
#include "ui/list_control.h"
#include "ui/messages.h"
#include "ui/view_dialogs.h"

namespace kivrel {

class TargetListView final : public CommandTarget {
public:
    // Only references are kept: the control may get its window later.
    TargetListView(ListControl& control, ViewDialogs& dialogs, Messages& messages,
                   const TextCodec& codec);

    // Shows the newest complete list the data file holds, or nothing; the
    // addresses come from their own file, whatever became of the data file.
    void LoadTargets();
    // Once the window shows: tells the user when another program held the
    // file at the load, so that none of it could be read.
    void ReportLoad();
    // Whether a save has anything to do. Not when the files hold this very
    // list already, nor when the list is unchanged since a load that failed:
    // that file is left as it is.
    bool NeedsSave() const;
    // Saves both files when a save is needed; false only when that save
    // failed. The
    // caller says what a failure means.
    bool SaveTargets();
    // After a failed save: whether the list waits whole in "Kivrel.dat.new",
    // which the next start shows (it could not take the file's place, or it
    // is an emptied list recorded beside a file that stays).
    bool ShownAtNextStart() const;
    // After a failed save that kept nothing: offers, until the user declines
    // or it is done, to export the list to a CSV file in another folder.
    void OfferExportBeforeClosing();

    const TargetList& targets() const { return m_targets; }
    // Moves on with every change to the list, so that a caller can tell
    // whether it changed since some moment.
    unsigned Revision() const { return m_revision; }
    // The host name or address kept with a MAC, UTF-8; empty when none.
    std::string AddressOf(const MacBytes& mac) const;
    // Everything kept with a MAC: its address, and the destination and port
    // its wakes go to; all empty when none.
    PcAddresses AddressesOf(const MacBytes& mac) const;

    void AddTarget(const TargetEntry& entry);
    void ReplaceTarget(int index, const TargetEntry& entry);
    void DeleteTarget(int index);
    // The selected row when exactly one is selected, otherwise -1.
    int GetSelectedIndex() const;

    bool QueryCommand(unsigned id, CommandState& state) const override;
    void RunCommand(unsigned id) override;

    // The handlers run once the chain has found them enabled; those that act
    // on the one selected row still check that there is one.
    void OnTargetNew();
    void OnTargetEdit();
    void OnTargetDelete();
    void OnTargetUp();
    void OnTargetDown();
    void OnSendSelected();
    void OnSendAll();
    // All or nothing: a fault anywhere in the file adds no row.
    void OnTargetImport();
    void OnTargetExport();
    void OnTargetDiagnose();
    // The status checks on or off; the caller makes it so and keeps it.
    void OnViewStatusCheck() { m_statusChecks = !m_statusChecks; }
    bool StatusChecksOn() const { return m_statusChecks; }
    void SetStatusChecks(bool on) { m_statusChecks = on; }
    // The export, and the message when it failed.
    FileOutcome ExportList();
    // A double-click sends the selection, after asking.
    void OnDblclk();

    bool OnUpdateTargetEdit() const;
    // Serves send-selected as well.
    bool OnUpdateTargetDelete() const;
    bool OnUpdateTargetUp() const;
    bool OnUpdateTargetDown() const;
    bool OnUpdateSendAll() const;

private:
    static const CommandRow<TargetListView> kCommands[];

    void ShowRowTexts(int index);
    // The send dialog for these copies, with what is kept for their MACs.
    void Send(TargetList copies);
    void MoveSelection(int from, int to);
    // Addresses, destinations and ports go with MACs, so moves and sends keep
    // them by themselves; only a MAC that leaves the list takes them along.
    void ForgetAddressIfUnused(const MacBytes& mac);
    void KeepAddresses(const MacBytes& mac, const PcAddresses& addresses);

    ListControl& m_control;
    ViewDialogs& m_dialogs;
    Messages& m_messages;
    const TextCodec& m_codec;
    TargetList m_targets;
    // Until a load has looked, whatever file is there is kept by a save.
    TargetFileStatus m_fileStatus = FILE_DAMAGED;
    AddressBook m_addresses;
    TargetFileStatus m_addressStatus = FILE_DAMAGED;
    unsigned m_revision = 0;
    bool m_heldAtLoad = false;
    // The list at this revision needs no save (see NeedsSave).
    bool m_settled = false;
    unsigned m_settledRevision = 0;
    bool m_statusChecks = true;
};

} // namespace kivrel
