// Per-thread framework state: the HWND map, the temporary wrapper maps, the message being
// processed (for Default) and the window-creation hook.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

#include "Gdi.h"
#include "Menu.h"
#include "Wnd.h"

namespace afx {

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
            (*slot).*Member = h;
        }
        return slot.get();
    }
    void Clear()
    {
        for (auto& entry : m_map)
            (*entry.second).*Member = nullptr;
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
    TempMap<HGDIOBJ, CGdiObject, &CGdiObject::m_hObject> tempGdiObjects;
    TempMap<HBITMAP, CBitmap, &CBitmap::m_hObject> tempBitmaps;
    TempMap<HBRUSH, CBrush, &CBrush::m_hObject> tempBrushes;
    TempMap<HPEN, CPen, &CPen::m_hObject> tempPens;
    TempMap<HMENU, CMenu, &CMenu::m_hMenu> tempMenus;

    MSG lastSentMsg{};        // the message AfxCallWndProc is processing, for Default()
    int handlerDepth = 0;     // window procedures running on this thread's stack

    CWnd* wndInit = nullptr;  // the object the creation hook binds next
    HHOOK cbtHook = nullptr;
};

ThreadState& GetThreadState();

} // namespace afx
