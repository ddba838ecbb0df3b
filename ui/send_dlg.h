// The modal dialog that wakes a series of targets: it lists them, runs one
// worker thread that sends to each in turn, and shows each result as it comes.
#pragma once

#include "targets/address_file.h"
#include "targets/target_list.h"
#include "ui/list_look.h"
#include "wake/send_dialog_state.h"
#include "wake/send_run.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/list_view.h"

// The worker's only way to the dialog, always sent, never posted: the worker
// goes on only once the dialog has handled it.
constexpr UINT WM_SEND_PROGRESS = WM_APP + 1; // 0x8001
constexpr WPARAM SEND_PROGRESS_RESULT = 0;    // lParam: the next target's send result
constexpr WPARAM SEND_PROGRESS_DONE = 1;      // the last message of every run

class CSendDlg final : public win::Dialog {
public:
    CSendDlg();

    // Filled by the caller before DoModal, in sending order; unchanged while shown.
    kivrel::TargetList m_targets;
    // Where each MAC's wake goes, if not to this LAN's broadcast on port 7.
    kivrel::AddressBook m_addresses;
    // Read after DoModal: the sender's result for each target sent, in order.
    std::vector<int> m_results;

protected:
    bool OnInitDialog() override;
    void OnOk() override;
    // Esc does nothing: the button in its close state ends the dialog, or a
    // close request (WM_CLOSE) once the run it aborted has stopped.
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void InitList();
    bool StartWorker();
    void OnSendProgress(WPARAM kind, LPARAM sendResult);
    void OnCloseRequest();
    void SignalAbort();
    void ShowState() const;

    win::Control m_btnOk;
    win::ListView m_list;
    kivrel::SendRun m_run;
    ListLook m_look;
    kivrel::SendDialogState m_state;
};
