#include "ui/kivrel_list_view.h"

#include "res/resource.h"
#include "ui/status_column.h"
#include "status/echo_network.h"
#include "win/ansi_text.h"
#include "win/resource_string.h"
#include "win/whole_file.h"

#include <algorithm>

CKivrelListView::CKivrelListView() : m_view(*this, *this, m_messages, m_codec) {}

CKivrelListView* CKivrelListView::CreateObject() {
    return new CKivrelListView;
}

namespace {

// The switch of the status checks is kept beside the list, in the current
// folder, as the data file is.
std::wstring SettingsPath() {
    return win::CurrentFolder() + L"\\Kivrel.ini";
}

constexpr wchar_t kSection[] = L"Kivrel";
constexpr wchar_t kStatusChecks[] = L"StatusChecks";

} // namespace

bool CKivrelListView::Create(DWORD style, const RECT& rect, HWND parent, UINT id,
                             std::shared_ptr<kivrel::StatusNetwork> network,
                             const kivrel::StatusTimes& times) {
    HWND hwnd = win::CreateChildControl(WC_LISTVIEWW, style | LVS_OWNERDATA, parent, id, rect);
    if (hwnd == nullptr || !Subclass(hwnd)) {
        if (hwnd != nullptr) {
            ::DestroyWindow(hwnd);
        }
        delete this;
        return false;
    }
    m_list.Attach(hwnd);
    // With no label before it, its own text is what a screen reader names it by.
    m_list.SetText(win::ResourceString(IDS_TARGET_LIST_NAME));

    // Several rows may be selected. The three columns fit the window's start size,
    // the status wide enough for its longest text.
    m_look.SetUp(m_list, LVS_SHOWSELALWAYS,
                 {{IDS_COLUMN_NAME, 230}, {IDS_COLUMN_MAC, 140}, {IDS_COLUMN_STATUS, 100}});
    if (network == nullptr) {
        network = std::make_shared<kivrel::EchoNetwork>();
    }
    m_checks = std::make_unique<kivrel::StatusWorker>(std::move(network),
                                                      static_cast<kivrel::StatusListener&>(*this),
                                                      kivrel::SteadyMillis, times);
    // Before the first PC is handed in: off, nothing at all is sent.
    m_view.SetStatusChecks(
        ::GetPrivateProfileIntW(kSection, kStatusChecks, 1, SettingsPath().c_str()) != 0);
    m_checks->SetEnabled(m_view.StatusChecksOn());
    return true;
}

namespace {

// The first checks wait until the window has been drawn: a timer's message
// comes only once nothing is left to paint.
constexpr UINT_PTR kFirstChecksTimer = 0x4B49;

} // namespace

void CKivrelListView::LoadTargets() {
    SetRedraw(false);
    m_view.LoadTargets();
    SetRedraw(true);
    ::SetTimer(Hwnd(), kFirstChecksTimer, 0, nullptr);
}

// Rows added meanwhile are only counted, and handed to the control at once.
void CKivrelListView::SetRedraw(bool redraw) {
    m_batching = !redraw;
    if (redraw) {
        m_list.SetItemCount(m_rows);
    }
}

bool CKivrelListView::QueryCommand(unsigned id, kivrel::CommandState& state) const {
    return m_view.QueryCommand(id, state);
}

void CKivrelListView::RunCommand(unsigned id) {
    m_view.RunCommand(id);
    if (id == ID_VIEW_STATUS_CHECK) {
        const bool on = m_view.StatusChecksOn();
        m_checks->SetEnabled(on);
        ::WritePrivateProfileStringW(kSection, kStatusChecks, on ? L"1" : L"0",
                                     SettingsPath().c_str());
    }
    CheckTheListsPcs();
}

void CKivrelListView::OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND) {
        m_checks->Suspend();
    } else if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
        m_checks->Resume();
    }
}

void CKivrelListView::CheckTheListsPcs() {
    if (m_checks != nullptr && m_checkedRevision != m_view.Revision()) {
        m_checkedRevision = m_view.Revision();
        m_checks->SetPcs(kivrel::StatusChecksOf(m_view));
    }
}

// On a status thread: a note only, which goes with the window if it comes too late.
void CKivrelListView::StatusesChanged() {
    ::PostMessageW(Hwnd(), WM_STATUS_CHANGED, 0, 0);
}

bool CKivrelListView::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_TIMER && wParam == kFirstChecksTimer) {
        ::KillTimer(Hwnd(), kFirstChecksTimer);
        CheckTheListsPcs();
    } else if (message == WM_STATUS_CHANGED) {
        ShowStatusChanges();
    } else {
        return false;
    }
    result = 0;
    return true;
}

// Only the changed cells among the rows in sight are drawn again: selection,
// focus, scroll position and order stay as they are.
void CKivrelListView::ShowStatusChanges() {
    std::map<kivrel::MacBytes, kivrel::PcStatus> changed;
    for (const auto& change : m_checks->TakeChanges()) {
        m_statuses[change.first] = change.second;
        changed.insert(change);
    }
    const int top = m_list.GetTopIndex();
    for (int row :
         kivrel::RowsToRepaint(m_view.targets(), top, top + m_list.GetCountPerPage(), changed)) {
        m_list.RedrawCell(row, 2);
    }
}

void CKivrelListView::GiveText(LVITEMW& item) {
    if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0 || item.iItem < 0 ||
        item.iItem >= m_view.targets().size()) {
        return;
    }
    const kivrel::TargetEntry& entry = m_view.targets().at(item.iItem);
    std::wstring text;
    if (item.iSubItem == 0) {
        text = win::AnsiToWide(entry.name);
    } else if (item.iSubItem == 1) {
        text = win::AnsiToWide(entry.FormatMacText());
    } else {
        const auto status = m_statuses.find(entry.mac);
        const unsigned id = status != m_statuses.end() ? kivrel::StatusTextId(status->second) : 0;
        text = id != 0 ? win::ResourceString(id) : std::wstring();
    }
    ::lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

// Typing a name's first letters goes to its row, as in a list that holds its
// own texts: from the row asked for, round to the top when asked to.
int CKivrelListView::FindRow(const NMLVFINDITEMW& find) const {
    const kivrel::TargetList& targets = m_view.targets();
    if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr ||
        targets.size() == 0) {
        return -1;
    }
    const std::wstring wanted = find.lvfi.psz;
    const int start = std::min(std::max(find.iStart, 0), targets.size());
    const int rows = (find.lvfi.flags & LVFI_WRAP) != 0 ? targets.size() : targets.size() - start;
    for (int i = 0; i < rows; ++i) {
        const int row = (start + i) % targets.size();
        const std::wstring name = win::AnsiToWide(targets.at(row).name);
        const int length = (find.lvfi.flags & LVFI_PARTIAL) != 0
                               ? std::min(name.size(), wanted.size())
                               : name.size();
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(), length,
                             wanted.c_str(), static_cast<int>(wanted.size())) == CSTR_EQUAL) {
            return row;
        }
    }
    return -1;
}

bool CKivrelListView::OnReflectedNotify(NMHDR& header, LRESULT& result) {
    if (header.code == LVN_GETDISPINFOW) {
        GiveText(reinterpret_cast<NMLVDISPINFOW&>(header).item);
        result = 0;
        return true;
    }
    if (header.code == LVN_ODFINDITEMW) {
        result = FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
        return true;
    }
    if (header.code == NM_DBLCLK) {
        result = 0;
        m_view.OnDblclk();
        return true;
    }
    // No context menu.
    if (header.code == NM_RCLICK) {
        result = 0;
        return true;
    }
    return false;
}

// Nothing the status threads post can arrive after this. The echoes under way
// are waited for (a second at most): under Wine, a process that ends with
// echoes in flight can leave the next run unable to send any.
void CKivrelListView::OnDestroy() {
    if (m_checks != nullptr) {
        m_checks->Stop();
        m_checks->WaitEnded(kivrel::kEchoTimeoutMs + 500);
    }
}

void CKivrelListView::OnFinalMessage() {
    delete this;
}

int CKivrelListView::RowCount() const {
    return m_rows;
}

int CKivrelListView::SelectedCount() const {
    return m_list.GetSelectedCount();
}

bool CKivrelListView::IsRowSelected(int row) const {
    return (m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

// Rows are only ever added at the end; their texts come from the list.
int CKivrelListView::InsertTextRow(int row, const std::string&) {
    m_rows = row + 1;
    if (!m_batching) {
        m_list.SetItemCount(m_rows);
    }
    return row;
}

void CKivrelListView::SetItemText(int row, int, const std::string&) {
    if (!m_batching) {
        m_list.RedrawItems(row, row);
    }
}

void CKivrelListView::DeleteRow(int row) {
    if (m_list.DeleteItem(row)) {
        --m_rows;
    }
}

void CKivrelListView::DeleteAllRows() {
    m_list.DeleteAllItems();
    m_rows = 0;
}

void CKivrelListView::SetRowState(int row, unsigned state, unsigned mask) {
    m_list.SetItemState(row, state, mask);
}

void CKivrelListView::EnsureVisible(int row) {
    m_list.EnsureVisible(row, true);
}
