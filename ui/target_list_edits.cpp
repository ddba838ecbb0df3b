// The commands that change the list: register, edit, delete and move a PC.
#include "ui/target_list_view.h"

#include "res/resource.h"

namespace kivrel {

void TargetListView::OnTargetNew() {
    TargetEntry entry;
    PcAddresses addresses;
    if (!m_dialogs.RunRegister(nullptr, entry, addresses)) {
        return;
    }
    AddTarget(entry);
    // Left empty, it keeps what a PC that shares the MAC has.
    if (!addresses.empty()) {
        KeepAddresses(entry.mac, addresses);
    }
    // The new PC alone selected and in sight, however long the list.
    const int row = m_control.RowCount() - 1;
    for (int i = 0; i < row; ++i) {
        if (m_control.IsRowSelected(i)) {
            m_control.SetRowState(i, 0, kRowSelected);
        }
    }
    m_control.SetRowState(row, kRowSelected | kRowFocused, kRowSelected | kRowFocused);
    m_control.EnsureVisible(row);
}

void TargetListView::OnTargetEdit() {
    const int index = GetSelectedIndex();
    if (index == -1) {
        return;
    }
    const TargetEntry editing = m_targets.at(index);
    TargetEntry entry;
    PcAddresses addresses = AddressesOf(editing.mac);
    if (m_dialogs.RunRegister(&editing, entry, addresses)) {
        ReplaceTarget(index, entry);
        KeepAddresses(entry.mac, addresses);
        ForgetAddressIfUnused(editing.mac);
    }
}

void TargetListView::OnTargetDelete() {
    if (!m_messages.Confirm(IDS_CONFIRM_DELETE)) {
        return;
    }
    // A deleted row's successor moves into its index, so that index is looked at again.
    int i = 0;
    while (i < m_control.RowCount()) {
        if (m_control.IsRowSelected(i)) {
            DeleteTarget(i);
        } else {
            ++i;
        }
    }
}

void TargetListView::OnTargetUp() {
    const int index = GetSelectedIndex();
    if (index <= 0) {
        return;
    }
    ++m_revision;
    m_targets.SwapAdjacent(index - 1);
    ShowRowTexts(index - 1);
    ShowRowTexts(index);
    MoveSelection(index, index - 1);
}

void TargetListView::OnTargetDown() {
    const int index = GetSelectedIndex();
    if (index == -1 || index >= m_control.RowCount() - 1) {
        return;
    }
    ++m_revision;
    m_targets.SwapAdjacent(index);
    ShowRowTexts(index);
    ShowRowTexts(index + 1);
    MoveSelection(index, index + 1);
}

// The moved entry stays selected and focused at its new place, so repeating
// the command keeps moving it.
void TargetListView::MoveSelection(int from, int to) {
    m_control.SetRowState(from, 0, kRowSelected);
    m_control.SetRowState(to, kRowSelected | kRowFocused, kRowSelected | kRowFocused);
    m_control.EnsureVisible(to);
}

} // namespace kivrel
