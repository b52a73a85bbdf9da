// The application and thread objects, the module state and the Afx* lookups the program uses.
//
// There is no AfxEnableControlContainer and no Enable3dControls: no dialog here hosts an ActiveX
// control, and the three-dimensional control look has been the system's own since Windows 95, so
// both would be calls that do nothing.
#pragma once

#include <windows.h>

#include "CmdTarget.h"

class CWnd;

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;

    CWnd* m_pMainWnd = nullptr;
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return m_nExitCode; }
    // The thread's own message loop, until WM_QUIT; then ExitInstance.
    virtual int Run();
    // Offers `msg` to the windows it concerns before it is dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);

protected:
    int m_nExitCode = 0;
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    LPCWSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

    int ExitInstance() override;

    void OnHelp() {}  // there is no help file

protected:
    DECLARE_MESSAGE_MAP()
};

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    // The language whose string tables CString::LoadString reads first; 0 leaves the choice to
    // the system's resource loader.
    LANGID m_stringLanguage = 0;
};

AFX_MODULE_STATE* AfxGetModuleState();
CWinApp* AfxGetApp();
// The current thread's object: the application for the main thread, else a plain thread object.
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The module whose resources hold `name` of `type`.
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);
// Offers a message from a message loop to PreTranslateMessage; true when it was consumed.
BOOL AfxPreTranslateMessage(MSG* msg);

// The body of the program's WinMain: InitInstance, then Run or ExitInstance, whose result is the
// exit code.
int AfxWinMain(HINSTANCE instance);
