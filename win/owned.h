// One GDI object, image list or icon that its holder owns: destroyed when
// replaced or when the holder goes, never copied.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace win {

template <typename Handle, BOOL(WINAPI* Destroy)(Handle)> class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : m_handle(handle) {}
    ~Owned() { Reset(nullptr); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle Get() const { return m_handle; }
    // Takes the new one over; the one held before is destroyed.
    void Reset(Handle handle) {
        if (m_handle != nullptr) {
            Destroy(m_handle);
        }
        m_handle = handle;
    }
    // Gives it up, undestroyed.
    Handle Release() {
        const Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

private:
    Handle m_handle = nullptr;
};

inline BOOL WINAPI DeleteFontObject(HFONT font) {
    return ::DeleteObject(font);
}

using Font = Owned<HFONT, DeleteFontObject>;
using ImageList = Owned<HIMAGELIST, ::ImageList_Destroy>;
using Icon = Owned<HICON, ::DestroyIcon>;

} // namespace win
