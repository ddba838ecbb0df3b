// The main window: the target list between a toolbar and a status bar, and
// the hub that offers every command to the list, to itself and then to the
// application. It owns itself and is deleted when its window is gone.
#pragma once

#include "frame/command_chain.h"
#include "win/status_bar.h"
#include "win/tool_bar.h"
#include "win/window.h"

class CKivrelListView;

class CMainFrame final : public win::Window, public kivrel::CommandTarget {
public:
    // Creates the window from the IDR_MAINFRAME resources; nullptr when it
    // could not be created, the object then being gone already. The
    // application is the chain's last link.
    static CMainFrame* LoadFrame(DWORD style, kivrel::CommandTarget& application);

    // Whether any Kivrel window is open on this desk, whose list reaches its
    // file only when it closes.
    static bool AnyOpen();

    // Saves the list when it needs a save, then destroys the window.
    bool DestroyWindow();
    // Once the window shows: what the user must know about the list's load.
    void ReportLoad();

    // The chain's second link: the two bar toggles.
    bool QueryCommand(unsigned id, kivrel::CommandState& state) const override;
    void RunCommand(unsigned id) override;

private:
    explicit CMainFrame(kivrel::CommandTarget& application) : m_application(application) {}

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCreate(const CREATESTRUCTW& create) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSize(UINT type, int width, int height) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    void OnDestroy() override;
    void OnFinalMessage() override;

    static const kivrel::CommandRow<CMainFrame> kCommands[];
    void OnViewToolBar();
    void OnViewStatusBar();
    bool IsToolBarShown() const { return m_wndToolBar.IsVisible(); }
    bool IsStatusBarShown() const { return m_wndStatusBar.IsVisible(); }

    // The view, while there is one, then this frame, then the application.
    kivrel::CommandChain Chain();
    void RecalcLayout() const;
    void OnInitMenuPopup(HMENU menu);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu) const;
    void OnIdleUpdate();
    void ShowPrompt(UINT id) const;
    void OnCloseRequest();
    void OnEndSession();
    // At the close a failure is told, with Retry; at the session's end there is no time for it.
    void SaveTargets(bool askOnFailure);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnSysColorChange();
    void OnSettingChange();

    win::StatusBar m_wndStatusBar;
    win::ToolBar m_wndToolBar;
    CKivrelListView* m_pView = nullptr; // deletes itself with its window
    kivrel::CommandTarget& m_application;
    std::wstring m_tipText; // kept alive while the tooltip reads it
    bool m_closePending = false;
};
