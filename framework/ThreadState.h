// Per-thread framework state: the HWND map, the temporary wrapper maps, the message being
// processed (for Default) and the window-creation hook.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

class CWnd;
class CDC;
class CGdiObject;
class CBitmap;
class CBrush;
class CPen;
class CMenu;

namespace afx {

// Wrappers made for handles that no object owns. They never free their handle and are deleted
// together when the message loop is idle at its outermost level.
template <class Handle, class Wrapper>
class TempMap {
public:
    Wrapper* Get(Handle h)
    {
        if (h == nullptr)
            return nullptr;
        auto& slot = m_map[h];
        if (!slot)
            slot = Wrapper::MakeTemporary(h);
        return slot.get();
    }
    void Clear()
    {
        for (auto& entry : m_map)
            entry.second->DetachTemporary();
        m_map.clear();
    }
    size_t size() const noexcept { return m_map.size(); }
    ~TempMap() { Clear(); }

private:
    std::unordered_map<Handle, std::unique_ptr<Wrapper>> m_map;
};

struct ThreadState {
    std::unordered_map<HWND, CWnd*> permanentWindows;
    TempMap<HWND, CWnd> tempWindows;
    TempMap<HDC, CDC> tempDCs;
    TempMap<HGDIOBJ, CGdiObject> tempGdiObjects;
    TempMap<HBITMAP, CBitmap> tempBitmaps;
    TempMap<HBRUSH, CBrush> tempBrushes;
    TempMap<HPEN, CPen> tempPens;
    TempMap<HMENU, CMenu> tempMenus;

    MSG lastSentMsg{};        // the message AfxCallWndProc is processing, for Default()
    int handlerDepth = 0;     // window procedures running on this thread's stack

    CWnd* wndInit = nullptr;  // the object the creation hook binds next
    HHOOK cbtHook = nullptr;
};

ThreadState& GetThreadState();

} // namespace afx
