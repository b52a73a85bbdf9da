// CTabvisorApp: makes sure one Tabvisor runs per session, starts GDI+, runs the main panel
// modally for the program's whole life, and shuts GDI+ down after it.
#pragma once

#include "Afx.h"
#include "SingleInstance.h"

extern ULONG_PTR g_gdiplusToken;

class CTabvisorApp : public CWinApp {
public:
    CTabvisorApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()

private:
    SingleInstance m_instance;
};
