// Long use of the panel leaves nothing behind: the GDI objects and DCs the program's code makes
// come back to where they were after many show and hide cycles, clicks and repaints.
#include <gtest/gtest.h>

#include "GdiObjectCounter.h"
#include "HotkeyHook.h"
#include "PanelTestSupport.h"
#include "PanelVisibility.h"
#include "SwitchPage.h"
#include "TabvisorDlg.h"

namespace {

class PanelSoakTest : public PanelTestFixture {};

void PressHotkeyThroughHook()
{
    KBDLLHOOKSTRUCT key{};
    key.vkCode = 0xFF;
    key.scanCode = 0x2C;
    HotkeyHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
}

TEST_F(PanelSoakTest, ShowHideCyclesWithClicksAndRepaintsLeaveNoObjectsBehind)
{
    gdi_count::Install();
    CTabvisorDlg panel;
    size_t baseline = 0;
    size_t after = 0;
    ModalScript script;
    script
        .Then(300,
              [&] {
                  // One full cycle first, so objects made once on first use are in the baseline.
                  PressHotkeyThroughHook();
                  ShowPagesIfRequested(&panel);
                  HideFromCloseButton(&panel);
                  baseline = gdi_count::Live();
                  for (int cycle = 0; cycle < 25; ++cycle) {
                      PressHotkeyThroughHook();
                      ShowPagesIfRequested(&panel);
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
