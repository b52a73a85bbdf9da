// GDI object and device-context wrappers.
#include "Gdi.h"

#include "ThreadState.h"
#include "Wnd.h"

// ---- GDI objects ----------------------------------------------------------------------------

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (object == nullptr || m_hObject)
        return FALSE;
    m_hObject.reset(object);
    return TRUE;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    m_hObject.reset();
    return TRUE;
}

CBitmap* CBitmap::FromHandle(HBITMAP bitmap) { return afx::GetThreadState().tempBitmaps.Get(bitmap); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

// ---- device contexts ------------------------------------------------------------------------

CDC* CDC::FromHandle(HDC dc) { return afx::GetThreadState().tempDCs.Get(dc); }

BOOL CDC::Attach(HDC dc)
{
    if (dc == nullptr || m_hDC)
        return FALSE;
    m_hDC.reset(dc);
    return TRUE;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->GetSafeHdc() : nullptr)); }

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    m_hDC.reset();
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    return CBitmap::FromHandle(
        static_cast<HBITMAP>(::SelectObject(GetSafeHdc(), bitmap ? bitmap->GetSafeHandle() : nullptr)));
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color)
{
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const COLORREF old = ::SetBkColor(GetSafeHdc(), color);
    ::ExtTextOutW(GetSafeHdc(), 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(GetSafeHdc(), old);
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF color)
{
    const RECT rect{x, y, x + width, y + height};
    FillSolidRect(&rect, color);
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight)
{
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolidRect(x, y, width - 1, 1, topLeft);
    FillSolidRect(x, y, 1, height - 1, topLeft);
    FillSolidRect(x + width - 1, y, 1, height, bottomRight);
    FillSolidRect(x, y + height - 1, width, 1, bottomRight);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old{};
    ::SetWindowOrgEx(GetSafeHdc(), x, y, &old);
    return CPoint(old);
}

// The window's own ways of giving a DC back: the handle leaves the owning slot first, so the
// base never deletes a DC that is not its own.
CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC()
{
    if (HDC dc = Detach())
        ::ReleaseDC(m_hWnd, dc);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }
CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}
