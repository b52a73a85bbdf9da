// Static message maps: one table per class, chained to the base class's table. Each entry is made
// by a template that checks the handler's signature against its message, so a handler of the wrong
// signature does not compile, and calls it through a small typed thunk (no member-pointer casts).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <type_traits>

#include "Geometry.h"

class CCmdTarget;
class CWnd;
class CDC;

namespace afx {

// Reflected notifications are looked up in the sending control's own map.
enum class EntryKind : unsigned char {
    End,
    Message,         // a window message (WM_CTLCOLOR stands for every WM_CTLCOLOR* message)
    Command,         // WM_COMMAND: `message` holds the notification code, ids in [idFirst, idLast]
    Notify,          // WM_NOTIFY: `message` holds the notification code, ids in [idFirst, idLast]
    ReflectMessage,  // a notification message handed back to the control that sent it
    ReflectCommand,  // WM_COMMAND handed back to the control; `message` holds the code
    ReflectNotify,   // WM_NOTIFY handed back to the control; `message` holds the code
};

struct MsgArgs {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Calls one handler. Returns false when the handler declines (an _EX handler answering FALSE, a
// reflected colour handler answering no brush), so the message goes on to the next in line.
using Thunk = bool (*)(CCmdTarget* target, const MsgArgs& args, LRESULT* result);

struct MsgMapEntry {
    EntryKind kind = EntryKind::End;
    UINT message = 0;
    UINT idFirst = 0;
    UINT idLast = 0;
    Thunk thunk = nullptr;
};

struct MsgMap {
    const MsgMap* (*baseMap)();
    const MsgMapEntry* entries;
};

template <class T>
struct member_fn;
template <class C, class R, class... A>
struct member_fn<R (C::*)(A...)> {
    using cls = C;
    using sig = R(A...);
};

template <class Derived, auto Handler, class Expected>
constexpr void check_handler()
{
    using traits = member_fn<decltype(Handler)>;
    static_assert(std::is_same_v<typename traits::sig, Expected>,
                  "message handler has the wrong signature for its message-map entry");
    static_assert(std::is_base_of_v<typename traits::cls, Derived>,
                  "message handler is not a member of this class or of one of its bases");
}

// Argument cracking, one cracker per handler signature. Each `call` is instantiated per handler.
CWnd* wnd_from(HWND hwnd);
CDC* dc_from(HDC hdc);

namespace crack {

#define AFX_CRACKER(Name, Sig, Body)                                                          \
    struct Name {                                                                             \
        using sig = Sig;                                                                      \
        template <class T, auto H>                                                            \
        static bool call(CCmdTarget* target, const MsgArgs& a, LRESULT* r)                    \
        {                                                                                     \
            T* self = static_cast<T*>(target);                                                \
            (void)a;                                                                          \
            Body                                                                              \
        }                                                                                     \
    };

AFX_CRACKER(Void, void(), { (self->*H)(); *r = 0; return true; })
AFX_CRACKER(Create, int(LPCREATESTRUCT),
            { *r = (self->*H)(reinterpret_cast<LPCREATESTRUCT>(a.lParam)); return true; })
AFX_CRACKER(Move, void(int, int), {
    (self->*H)(static_cast<short>(LOWORD(a.lParam)), static_cast<short>(HIWORD(a.lParam)));
    *r = 0;
    return true;
})
AFX_CRACKER(Timer, void(UINT_PTR), { (self->*H)(static_cast<UINT_PTR>(a.wParam)); *r = 0; return true; })
AFX_CRACKER(EraseBkgnd, BOOL(CDC*),
            { *r = (self->*H)(dc_from(reinterpret_cast<HDC>(a.wParam))); return true; })
AFX_CRACKER(Mouse, void(UINT, CPoint),
            { (self->*H)(static_cast<UINT>(a.wParam), CPoint(a.lParam)); *r = 0; return true; })
AFX_CRACKER(SysCommand, void(UINT, LPARAM),
            { (self->*H)(static_cast<UINT>(a.wParam), a.lParam); *r = 0; return true; })
AFX_CRACKER(QueryDragIcon, HCURSOR(),
            { *r = reinterpret_cast<LRESULT>((self->*H)()); return true; })
AFX_CRACKER(Activate, void(UINT, CWnd*, BOOL), {
    (self->*H)(LOWORD(a.wParam), wnd_from(reinterpret_cast<HWND>(a.lParam)), HIWORD(a.wParam) != 0);
    *r = 0;
    return true;
})
AFX_CRACKER(Focus, void(CWnd*),
            { (self->*H)(wnd_from(reinterpret_cast<HWND>(a.wParam))); *r = 0; return true; })
AFX_CRACKER(GetDlgCode, UINT(), { *r = (self->*H)(); return true; })
AFX_CRACKER(Scroll, void(UINT, UINT, CWnd*), {
    (self->*H)(LOWORD(a.wParam), static_cast<short>(HIWORD(a.wParam)),
               wnd_from(reinterpret_cast<HWND>(a.lParam)));
    *r = 0;
    return true;
})
AFX_CRACKER(CtlColor, HBRUSH(CDC*, CWnd*, UINT), {
    *r = reinterpret_cast<LRESULT>((self->*H)(dc_from(reinterpret_cast<HDC>(a.wParam)),
                                               wnd_from(reinterpret_cast<HWND>(a.lParam)),
                                               a.message - WM_CTLCOLORMSGBOX));
    return true;
})
AFX_CRACKER(ShowWindow, void(BOOL, UINT),
            { (self->*H)(a.wParam != 0, static_cast<UINT>(a.lParam)); *r = 0; return true; })
AFX_CRACKER(Message, LRESULT(WPARAM, LPARAM), { *r = (self->*H)(a.wParam, a.lParam); return true; })
AFX_CRACKER(CommandEx, BOOL(), { *r = 0; return (self->*H)() != FALSE; })
AFX_CRACKER(Notify, void(NMHDR*, LRESULT*),
            { (self->*H)(reinterpret_cast<NMHDR*>(a.lParam), r); return true; })
// A reflected colour request that answers no brush has not been handled: the parent gets it.
AFX_CRACKER(CtlColorReflect, HBRUSH(CDC*, UINT), {
    HBRUSH brush = (self->*H)(dc_from(reinterpret_cast<HDC>(a.wParam)), a.message - WM_CTLCOLORMSGBOX);
    *r = reinterpret_cast<LRESULT>(brush);
    return brush != nullptr;
})
AFX_CRACKER(ScrollReflect, void(UINT, UINT), {
    (self->*H)(LOWORD(a.wParam), static_cast<short>(HIWORD(a.wParam)));
    *r = 0;
    return true;
})

#undef AFX_CRACKER

} // namespace crack

template <class T, auto H, class Cracker>
constexpr MsgMapEntry make_entry(EntryKind kind, UINT message, UINT idFirst = 0, UINT idLast = 0)
{
    check_handler<T, H, typename Cracker::sig>();
    return MsgMapEntry{kind, message, idFirst, idLast, &Cracker::template call<T, H>};
}

} // namespace afx

// Stands for every WM_CTLCOLOR* message in a map entry, as in the 16-bit days.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// Map declaration and definition. Use DECLARE_MESSAGE_MAP() in the class body, then
// BEGIN_MESSAGE_MAP(Class, Base) ... END_MESSAGE_MAP() in its source file.
#define DECLARE_MESSAGE_MAP()                                       \
protected:                                                          \
    static const ::afx::MsgMap* GetThisMessageMap();                \
    const ::afx::MsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const ::afx::MsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::afx::MsgMap* theClass::GetThisMessageMap()                                  \
    {                                                                                   \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        using TheBaseClass = baseClass;                                                 \
        static const ::afx::MsgMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                      \
            ::afx::MsgMapEntry{}};                                             \
        static const ::afx::MsgMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                           \
    }

#define AFX_ENTRY(kind, msg, handler, cracker, ...) \
    ::afx::make_entry<ThisClass, &ThisClass::handler, ::afx::crack::cracker>(::afx::EntryKind::kind, msg __VA_OPT__(,) __VA_ARGS__)

// Window messages.
#define ON_WM_CREATE() AFX_ENTRY(Message, WM_CREATE, OnCreate, Create),
#define ON_WM_DESTROY() AFX_ENTRY(Message, WM_DESTROY, OnDestroy, Void),
#define ON_WM_CLOSE() AFX_ENTRY(Message, WM_CLOSE, OnClose, Void),
#define ON_WM_MOVE() AFX_ENTRY(Message, WM_MOVE, OnMove, Move),
#define ON_WM_TIMER() AFX_ENTRY(Message, WM_TIMER, OnTimer, Timer),
#define ON_WM_PAINT() AFX_ENTRY(Message, WM_PAINT, OnPaint, Void),
#define ON_WM_NCPAINT() AFX_ENTRY(Message, WM_NCPAINT, OnNcPaint, Void),
#define ON_WM_ERASEBKGND() AFX_ENTRY(Message, WM_ERASEBKGND, OnEraseBkgnd, EraseBkgnd),
#define ON_WM_LBUTTONDOWN() AFX_ENTRY(Message, WM_LBUTTONDOWN, OnLButtonDown, Mouse),
#define ON_WM_MOUSEMOVE() AFX_ENTRY(Message, WM_MOUSEMOVE, OnMouseMove, Mouse),
#define ON_WM_SYSCOMMAND() AFX_ENTRY(Message, WM_SYSCOMMAND, OnSysCommand, SysCommand),
#define ON_WM_QUERYDRAGICON() AFX_ENTRY(Message, WM_QUERYDRAGICON, OnQueryDragIcon, QueryDragIcon),
#define ON_WM_ACTIVATE() AFX_ENTRY(Message, WM_ACTIVATE, OnActivate, Activate),
#define ON_WM_KILLFOCUS() AFX_ENTRY(Message, WM_KILLFOCUS, OnKillFocus, Focus),
#define ON_WM_CANCELMODE() AFX_ENTRY(Message, WM_CANCELMODE, OnCancelMode, Void),
#define ON_WM_GETDLGCODE() AFX_ENTRY(Message, WM_GETDLGCODE, OnGetDlgCode, GetDlgCode),
#define ON_WM_SYSCOLORCHANGE() AFX_ENTRY(Message, WM_SYSCOLORCHANGE, OnSysColorChange, Void),
#define ON_WM_HSCROLL() AFX_ENTRY(Message, WM_HSCROLL, OnHScroll, Scroll),
#define ON_WM_CTLCOLOR() AFX_ENTRY(Message, WM_CTLCOLOR, OnCtlColor, CtlColor),
#define ON_WM_SHOWWINDOW() AFX_ENTRY(Message, WM_SHOWWINDOW, OnShowWindow, ShowWindow),
#define ON_MESSAGE(msg, handler) AFX_ENTRY(Message, msg, handler, Message),

// Commands and notifications from controls, seen by their parent.
#define ON_COMMAND(id, handler) AFX_ENTRY(Command, 0, handler, Void, id, id),
#define ON_CONTROL(code, id, handler) AFX_ENTRY(Command, code, handler, Void, id, id),
#define ON_BN_CLICKED(id, handler) ON_CONTROL(BN_CLICKED, id, handler)
#define ON_NOTIFY(code, id, handler) AFX_ENTRY(Notify, code, handler, Notify, id, id),

// Notifications handed back to the control that sent them. A plain entry keeps the notification
// from the parent; an _EX handler that answers FALSE lets the parent see it too.
#define ON_CONTROL_REFLECT(code, handler) AFX_ENTRY(ReflectCommand, code, handler, Void),
#define ON_CONTROL_REFLECT_EX(code, handler) AFX_ENTRY(ReflectCommand, code, handler, CommandEx),
#define ON_NOTIFY_REFLECT(code, handler) AFX_ENTRY(ReflectNotify, code, handler, Notify),
#define ON_WM_CTLCOLOR_REFLECT() AFX_ENTRY(ReflectMessage, WM_CTLCOLOR, CtlColor, CtlColorReflect),
#define ON_WM_HSCROLL_REFLECT() AFX_ENTRY(ReflectMessage, WM_HSCROLL, HScroll, ScrollReflect),
