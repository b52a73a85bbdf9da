// CMenu: a menu handle with the calls the panel's system menu needs.
#pragma once

#include <windows.h>

#include "Handles.h"
#include "String.h"

class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Owned, except in a temporary wrapper (which lets go first): a system menu is the window's.
    afx::unique_hmenu m_hMenu;
    operator HMENU() const noexcept { return m_hMenu.get(); }

    static CMenu* FromHandle(HMENU menu);

    BOOL AppendMenu(UINT flags, UINT_PTR idOrPopup = 0, LPCWSTR text = nullptr)
    {
        return ::AppendMenuW(m_hMenu.get(), flags, idOrPopup, text);
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu.get()); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu.get(), position); }
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu.get(), item, flags); }
    int GetMenuString(UINT item, CString& text, UINT flags) const;
};
