// The main panel: creation of the hook's thread, face and pages, page placement, drag, system
// menu, the start-up hide, the hooks' and other starts' requests, the keys that end or hide it,
// screen changes, the display scale and teardown.
#include "TabvisorDlg.h"

#include <algorithm>
#include <initializer_list>

#include "AboutDlg.h"
#include "BrightnessPage.h"
#include "ControlNames.h"
#include "HotkeyHook.h"
#include "HotkeyState.h"
#include "KeyboardPage.h"
#include "LayeredWindow.h"
#include "PageStacking.h"
#include "PagePlacement.h"
#include "PanelMessages.h"
#include "PanelVisibility.h"
#include "ScaledArtwork.h"
#include "ScreenFit.h"
#include "SwitchPage.h"
#include "TabletLibraries.h"
#include "TaskMgrPage.h"
#include "Trace.h"
#include "VolumePage.h"
#include "WorkAreas.h"

namespace {

constexpr UINT_PTR kStartupTimer = 1;  // once, 50 ms after start: hides everything
constexpr UINT kFaceSurfaceSize = 800;

template <class Page>
void MovePage(const std::unique_ptr<Page>& page, PageKind kind, const CRect& panel, UINT dpi)
{
    if (page != nullptr && page->m_hWnd != nullptr)
        page->MoveWindow(PageRect(kind, panel, dpi), TRUE);
}

} // namespace

CTabvisorDlg::CTabvisorDlg(CWnd* parent) : CDialog(IDD_TABVISOR_DIALOG, parent)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON);
    m_hIcon = ::LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CTabvisorDlg::~CTabvisorDlg() = default;

PanelPages CTabvisorDlg::Pages() const
{
    return {m_pSwitchPage.get(), m_pVolumePage.get(), m_pBrightnessPage.get(), m_pKeyboardPage.get(),
            m_pTaskMgrPage.get()};
}

BEGIN_MESSAGE_MAP(CTabvisorDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_MOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_NCPAINT()
    ON_BN_CLICKED(IDC_PANEL_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_PANEL_AREA_1004, OnInertButton)
    ON_BN_CLICKED(IDC_PANEL_AREA_1008, OnInertButton)
    ON_BN_CLICKED(IDC_PANEL_AREA_1010, OnInertButton)
    ON_MESSAGE(kShowPanelRequest, OnShowPanelRequest)
    ON_MESSAGE(ShowPanelMessage(), OnShowPanelFromAnotherStart)
    ON_MESSAGE(kRaisePagesRequest, OnRaisePagesRequest)
    ON_MESSAGE(kLauncherStarted, OnLauncherStarted)
    ON_MESSAGE(WM_POWERBROADCAST, OnPowerBroadcast)
    ON_MESSAGE(WM_WTSSESSION_CHANGE, OnSessionChange)
    ON_MESSAGE(WM_INPUT, OnRawInput)
    ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
    ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

void CTabvisorDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    for (size_t i = 0; i < std::size(kPanelClickAreas); ++i)
        DDX_Control(dx, kPanelClickAreas[i], m_clickAreas[i]);
}

template <class Page, class... Args>
std::unique_ptr<Page> CTabvisorDlg::CreatePage(UINT templateId, Args&&... args)
{
    // Each is made at the panel's scale, its window an owned pop-up of the panel's.
    auto page = std::make_unique<Page>(this, std::forward<Args>(args)...);
    page->SetScale(m_dpi);
    page->Create(templateId, this);
    if (page->m_hWnd != nullptr)
        page->ShowWindow(SW_HIDE);
    return page;
}

int CTabvisorDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CDialog::OnCreate(cs) == -1)
        return -1;

    // The scale of the monitor the panel appears on; the dialog manager has laid the controls
    // out by their font's measure, which the panel's own layout replaces.
    m_dpi = m_windowDpi = afx::WindowDpi(m_hWnd);

    // Without its face the panel cannot be shown at all: give up creating it, seen only by a
    // developer's trace.
    if (!LoadFace()) {
        afx::Trace(L"the panel's face (PNG %u) is missing or does not decode: no panel", IDR_PNG_PANEL);
        return -1;
    }

    SetShowRequestTarget(m_hWnd);
    m_hookThread.Start(AfxGetInstanceHandle());
    m_hookRecovery.Start(m_hWnd, m_hookThread);
    if (m_wineWorkarounds.liftPagesOverPanel)
        WatchFocusIntoPanel(m_hWnd, kRaisePagesRequest);

    m_pSwitchPage = CreatePage<CSwitchPage>(IDD_SWITCH_PAGE);
    // The volume slider holds still while the hook reports an arrow key.
    m_pVolumePage = CreatePage<CVolumePage>(IDD_VOLUME_PAGE, Common(), std::function<bool()>(ArrowKeyReported));
    m_pBrightnessPage = CreatePage<CBrightnessPage>(IDD_BRIGHTNESS_PAGE);
    m_pKeyboardPage = CreatePage<CKeyboardPage>(IDD_KEYBOARD_PAGE);
    m_pTaskMgrPage = CreatePage<CTaskMgrPage>(IDD_TASKMGR_PAGE);
    return 0;
}

void CTabvisorDlg::OnMove(int x, int y)
{
    CDialog::OnMove(x, y);
    PlacePages();
}

// Every move, the creation's, the centring's and each step of a drag, hidden pages included.
void CTabvisorDlg::PlacePages()
{
    CRect panel;
    GetWindowRect(&panel);
    MovePage(m_pSwitchPage, PageKind::Switches, panel, m_dpi);
    MovePage(m_pVolumePage, PageKind::Volume, panel, m_dpi);
    MovePage(m_pBrightnessPage, PageKind::Brightness, panel, m_dpi);
    MovePage(m_pKeyboardPage, PageKind::Keyboard, panel, m_dpi);
    MovePage(m_pTaskMgrPage, PageKind::TaskMgr, panel, m_dpi);
}

BOOL CTabvisorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LayOutForDpi(m_dpi);

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetWindowText(L"Tabvisor");
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    NameControls(*this, Pages());
    // Another start may run at a lower integrity level than this one (an elevated Tabvisor and
    // the logon task's): its request to show the panel still arrives.
    ::ChangeWindowMessageFilterEx(m_hWnd, ShowPanelMessage(), MSGFLT_ALLOW, nullptr);

    RegisterBootTask();

    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    // The one timer of a waiting program, and it runs once: the hook's request shows the panel,
    // and the pages poll only while shown.
    SetTimer(kStartupTimer, 50);

    m_blend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ComposeFace();
    return TRUE;
}

// The result only says whether the library took the request (the system one registers in the
// background); a refusal, like a library without the export, is left to a developer's trace.
void CTabvisorDlg::RegisterBootTask()
{
    auto addTask = Common().addTask7EveryBoot;
    if (!addTask) {
        afx::Trace(L"no AddTask7EveryBoot in common.dll: the logon task is not registered");
        return;
    }
    const int result = addTask(1, kTaskName, kTaskProgram, kTaskAuthor, kTaskDescription);
    if (FAILED(result))
        afx::Trace(L"AddTask7EveryBoot refused the logon task: 0x%08lX", static_cast<unsigned long>(result));
}

// The face for the panel's scale: PNG resource 187 at 100 %, the larger face at any other scale
// (187 again when that one is missing); false, with nothing held, when neither decodes.
bool CTabvisorDlg::LoadFace()
{
    ReleaseFace();
    m_pictureFactor = 1;
    if (m_dpi != afx::kLayoutDpi && LoadPngResource(IDR_2X_PANEL, L"PNG", m_pBkImage) && m_pBkImage->m_nativeImage)
        m_pictureFactor = 2;
    else
        LoadPngResource(IDR_PNG_PANEL, L"PNG", m_pBkImage);
    if (m_pBkImage != nullptr) {
        m_bkWidth = m_pBkImage->GetWidth();
        m_bkHeight = m_pBkImage->GetHeight();
    }
    if (m_pBkImage == nullptr || !m_pBkImage->m_nativeImage || m_bkWidth == 0 || m_bkHeight == 0) {
        ReleaseFace();
        return false;
    }
    return true;
}

void CTabvisorDlg::ReleaseFace()
{
    m_pBkImage.reset();
    m_hMemDC.reset();
    m_hMemBitmap.reset();
}

// Draws the artwork, pixel for pixel at 100 % (filtered to the exact size at any other scale),
// onto a premultiplied 32-bit surface and hands it to the window with its alpha, which also gives
// the window its size; the window system keeps the picture from then on, so the image and the
// surface go.
void CTabvisorDlg::ComposeFace()
{
    if (m_pBkImage == nullptr && !LoadFace())
        return;
    struct ReleaseAfterwards {
        CTabvisorDlg* panel;
        ~ReleaseAfterwards() { panel->ReleaseFace(); }
    } releaseAfterwards{this};

    afx::unique_window_dc windowDc(m_hWnd);
    m_hMemDC.reset(::CreateCompatibleDC(windowDc.get()));

    const CSize faceSize = afx::ScaleToDpi(CSize(kPanelWidth, kPanelHeight), m_dpi);
    const int surfaceWidth = std::max<int>(kFaceSurfaceSize, faceSize.cx);
    const int surfaceHeight = std::max<int>(kFaceSurfaceSize, faceSize.cy);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = surfaceWidth;
    info.bmiHeader.biHeight = -surfaceHeight;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_hMemBitmap.reset(::CreateDIBSection(windowDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_hMemDC || !m_hMemBitmap || bits == nullptr)
        return;
    afx::select_object_guard selectSurface(m_hMemDC.get(), m_hMemBitmap.get());

    afx::unique_window_dc destination(m_hWnd);
    CRect window;
    GetWindowRect(&window);
    POINT position = window.TopLeft();

    // GDI+ draws into the surface's own pixels as premultiplied ARGB, so the image's alpha
    // reaches the window exactly; one image pixel is one screen pixel, whatever its resolution.
    {
        unique_gp_bitmap surface;
        unique_gp_graphics graphics;
        if (gdip::GdipCreateBitmapFromScan0(surfaceWidth, surfaceHeight, surfaceWidth * 4, PixelFormat32bppPARGB,
                                            static_cast<BYTE*>(bits), surface.put()) != Gdiplus::Ok)
            surface.release();  // a failed call hands out nothing to dispose of
        else if (gdip::GdipGetImageGraphicsContext(surface.get(), graphics.put()) != Gdiplus::Ok)
            graphics.release();
        if (graphics && m_dpi == afx::kLayoutDpi && m_pictureFactor == 1) {
            const Gdiplus::Point corners[3] = {{0, 0},
                                               {static_cast<INT>(m_bkWidth), 0},
                                               {0, static_cast<INT>(m_bkHeight)}};
            gdip::GdipDrawImagePointsI(graphics.get(), m_pBkImage->m_nativeImage.get(), corners, 3);
        } else if (graphics) {
            // The design's pixel size times the scale, whichever face was loaded.
            const auto scale = static_cast<Gdiplus::REAL>(m_dpi) / (afx::kLayoutDpi * m_pictureFactor);
            DrawImageScaled(graphics.get(), m_pBkImage->m_nativeImage.get(),
                            Gdiplus::RectF(0, 0, m_bkWidth * scale, m_bkHeight * scale));
        }
        // The graphics goes before the surface it draws on, and both before the pixels are shown.
    }

    SIZE size = faceSize;
    POINT source{0, 0};
    UpdateLayeredWindowByName(m_hWnd, destination.get(), &position, &size, m_hMemDC.get(), &source, 0, &m_blend,
                              ULW_ALPHA);
}

void CTabvisorDlg::OnLButtonDown(UINT flags, CPoint point)
{
    // The system's own move loop drags the panel; each of its moves places the pages.
    CRect before;
    GetWindowRect(&before);
    SendMessage(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    // Wine: the press that started the drag focused the panel, which lifted it over its pages in X.
    if (m_wineWorkarounds.liftPagesOverPanel)
        RaisePagesAbovePanel(m_hWnd, Pages());
    // Wine: a moved layered window loses parts of its picture where the pages above it went by
    // (Windows keeps it whole): a panel that moved gets its face again.
    CRect after;
    GetWindowRect(&after);
    if (m_wineWorkarounds.composeFaceAfterDrag && after != before)
        ComposeFace();
    CDialog::OnLButtonDown(flags, point);
}

void CTabvisorDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(id, lParam);
    }
}

void CTabvisorDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    CRect client;
    GetClientRect(&client);
    dc.DrawIcon((client.Width() - iconWidth + 1) / 2, (client.Height() - iconHeight + 1) / 2, m_hIcon);
}

HCURSOR CTabvisorDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CTabvisorDlg::OnTimer(UINT_PTR id)
{
    if (id == kStartupTimer) {
        KillTimer(kStartupTimer);
        HideAfterStart(*this, Pages());
        if (m_onWaiting)
            m_onWaiting(m_hWnd);
    }
    CDialog::OnTimer(id);
}

void CTabvisorDlg::OnDestroy()
{
    CDialog::OnDestroy();
    StopWatchingFocus();
    m_hookRecovery.Stop();
    // No hook and no thread outlive the panel.
    m_hookThread.Stop();
    SetShowRequestTarget(nullptr);
}

// The layered face is the whole look; there is no frame to paint.
void CTabvisorDlg::OnNcPaint() {}

void CTabvisorDlg::OnCloseButton() { HideFromCloseButton(*this, Pages()); }

BOOL CTabvisorDlg::PreTranslateMessage(MSG* msg)
{
    if (ClickFocusedButtonOnEnter(m_hWnd, *msg))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

// IDCANCEL comes from Esc on the panel's own controls: the user means "go away", not "quit".
void CTabvisorDlg::OnCancel() { HideFromCloseButton(*this, Pages()); }

void CTabvisorDlg::OnOK() {}

// The deliberate close commands (Alt+F4 on the panel, Close in its system menu, the setup's
// close) arrive as WM_CLOSE, which the dialog would have turned into IDCANCEL: they end the program.
void CTabvisorDlg::OnClose() { EndDialog(IDCANCEL); }

// Areas of the artwork that take a click and do nothing with it.
void CTabvisorDlg::OnInertButton() {}

void CTabvisorDlg::ShowOnRequest()
{
    FollowWindowDpi();
    g_panelRequested = 1;
    const bool wasComplete = AllShown();
    ShowPagesOnRequest(*this, Pages());
    // Wine: the show leaves the pages above the panel (each shown after it, and two of them
    // focused last); the raise that the panel's own activation asked for on the way would only
    // move them all again, into the topmost band.
    MSG raise;
    if (m_wineWorkarounds.liftPagesOverPanel && !wasComplete && AllShown())
        ::PeekMessageW(&raise, m_hWnd, kRaisePagesRequest, kRaisePagesRequest, PM_REMOVE);
}

bool CTabvisorDlg::AllShown() const
{
    if (!IsWindowVisible())
        return false;
    for (const CWnd* page : Pages().All())
        if (page == nullptr || page->m_hWnd == nullptr || !page->IsWindowVisible())
            return false;
    return true;
}

LRESULT CTabvisorDlg::OnShowPanelRequest(WPARAM, LPARAM)
{
    // Taken first: a press that comes while the pages are being shown posts a request of its own.
    ShowRequestTaken();
    ShowOnRequest();
    return 0;
}

// Another start of the program in this session: the same as the tablet key.
LRESULT CTabvisorDlg::OnShowPanelFromAnotherStart(WPARAM, LPARAM)
{
    ShowOnRequest();
    return 0;
}

LRESULT CTabvisorDlg::OnRaisePagesRequest(WPARAM, LPARAM)
{
    RaisePagesAbovePanel(m_hWnd, Pages());
    return 0;
}

LRESULT CTabvisorDlg::OnLauncherStarted(WPARAM launcher, LPARAM)
{
    const PanelPages pages = Pages();
    for (CWnd* page : {pages.keyboard, pages.taskMgr}) {
        if (page != nullptr && page->m_hWnd == reinterpret_cast<HWND>(launcher)) {
            HideFromLauncher(this, pages, *page);
            return 1;
        }
    }
    return 0;
}

LRESULT CTabvisorDlg::OnPowerBroadcast(WPARAM event, LPARAM)
{
    m_hookRecovery.OnPowerBroadcast(event);
    return TRUE;
}

LRESULT CTabvisorDlg::OnSessionChange(WPARAM event, LPARAM)
{
    m_hookRecovery.OnSessionChange(event);
    return 0;
}

// Raw input is asked for the keyboard only; the system frees its data in default processing.
LRESULT CTabvisorDlg::OnRawInput(WPARAM, LPARAM)
{
    m_hookRecovery.OnKeyboardInput();
    return Default();
}

LRESULT CTabvisorDlg::OnDisplayChange(WPARAM, LPARAM)
{
    const UINT before = m_dpi;
    FollowWindowDpi();
    // A new scale has composed the face and kept the panel in a work area already.
    if (m_dpi == before) {
        ComposeFace();
        KeepWithinWorkArea();
    }
    return Default();
}

// The panel moved to a monitor of another scale, or its monitor's scale changed: the system's
// new DPI (the x axis's, the same as the y axis's) and where it suggests the panel go. Sent from
// another process, the suggestion cannot arrive (Wine passes the pointer as it is, so tests send
// none): the panel then keeps its top-left corner.
LRESULT CTabvisorDlg::OnDpiChanged(WPARAM dpi, LPARAM suggested)
{
    // One that the moves of a scale change bring is taken up once that change is done.
    if (m_scaling)
        return 0;
    m_windowDpi = afx::WindowDpi(m_hWnd);
    ApplyScale(LOWORD(dpi), reinterpret_cast<const RECT*>(suggested));
    return 0;
}

void CTabvisorDlg::FollowWindowDpi()
{
    const UINT now = afx::WindowDpi(m_hWnd);
    if (now == m_windowDpi)
        return;
    m_windowDpi = now;
    ApplyScale(now, nullptr);
}

// Everything at the new scale before it is next seen: the click areas and every page laid out and
// drawn afresh, the face composed at its new size (at the suggested place, if any), the pages
// placed over it, and the panel kept within a work area as after any screen change. A DPI notice
// that the moves on the way bring is taken up once this one is done.
void CTabvisorDlg::ApplyScale(UINT dpi, const RECT* suggested)
{
    if (dpi == 0 || m_scaling)
        return;
    m_scaling = true;
    if (dpi != m_dpi) {
        m_dpi = dpi;
        LayOutForDpi(m_dpi);
        for (CScaledDialog* page : std::initializer_list<CScaledDialog*>{m_pSwitchPage.get(), m_pVolumePage.get(),
                                                                         m_pBrightnessPage.get(), m_pKeyboardPage.get(),
                                                                         m_pTaskMgrPage.get()})
            if (page != nullptr)
                page->SetScale(m_dpi);
    }
    if (suggested != nullptr)
        SetWindowPos(nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ComposeFace();
    PlacePages();
    KeepWithinWorkArea();
    m_scaling = false;
    FollowWindowDpi();
}

LRESULT CTabvisorDlg::OnSettingChange(WPARAM action, LPARAM)
{
    if (action == SPI_SETWORKAREA)
        KeepWithinWorkArea();
    return Default();
}

// After a screen change: a panel that no longer lies within a work area moves back in, the least
// distance needed, its pages with it; one that still fits stays where the user put it.
void CTabvisorDlg::KeepWithinWorkArea()
{
    CRect panel;
    GetWindowRect(&panel);
    const CPoint to = PlaceWithinWorkAreas(panel, CurrentWorkAreas());
    if (to == panel.TopLeft())
        return;
    SetWindowPos(nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
