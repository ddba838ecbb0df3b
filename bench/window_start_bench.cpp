// How long Kivrel.exe takes from process start until its window shows a list
// of n targets, against the start with an empty list, and whether the cost
// per row stays flat as the list grows (rows inserted in linear time); at 96
// and at 144 DPI, the display scale set for the programs it starts.
//     window_start_bench [runs=7, at least 3] [Kivrel.exe]
// The program is found beside this one (..\app\Kivrel.exe) unless named.
// It never sends: the window is closed as soon as it has been measured.
#include "bench/median.h"
#include "targets/target_file.h"
#include "targets/target_list.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Beyond 10,000 as well, so a cost that grows with the list shows plainly.
const int kSizes[] = {0, 5000, 10000, 20000};
const DWORD kDpis[] = {96, 144};
constexpr DWORD kGiveUpMs = 60000;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring DefaultProgram() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring own(path, length);
    return own.substr(0, own.find_last_of(L'\\')) + L"\\..\\app\\Kivrel.exe";
}

// Names of a typical length, so every row carries real text to convert and draw.
bool WriteTargets(const std::string& file, int count) {
    kivrel::TargetList list;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "PC-%05d-benchmark-row", i);
        list.Append(
            kivrel::TargetEntry{name,
                                {0x00, 0x1A, 0x2B, static_cast<std::uint8_t>(i >> 16),
                                 static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)}});
    }
    kivrel::TargetFileStatus status = kivrel::FILE_MISSING;
    ::DeleteFileA(file.c_str());
    return count == 0 || kivrel::WriteTargetFile(list, status, file);
}

struct Search {
    DWORD process;
    HWND frame;
};

BOOL CALLBACK FindFrame(HWND hwnd, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64];
    if (owner == search.process && ::GetClassNameW(hwnd, name, 64) > 0 &&
        std::wstring(name) == L"KivrelMainFrame") {
        search.frame = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Visible, every row in the list, and the program idle, so the rows on
// screen have been painted.
bool ShowsAllRows(const PROCESS_INFORMATION& process, int count) {
    Search search = {process.dwProcessId, nullptr};
    ::EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&search));
    if (search.frame == nullptr || !::IsWindowVisible(search.frame)) {
        return false;
    }
    const HWND list = ::FindWindowExW(search.frame, nullptr, WC_LISTVIEWW, nullptr);
    DWORD_PTR rows = 0;
    if (list == nullptr ||
        !::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, kGiveUpMs, &rows)) {
        return false;
    }
    return static_cast<int>(rows) == count && ::WaitForInputIdle(process.hProcess, kGiveUpMs) == 0;
}

// Seconds from CreateProcess until the window shows every row; negative on failure.
double TimeStart(const std::wstring& program, const std::string& dir, int count) {
    std::wstring command = L"\"" + program + L"\"";
    const std::wstring wideDir(dir.begin(), dir.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = Now();
    if (!::CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                          wideDir.c_str(), &startup, &process)) {
        return -1;
    }
    double shown = -1;
    while (Now() - start < kGiveUpMs / 1000.0) {
        if (ShowsAllRows(process, count)) {
            shown = Now() - start;
            break;
        }
        ::Sleep(1);
    }
    Search search = {process.dwProcessId, nullptr};
    ::EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&search));
    if (search.frame != nullptr) {
        ::PostMessageW(search.frame, WM_CLOSE, 0, 0);
    }
    if (::WaitForSingleObject(process.hProcess, kGiveUpMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        shown = -1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return shown;
}

// The scale Wine gives the programs started from now on; 0 removes the setting.
void SetDisplayDpi(DWORD dpi) {
    HKEY key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (dpi == 0) {
        ::RegDeleteValueW(key, L"LogPixels");
    } else {
        ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                         sizeof dpi);
    }
    ::RegCloseKey(key);
}

// One table at the display's present scale; false when a start failed or
// rows went in worse than linearly.
bool MeasureTable(const std::wstring& program, const std::string& dir, int runs, DWORD dpi) {
    const std::string file = dir + "\\Kivrel.dat";
    // One start first to warm Wine's caches; then the sizes take turns, so a
    // drift in the machine's load falls on all of them alike.
    constexpr std::size_t kCount = sizeof kSizes / sizeof kSizes[0];
    std::vector<double> times[kCount];
    for (int run = -1; run < runs; ++run) {
        for (std::size_t size = 0; size < kCount; ++size) {
            // Rewritten each time: closing the window saves the list again.
            const int count = kSizes[size];
            const double seconds = WriteTargets(file, count) ? TimeStart(program, dir, count) : -1;
            if (seconds < 0) {
                std::fprintf(stderr, "start with %d targets failed\n", count);
                return false;
            }
            if (run >= 0) {
                times[size].push_back(seconds);
            }
        }
    }
    WriteTargets(file, 0);

    std::printf("Windowed start until every row shows, %lu DPI, median of %d runs\n\n",
                static_cast<unsigned long>(dpi), runs);
    std::printf("| targets | start (ms) | x empty | per row (us) |\n|---:|---:|---:|---:|\n");
    const double empty = Median(times[0]);
    std::printf("| 0 | %.1f | 1.00 | |\n", empty * 1e3);
    double extra[kCount] = {};
    for (std::size_t size = 1; size < kCount; ++size) {
        const double median = Median(times[size]);
        extra[size] = median - empty;
        std::printf("| %d | %.1f | %.2f | %.1f |\n", kSizes[size], median * 1e3, median / empty,
                    extra[size] / kSizes[size] * 1e6);
    }
    // Twice the rows may cost twice the extra time, not four times. Below the
    // spread of the empty starts there is nothing to compare.
    std::sort(times[0].begin(), times[0].end());
    const double noise = times[0].back() - times[0].front();
    const double doubled = extra[kCount - 1];
    const double single = std::max(extra[kCount - 2], noise);
    const bool linear = doubled <= 2.5 * single;
    std::printf("\n%d rows add %.1f ms, %d rows %.1f ms (empty starts spread %.1f ms): %s\n\n",
                kSizes[kCount - 2], extra[kCount - 2] * 1e3, kSizes[kCount - 1], doubled * 1e3,
                noise * 1e3, linear ? "linear" : "WORSE THAN LINEAR");
    return linear;
}

} // namespace

int main(int argc, char** argv) {
    // Fewer runs give no spread of the empty starts to judge the growth by.
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;
    std::wstring program = DefaultProgram();
    if (argc > 2) {
        const std::string named = argv[2];
        program.assign(named.begin(), named.end());
    }
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "kivrel-start-bench";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    bool linear = true;
    for (const DWORD dpi : kDpis) {
        SetDisplayDpi(dpi);
        linear = MeasureTable(program, dir, runs, dpi) && linear;
    }
    SetDisplayDpi(0);
    ::RemoveDirectoryA(dir.c_str());
    return linear ? 0 : 2;
}
