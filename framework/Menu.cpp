// CMenu operations.
#include "Menu.h"

#include "ThreadState.h"

CMenu* CMenu::FromHandle(HMENU menu) { return afx::GetThreadState().tempMenus.Get(menu); }

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    wchar_t buffer[256] = {};
    const int length = ::GetMenuStringW(m_hMenu.get(), item, buffer, 256, flags);
    text = CString(buffer);
    return length;
}
