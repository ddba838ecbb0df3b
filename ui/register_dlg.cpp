#include "ui/register_dlg.h"

#include "res/resource.h"
#include "targets/address_file.h"
#include "targets/mac_text.h"
#include "ui/message_boxes.h"
#include "ui/target_input.h"
#include "win/ansi_text.h"
#include "win/resource_string.h"

CRegisterDlg::CRegisterDlg() : win::Dialog(IDD_REGISTER) {}

void CRegisterDlg::SetEntry(const kivrel::TargetEntry& entry) {
    m_bNew = false;
    m_entry = entry;
}

bool CRegisterDlg::OnInitDialog() {
    m_editName.Attach(Hwnd(), IDC_NAME_EDIT);
    m_editMac.Attach(Hwnd(), IDC_MAC_EDIT);
    m_editMac.TurnOffInputMethod();
    m_editAddress.Attach(Hwnd(), IDC_ADDRESS_EDIT);
    m_btnFindMac.Attach(Hwnd(), IDC_FIND_MAC);
    m_editAddress.SetText(win::Utf8ToWide(m_address));
    SetIcons(IDR_MAINFRAME);
    m_editName.SetText(m_entry.name);
    // A new target therefore starts from 00-00-00-00-00-00.
    m_editMac.SetText(kivrel::FormatMacText(m_entry.mac));
    if (!m_bNew) {
        SetText(win::ResourceString(IDS_EDIT_TITLE));
    }
    return true;
}

void CRegisterDlg::OnOk() {
    // An unchanged name keeps its own bytes: one written in another code page
    // would not come back the same from the control's Unicode text.
    const std::string name = m_editName.Shows(m_entry.name) ? m_entry.name : m_editName.GetText();
    const std::string mac = win::WideToAnsi(kivrel::HalfWidthMacText(m_editMac.GetWideText()));
    const kivrel::TargetInputResult input = kivrel::ValidateTargetInput(name, mac);
    if (input.messageId != 0) {
        MessageBoxes().ShowWarning(input.messageId);
        (input.field == kivrel::TargetField::Name ? m_editName : m_editMac).SetFocus();
        return;
    }
    m_entry.name = name;
    m_entry.mac = input.mac;
    m_address = kivrel::CleanAddressText(win::WideToUtf8(m_editAddress.GetWideText()));
    EndDialog(IDOK);
}

bool CRegisterDlg::OnCommand(UINT id, UINT code, HWND) {
    if (id != IDC_FIND_MAC || code != BN_CLICKED) {
        return false;
    }
    OnFindMac();
    return true;
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
    const std::string text = kivrel::CleanAddressText(win::WideToUtf8(m_editAddress.GetWideText()));
    if (text.empty()) {
        MessageBoxes().ShowWarning(IDS_LOOKUP_NO_NAME);
        m_editAddress.SetFocus();
        return;
    }
    if (!m_finder.Start(text, Hwnd())) {
        return;
    }
    // A disabled button cannot keep the focus: the keyboard would go dead.
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_editAddress.Hwnd()), TRUE);
    m_btnFindMac.Enable(false);
}

void CRegisterDlg::OnMacFound() {
    kivrel::Lookup lookup;
    if (!m_finder.TakeResult(lookup)) {
        return;
    }
    m_btnFindMac.Enable(true);
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
}
