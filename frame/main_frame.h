// The main window: the target list between a toolbar and a status bar, and
// the hub that offers every command to the list, to itself and then to the
// application. It owns itself and is deleted when its window is gone.
#pragma once

#include "frame/command_chain.h"
#include "win/status_bar.h"
#include "win/tool_bar.h"
#include "win/window.h"

class CKivrelListView;

class CMainFrame final : public win::Window {
public:
    // Creates the window from the IDR_MAINFRAME resources; nullptr when it
    // could not be created, the object then being gone already.
    static CMainFrame* LoadFrame(DWORD style);

    // Saves the list unless this ending saved it already, then destroys the window.
    bool DestroyWindow();

private:
    CMainFrame();

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCreate(const CREATESTRUCTW& create) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSize(UINT type, int width, int height) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    void OnDestroy() override;
    void OnFinalMessage() override;

    // The frame's own commands: the two bar toggles.
    bool RunOwnCommand(unsigned id);
    bool QueryOwnCommand(unsigned id, bool& enabled, bool* checked = nullptr) const;

    void RecalcLayout() const;
    void OnInitMenuPopup(HMENU menu) const;
    void OnMenuSelect(UINT item, UINT flags, HMENU menu) const;
    void OnIdleUpdate() const;
    void ShowPrompt(UINT id) const;
    void SaveOnce();

    win::StatusBar m_wndStatusBar;
    win::ToolBar m_wndToolBar;
    CKivrelListView* m_pView = nullptr; // deletes itself with its window
    kivrel::CommandChain m_commands;
    std::wstring m_tipText; // kept alive while the tooltip reads it
    bool m_saved = false;
};
