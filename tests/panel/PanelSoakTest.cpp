// Long use of the panel leaves nothing behind: the GDI objects and DCs the program's code makes
// come back to where they were after many show and hide cycles, clicks and repaints.
#include <gtest/gtest.h>

#include "GdiObjectCounter.h"
#include "ModalScript.h"
#include "PanelTestSupport.h"
#include "PanelVisibility.h"
#include "SwitchPage.h"
#include "BrightnessPage.h"
#include "KeyboardPage.h"
#include "TaskMgrPage.h"
#include "VolumePage.h"
#include "TabvisorDlg.h"

namespace {

class PanelSoakTest : public PanelTestFixture {};

TEST_F(PanelSoakTest, ShowHideCyclesWithClicksAndRepaintsLeaveNoObjectsBehind)
{
    gdi_count::Install();
    CTabvisorDlg panel;
    size_t baseline = 0;
    size_t after = 0;
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  // One full cycle first, with every page painted, so the objects made once on
                  // first use (button faces, the sliders' background copies) are in the baseline.
                  ShowThroughTheHook(panel);
                  for (CWnd* page : panel.Pages().All())
                      page->RedrawWindow(nullptr, nullptr,
                                         RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                  // A loaded machine may hold the launchers' first paint back a while.
                  for (int wait = 0; wait < 50 && !(panel.m_pKeyboardPage->m_btnLaunch.m_bHaveSurfaces &&
                                                    panel.m_pTaskMgrPage->m_btnLaunch.m_bHaveSurfaces);
                       ++wait)
                      PumpFor(100);
                  PumpFor(300);
                  HideFromCloseButton(panel, panel.Pages());
                  PumpFor(100);
                  baseline = gdi_count::Live();
                  for (int cycle = 0; cycle < 25; ++cycle) {
                      ShowThroughTheHook(panel);
                      for (CWnd* page : {panel.Pages().switches}) {
                          page->RedrawWindow();
                          if (CWnd* button = page->GetDlgItem(IDC_SWITCH_CAMERA))
                              button->SendMessage(BM_CLICK);
                      }
                      panel.RedrawWindow();
                      HideFromCloseButton(panel, panel.Pages());
                      MSG msg;
                      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                          ::TranslateMessage(&msg);
                          ::DispatchMessageW(&msg);
                      }
                  }
                  after = gdi_count::Live();
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script, 120000);
    EXPECT_EQ(after, baseline);
}

// The panel owns its five pages, and each page holds bitmaps and a brush of its own: panels made
// and ended one after another leave none of them behind.
TEST_F(PanelSoakTest, PanelsMadeAndEndedTakeTheirPagesWithThem)
{
    gdi_count::Install();
    auto runOnePanel = [&] {
        g_panelHidden = 0;
        CTabvisorDlg panel;
        ModalScript script;
        script.ThenWhen(ProgramWaiting, 10000, [&] {
            ShowThroughTheHook(panel);
            panel.EndDialog(IDCANCEL);
        });
        Run(panel, script);
    };
    runOnePanel();  // what a process makes once, on first use, is in the baseline
    const size_t baseline = gdi_count::Live();
    for (int run = 0; run < 3; ++run)
        runOnePanel();
    EXPECT_EQ(gdi_count::Live(), baseline) << gdi_count::Describe();
}

} // namespace
