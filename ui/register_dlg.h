// The dialog in which the user enters one target, new or edited. It only
// validates; the caller reads the result after IDOK and changes the list.
#pragma once

#include "targets/target_entry.h"
#include "status/mac_finder.h"
#include "win/controls.h"
#include "win/dialog.h"

class CRegisterDlg final : public win::Dialog {
public:
    CRegisterDlg();

    // Switches to editing; call before DoModal.
    void SetEntry(const kivrel::TargetEntry& entry);
    kivrel::TargetEntry GetEntry() const { return m_entry; }
    // The PC's host name or address, UTF-8; read back after IDOK.
    void SetAddress(const std::string& address) { m_address = address; }
    std::string GetAddress() const { return m_address; }

protected:
    bool OnInitDialog() override;
    void OnOk() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    win::Edit m_editName;
    void OnFindMac();
    void OnMacFound();

    win::Edit m_editMac;
    bool m_bNew = true;
    kivrel::TargetEntry m_entry;
    win::Edit m_editAddress;
    win::Control m_btnFindMac;
    std::string m_address;
    // Closing the dialog drops a look-up still running, result and all.
    kivrel::MacFinder m_finder;
};
