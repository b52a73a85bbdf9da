// Binding windows to objects, message dispatch through the maps, reflection and the window
// operations of CWnd.
#include "Wnd.h"

#include "App.h"
#include "Gdi.h"
#include "Menu.h"
#include "ThreadState.h"

#include <cwchar>

const CWnd CWnd::wndTopMost(HWND_TOPMOST);

namespace afx {

ThreadState& GetThreadState()
{
    thread_local ThreadState state;
    return state;
}

CWnd* wnd_from(HWND hwnd) { return CWnd::FromHandle(hwnd); }
CDC* dc_from(HDC hdc) { return CDC::FromHandle(hdc); }

} // namespace afx

namespace {

bool IsCtlColorMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// Input-method windows that the system may create while our window is being created must not
// take the binding meant for it.
bool IsImeWindow(HWND hwnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(hwnd, name, 32);
    return _wcsicmp(name, L"IME") == 0 || _wcsnicmp(name, L"MSCTFIME", 8) == 0;
}

BOOL ReflectTo(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    CWnd* control = CWnd::FromHandlePermanent(child);
    return control != nullptr && control->OnChildNotify(message, wParam, lParam, result);
}

} // namespace

LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    afx::ThreadState& ts = afx::GetThreadState();
    const MSG saved = ts.lastSentMsg;
    ts.lastSentMsg = MSG{hwnd, message, wParam, lParam, 0, {}};
    ++ts.handlerDepth;

    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY)
        wnd->UnbindAfterNcDestroy();  // may delete the object

    --ts.handlerDepth;
    ts.lastSentMsg = saved;
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (wnd == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return AfxCallWndProc(wnd, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    afx::ThreadState& ts = afx::GetThreadState();
    if (code == HCBT_CREATEWND && ts.wndInit != nullptr) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(hwnd)) {
            CWnd* wnd = ts.wndInit;
            ts.wndInit = nullptr;
            wnd->BindAndSubclass(hwnd);
        }
    }
    return ::CallNextHookEx(ts.cbtHook.get(), code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* wnd)
{
    afx::ThreadState& ts = afx::GetThreadState();
    if (!ts.cbtHook)
        ts.cbtHook.reset(::SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId()));
    ts.wndInit = wnd;
}

BOOL AfxUnhookWindowCreate()
{
    afx::ThreadState& ts = afx::GetThreadState();
    ts.cbtHook.reset();
    const bool bound = ts.wndInit == nullptr;
    ts.wndInit = nullptr;
    return bound;
}

void AfxSweepTempObjects()
{
    afx::ThreadState& ts = afx::GetThreadState();
    if (ts.handlerDepth != 0)
        return;  // a handler further up the stack may still hold a wrapper
    ts.tempWindows.Clear();
    ts.tempDCs.Clear();
    ts.tempBitmaps.Clear();
    ts.tempMenus.Clear();
}

// ---- binding --------------------------------------------------------------------------------

CWnd::~CWnd()
{
    if (m_bound && m_hWnd != nullptr)
        DestroyWindow();  // its WM_NCDESTROY unbinds this object
    if (m_bound)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    auto& map = afx::GetThreadState().permanentWindows;
    auto it = map.find(hwnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (CWnd* wnd = FromHandlePermanent(hwnd))
        return wnd;
    return afx::GetThreadState().tempWindows.Get(hwnd);
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (hwnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hwnd) != nullptr)
        return FALSE;
    afx::GetThreadState().permanentWindows[hwnd] = this;
    m_hWnd = hwnd;
    m_bound = true;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd != nullptr && m_bound) {
        auto& map = afx::GetThreadState().permanentWindows;
        auto it = map.find(hwnd);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hWnd = nullptr;
    m_bound = false;
    return hwnd;
}

void CWnd::BindAndSubclass(HWND hwnd)
{
    if (!Attach(hwnd))
        return;
    auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (previous != &AfxWndProc && m_pfnSuper == nullptr)
        m_pfnSuper = previous;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!Attach(hwnd))
        return FALSE;
    PreSubclassWindow();
    auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (previous != &AfxWndProc && m_pfnSuper == nullptr)
        m_pfnSuper = previous;
    return TRUE;
}

void CWnd::UnbindAfterNcDestroy()
{
    HWND hwnd = m_hWnd;
    if (hwnd != nullptr && m_pfnSuper != nullptr &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &AfxWndProc)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    PostNcDestroy();
}

void CWnd::PostNcDestroy() {}
void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, LPVOID param)
{
    AfxHookWindowCreate(this);
    HWND hwnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent,
                                  idOrMenu, AfxGetInstanceHandle(), param);
    AfxUnhookWindowCreate();
    return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

// ---- dispatch -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    // The system asks the window under the pen or finger; the default answer (0) would turn every
    // gesture on. Answered here, every bound window and control gives the same one.
    if (message == WM_TABLET_QUERYSYSTEMGESTURESTATUS)
        return kTabletGestureAnswer;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = afx::GetThreadState().lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *result = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT notifyResult = 0;
        if (!OnNotify(wParam, lParam, &notifyResult))
            return FALSE;
        *result = notifyResult;
        return TRUE;
    }

    // The control that sent a notification gets the first go at it.
    if (IsCtlColorMessage(message)) {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control != nullptr && control != m_hWnd && ReflectTo(control, message, wParam, lParam, result))
            return TRUE;
    } else if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item != nullptr && item->CtlType != ODT_MENU &&
            ReflectTo(item->hwndItem, message, wParam, lParam, result))
            return TRUE;
    } else if (message == WM_HSCROLL) {
        if (lParam != 0 && ReflectTo(reinterpret_cast<HWND>(lParam), message, wParam, lParam, result))
            return TRUE;
    }

    const UINT key = IsCtlColorMessage(message) ? WM_CTLCOLOR : message;
    const afx::MsgArgs args{message, wParam, lParam};
    return DispatchTo(
        [key](const afx::MsgMapEntry& e) { return e.kind == afx::EntryKind::Message && e.message == key; }, args,
        result);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    UINT code = HIWORD(wParam);
    if (control != nullptr) {
        LRESULT ignored = 0;
        if (ReflectTo(control, WM_COMMAND, wParam, lParam, &ignored))
            return TRUE;
    } else {
        code = 0;  // menus and accelerators: a plain command
    }
    return OnCmdMsg(LOWORD(wParam), code);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr)
        return FALSE;
    if (header->hwndFrom != nullptr && ReflectTo(header->hwndFrom, WM_NOTIFY, 0, lParam, result))
        return TRUE;
    const UINT id = static_cast<UINT>(header->idFrom);
    const afx::MsgArgs args{WM_NOTIFY, 0, lParam};
    return DispatchTo(
        [&](const afx::MsgMapEntry& e) {
            return e.kind == afx::EntryKind::Notify && e.message == header->code && id >= e.idFirst &&
                   id <= e.idLast;
        },
        args, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const afx::MsgArgs args{message, wParam, lParam};
    if (message == WM_COMMAND) {
        const UINT code = HIWORD(wParam);
        return DispatchTo(
            [code](const afx::MsgMapEntry& e) { return e.kind == afx::EntryKind::ReflectCommand && e.message == code; },
            args, result);
    }
    if (message == WM_NOTIFY) {
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        return DispatchTo(
            [code](const afx::MsgMapEntry& e) { return e.kind == afx::EntryKind::ReflectNotify && e.message == code; },
            args, result);
    }
    const UINT key = IsCtlColorMessage(message) ? WM_CTLCOLOR : message;
    return DispatchTo(
        [key](const afx::MsgMapEntry& e) { return e.kind == afx::EntryKind::ReflectMessage && e.message == key; },
        args, result);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd != nullptr;) {
        if (CWnd* wnd = FromHandlePermanent(hwnd); wnd != nullptr && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (!::IsWindow(hwnd))
            break;
        const bool child = (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
        hwnd = child ? ::GetParent(hwnd) : ::GetWindow(hwnd, GW_OWNER);
    }
    return FALSE;
}

// ---- operations -----------------------------------------------------------------------------

void CWnd::ScreenToClient(RECT* rect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

void CWnd::ClientToScreen(RECT* rect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(rect), 2);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    const DWORD style = GetStyle();
    const DWORD newStyle = (style & ~remove) | add;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
    if (flags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

void CWnd::GetWindowText(CString& text) const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    buffer.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    text = CString(buffer);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    const DWORD style = GetStyle();
    HWND center = alternateOwner ? alternateOwner->m_hWnd
                                 : ((style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));

    CRect dialog;
    GetWindowRect(&dialog);
    CRect area;
    CRect around;
    if (style & WS_CHILD) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        ::GetClientRect(center ? center : parent, &around);
        ::MapWindowPoints(center ? center : parent, parent, reinterpret_cast<POINT*>(&around), 2);
    } else {
        // An owner that is hidden or minimised is no reference: centre in the work area instead.
        if (center != nullptr) {
            const LONG_PTR ownerStyle = ::GetWindowLongPtrW(center, GWL_STYLE);
            if (!(ownerStyle & WS_VISIBLE) || (ownerStyle & WS_MINIMIZE))
                center = nullptr;
        }
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoW(::MonitorFromWindow(center ? center : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
        area = info.rcWork;
        if (center != nullptr)
            ::GetWindowRect(center, &around);
        else
            around = info.rcWork;
    }

    int x = (around.left + around.right) / 2 - dialog.Width() / 2;
    int y = (around.top + around.bottom) / 2 - dialog.Height() / 2;
    // Keep the whole window inside the area where it fits.
    if (x + dialog.Width() > area.right)
        x = area.right - dialog.Width();
    if (x < area.left)
        x = area.left;
    if (y + dialog.Height() > area.bottom)
        y = area.bottom - dialog.Height();
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
