// CWnd: a C++ object bound to one HWND. The binding is made on the window's very first message
// (through a creation hook) or by subclassing an existing window, and undone at WM_NCDESTROY.
// Messages reach member handlers through the static message maps; notifications a control sends
// its parent are first handed back to the control ("reflection").
#pragma once

#include <windows.h>
#include <tpcshrd.h>

#include <memory>

#include "CmdTarget.h"
#include "Geometry.h"
#include "String.h"

class CDC;
class CMenu;

// What every window bound to a CWnd answers the tablet's gesture query with
// (WM_TABLET_QUERYSYSTEMGESTURESTATUS, which the system sends to the window under the pen or
// finger), unless its message map answers it: no press-and-hold, which turns a finger held still
// into a right-click after a second and holds back a drag until then, and no flicks, neither as
// gestures nor as the keys they fall back to.
inline constexpr LRESULT kTabletGestureAnswer =
    TABLET_DISABLE_PRESSANDHOLD | TABLET_DISABLE_FLICKS | TABLET_DISABLE_FLICKFALLBACKKEYS;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // A CWnd standing for a special window handle (HWND_TOPMOST), never bound.
    explicit CWnd(HWND hwnd) noexcept : m_hWnd(hwnd) {}
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The insert-after value for SetWindowPos that the program needs.
    static const CWnd wndTopMost;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    operator HWND() const noexcept { return GetSafeHwnd(); }

    // The object bound to `hwnd`, or else a temporary wrapper that lives until the message loop is
    // next idle at its outermost level. Null for a null handle.
    static CWnd* FromHandle(HWND hwnd);
    // The object bound to `hwnd`, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Binding an existing window. SubclassWindow calls PreSubclassWindow before the window
    // procedure is replaced.
    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);

    // Creating a window; the object is bound before WM_NCCREATE.
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // The per-message virtuals.
    virtual void PreSubclassWindow();
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification this control sent its parent, handed back to it first. True when handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Called after the window is gone and the object unbound; the object may delete itself here.
    virtual void PostNcDestroy();

    // Hands the message being processed to the window's previous window procedure.
    LRESULT Default();

    // Offers `msg` to PreTranslateMessage of its target window and then of each parent and owner.
    static BOOL WalkPreTranslateTree(MSG* msg);

    // Window operations.
    BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE)
    {
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
    }
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
    }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(POINT* point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(RECT* rect) const;
    void CenterWindow(CWnd* alternateOwner = nullptr);

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    // Changes style bits; with `flags`, also SetWindowPos so the frame follows. False if unchanged.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);

    CWnd* SetFocus();
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN)
    {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }

    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    CMenu* GetSystemMenu(BOOL revert) const;

    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr)
    {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }

protected:
    DECLARE_MESSAGE_MAP()

    // Default handlers: each passes the message on to the previous window procedure.
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnMove(int, int) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    void OnCancelMode() { Default(); }
    UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
    void OnSysColorChange() { Default(); }
    void OnHScroll(UINT, UINT, CWnd*) { Default(); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
    void OnShowWindow(BOOL, UINT) { Default(); }

    // Looks up this control's reflected entries for a notification it sent its parent.
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    WNDPROC m_pfnSuper = nullptr;

private:
    bool m_bound = false;  // in this thread's HWND map, so the window's messages reach this object
    void UnbindAfterNcDestroy();
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    void BindAndSubclass(HWND hwnd);
};

// Arms the creation hook: the next window this thread creates is bound to `wnd` before its first
// message. AfxUnhookWindowCreate disarms it and tells whether the binding happened.
void AfxHookWindowCreate(CWnd* wnd);
BOOL AfxUnhookWindowCreate();

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Deletes the temporary wrappers that FromHandle calls made. The message loops call it when no
// handler is running; tests may call it at any quiet moment.
void AfxSweepTempObjects();
