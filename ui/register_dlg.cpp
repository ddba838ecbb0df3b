#include "ui/register_dlg.h"

#include "res/resource.h"
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
    EndDialog(IDOK);
}
