// The dialog in which the user enters one target, new or edited. It only
// validates; the caller reads the result after IDOK and changes the list.
#pragma once

#include "targets/target_entry.h"
#include "win/controls.h"
#include "win/dialog.h"

class CRegisterDlg final : public win::Dialog {
public:
    CRegisterDlg();

    // Switches to editing; call before DoModal.
    void SetEntry(const kivrel::TargetEntry& entry);
    kivrel::TargetEntry GetEntry() const { return m_entry; }

protected:
    bool OnInitDialog() override;
    void OnOk() override;

private:
    win::Edit m_editName;
    win::Edit m_editMac;
    bool m_bNew = true;
    kivrel::TargetEntry m_entry;
};
