// A flat toolbar along the top of its parent, with tooltips. Its slots come
// from a toolbar resource, its pictures from strip bitmaps drawn for a few
// DPIs: the buttons use a strip's images left to right.
#pragma once

#include "win/control_bar.h"
#include "win/dpi.h"
#include "win/owned.h"

#include <commctrl.h>

#include <vector>

namespace win {

// A strip drawn for one DPI: its images are the toolbar resource's button
// size scaled to that DPI.
struct ToolBarArt {
    UINT dpi;
    UINT bitmapId;
};

class ToolBar : public ControlBar {
public:
    // The resource (type 241) is a list of 16-bit words: version 1, the
    // button's width and height at 96 DPI, the number of slots, then each
    // slot's command id, 0 for a separator. The art is used at the strip's
    // DPI nearest to dpi, the window's.
    bool Create(HWND parent, UINT id, UINT resourceId, std::vector<ToolBarArt> art, UINT dpi);
    // Command ids left to right; 0 stands for a separator.
    const std::vector<UINT>& Buttons() const { return m_buttons; }

    // The window moved to another scale: the nearest strip and buttons to fit
    // it. The parent lays the bar out afterwards.
    bool SetDpi(UINT dpi);
    // The system's colours changed (a high-contrast theme, say): the images
    // are made again from the strip in the new colours.
    bool OnSysColorChange();

    // Changes the button only when its state differs, so idle time does not flicker.
    void Enable(UINT id, bool enabled) const;
    // Lets the bar fit its parent's new width; returns its height.
    int Layout() const { return Fit(TB_AUTOSIZE); }

private:
    bool AddButtons();
    int ImageCount() const;

    std::vector<UINT> m_buttons;
    std::vector<ToolBarArt> m_art;
    SIZE m_image = {}; // at 96 DPI
    UINT m_dpi = kBaseDpi;
    ImageList m_images;
};

} // namespace win
