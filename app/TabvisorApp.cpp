// Start-up and shutdown of the program: one per session, the strings' language, GDI+ and the panel.
#include "TabvisorApp.h"

#include "Gdiplus.h"
#include "ModulePaths.h"
#include "TabvisorDlg.h"
#include "Trace.h"

ULONG_PTR g_gdiplusToken = 0;

// The one application object.
CTabvisorApp theApp;

BEGIN_MESSAGE_MAP(CTabvisorApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {

// The program's own strings come in Chinese and English: Chinese for a Chinese user interface,
// English for any other.
LANGID StringLanguageFor(LANGID userInterface)
{
    return PRIMARYLANGID(userInterface) == LANG_CHINESE ? MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)
                                                        : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

} // namespace

BOOL CTabvisorApp::InitInstance()
{
    // One per session: a second start only asks the running one to show its panel, and ends
    // before it touches anything (no hook, no window, no library, no task registration).
    if (m_instance.ClaimOrAskRunning() == SingleInstance::Claim::AnotherRuns)
        return FALSE;

    // Libraries loaded by name later (by the system on the program's behalf) must not come from
    // whatever folder the program was started in.
    afx::RemoveWorkingFolderFromLibrarySearch();
    AfxGetModuleState()->m_stringLanguage = StringLanguageFor(::GetUserDefaultUILanguage());

    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    if (const Gdiplus::Status status = Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr);
        status != Gdiplus::Ok) {
        // The panel is nothing without its artwork: end, with nothing shown but a developer's trace.
        afx::Trace(L"GDI+ did not start (status %d): no panel", static_cast<int>(status));
        g_gdiplusToken = 0;
        return FALSE;
    }

    {
        CTabvisorDlg panel;
        // Another start finds the panel once it waits for the key, not before: a request that
        // came earlier would be lost to the start-up hide.
        panel.m_onWaiting = [this](HWND hwnd) { m_instance.PublishPanel(hwnd); };
        m_pMainWnd = &panel;
        panel.DoModal();
        m_pMainWnd = nullptr;
        m_instance.WithdrawPanel();
    }
    // The program's whole life was that modal run: no message loop of the framework's own.
    return FALSE;
}

int CTabvisorApp::ExitInstance()
{
    if (g_gdiplusToken != 0)
        Gdiplus::GdiplusShutdown(g_gdiplusToken);
    g_gdiplusToken = 0;
    return CWinApp::ExitInstance();
}
