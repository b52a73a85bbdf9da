// Application object, module state and resource lookup.
#include "App.h"

#include "Wnd.h"

namespace {

CWinApp* g_app = nullptr;
DWORD g_appThreadId = 0;

} // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    static AFX_MODULE_STATE state = [] {
        AFX_MODULE_STATE s;
        s.m_hCurrentInstanceHandle = ::GetModuleHandleW(nullptr);
        s.m_hCurrentResourceHandle = s.m_hCurrentInstanceHandle;
        return s;
    }();
    return &state;
}

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName)
{
    g_app = this;
    g_appThreadId = ::GetCurrentThreadId();
    m_hInstance = AfxGetModuleState()->m_hCurrentInstanceHandle;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

int CWinApp::ExitInstance() { return m_nExitCode; }

BOOL CWinThread::PreTranslateMessage(MSG* msg) { return CWnd::WalkPreTranslateTree(msg); }

int CWinThread::Run()
{
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        AfxSweepTempObjects();
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

CWinApp* AfxGetApp() { return g_app; }

CWinThread* AfxGetThread()
{
    if (g_app != nullptr && ::GetCurrentThreadId() == g_appThreadId)
        return g_app;
    thread_local CWinThread thread;
    return &thread;
}

CWnd* AfxGetMainWnd() { return AfxGetThread()->GetMainWnd(); }

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }
HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }

HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type)
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (::FindResourceW(state->m_hCurrentResourceHandle, name, type) != nullptr)
        return state->m_hCurrentResourceHandle;
    if (::FindResourceW(state->m_hCurrentInstanceHandle, name, type) != nullptr)
        return state->m_hCurrentInstanceHandle;
    return state->m_hCurrentResourceHandle;
}

BOOL AfxPreTranslateMessage(MSG* msg) { return AfxGetThread()->PreTranslateMessage(msg); }

int AfxWinMain(HINSTANCE instance)
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_hCurrentInstanceHandle = instance;
    state->m_hCurrentResourceHandle = instance;

    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    app->m_hInstance = instance;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
