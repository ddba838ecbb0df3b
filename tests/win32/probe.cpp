// The end-to-end tests' eyes and hands: finds another process's windows,
// reads their texts and list rows, and presses their buttons and keys.
// One command a line on standard input, words separated by tabs; one JSON
// object a line on standard output. Texts are UTF-8 both ways.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) {
        return std::string();
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr,
                        nullptr);
    return s;
}

std::wstring Wide(const std::string& s) {
    if (s.empty()) {
        return std::wstring();
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Json(const std::wstring& w) {
    return Json(Utf8(w));
}

std::string Handle(HWND h) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(h));
}

HWND ToHwnd(const std::string& s) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(s)));
}

std::wstring ClassOf(HWND h) {
    wchar_t name[256] = {};
    GetClassNameW(h, name, 256);
    return name;
}

std::wstring TextOf(HWND h) {
    // WM_GETTEXT is marshalled between processes; GetWindowText is not for controls.
    const LRESULT n = SendMessageW(h, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    // The text may have shrunk between the two messages.
    text.resize(static_cast<std::size_t>(SendMessageW(h, WM_GETTEXT, static_cast<WPARAM>(n + 1),
                                                      reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

std::string RectJson(const RECT& r) {
    std::ostringstream o;
    o << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
    return o.str();
}

std::string WindowJson(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    RECT r;
    GetWindowRect(h, &r);
    std::ostringstream o;
    o << "{\"hwnd\":" << Handle(h) << ",\"class\":" << Json(ClassOf(h))
      << ",\"text\":" << Json(TextOf(h)) << ",\"id\":" << GetDlgCtrlID(h) << ",\"pid\":" << pid
      << ",\"style\":" << static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE))
      << ",\"exstyle\":" << static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE))
      << ",\"visible\":" << (IsWindowVisible(h) ? "true" : "false")
      << ",\"iconic\":" << (IsIconic(h) ? "true" : "false")
      << ",\"enabled\":" << (IsWindowEnabled(h) ? "true" : "false") << ",\"rect\":" << RectJson(r)
      << "}";
    return o.str();
}

struct Finder {
    std::wstring cls, title;
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM param) {
    auto* f = reinterpret_cast<Finder*>(param);
    if (!IsWindowVisible(h)) {
        return TRUE;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if ((f->cls.empty() || f->cls == ClassOf(h)) && (f->title.empty() || f->title == TextOf(h)) &&
        (f->pid == 0 || f->pid == pid)) {
        f->found.push_back(h);
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(h);
    return TRUE;
}

std::string Star(const std::string& s) {
    return s == "*" ? std::string() : s;
}

std::vector<HWND> TopWindows(const std::string& cls, const std::string& title, DWORD pid) {
    Finder f{Wide(Star(cls)), Wide(Star(title)), pid, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// Memory in the window's process, for list-view messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND h, SIZE_T size) : m_size(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        m_process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        CloseHandle(m_process);
    }
    void* address() const { return m_address; }
    void Write(const void* data, SIZE_T size, SIZE_T offset = 0) {
        WriteProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, nullptr);
    }
    void Read(void* data, SIZE_T size, SIZE_T offset = 0) {
        ReadProcessMemory(m_process, static_cast<char*>(m_address) + offset, data, size, nullptr);
    }

private:
    HANDLE m_process;
    void* m_address;
    SIZE_T m_size;
};

std::wstring ListCell(HWND list, RemoteBuffer& buf, int row, int column) {
    const SIZE_T textOffset = 256;
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(buf.address()) + textOffset);
    item.cchTextMax = 1024;
    buf.Write(&item, sizeof item);
    const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(buf.address()));
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    if (n > 0) {
        buf.Read(&text[0], static_cast<SIZE_T>(n) * sizeof(wchar_t), textOffset);
    }
    return text;
}

std::string ListJson(HWND list) {
    RemoteBuffer buf(list, 4096);
    std::ostringstream o;
    o << "{\"columns\":[";
    for (int c = 0;; ++c) {
        LVCOLUMNW col = {};
        col.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
        col.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(buf.address()) + 256);
        col.cchTextMax = 256;
        buf.Write(&col, sizeof col);
        if (!SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c),
                          reinterpret_cast<LPARAM>(buf.address()))) {
            break;
        }
        buf.Read(&col, sizeof col);
        wchar_t title[256] = {};
        buf.Read(title, sizeof title - sizeof(wchar_t), 256);
        o << (c ? "," : "") << "{\"text\":" << Json(std::wstring(title)) << ",\"width\":" << col.cx
          << ",\"fmt\":" << col.fmt << "}";
    }
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const int columns = static_cast<int>(SendMessageW(
        reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
    o << "],\"rows\":[";
    for (int r = 0; r < rows; ++r) {
        o << (r ? "," : "") << "[";
        for (int c = 0; c < columns; ++c) {
            o << (c ? "," : "") << Json(ListCell(list, buf, r, c));
        }
        o << "]";
    }
    o << "],\"selected\":[";
    bool first = true;
    for (int r = 0; r < rows; ++r) {
        if (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED)) {
            o << (first ? "" : ",") << r;
            first = false;
        }
    }
    o << "],\"focused\":"
      << SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)
      << ",\"top\":" << SendMessageW(list, LVM_GETTOPINDEX, 0, 0)
      << ",\"perpage\":" << SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0)
      << ",\"exstyle\":" << SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) << "}";
    return o.str();
}

void ListSelect(HWND list, const std::vector<int>& rows) {
    RemoteBuffer buf(list, sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    buf.Write(&item, sizeof item);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(buf.address()));
    for (int r : rows) {
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        buf.Write(&item, sizeof item);
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(r),
                     reinterpret_cast<LPARAM>(buf.address()));
    }
}

WORD KeyCode(const std::string& name) {
    static const struct {
        const char* name;
        WORD vk;
    } keys[] = {{"enter", VK_RETURN}, {"esc", VK_ESCAPE},   {"tab", VK_TAB},   {"space", VK_SPACE},
                {"up", VK_UP},        {"down", VK_DOWN},    {"home", VK_HOME}, {"end", VK_END},
                {"f4", VK_F4},        {"delete", VK_DELETE}};
    for (const auto& k : keys) {
        if (name == k.name) {
            return k.vk;
        }
    }
    return name.size() == 1 ? static_cast<WORD>(toupper(static_cast<unsigned char>(name[0]))) : 0;
}

void AddKey(std::vector<INPUT>& inputs, WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
}

// "ctrl+e", "alt+f4", "shift+tab", "enter": pressed as a user would, into
// whatever window has the focus after hwnd was brought to the front.
bool PressKeys(HWND h, const std::string& keys) {
    if (h != nullptr) {
        SetForegroundWindow(h);
    }
    std::vector<WORD> mods;
    std::string rest = keys;
    for (;;) {
        const std::size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) {
            break;
        }
        const std::string mod = rest.substr(0, plus);
        mods.push_back(mod == "ctrl" ? VK_CONTROL : mod == "alt" ? VK_MENU : VK_SHIFT);
        rest = rest.substr(plus + 1);
    }
    const WORD vk = KeyCode(rest);
    if (vk == 0) {
        return false;
    }
    std::vector<INPUT> inputs;
    for (WORD m : mods) {
        AddKey(inputs, m, false);
    }
    AddKey(inputs, vk, false);
    AddKey(inputs, vk, true);
    for (auto it = mods.rbegin(); it != mods.rend(); ++it) {
        AddKey(inputs, *it, true);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

// A click at client coordinates of h, its top-level window brought to the front.
bool ClickAt(HWND h, POINT p, bool twice, bool right) {
    ClientToScreen(h, &p);
    SetForegroundWindow(GetAncestor(h, GA_ROOT));
    SetCursorPos(p.x, p.y);
    std::vector<INPUT> inputs;
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        for (DWORD flag : {right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN,
                           right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP}) {
            INPUT in = {};
            in.type = INPUT_MOUSE;
            in.mi.dwFlags = flag;
            inputs.push_back(in);
        }
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

std::string Error(const std::string& what) {
    return "{\"error\":" + Json(what) + "}";
}

// A toolbar's buttons in order: id, state and style of each.
std::string ToolBarJson(HWND bar) {
    RemoteBuffer buf(bar, sizeof(TBBUTTON));
    const int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    std::ostringstream o;
    o << "{\"buttons\":[";
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(buf.address()));
        buf.Read(&button, sizeof button);
        o << (i ? "," : "") << "{\"id\":" << button.idCommand
          << ",\"state\":" << static_cast<int>(button.fsState)
          << ",\"style\":" << static_cast<int>(button.fsStyle) << ",\"image\":" << button.iBitmap
          << "}";
    }
    return o.str() + "]}";
}

// A program's menu and accelerators as its resources hold them: menus of
// other processes cannot be read under Wine.
std::string MenuJson(HMENU menu) {
    std::string out = "[";
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 255;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        out += (i ? "," : "");
        out += "{\"text\":" + Json(std::wstring(text)) + ",\"id\":" + std::to_string(info.wID) +
               ",\"separator\":" + ((info.fType & MFT_SEPARATOR) ? "true" : "false") +
               ",\"type\":" + std::to_string(info.fType) +
               ",\"state\":" + std::to_string(info.fState);
        if (info.hSubMenu != nullptr) {
            out += ",\"items\":" + MenuJson(info.hSubMenu);
        }
        out += "}";
    }
    return out + "]";
}

std::string ResourcesJson(const std::string& exe, UINT id) {
    HMODULE module = LoadLibraryExW(Wide(exe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return Error("cannot load " + exe);
    }
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(id));
    HACCEL table = LoadAcceleratorsW(module, MAKEINTRESOURCEW(id));
    std::string out = "{\"menu\":" + (menu ? MenuJson(menu) : std::string("null"));
    out += ",\"accelerators\":[";
    if (table != nullptr) {
        ACCEL accels[64];
        const int n = CopyAcceleratorTableW(table, accels, 64);
        for (int i = 0; i < n; ++i) {
            out += (i ? "," : "");
            out += "{\"key\":" + std::to_string(accels[i].key) +
                   ",\"flags\":" + std::to_string(accels[i].fVirt) +
                   ",\"id\":" + std::to_string(accels[i].cmd) + "}";
        }
    }
    out += "]}";
    if (menu != nullptr) {
        DestroyMenu(menu);
    }
    FreeLibrary(module);
    return out;
}

// The first visible top-level window that matches, looked for every pauseMs
// until timeoutMs have passed; nullptr after that.
HWND WaitForTopWindow(const std::string& cls, const std::string& title, DWORD pid, DWORD timeoutMs,
                      DWORD pauseMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    for (;;) {
        const std::vector<HWND> found = TopWindows(cls, title, pid);
        if (!found.empty()) {
            return found[0];
        }
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) {
            return nullptr;
        }
        Sleep(pauseMs);
    }
}

std::string WindowsJson(const std::string& name, const std::vector<HWND>& windows) {
    std::string out = "{\"" + name + "\":[";
    for (std::size_t i = 0; i < windows.size(); ++i) {
        out += (i ? "," : "") + WindowJson(windows[i]);
    }
    return out + "]}";
}

std::string Posted(BOOL posted) {
    return posted ? "{}" : Error("cannot post");
}

// One command line: its words, and the window and the dialog control that
// they name for the commands that take them, both checked before it runs.
struct Call {
    std::vector<std::string> words;
    HWND window = nullptr;
    HWND control = nullptr;

    std::string Word(std::size_t i) const { return i < words.size() ? words[i] : std::string(); }
    int Int(std::size_t i) const { return std::stoi(Word(i)); }
    unsigned long Number(std::size_t i) const { return std::stoul(Word(i)); }
};

// find CLASS TITLE TIMEOUT_MS [PID]: a visible top-level window.
std::string Find(const Call& c) {
    const HWND h = WaitForTopWindow(c.Word(1), c.Word(2), c.words.size() > 4 ? c.Number(4) : 0,
                                    c.Number(3), 20);
    return h ? WindowJson(h) : Error("timeout");
}

// findcommand CLASS TITLE TIMEOUT_MS ID: WM_COMMAND for ID, sent the moment
// the window shows, for races with a window's own timers.
std::string FindCommand(const Call& c) {
    const HWND h = WaitForTopWindow(c.Word(1), c.Word(2), 0, c.Number(3), 1);
    if (h == nullptr) {
        return Error("timeout");
    }
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(c.Int(4), BN_CLICKED), 0);
    return WindowJson(h);
}

std::string Children(const Call& c) {
    std::vector<HWND> children;
    EnumChildWindows(c.window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return WindowsJson("children", children);
}

// select HWND ID [ROW ...]: exactly these rows of a dialog's list selected.
std::string Select(const Call& c) {
    std::vector<int> rows;
    for (std::size_t i = 3; i < c.words.size(); ++i) {
        rows.push_back(c.Int(i));
    }
    ListSelect(c.control, rows);
    return "{}";
}

// post HWND MSG WPARAM LPARAM
std::string Post(const Call& c) {
    return Posted(PostMessageW(c.window, c.Number(2), c.Number(3), std::stol(c.Word(4))));
}

// send HWND MSG WPARAM LPARAM: the result, once handled. A handler that has
// not returned within 10 s (one that opened a modal box, say) is an error.
std::string Send(const Call& c) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(c.window, c.Number(2), c.Number(3), std::stol(c.Word(4)), SMTO_NORMAL,
                             10000, &result)) {
        return Error("no answer");
    }
    return "{\"result\":" + std::to_string(static_cast<LRESULT>(result)) + "}";
}

// dpichanged HWND DPI LEFT TOP RIGHT BOTTOM: what Windows sends a window
// moved to a monitor of that DPI, with the rectangle it suggests.
std::string DpiChanged(const Call& c) {
    RemoteBuffer buf(c.window, sizeof(RECT));
    const RECT r = {c.Int(3), c.Int(4), c.Int(5), c.Int(6)};
    buf.Write(&r, sizeof r);
    const WORD dpi = static_cast<WORD>(c.Number(2));
    // WM_DPICHANGED, newer than the WINVER the build declares.
    SendMessageW(c.window, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(buf.address()));
    return "{}";
}

// mouse HWND X Y [double] [right]: a click at client coordinates of HWND.
std::string Mouse(const Call& c) {
    const bool twice = c.Word(4) == "double" || c.Word(5) == "double";
    const bool right = c.Word(4) == "right" || c.Word(5) == "right";
    return ClickAt(c.window, {c.Int(2), c.Int(3)}, twice, right) ? "{}" : Error("cannot click");
}

// focus HWND: the focused and the active window of HWND's thread.
std::string Focus(const Call& c) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(c.window, nullptr), &info)) {
        return Error("no thread info");
    }
    return std::string("{\"focus\":") +
           (info.hwndFocus ? WindowJson(info.hwndFocus) : std::string("null")) +
           ",\"active\":" + Handle(info.hwndActive) + "}";
}

// toolbarclick HWND ID: a click on the middle of a toolbar's button.
std::string ToolBarClick(const Call& c) {
    RemoteBuffer buf(c.window, sizeof(RECT));
    if (!SendMessageW(c.window, TB_GETRECT, c.Number(2), reinterpret_cast<LPARAM>(buf.address()))) {
        return Error("no such button");
    }
    RECT r;
    buf.Read(&r, sizeof r);
    const POINT middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return ClickAt(c.window, middle, false, false) ? "{}" : Error("cannot click");
}

// itemrect HWND ROW: a list row's bounds in the list's client coordinates.
std::string ItemRect(const Call& c) {
    RemoteBuffer buf(c.window, sizeof(RECT));
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    buf.Write(&r, sizeof r);
    if (!SendMessageW(c.window, LVM_GETITEMRECT, c.Number(2),
                      reinterpret_cast<LPARAM>(buf.address()))) {
        return Error("no such row");
    }
    buf.Read(&r, sizeof r);
    return "{\"rect\":" + RectJson(r) + "}";
}

// cellink HWND ROW COLUMN: a list cell inside its grid lines as the screen
// shows it, a line a pixel row, '#' where a pixel differs from the top left.
std::string CellInk(const Call& c) {
    RemoteBuffer buf(c.window, sizeof(RECT));
    RECT r = {LVIR_LABEL, c.Int(3), 0, 0};
    buf.Write(&r, sizeof r);
    if (!SendMessageW(c.window, LVM_GETSUBITEMRECT, c.Number(2),
                      reinterpret_cast<LPARAM>(buf.address()))) {
        return Error("no such cell");
    }
    buf.Read(&r, sizeof r);
    MapWindowPoints(c.window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    HDC screen = GetDC(nullptr);
    const COLORREF back = GetPixel(screen, r.left + 1, r.top + 1);
    std::string ink;
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            ink += GetPixel(screen, x, y) == back ? '.' : '#';
        }
        ink += "\\n";
    }
    ReleaseDC(nullptr, screen);
    return "{\"ink\":\"" + ink + "\"}";
}

// checkmarks MENUWINDOW ROWS: whether each of an open popup menu's ROWS items,
// as tall as each other, shows a mark in its check column. Menus of other
// processes cannot be read under Wine, so the screen is.
std::string CheckMarks(const Call& c) {
    RECT r;
    GetClientRect(c.window, &r);
    POINT origin = {0, 0};
    ClientToScreen(c.window, &origin);
    HDC screen = GetDC(nullptr);
    const int rows = c.Int(2), height = r.bottom / rows, width = GetSystemMetrics(SM_CXMENUCHECK);
    std::string out = "{\"marks\":[";
    for (int row = 0; row < rows; ++row) {
        // The middle of the row, against its own background (it may be the highlight).
        const int top = origin.y + row * height;
        const COLORREF back = GetPixel(screen, origin.x + width + 1, top + height / 2);
        int differ = 0;
        for (int y = top + height / 4; y < top + height * 3 / 4; ++y) {
            for (int x = origin.x + 4; x < origin.x + width; ++x) {
                differ += GetPixel(screen, x, y) != back;
            }
        }
        out += std::string(row ? "," : "") + (differ > 0 ? "true" : "false");
    }
    ReleaseDC(nullptr, screen);
    return out + "]}";
}

// What a command's second and third words name: nothing, a window (HWND), or
// a dialog's control (HWND ID).
enum class Takes { Nothing, Window, Control };

const struct {
    const char* name;
    Takes takes;
    std::string (*run)(const Call&);
} kCommands[] = {
    {"find", Takes::Nothing, Find},
    {"findcommand", Takes::Nothing, FindCommand},
    // resources EXE ID: the menu and accelerator table under ID.
    {"resources", Takes::Nothing,
     [](const Call& c) { return ResourcesJson(c.Word(1), static_cast<UINT>(c.Number(2))); }},
    // windows [PID]: every visible top-level window.
    {"windows", Takes::Nothing,
     [](const Call& c) {
         return WindowsJson("windows", TopWindows("*", "*", c.words.size() > 1 ? c.Number(1) : 0));
     }},
    {"window", Takes::Window, [](const Call& c) { return WindowJson(c.window); }},
    {"children", Takes::Window, Children},
    {"listwindow", Takes::Window, [](const Call& c) { return ListJson(c.window); }},
    {"command", Takes::Window,
     [](const Call& c) { return Posted(PostMessageW(c.window, WM_COMMAND, c.Number(2), 0)); }},
    {"post", Takes::Window, Post},
    {"send", Takes::Window, Send},
    {"dpichanged", Takes::Window, DpiChanged},
    {"close", Takes::Window,
     [](const Call& c) { return Posted(PostMessageW(c.window, WM_CLOSE, 0, 0)); }},
    {"keys", Takes::Window,
     [](const Call& c) {
         return PressKeys(c.window, c.Word(2)) ? "{}" : Error("cannot press " + c.Word(2));
     }},
    {"mouse", Takes::Window, Mouse},
    {"focus", Takes::Window, Focus},
    {"owner", Takes::Window,
     [](const Call& c) { return "{\"owner\":" + Handle(GetWindow(c.window, GW_OWNER)) + "}"; }},
    {"checkmarks", Takes::Window, CheckMarks},
    {"toolbar", Takes::Window, [](const Call& c) { return ToolBarJson(c.window); }},
    {"toolbarclick", Takes::Window, ToolBarClick},
    {"itemrect", Takes::Window, ItemRect},
    {"cellink", Takes::Window, CellInk},
    {"control", Takes::Control, [](const Call& c) { return WindowJson(c.control); }},
    // Posted: a click that opens a modal box must not block the probe.
    {"click", Takes::Control,
     [](const Call& c) { return Posted(PostMessageW(c.control, BM_CLICK, 0, 0)); }},
    {"settext", Takes::Control,
     [](const Call& c) {
         const std::wstring text = Wide(c.Word(3));
         return SendMessageW(c.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))
                    ? std::string("{}")
                    : Error("cannot set text");
     }},
    {"list", Takes::Control, [](const Call& c) { return ListJson(c.control); }},
    {"select", Takes::Control, Select},
};

std::string Run(Call call) {
    for (const auto& command : kCommands) {
        if (call.Word(0) != command.name) {
            continue;
        }
        if (command.takes != Takes::Nothing) {
            call.window = ToHwnd(call.Word(1));
            if (!IsWindow(call.window)) {
                return Error("no such window");
            }
        }
        if (command.takes == Takes::Control) {
            call.control = GetDlgItem(call.window, call.Int(2));
            if (call.control == nullptr) {
                return Error("no such control");
            }
        }
        return command.run(call);
    }
    return Error("unknown command " + call.Word(0));
}

} // namespace

int wmain() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        Call call;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            call.words.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) {
                break;
            }
            start = tab + 1;
        }
        std::string answer;
        try {
            answer = Run(call);
        } catch (const std::exception& e) {
            answer = Error(e.what());
        }
        std::cout << answer << std::endl;
    }
    return 0;
}
