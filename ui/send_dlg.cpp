#include "ui/send_dlg.h"

#include "res/resource.h"
#include "ui/list_look.h"
#include "win/ansi_text.h"
#include "win/dpi.h"
#include "win/resource_string.h"

#include <memory>

namespace {

constexpr int kStatusColumn = 2;

// What the worker thread owns: its job and the way back to the dialog.
struct WorkerStart {
    std::unique_ptr<kivrel::SendJob> job;
    HWND dialog = nullptr;
};

class ProgressMessages final : public kivrel::SendProgress {
public:
    explicit ProgressMessages(HWND dialog) : m_dialog(dialog) {}
    void Report(int result) override {
        ::SendMessageW(m_dialog, WM_SEND_PROGRESS, SEND_PROGRESS_RESULT,
                       static_cast<LPARAM>(result));
    }
    void Finished() override { ::SendMessageW(m_dialog, WM_SEND_PROGRESS, SEND_PROGRESS_DONE, 0); }

private:
    HWND m_dialog;
};

DWORD WINAPI SendWorkerThread(LPVOID param) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(param));
    ProgressMessages progress(start->dialog);
    start->job->Run(progress);
    return 0;
}

} // namespace

// The dialog only closes once the worker's last message was handled, so
// nothing here waits for the worker; should its window go sooner, the run
// still stops the worker, which keeps what it uses.
CSendDlg::CSendDlg() : win::Dialog(IDD_SEND) {}

bool CSendDlg::OnInitDialog() {
    m_btnOk.Attach(Hwnd(), IDOK);
    m_list.Attach(Hwnd(), IDC_SEND_LIST);
    InitList();
    m_state.Start();
    // Without a worker no last message would come: the dialog must stay closable.
    if (!StartWorker()) {
        m_state.Finish();
    }
    ShowState();
    return true;
}

void CSendDlg::InitList() {
    m_look.SetUp(m_list, LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                 {{IDS_COLUMN_NAME, 200}, {IDS_COLUMN_MAC, 120}, {IDS_COLUMN_STATUS, 100}});
    // The dialog's own font would replace the list's at another scale.
    win::KeepOwnFontOnDpiChange(m_list.Hwnd());
    m_list.SetText(win::ResourceString(IDS_SEND_LIST_NAME));

    // Sending all of a long list would otherwise take seconds to open.
    const win::RowBatch batch(m_list);
    int row = 0;
    for (const kivrel::TargetEntry& target : m_targets) {
        m_list.InsertItem(row, win::AnsiToWide(target.name));
        m_list.SetItemText(row, 1, win::AnsiToWide(target.FormatMacText()));
        ++row;
    }
}

bool CSendDlg::StartWorker() {
    auto start = std::make_unique<WorkerStart>();
    start->job = m_run.MakeJob(m_targets, m_addresses);
    start->dialog = Hwnd();
    const HANDLE thread = ::CreateThread(nullptr, 0, SendWorkerThread, start.get(), 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    start.release(); // the thread's now
    ::CloseHandle(thread);
    return true;
}

void CSendDlg::OnOk() {
    if (m_state.PressOk() == kivrel::SendDialogState::kEndDialog) {
        EndDialog(IDOK);
        return;
    }
    SignalAbort();
}

void CSendDlg::OnCloseRequest() {
    if (m_state.RequestClose() == kivrel::SendDialogState::kEndDialog) {
        EndDialog(IDCANCEL);
        return;
    }
    SignalAbort();
}

void CSendDlg::SignalAbort() {
    // A disabled button loses the focus, and a dialog without one ignores
    // Enter even once the button is back: hand the focus to the list first.
    if (::GetFocus() == m_btnOk.Hwnd()) {
        Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_list.Hwnd()), TRUE);
    }
    ShowState();
    m_run.Abort();
}

void CSendDlg::OnCancel() {}

bool CSendDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == win::WM_DPI_CHANGED) {
        // The dialog manager scales the dialog and its controls by the
        // template; the list's own font and columns are ours.
        m_look.SetDpi(m_list, LOWORD(wParam));
        return false;
    }
    // A WM_CLOSE comes from the closing program or from another (taskkill);
    // Alt+F4 (SC_CLOSE) is the user's, and does nothing, as Esc does.
    const bool userClose = message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE;
    if (message == WM_CLOSE) {
        OnCloseRequest();
    } else if (message == WM_SEND_PROGRESS) {
        OnSendProgress(wParam, lParam);
    } else if (!userClose) {
        return false;
    }
    result = 0;
    return true;
}

void CSendDlg::OnSendProgress(WPARAM kind, LPARAM sendResult) {
    if (kind == SEND_PROGRESS_RESULT) {
        const int row = m_state.TakeResultRow();
        m_results.push_back(static_cast<int>(sendResult));
        const UINT textId = kivrel::SendDialogState::StatusTextId(static_cast<int>(sendResult));
        m_list.SetItemText(row, kStatusColumn, win::ResourceString(textId));
        // A single-selection list: this also deselects the previous row.
        m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_list.EnsureVisible(row, true);
    } else if (kind == SEND_PROGRESS_DONE) {
        if (m_state.Finish()) {
            EndDialog(IDCANCEL);
            return;
        }
        ShowState();
    }
}

void CSendDlg::ShowState() const {
    m_btnOk.SetText(win::ResourceString(m_state.ButtonTextId()));
    m_btnOk.Enable(m_state.ButtonEnabled());
}
