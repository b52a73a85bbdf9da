// Start-up and shutdown of the program.
#include "TabvisorApp.h"

#include "Gdiplus.h"
#include "ModulePaths.h"
#include "TabvisorDlg.h"

ULONG_PTR g_gdiplusToken = 0;

// The one application object.
CTabvisorApp theApp;

BEGIN_MESSAGE_MAP(CTabvisorApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

BOOL CTabvisorApp::InitInstance()
{
    // Libraries loaded by name later (by the system on the program's behalf) must not come from
    // whatever folder the program was started in.
    afx::RemoveWorkingFolderFromLibrarySearch();

    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    if (Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
        // The panel is nothing without its artwork: end quietly.
        g_gdiplusToken = 0;
        return FALSE;
    }

    {
        CTabvisorDlg panel;
        m_pMainWnd = &panel;
        panel.DoModal();
        m_pMainWnd = nullptr;
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
