// Whether the main list stays responsive while statuses change 1,000 times a
// second: 10,000 PCs, each checked every 10 s, each check's answer the
// opposite of the last. A second thread asks the UI thread for a reply every
// 5 ms and times how long each takes, against the same list whose answers
// never change, in the same run. The network is a stand-in: nothing is sent.
//     status_ui_bench [seconds=12]
// The window of measuring holds at least one round of every PC: they all come
// due together, so the changes arrive as bursts of 10,000 every 10 s.
#include "bench/median.h"
#include "targets/target_file.h"
#include "ui/kivrel_list_view.h"
#include "win/window.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPcs = 10000;

kivrel::MacBytes MacOf(int i) {
    return {0x00,
            0x1A,
            0x2B,
            static_cast<std::uint8_t>(i >> 16),
            static_cast<std::uint8_t>(i >> 8),
            static_cast<std::uint8_t>(i)};
}

// Every PC in the neighbour table; with flip each answer differs from the last.
class StandIn final : public kivrel::StatusNetwork {
public:
    explicit StandIn(bool flip) : m_flip(flip), m_up(kPcs) {}
    bool ReadNeighbours(std::vector<kivrel::NeighbourEntry>& rows) override {
        rows.clear();
        for (int i = 0; i < kPcs; ++i) {
            rows.push_back({0x0A000000u + static_cast<std::uint32_t>(i), MacOf(i), true, false, 0});
        }
        return true;
    }
    bool Resolve(const std::string&, std::uint32_t&) override { return false; }
    bool ReadSubnets(std::vector<kivrel::Subnet>&) override { return false; }
    bool Echo(std::uint32_t ipv4, unsigned) override {
        ++echoes;
        std::atomic<bool>& up = m_up[ipv4 & 0xFFFFFF];
        return m_flip ? !up.exchange(!up) : true;
    }
    std::atomic<long> echoes{0};

private:
    const bool m_flip;
    std::vector<std::atomic<bool>> m_up;
};

class Host final : public win::Window {
public:
    explicit Host(std::shared_ptr<StandIn> network) : m_network(std::move(network)) {}

protected:
    bool OnCreate(const CREATESTRUCTW&) override {
        m_view = CKivrelListView::CreateObject();
        const RECT rect = {0, 0, 520, 320};
        if (!m_view->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, rect, Hwnd(), 1, m_network)) {
            return false;
        }
        m_view->LoadTargets();
        return true;
    }
    void OnDestroy() override { ::PostQuitMessage(0); }

private:
    std::shared_ptr<StandIn> m_network;
    CKivrelListView* m_view = nullptr;
};

struct Figures {
    double median, p99, worst, changesPerSecond;
};

// Replies of the UI thread over seconds, after a second to settle.
Figures Measure(bool flip, int seconds) {
    auto network = std::make_shared<StandIn>(flip);
    Host host(network);
    const RECT rect = {0, 0, 540, 360};
    const HWND hwnd = host.Create(L"KivrelStatusBench", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  0, rect, nullptr, nullptr);
    std::vector<double> waits;
    long echoes = 0;
    std::thread asker([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long first = network->echoes;
        const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            const Clock::time_point asked = Clock::now();
            DWORD_PTR ignored;
            ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
            waits.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - asked).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        echoes = network->echoes - first;
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    });
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    asker.join();
    std::sort(waits.begin(), waits.end());
    return {Median(waits), waits[waits.size() * 99 / 100], waits.back(),
            flip ? static_cast<double>(echoes) / seconds : 0};
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(11, std::atoi(argv[1])) : 12;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass = {};
    windowClass.lpszClassName = L"KivrelStatusBench";
    win::Window::RegisterWindowClass(windowClass);

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "kivrel-status-bench";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    ::SetCurrentDirectoryA(dir.c_str());
    kivrel::TargetList list;
    for (int i = 0; i < kPcs; ++i) {
        list.Append({"PC-" + std::to_string(i), MacOf(i)});
    }
    kivrel::TargetFileStatus status = kivrel::FILE_MISSING;
    kivrel::WriteTargetFile(list, status);

    const Figures floor = Measure(false, seconds);
    const Figures busy = Measure(true, seconds);
    ::DeleteFileA("Kivrel.dat");
    ::SetCurrentDirectoryA(temp);
    ::RemoveDirectoryA(dir.c_str());

    std::printf("UI thread's reply while statuses change, %d PCs, %d s each\n\n", kPcs, seconds);
    std::printf("| statuses | changes/s | reply median (ms) | 99th (ms) | worst (ms) |\n"
                "|---|---:|---:|---:|---:|\n");
    std::printf("| unchanging (floor) | 0 | %.2f | %.2f | %.2f |\n", floor.median, floor.p99,
                floor.worst);
    std::printf("| each check changes | %.0f | %.2f | %.2f | %.2f |\n", busy.changesPerSecond,
                busy.median, busy.p99, busy.worst);
    return 0;
}
