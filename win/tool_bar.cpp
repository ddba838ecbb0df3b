#include "win/tool_bar.h"

#include "win/dpi.h"
#include "win/window.h"

#include <cstdlib>
#include <utility>

namespace win {
namespace {

const UINT kToolBarType = 241;
// The room around a button's image, at 96 DPI.
const SIZE kPadding = {7, 6};

// The slots of a toolbar resource and its button size; no slots when the
// resource is missing, of another version or cut short.
std::vector<UINT> LoadSlots(UINT resourceId, SIZE& button) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found =
        ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(kToolBarType));
    const HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* words =
        static_cast<const WORD*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    const DWORD size = found != nullptr ? ::SizeofResource(module, found) : 0;
    if (words == nullptr || size < 4 * sizeof(WORD) || words[0] != 1 ||
        size < (4u + words[3]) * sizeof(WORD)) {
        return {};
    }
    button = {words[1], words[2]};
    return std::vector<UINT>(words + 4, words + 4 + words[3]);
}

// Nearest by DPI; between two as near, the larger, which shrinks nothing.
const ToolBarArt& NearestArt(const std::vector<ToolBarArt>& art, UINT dpi) {
    const ToolBarArt* best = &art.front();
    for (const ToolBarArt& candidate : art) {
        const int distance = std::abs(static_cast<int>(candidate.dpi) - static_cast<int>(dpi));
        const int bestDistance = std::abs(static_cast<int>(best->dpi) - static_cast<int>(dpi));
        if (distance < bestDistance || (distance == bestDistance && candidate.dpi > best->dpi)) {
            best = &candidate;
        }
    }
    return *best;
}

} // namespace

bool ToolBar::Create(HWND parent, UINT id, UINT resourceId, std::vector<ToolBarArt> art, UINT dpi) {
    m_buttons = LoadSlots(resourceId, m_image);
    m_art = std::move(art);
    if (m_buttons.empty() || m_art.empty()) {
        return false;
    }
    SetHwnd(CreateChildControl(TOOLBARCLASSNAMEW,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                               parent, id));
    if (Hwnd() == nullptr) {
        return false;
    }
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return SetDpi(dpi) && AddButtons();
}

int ToolBar::ImageCount() const {
    int images = 0;
    for (UINT slot : m_buttons) {
        images += slot != 0 ? 1 : 0;
    }
    return images;
}

bool ToolBar::SetDpi(UINT dpi) {
    const ToolBarArt& art = NearestArt(m_art, dpi);
    // The standard colours become the system's button colours, and the
    // button face shows through, as with the toolbar's own bitmaps.
    const HBITMAP strip =
        ::CreateMappedBitmap(::GetModuleHandleW(nullptr), art.bitmapId, 0, nullptr, 0);
    if (strip == nullptr) {
        return false;
    }
    ImageList images(::ImageList_Create(Scale(m_image.cx, art.dpi), Scale(m_image.cy, art.dpi),
                                        ILC_COLOR24 | ILC_MASK, ImageCount(), 0));
    const bool added =
        images.Get() != nullptr &&
        ::ImageList_AddMasked(images.Get(), strip, ::GetSysColor(COLOR_BTNFACE)) != -1;
    ::DeleteObject(strip);
    if (!added) {
        return false;
    }
    Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
    // Told, since the control would keep the room around the image at its
    // 96-DPI size.
    Send(TB_SETBUTTONSIZE, 0,
         MAKELPARAM(Scale(m_image.cx, art.dpi) + Scale(kPadding.cx, dpi),
                    Scale(m_image.cy, art.dpi) + Scale(kPadding.cy, dpi)));
    m_images.Reset(images.Release());
    m_dpi = dpi;
    return true;
}

bool ToolBar::OnSysColorChange() {
    ControlBar::OnSysColorChange();
    return SetDpi(m_dpi);
}

bool ToolBar::AddButtons() {
    std::vector<TBBUTTON> items;
    int image = 0;
    for (UINT slot : m_buttons) {
        TBBUTTON item = {};
        if (slot == 0) {
            item.fsStyle = TBSTYLE_SEP;
        } else {
            item.iBitmap = image++;
            item.idCommand = static_cast<int>(slot);
            item.fsState = TBSTATE_ENABLED;
            item.fsStyle = TBSTYLE_BUTTON;
        }
        items.push_back(item);
    }
    return Send(TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data())) != FALSE;
}

void ToolBar::Enable(UINT id, bool enabled) const {
    const bool now = Send(TB_ISBUTTONENABLED, id) != 0;
    if (now != enabled) {
        Send(TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
    }
}

} // namespace win
