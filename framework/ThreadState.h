// Per-thread framework state: the HWND map, the temporary wrapper maps, the message being
// processed (for Default) and the window-creation hook.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

#include "Gdi.h"
#include "Handles.h"
#include "Menu.h"
#include "Wnd.h"

namespace afx {

namespace detail {
// A temporary wrapper's handle field: a plain handle (a window's) or an owning one, which is
// lent the handle and made to let go of it again without freeing it.
inline void lend(HWND& field, HWND h) noexcept { field = h; }
inline void take_back(HWND& field) noexcept { field = nullptr; }
template <class Traits, class Handle>
void lend(unique_any<Traits>& field, Handle h) noexcept { field.reset(h); }
template <class Traits>
void take_back(unique_any<Traits>& field) noexcept { field.release(); }
} // namespace detail

// Wrappers made for handles that no object owns: `Member` is the wrapper's handle field. They
// never free their handle (it is taken back before they are deleted) and are deleted together
// when the message loop is idle at its outermost level.
template <class Handle, class Wrapper, auto Member>
class TempMap {
public:
    Wrapper* Get(Handle h)
    {
        if (h == nullptr)
            return nullptr;
        auto& slot = m_map[h];
        if (!slot) {
            slot = std::make_unique<Wrapper>();
            detail::lend((*slot).*Member, h);
        }
        return slot.get();
    }
    void Clear()
    {
        for (auto& entry : m_map)
            detail::take_back((*entry.second).*Member);
        m_map.clear();
    }
    size_t size() const noexcept { return m_map.size(); }
    ~TempMap() { Clear(); }

private:
    std::unordered_map<Handle, std::unique_ptr<Wrapper>> m_map;
};

struct ThreadState {
    std::unordered_map<HWND, CWnd*> permanentWindows;
    TempMap<HWND, CWnd, &CWnd::m_hWnd> tempWindows;
    TempMap<HDC, CDC, &CDC::m_hDC> tempDCs;
    TempMap<HBITMAP, CBitmap, &CBitmap::m_hObject> tempBitmaps;
    TempMap<HMENU, CMenu, &CMenu::m_hMenu> tempMenus;

    MSG lastSentMsg{};        // the message AfxCallWndProc is processing, for Default()
    int handlerDepth = 0;     // window procedures running on this thread's stack

    CWnd* wndInit = nullptr;  // the object the creation hook binds next
    unique_hhook cbtHook;     // armed only while a window of ours is being created
};

ThreadState& GetThreadState();

} // namespace afx
