#include "ui/register_dlg.h"

#include "res/resource.h"
#include "targets/mac_text.h"
#include "ui/message_boxes.h"
#include "ui/target_input.h"
#include "win/ansi_text.h"
#include "win/resource_string.h"

#include <string>

namespace {

std::string CleanText(const win::Edit& edit) {
    return kivrel::CleanAddressText(win::WideToUtf8(edit.GetWideText()));
}

} // namespace

CRegisterDlg::CRegisterDlg() : win::Dialog(IDD_REGISTER) {}

void CRegisterDlg::SetEntry(const kivrel::TargetEntry& entry) {
    m_bNew = false;
    m_entry = entry;
}

bool CRegisterDlg::OnInitDialog() {
    m_editName.Attach(Hwnd(), IDC_NAME_EDIT);
    m_editMac.Attach(Hwnd(), IDC_MAC_EDIT);
    m_editAddress.Attach(Hwnd(), IDC_ADDRESS_EDIT);
    m_btnFindMac.Attach(Hwnd(), IDC_FIND_MAC);
    m_editDestination.Attach(Hwnd(), IDC_DEST_EDIT);
    m_editPort.Attach(Hwnd(), IDC_PORT_EDIT);
    // Fields of codes and addresses: typing goes straight in.
    for (const win::Edit* edit : {&m_editMac, &m_editAddress, &m_editDestination, &m_editPort}) {
        edit->TurnOffInputMethod();
    }
    SetIcons(IDR_MAINFRAME);
    m_editName.SetText(m_entry.name);
    // A new target therefore starts from 00-00-00-00-00-00.
    m_editMac.SetText(kivrel::FormatMacText(m_entry.mac));
    m_editAddress.SetText(win::Utf8ToWide(m_addresses.address));
    m_editDestination.SetText(win::Utf8ToWide(m_addresses.destination));
    if (m_addresses.port != 0) {
        m_editPort.SetText(std::to_wstring(m_addresses.port));
    }
    if (!m_bNew) {
        SetText(win::ResourceString(IDS_EDIT_TITLE));
    }
    return true;
}

void CRegisterDlg::OnOk() {
    Accept(true);
}

void CRegisterDlg::Accept(bool lookUp) {
    // An unchanged name keeps its own bytes: one written in another code page
    // would not come back the same from the control's Unicode text.
    const std::string name = m_editName.Shows(m_entry.name) ? m_entry.name : m_editName.GetText();
    const std::string mac = win::WideToAnsi(kivrel::HalfWidthMacText(m_editMac.GetWideText()));
    const std::string port = win::WideToAnsi(kivrel::HalfWidthMacText(m_editPort.GetWideText()));
    const kivrel::TargetInputResult input = kivrel::ValidateTargetInput(name, mac, port);
    if (input.messageId != 0) {
        m_acceptAfterLookup = false;
        MessageBoxes().ShowWarning(input.messageId);
        const kivrel::TargetField field = input.field;
        (field == kivrel::TargetField::Name  ? m_editName
         : field == kivrel::TargetField::Mac ? m_editMac
                                             : m_editPort)
            .SetFocus();
        return;
    }
    const std::string address = CleanText(m_editAddress);
    // A PC saved with no MAC would look healthy in its status and never wake.
    if (lookUp && input.mac == kivrel::MacBytes{} && !address.empty() &&
        (!m_btnFindMac.IsEnabled() || StartLookup())) {
        m_acceptAfterLookup = true; // under way, whoever started it
        return;
    }
    m_entry.name = name;
    m_entry.mac = input.mac;
    m_addresses.address = address;
    m_addresses.destination = CleanText(m_editDestination);
    m_addresses.port = input.port;
    EndDialog(IDOK);
}

bool CRegisterDlg::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_FIND_MAC && code == BN_CLICKED) {
        OnFindMac();
        return true;
    }
    // Enter in the address field looks its MAC up: there the look-up is the
    // default button, elsewhere OK.
    if (id == IDC_ADDRESS_EDIT && (code == EN_SETFOCUS || code == EN_KILLFOCUS)) {
        Send(DM_SETDEFID, code == EN_SETFOCUS ? IDC_FIND_MAC : IDOK);
        return true;
    }
    return false;
}

bool CRegisterDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_MAC_FOUND) {
        return false;
    }
    OnMacFound();
    result = 0;
    return true;
}

void CRegisterDlg::OnFindMac() {
    if (CleanText(m_editAddress).empty()) {
        MessageBoxes().ShowWarning(IDS_LOOKUP_NO_NAME);
        m_editAddress.SetFocus();
        return;
    }
    StartLookup();
}

// False when no thread could be started for it.
bool CRegisterDlg::StartLookup() {
    if (!m_finder.Start(CleanText(m_editAddress), Hwnd())) {
        return false;
    }
    // A disabled button cannot keep the focus: the keyboard would go dead.
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_editAddress.Hwnd()), TRUE);
    m_btnFindMac.Enable(false);
    return true;
}

void CRegisterDlg::OnMacFound() {
    kivrel::Lookup lookup;
    if (!m_finder.TakeResult(lookup)) {
        return;
    }
    m_btnFindMac.Enable(true);
    const bool accept = m_acceptAfterLookup;
    m_acceptAfterLookup = false;
    if (lookup.result != kivrel::LOOKUP_FOUND) {
        MessageBoxes().ShowWarning(kivrel::LookupMessageId(lookup.result));
        m_editAddress.SetFocus();
        return;
    }
    m_editMac.SetText(kivrel::FormatMacText(lookup.mac));
    if (!lookup.hostName.empty() && m_editName.GetWideText().empty()) {
        m_editName.SetText(win::Utf8ToWide(lookup.hostName));
    }
    if (lookup.warningId != 0) {
        MessageBoxes().ShowWarning(lookup.warningId);
    }
    if (accept) {
        Accept(false);
    }
}
