// CMenu operations.
#include "Menu.h"

#include "ThreadState.h"

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU menu) { return afx::GetThreadState().tempMenus.Get(menu); }

BOOL CMenu::Attach(HMENU menu)
{
    if (menu == nullptr || m_hMenu != nullptr)
        return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach() noexcept
{
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == nullptr)
        return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    wchar_t buffer[256] = {};
    const int length = ::GetMenuStringW(m_hMenu, item, buffer, 256, flags);
    text = CString(buffer);
    return length;
}
