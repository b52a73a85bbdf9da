// CTabvisorDlg: the main panel. A borderless, topmost, per-pixel-alpha window showing the panel
// artwork, with five pages floating over it at fixed offsets. It runs the keyboard hook on a
// thread of its own, registers the boot-time task, shows everything on the hook's request (or
// another start's) and hides it once after start. Esc and Enter never end it; only the close
// command (Alt+F4, the system menu's Close, WM_CLOSE) does.
#pragma once

#include <functional>
#include <memory>

#include "Afx.h"
#include "GdiplusImage.h"
#include "HookRecovery.h"
#include "HookThread.h"
#include "resource.h"

class CSwitchPage;
class CVolumePage;
class CBrightnessPage;
class CKeyboardPage;
class CTaskMgrPage;

// The system-menu command of the About item.
inline constexpr UINT IDM_ABOUTBOX = 0x0010;

// The size of the face pushed to the layered window, whatever the image or template say.
inline constexpr int kPanelWidth = 724;
inline constexpr int kPanelHeight = 424;

// The boot-time task that starts the program for the user.
inline constexpr wchar_t kTaskName[] = L"Tabvisor";
inline constexpr wchar_t kTaskProgram[] = L"C:\\Program Files\\Tabvisor\\Tabvisor.exe";
inline constexpr wchar_t kTaskAuthor[] = L"Quorvanta";
inline constexpr wchar_t kTaskDescription[] =
    L"hotkey function switch auto run here.\nIf you don't want it to start with system boot,\ndelete this task!";

class CTabvisorDlg : public CDialog {
public:
    explicit CTabvisorDlg(CWnd* parent = nullptr);

    // The show request, on the GUI thread: shows the panel and its pages as the tablet key does
    // (while they are shown, brings back the pages hidden on their own). The hotkey comes here
    // through kShowPanelRequest, which any thread of the program may post to the panel's window,
    // and another start of the program through the registered ShowPanelMessage().
    void ShowOnRequest();

    HICON m_hIcon = nullptr;
    BLENDFUNCTION m_blend{};
    // The pages, owned but never freed: made in WM_CREATE, they live until the process ends, and
    // their windows go with the panel's.
    CSwitchPage* m_pSwitchPage = nullptr;
    CVolumePage* m_pVolumePage = nullptr;
    CBrightnessPage* m_pBrightnessPage = nullptr;
    CKeyboardPage* m_pKeyboardPage = nullptr;
    CTaskMgrPage* m_pTaskMgrPage = nullptr;
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
    LRESULT OnPowerBroadcast(WPARAM event, LPARAM);
    LRESULT OnSessionChange(WPARAM event, LPARAM);
    LRESULT OnRawInput(WPARAM, LPARAM);
    LRESULT OnDisplayChange(WPARAM, LPARAM);
    LRESULT OnSettingChange(WPARAM action, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    bool AllShown() const;
    template <class Page, class... Args>
    Page* CreatePage(UINT templateId, Args&&... args);
    void PlacePages();
    void RegisterBootTask();
    bool LoadFace();
    void ReleaseFace();
    void ComposeFace();
    void KeepWithinWorkArea();

    HookThread m_hookThread;
    HookRecovery m_hookRecovery;
};
