// GDI objects and device contexts. A CGdiObject or CDC keeps the handle it created or was given
// with Attach in an owning handle, which frees it when the object goes; FromHandle gives a
// temporary wrapper that owns nothing. CClientDC and CPaintDC give their DC back to the window
// instead of deleting it.
#pragma once

#include <windows.h>

#include "Geometry.h"
#include "Handles.h"

class CWnd;

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    afx::unique_hgdiobj m_hObject;  // owned, except in a temporary wrapper (which lets go first)

    HGDIOBJ GetSafeHandle() const noexcept { return m_hObject.get(); }
    operator HGDIOBJ() const noexcept { return m_hObject.get(); }

    // Takes ownership of `object`; false (and nothing taken) for null or when one is held already.
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach() noexcept { return m_hObject.release(); }
    // Frees the object held; false when there was none.
    BOOL DeleteObject();

    static CGdiObject* FromHandle(HGDIOBJ object);
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const noexcept { return static_cast<HBITMAP>(m_hObject.get()); }
    static CBitmap* FromHandle(HBITMAP bitmap);

    BOOL CreateCompatibleBitmap(class CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    operator HBRUSH() const noexcept { return static_cast<HBRUSH>(m_hObject.get()); }
    static CBrush* FromHandle(HBRUSH brush);

    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Owned and deleted with DeleteDC, except where a subclass gives it back to its window, or in a
    // temporary wrapper (which lets go first).
    afx::unique_hdc m_hDC;

    HDC GetSafeHdc() const noexcept { return m_hDC.get(); }
    operator HDC() const noexcept { return m_hDC.get(); }

    static CDC* FromHandle(HDC dc);

    // Takes ownership of `dc`; false (and nothing taken) for null or when one is held already.
    BOOL Attach(HDC dc);
    HDC Detach() noexcept { return m_hDC.release(); }
    BOOL CreateCompatibleDC(CDC* dc);
    // Deletes the DC held; false when there was none.
    BOOL DeleteDC();

    // Selection: returns a wrapper of the bitmap that was selected before.
    CBitmap* SelectObject(CBitmap* bitmap);
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(GetSafeHdc(), object); }

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop)
    {
        return ::BitBlt(GetSafeHdc(), x, y, width, height, source ? source->GetSafeHdc() : nullptr, xSrc, ySrc, rop);
    }
    void FillSolidRect(const RECT* rect, COLORREF color);
    void FillSolidRect(int x, int y, int width, int height, COLORREF color);
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags) { return ::DrawEdge(GetSafeHdc(), rect, edge, flags); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(GetSafeHdc(), x, y, icon); }

    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(GetSafeHdc(), color); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(GetSafeHdc(), color); }
    int SetBkMode(int mode) { return ::SetBkMode(GetSafeHdc(), mode); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(GetSafeHdc(), x, y); }

    int GetClipBox(RECT* rect) const { return ::GetClipBox(GetSafeHdc(), rect); }
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
};

// A window's client-area DC (GetDC), given back with ReleaseDC.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

// The DC of a WM_PAINT (BeginPaint), ended with EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
