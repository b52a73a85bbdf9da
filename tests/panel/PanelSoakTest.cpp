// Long use of the panel leaves nothing behind: the GDI objects and DCs the program's code makes
// come back to where they were after many show and hide cycles, clicks and repaints.
#include <gtest/gtest.h>

#include "GdiObjectCounter.h"
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
                  for (CWnd* page : {static_cast<CWnd*>(panel.m_pSwitchPage), static_cast<CWnd*>(panel.m_pVolumePage),
                                     static_cast<CWnd*>(panel.m_pBrightnessPage),
                                     static_cast<CWnd*>(panel.m_pKeyboardPage),
                                     static_cast<CWnd*>(panel.m_pTaskMgrPage)})
                      page->RedrawWindow(nullptr, nullptr,
                                         RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                  // A loaded machine may hold the launchers' first paint back a while.
                  for (int wait = 0; wait < 50 && !(panel.m_pKeyboardPage->m_btnLaunch.m_bHaveSurfaces &&
                                                    panel.m_pTaskMgrPage->m_btnLaunch.m_bHaveSurfaces);
                       ++wait)
                      PumpFor(100);
                  PumpFor(300);
                  HideFromCloseButton(&panel);
                  PumpFor(100);
                  baseline = gdi_count::Live();
                  for (int cycle = 0; cycle < 25; ++cycle) {
                      ShowThroughTheHook(panel);
                      for (CWnd* page : {static_cast<CWnd*>(panel.m_pSwitchPage)}) {
                          page->RedrawWindow();
                          if (CWnd* button = page->GetDlgItem(IDC_SWITCH_CAMERA))
                              button->SendMessage(BM_CLICK);
                      }
                      panel.RedrawWindow();
                      HideFromCloseButton(&panel);
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

} // namespace
