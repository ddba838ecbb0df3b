// The main window's pane: the real "SysListView32" control showing the
// targets, with every list command. The decisions are TargetListView's; this
// face only lends it the control, the dialogs and the message boxes. The
// control is virtual (LVS_OWNERDATA): it asks for each text it draws, so a
// long list starts as fast as a short one, and a status is drawn from the PC's
// MAC wherever its row has moved.
#pragma once

#include "ui/ansi_codec.h"
#include "ui/list_control.h"
#include "ui/message_boxes.h"
#include "ui/target_list_view.h"
#include "ui/view_dialogs.h"
#include "ui/list_look.h"
#include "status/diagnosis.h"
#include "status/status_worker.h"
#include "win/list_view.h"
#include "win/window.h"

#include <map>
#include <memory>

// From the status checks' threads: changes wait to be taken.
constexpr UINT WM_STATUS_CHANGED = WM_APP + 3; // 0x8003

class CKivrelListView final : public win::Window,
                              private kivrel::ListControl,
                              private kivrel::ViewDialogs,
                              private kivrel::CommandTarget,
                              private kivrel::StatusListener {
public:
    // A heap object that deletes itself once its window is destroyed, or as
    // soon as Create fails.
    static CKivrelListView* CreateObject();

    // The control as a child of parent, with the list's font, styles and
    // columns. The statuses come through network, the system's own if none.
    // A test host may shorten the checks' times.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id,
                std::shared_ptr<kivrel::StatusNetwork> network = nullptr,
                const kivrel::StatusTimes& times = kivrel::StatusTimes());

    // The whole file's rows in one batch.
    void LoadTargets();
    void ReportLoad() { m_view.ReportLoad(); }
    bool SaveTargets() { return m_view.SaveTargets(); }
    // At the close: a failed save names the folder, says whether the next
    // start shows the list, and may be tried again; Cancel leaves what is on
    // disk as it is, after offering an export when it holds none of the changes.
    void SaveTargetsOrAsk();
    // Its window moved to a monitor of another scale: font and columns follow.
    void SetDpi(UINT dpi) { m_look.SetDpi(m_list, dpi); }
    // The system's colours or text size changed: the control and its font follow.
    void OnSysColorChange() const { m_list.Send(WM_SYSCOLORCHANGE); }
    void FollowTextSize() { m_look.FollowTextSize(m_list); }
    // The system goes to sleep or wakes up: the status checks pause.
    void OnPowerBroadcast(WPARAM event);
    // The command chain's first link: the view's commands, after which the
    // status checks follow the list.
    kivrel::CommandTarget& Commands() { return *this; }

private:
    CKivrelListView();

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;
    void OnDestroy() override;
    void OnFinalMessage() override;
    void GiveText(LVITEMW& item);
    int FindRow(const NMLVFINDITEMW& find) const;
    void CheckTheListsPcs();
    void ShowStatusChanges();

    bool QueryCommand(unsigned id, kivrel::CommandState& state) const override;
    void RunCommand(unsigned id) override;
    void StatusesChanged() override;

    int RowCount() const override;
    int SelectedCount() const override;
    bool IsRowSelected(int row) const override;
    int InsertTextRow(int row, const std::string& text) override;
    void SetItemText(int row, int column, const std::string& text) override;
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    void SetRowState(int row, unsigned state, unsigned mask) override;
    void EnsureVisible(int row) override;
    void SetRedraw(bool redraw) override;

    bool RunRegister(const kivrel::TargetEntry* editing, kivrel::TargetEntry& result,
                     kivrel::PcAddresses& addresses) override;
    void RunSend(kivrel::TargetList copies, kivrel::AddressBook addresses) override;
    kivrel::FileOutcome RunImport(std::size_t limit, std::string& bytes) override;
    kivrel::FileOutcome RunExport(const std::string& bytes, std::string& file) override;
    void RunDiagnose(const kivrel::TargetEntry& entry,
                     const kivrel::PcAddresses& addresses) override;

    win::ListView m_list;
    ListLook m_look;
    MessageBoxes m_messages;
    AnsiCodec m_codec;
    kivrel::TargetListView m_view;
    std::unique_ptr<kivrel::StatusWorker> m_checks;
    std::map<kivrel::MacBytes, kivrel::PcStatus> m_statuses;
    std::map<kivrel::MacBytes, kivrel::LastWake> m_lastWakes;
    unsigned m_checkedRevision = 0;
    // The control's rows, counted here: rows added in a batch are handed over
    // in one call.
    int m_rows = 0;
    bool m_batching = false;
};
