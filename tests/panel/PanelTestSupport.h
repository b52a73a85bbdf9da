// The fixture of tests that run the main panel: GDI+, an application object, a fresh simulated
// tablet, and the shared flags back at their start values.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "HotkeyState.h"
#include "ProgramTestSupport.h"
#include "TestTablet.h"

// The panel has hidden itself after its start and waits for the key. A key pressed before that
// is dropped by the start-up hide, which a loaded machine can delay past any fixed wait.
inline bool ProgramWaiting() { return g_panelHidden == 1; }

class PanelTestFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_gdiplus = std::make_unique<GdiplusSession>(); }
    static void TearDownTestSuite() { s_gdiplus.reset(); }

    void SetUp() override
    {
        g_panelRequested = 0;
        g_panelHidden = 0;
        g_upKeyDown = 0;
        g_downKeyDown = 0;
    }

    INT_PTR Run(CDialog& panel, ModalScript& script, UINT watchdogMs = 15000)
    {
        return RunModal(m_app, panel, script, watchdogMs);
    }

    CWinApp m_app;
    TestTablet m_tablet;
    static inline std::unique_ptr<GdiplusSession> s_gdiplus;
};
