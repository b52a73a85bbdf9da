// CTabvisorDlg: the main panel. A borderless, topmost, per-pixel-alpha window showing the panel
// artwork, with five pages floating over it at fixed offsets. It runs the keyboard hook on a
// thread of its own, registers the boot-time task, shows everything on the hook's request (or
// another start's) and hides it once after start. Esc and Enter never end it; only the close
// command (Alt+F4, the system menu's Close, WM_CLOSE) does. Everything it shows is laid out at the
// display scale of the monitor it is on, and follows that scale when it changes.
#pragma once

#include <functional>
#include <iterator>
#include <memory>

#include "Afx.h"
#include "DisplayScale.h"
#include "GdiplusImage.h"
#include "HookRecovery.h"
#include "HookThread.h"
#include "PanelPages.h"
#include "WineWorkarounds.h"
#include "resource.h"

class CSwitchPage;
class CVolumePage;
class CBrightnessPage;
class CKeyboardPage;
class CTaskMgrPage;

// The system-menu command of the About item.
inline constexpr UINT IDM_ABOUTBOX = 0x0010;

// The size of the face pushed to the layered window at 96 dpi, whatever the image or template
// say; at another DPI, this times dpi / 96.
inline constexpr int kPanelWidth = 724;
inline constexpr int kPanelHeight = 424;

// The panel's controls: click areas over the face, never drawn.
inline constexpr int kPanelClickAreas[] = {IDC_PANEL_CLOSE,     IDC_PANEL_AREA_1004, IDC_PANEL_AREA_1008,
                                           IDC_PANEL_AREA_1009, IDC_PANEL_AREA_1010, IDC_PANEL_AREA_1011,
                                           IDC_PANEL_AREA_1017};

// The boot-time task that starts the program for the user.
inline constexpr wchar_t kTaskName[] = L"Tabvisor";
inline constexpr wchar_t kTaskProgram[] = L"C:\\Program Files\\Tabvisor\\Tabvisor.exe";
inline constexpr wchar_t kTaskAuthor[] = L"Quorvanta";
inline constexpr wchar_t kTaskDescription[] =
    L"hotkey function switch auto run here.\nIf you don't want it to start with system boot,\ndelete this task!";

class CTabvisorDlg : public CDialog {
public:
    explicit CTabvisorDlg(CWnd* parent = nullptr);
    // The pages go with the panel: their windows with its window, their objects with it.
    ~CTabvisorDlg() override;

    // The show request, on the GUI thread: shows the panel and its pages as the tablet key does
    // (while they are shown, brings back the pages hidden on their own). The hotkey comes here
    // through kShowPanelRequest, which any thread of the program may post to the panel's window,
    // and another start of the program through the registered ShowPanelMessage().
    void ShowOnRequest();

    // The display scale everything is laid out and drawn at, in dots per inch (96 at 100 %).
    UINT Scale() const { return m_dpi; }

    // The five pages as windows, for whatever shows, hides, stacks or names them.
    PanelPages Pages() const;

    HICON m_hIcon = nullptr;
    BLENDFUNCTION m_blend{};
    // The pages, made in WM_CREATE and owned here alone. Their windows are owned pop-ups of the
    // panel's and go with it; the objects go with the panel object.
    std::unique_ptr<CSwitchPage> m_pSwitchPage;
    std::unique_ptr<CVolumePage> m_pVolumePage;
    std::unique_ptr<CBrightnessPage> m_pBrightnessPage;
    std::unique_ptr<CKeyboardPage> m_pKeyboardPage;
    std::unique_ptr<CTaskMgrPage> m_pTaskMgrPage;
    // What the panel does only under Wine; taken once, at construction (tests may run the Windows
    // path under Wine by setting it before the panel is created).
    WineWorkarounds m_wineWorkarounds = WineWorkarounds::ForThisSystem();
    // The face, decoded, and the surface it is composed on: held only while the face is composed.
    // Once UpdateLayeredWindow has the picture the window system keeps it, and these megabytes
    // go back; a display change composes again from the resource.
    std::unique_ptr<CGdiplusImage> m_pBkImage;
    UINT32 m_bkWidth = 0;
    UINT32 m_bkHeight = 0;

    // The composed face: a 32-bit surface whose alpha goes to the window unchanged. The bitmap is
    // declared first so the DC that holds it is deleted before it.
    afx::unique_hbitmap m_hMemBitmap;
    afx::unique_hdc m_hMemDC;

    // Called once, when the panel has hidden itself after start-up and waits for the key.
    std::function<void(HWND)> m_onWaiting;

    // Bound so that they answer as every window of the program does (the tablet's gestures).
    CButton m_clickAreas[std::size(kPanelClickAreas)];

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // Esc hides everything, as the close mark does; a stray IDOK does nothing.
    void OnCancel() override;
    void OnOK() override;

    int OnCreate(LPCREATESTRUCT cs);
    void OnClose();
    void OnMove(int x, int y);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnNcPaint();
    void OnCloseButton();
    void OnInertButton();
    LRESULT OnShowPanelRequest(WPARAM, LPARAM);
    LRESULT OnShowPanelFromAnotherStart(WPARAM, LPARAM);
    LRESULT OnRaisePagesRequest(WPARAM, LPARAM);
    LRESULT OnLauncherStarted(WPARAM launcher, LPARAM);
    LRESULT OnPowerBroadcast(WPARAM event, LPARAM);
    LRESULT OnSessionChange(WPARAM event, LPARAM);
    LRESULT OnRawInput(WPARAM, LPARAM);
    LRESULT OnDisplayChange(WPARAM, LPARAM);
    LRESULT OnSettingChange(WPARAM action, LPARAM);
    LRESULT OnDpiChanged(WPARAM dpi, LPARAM suggested);
    DECLARE_MESSAGE_MAP()

private:
    bool AllShown() const;
    template <class Page, class... Args>
    std::unique_ptr<Page> CreatePage(UINT templateId, Args&&... args);
    void PlacePages();
    void RegisterBootTask();
    bool LoadFace();
    void ReleaseFace();
    void ComposeFace();
    void KeepWithinWorkArea();
    void ApplyScale(UINT dpi, const RECT* suggested);
    void FollowWindowDpi();

    HookThread m_hookThread;
    HookRecovery m_hookRecovery;
    UINT m_dpi = afx::kLayoutDpi;
    // The DPI the system last gave the window: one that changes behind the panel's back (a hidden
    // window may learn of it only when asked) is taken up at the next show or screen change.
    UINT m_windowDpi = afx::kLayoutDpi;
    int m_pictureFactor = 1;  // pixels of the loaded face per pixel of the design's
    bool m_scaling = false;
};
