// The window base: binding at creation, subclassed controls, reflected
// notifications and the last message, on real windows.
#include "win/dpi.h"
#include "win/system_dll.h"
#include "win/whole_file.h"
#include "win/window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kClass[] = L"KivrelWindowTest";

class Recorder : public win::Window {
public:
    std::vector<UINT> seen;
    bool createOk = true;
    bool takeReflected = true;
    int finals = 0;
    int destroys = 0;
    int width = -1;
    UINT notifyCode = 0;
    UINT reflectedCode = 0;
    bool* deleted = nullptr; // set: the object deletes itself at the end

    ~Recorder() override {
        if (deleted != nullptr) {
            *deleted = true;
        }
    }

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        seen.push_back(message);
        return false;
    }
    bool OnCreate(const CREATESTRUCTW&) override { return createOk && Hwnd() != nullptr; }
    void OnSize(UINT, int w, int) override { width = w; }
    bool OnNotify(NMHDR& header, LRESULT& result) override {
        notifyCode = header.code;
        result = 7;
        return true;
    }
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override {
        reflectedCode = header.code;
        result = 9;
        return takeReflected;
    }
    void OnDestroy() override { ++destroys; }
    void OnFinalMessage() override {
        ++finals;
        if (deleted != nullptr) {
            delete this;
        }
    }
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW windowClass = {};
        windowClass.lpszClassName = kClass;
        ASSERT_TRUE(win::Window::RegisterWindowClass(windowClass));
    }
    static HWND Make(Recorder& window, HWND parent = nullptr) {
        const RECT rect = {0, 0, 200, 100};
        return window.Create(kClass, L"", parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, rect, parent,
                             nullptr);
    }
};

TEST_F(WindowTest, BoundFromCreationToTheLastMessage) {
    Recorder window;
    const HWND hwnd = Make(window);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(window.Hwnd(), hwnd);
    EXPECT_EQ(win::Window::FromHandle(hwnd), &window);
    ::SetWindowPos(hwnd, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(window.width, client.right);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(window.destroys, 1);
    EXPECT_EQ(window.finals, 1);
    EXPECT_EQ(window.Hwnd(), nullptr);
    EXPECT_EQ(win::Window::FromHandle(hwnd), nullptr);
}

TEST_F(WindowTest, RefusedCreationStillEndsCleanly) {
    Recorder window;
    window.createOk = false;
    EXPECT_EQ(Make(window), nullptr);
    EXPECT_EQ(window.finals, 1);
    EXPECT_EQ(window.Hwnd(), nullptr);
}

TEST_F(WindowTest, AWindowThatOwnsItselfDeletesItselfAtTheEnd) {
    bool deleted = false;
    auto* window = new Recorder;
    window->deleted = &deleted;
    const HWND hwnd = Make(*window);
    ASSERT_NE(hwnd, nullptr);
    ::DestroyWindow(hwnd);
    EXPECT_TRUE(deleted);
}

TEST_F(WindowTest, OtherWindowsAreNotTakenForOurs) {
    const HWND edit = ::CreateWindowExW(0, L"EDIT", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetWindowLongPtrW(edit, GWLP_USERDATA, 1234);
    EXPECT_EQ(win::Window::FromHandle(edit), nullptr);
    ::DestroyWindow(edit);
}

TEST_F(WindowTest, SubclassedControlKeepsItsOwnBehaviour) {
    Recorder parent;
    ASSERT_NE(Make(parent), nullptr);
    const HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, parent.Hwnd(),
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr);
    Recorder control;
    ASSERT_TRUE(control.Subclass(edit));
    EXPECT_FALSE(control.Subclass(edit));
    EXPECT_EQ(win::Window::FromHandle(edit), &control);
    ::SetWindowTextW(edit, L"abc");
    wchar_t text[8] = {};
    ::GetWindowTextW(edit, text, 8);
    EXPECT_STREQ(text, L"abc");
    EXPECT_NE(std::find(control.seen.begin(), control.seen.end(), WM_SETTEXT), control.seen.end());

    // The control's notifications come back to its own object first.
    NMHDR header = {edit, 0, static_cast<UINT>(NM_DBLCLK)};
    EXPECT_EQ(parent.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), 9);
    EXPECT_EQ(control.reflectedCode, static_cast<UINT>(NM_DBLCLK));
    EXPECT_EQ(parent.notifyCode, 0u);
    control.takeReflected = false;
    header.code = NM_RCLICK;
    EXPECT_EQ(parent.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), 7);
    EXPECT_EQ(parent.notifyCode, static_cast<UINT>(NM_RCLICK));

    ::DestroyWindow(parent.Hwnd());
    EXPECT_EQ(control.finals, 1);
    EXPECT_EQ(control.Hwnd(), nullptr);
}

// Half pixels round up: 15 at 144 DPI must give the 23-pixel art, not 22.
TEST(Dpi, SizesScaleFrom96DpiToTheNearestPixel) {
    EXPECT_EQ(win::Scale(530, 96), 530);
    EXPECT_EQ(win::Scale(530, 144), 795);
    EXPECT_EQ(win::Scale(15, 144), 23);
    EXPECT_EQ(win::Scale(12, 120), 15);
    EXPECT_EQ(win::Scale(795, 144, 96), 530);
}

} // namespace

TEST(SystemDll, LoadedByItsFullPathInTheSystemFolder) {
    wchar_t folder[MAX_PATH];
    wchar_t loaded[MAX_PATH];
    ASSERT_NE(::GetSystemDirectoryW(folder, MAX_PATH), 0u);
    const HMODULE module = win::LoadSystemDll(L"iphlpapi.dll");
    ASSERT_NE(module, nullptr);
    ASSERT_NE(::GetModuleFileNameW(module, loaded, MAX_PATH), 0u);
    EXPECT_EQ(::_wcsicmp(loaded, (std::wstring(folder) + L"\\iphlpapi.dll").c_str()), 0);
    EXPECT_EQ(::LoadLibraryW(L"iphlpapi.dll"), module); // by name: the one loaded
    EXPECT_EQ(win::LoadSystemDll(L"no-such-kivrel.dll"), nullptr);
}

TEST(WholeFile, AFileAnotherProgramHoldsIsSaidToBeInUse) {
    wchar_t temp[MAX_PATH];
    const std::wstring path = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"kivrel-held.csv";
    ASSERT_EQ(win::WriteWholeFile(path, "a"), win::WriteWholeResult::Written);
    // As a spreadsheet holds the file it shows: others may read it, not write it.
    const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(win::WriteWholeFile(path, "b"), win::WriteWholeResult::InUse);
    CloseHandle(held);
    EXPECT_EQ(win::WriteWholeFile(path, "c"), win::WriteWholeResult::Written);
    DeleteFileW(path.c_str());
}
