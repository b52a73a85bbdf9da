// Ten thousand random key events straight into the hook procedure, mixed with the panel taking the
// requests the hook posted and clicks of its close mark. After every event the shared flags are
// exactly what the key rules and the previous state make them, the panel and its pages are shown
// exactly when the visibility rules say (only when the panel takes a request), and the event went
// on to the next hook untouched. Afterwards the installed hook still sees real keys.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "BrightnessPage.h"
#include "HotkeyHook.h"
#include "KeyEventRules.h"
#include "KeyboardPage.h"
#include "PanelMessages.h"
#include "PanelTestSupport.h"
#include "SwitchPage.h"
#include "TabvisorDlg.h"
#include "TaskMgrPage.h"
#include "VolumePage.h"

namespace {

class RandomKeyEventsTest : public PanelTestFixture {};

// What the shared state must be, kept by the rules alone.
struct Model {
    unsigned char requested = 0;
    unsigned char hidden = 1;
    int up = 0;
    int down = 0;
    bool panelShown = false;
    bool pagesShown = false;
    bool requestPosted = false;  // the hook has posted the panel a request it has not yet taken
};

// Draws key events that hit the interesting values often: the hotkey, the arrows, their scan
// codes with the wrong keys, every message kind and hook code, and plain noise.
class EventSource {
public:
    explicit EventSource(unsigned seed) : m_random(seed) {}

    int Code()
    {
        const unsigned pick = Below(20);
        if (pick < 16)
            return HC_ACTION;
        if (pick < 18)
            return HC_NOREMOVE;
        static const int odd[] = {-1, 1, 2, 0x7FFFFFFF, INT32_MIN};
        return odd[Below(5)];
    }
    WPARAM Message()
    {
        static const WPARAM kinds[] = {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_KEYDOWN, WM_KEYUP};
        if (Below(8) != 0)
            return kinds[Below(6)];
        return Below(2) ? static_cast<WPARAM>(Below(0x10000)) : ~static_cast<WPARAM>(Below(4));
    }
    KBDLLHOOKSTRUCT Key()
    {
        static const DWORD specialVk[] = {kHotkeyVk, VK_UP, VK_DOWN};
        static const DWORD specialScan[] = {kHotkeyScan, kUpScan, kDownScan};
        KBDLLHOOKSTRUCT key{};
        const unsigned special = Below(3);
        const unsigned vkPick = Below(10);
        key.vkCode = vkPick < 5 ? specialVk[special] : vkPick < 9 ? Below(0x100) : static_cast<DWORD>(m_random());
        const unsigned scanPick = Below(10);
        key.scanCode = scanPick < 5   ? specialScan[special]
                       : scanPick < 7 ? specialScan[Below(3)]
                       : scanPick < 9 ? Below(0x80)
                                      : static_cast<DWORD>(m_random());
        key.flags = static_cast<DWORD>(m_random());
        key.time = static_cast<DWORD>(m_random());
        key.dwExtraInfo = static_cast<ULONG_PTR>(m_random());
        return key;
    }
    unsigned Below(unsigned n) { return static_cast<unsigned>(m_random() % n); }

private:
    std::mt19937 m_random;
};

std::string Describe(int code, WPARAM message, const KBDLLHOOKSTRUCT& key)
{
    std::ostringstream text;
    text << std::hex << "code " << code << " message 0x" << message << " vk 0x" << key.vkCode << " scan 0x"
         << key.scanCode;
    return text.str();
}

TEST_F(RandomKeyEventsTest, FlagsAndVisibilityFollowTheRulesAndEveryEventIsPassedOn)
{
    constexpr int kEvents = 10000;
    constexpr unsigned kSeed = 20240917;
    CTabvisorDlg panel;
    std::string firstFault;
    int keys = 0;
    int hotkeys = 0;
    int shows = 0;
    HHOOK hookBefore = nullptr;
    ModalScript script;
    script
        .ThenWhen([] { return g_panelHidden == 1; }, 10000,
              [&] {
                  // Hidden after start-up, waiting for the key.
                  const std::vector<CWnd*> pages = PagesOf(panel);
                  HWND closeMark = ::GetDlgItem(panel.m_hWnd, IDC_PANEL_CLOSE);
                  hookBefore = g_hHook;
                  Model model;
                  EventSource source(kSeed);
                  auto check = [&](const std::string& what) {
                      std::ostringstream fault;
                      if (g_panelRequested != model.requested || g_panelHidden != model.hidden ||
                          g_upKeyDown != model.up || g_downKeyDown != model.down)
                          fault << "flags requested/hidden/up/down " << int(g_panelRequested) << int(g_panelHidden)
                                << g_upKeyDown << g_downKeyDown << ", expected " << int(model.requested)
                                << int(model.hidden) << model.up << model.down;
                      if ((panel.IsWindowVisible() != FALSE) != model.panelShown)
                          fault << " panel shown " << !model.panelShown;
                      for (CWnd* page : pages)
                          if ((page->IsWindowVisible() != FALSE) != model.pagesShown)
                              fault << " a page shown " << !model.pagesShown;
                      if (!fault.str().empty())
                          firstFault = what + ": " + fault.str();
                  };
                  check("after start-up");
                  for (int i = 0; i < kEvents && firstFault.empty(); ++i) {
                      const unsigned action = source.Below(100);
                      if (action < 3) {
                          // The panel takes what the hook posted, and only that.
                          MSG msg;
                          int taken = 0;
                          while (::PeekMessageW(&msg, panel.m_hWnd, kShowPanelRequest, kShowPanelRequest, PM_REMOVE)) {
                              ::DispatchMessageW(&msg);
                              ++taken;
                          }
                          if (taken != (model.requestPosted ? 1 : 0))
                              firstFault = "event " + std::to_string(i) + ": " + std::to_string(taken) +
                                           " requests taken, one at most posted";
                          if (model.requestPosted) {
                              model.requested = 1;
                              if (model.hidden == 1) {
                                  model.panelShown = model.pagesShown = true;
                                  model.hidden = 0;
                                  ++shows;
                              }
                          }
                          model.requestPosted = false;
                          check("event " + std::to_string(i) + ", requests taken");
                          continue;
                      }
                      if (action < 6) {
                          panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PANEL_CLOSE, BN_CLICKED),
                                            reinterpret_cast<LPARAM>(closeMark));
                          model = Model{0, 1, model.up, model.down, false, false, model.requestPosted};
                          check("event " + std::to_string(i) + ", close mark");
                          continue;
                      }
                      const int code = source.Code();
                      const WPARAM message = source.Message();
                      KBDLLHOOKSTRUCT key = source.Key();
                      const KBDLLHOOKSTRUCT sent = key;
                      const LPARAM lParam = reinterpret_cast<LPARAM>(&key);
                      const LRESULT result = HotkeyHookProc(code, message, lParam);
                      const LRESULT passedOn = ::CallNextHookEx(nullptr, code, message, lParam);
                      ++keys;
                      const KeyVerdict verdict = JudgeKeyEvent(code, message, sent.vkCode, sent.scanCode);
                      if (verdict.examined) {
                          model.up = verdict.upKeyDown ? 1 : 0;
                          model.down = verdict.downKeyDown ? 1 : 0;
                      }
                      if (verdict.panelRequested) {
                          // Flagged at once; the showing is the panel's, when it takes the request.
                          model.requested = 1;
                          model.requestPosted = true;
                          ++hotkeys;
                      }
                      const std::string what = "event " + std::to_string(i) + ", " + Describe(code, message, sent);
                      if (result != passedOn)
                          firstFault = what + ": result " + std::to_string(result) + " instead of the next hook's " +
                                       std::to_string(passedOn);
                      else if (std::memcmp(&key, &sent, sizeof key) != 0)
                          firstFault = what + ": the event was changed";
                      else
                          check(what);
                  }
              })
        // The real hook, installed by the panel, still sees a real key. The loop has pumped again
        // first: Wine passes input by the hook of a thread that has not asked for messages for seconds.
        .Then(200,
              [] {
                  g_upKeyDown = 0;
                  g_downKeyDown = 0;
                  SendKey(VK_UP, kUpScan);
              })
        .ThenWhen([] { return g_upKeyDown == 1; }, 5000,
                  [&] {
                      EXPECT_EQ(g_upKeyDown, 1) << "the hook saw no real key";
                      EXPECT_EQ(g_hHook, hookBefore);
                      panel.EndDialog(IDCANCEL);
                  });
    Run(panel, script, 60000);
    ASSERT_EQ(firstFault, "");
    EXPECT_NE(hookBefore, nullptr);
    // The mix reached every rule often.
    EXPECT_GT(keys, 9000);
    EXPECT_GT(hotkeys, 300);
    EXPECT_GT(shows, 50);
}

} // namespace
