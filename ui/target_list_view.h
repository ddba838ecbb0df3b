// What the main list of targets does, whatever control shows it: it owns the
// live list, keeps row i showing entry i, and carries every list command.
#pragma once

#include "targets/target_entry.h"
#include "targets/target_file.h"
#include "targets/target_list.h"
#include "ui/list_control.h"
#include "ui/messages.h"
#include "ui/view_dialogs.h"

namespace kivrel {

class TargetListView {
public:
    // Only references are kept: the control may get its window later.
    TargetListView(ListControl& control, ViewDialogs& dialogs, Messages& messages);

    // Shows the whole data file or, if it cannot be read whole, nothing.
    void LoadTargets();
    // Silent on failure, as loading is.
    void SaveTargets();

    const TargetList& targets() const { return m_targets; }

    void AddTarget(const TargetEntry& entry);
    void ReplaceTarget(int index, const TargetEntry& entry);
    void DeleteTarget(int index);
    // The selected row when exactly one is selected, otherwise -1.
    int GetSelectedIndex() const;

    // Command routing: false when id is not one of the list's commands.
    bool QueryCommand(unsigned id, bool& enabled) const;
    // Carries the command out only while its rule holds, as a disabled menu
    // item or accelerator would.
    bool OnCommand(unsigned id);

    void OnTargetNew();
    void OnTargetEdit();
    void OnTargetDelete();
    void OnTargetUp();
    void OnTargetDown();
    void OnSendSelected();
    void OnSendAll();
    // A double-click sends the selection, after asking.
    void OnDblclk();

    bool OnUpdateTargetEdit() const;
    // Serves send-selected as well.
    bool OnUpdateTargetDelete() const;
    bool OnUpdateTargetUp() const;
    bool OnUpdateTargetDown() const;
    bool OnUpdateSendAll() const;

private:
    void ShowRowTexts(int index);
    void MoveSelection(int from, int to);

    ListControl& m_control;
    ViewDialogs& m_dialogs;
    Messages& m_messages;
    TargetList m_targets;
    // Until a load has looked, whatever file is there is kept by a save.
    TargetFileStatus m_fileStatus = FILE_DAMAGED;
};

} // namespace kivrel
