// The dialog in which the user enters one target, new or edited, with what is
// kept beside it: its address, and the destination and port of its wakes. It
// only validates; the caller reads the result after IDOK and changes the list.
#pragma once

#include "targets/address_file.h"
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
    // The PC's host name or address, destination and port; read back after IDOK.
    void SetAddresses(const kivrel::PcAddresses& addresses) { m_addresses = addresses; }
    kivrel::PcAddresses GetAddresses() const { return m_addresses; }

protected:
    bool OnInitDialog() override;
    void OnOk() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // OK's checks; with an address and the MAC still all zero, and lookUp,
    // the MAC is looked up first and OK goes on once it is found.
    void Accept(bool lookUp);
    bool StartLookup();
    void OnFindMac();
    void OnMacFound();

    win::Edit m_editName;
    win::Edit m_editMac;
    win::Edit m_editAddress;
    win::Control m_btnFindMac;
    win::Edit m_editDestination;
    win::Edit m_editPort;
    bool m_bNew = true;
    kivrel::TargetEntry m_entry;
    kivrel::PcAddresses m_addresses;
    // OK waits for the look-up under way.
    bool m_acceptAfterLookup = false;
    // Closing the dialog drops a look-up still running, result and all.
    kivrel::MacFinder m_finder;
};
