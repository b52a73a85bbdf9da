// Resource string loading for CString.
#include "String.h"

#include "App.h"

BOOL CString::LoadString(UINT id)
{
    m_text.clear();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
    // With a zero buffer size LoadStringW lends a pointer into the resource itself, so any length fits.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr)
        return FALSE;
    m_text.assign(text, static_cast<size_t>(length));
    return TRUE;
}
