// With the program's hook installed, a few hundred random real keys, sent through the system's
// input queue, all reach the window in the foreground, in order and unchanged: the hook swallows
// nothing. Afterwards the hotkey still brings up the panel, and with the panel up it reaches the
// window in front like any other key. And while the program's GUI thread is stuck in a library
// call that does not return, keys still reach the window in front, through the hook on its own
// thread; once the call returns, the program goes on.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "FakeControl.h"
#include "ProgramCopy.h"
#include "ProgramUnderTest.h"
#include "RealInput.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

struct KeyMessage {
    WPARAM vk;
    BYTE scan;
    bool up;
    bool operator==(const KeyMessage&) const = default;
};

std::vector<KeyMessage> g_received;

LRESULT CALLBACK SinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        g_received.push_back({wParam, static_cast<BYTE>((lParam >> 16) & 0xFF), (lParam & (1u << 31)) != 0});
        return 0;  // no menu for Alt or F10
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 0;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// A plain window of this test, away from the panel, that takes the keyboard.
class KeySink {
public:
    KeySink()
    {
        WNDCLASSW type{};
        type.lpfnWndProc = &SinkProc;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"TabvisorRobustnessKeySink";
        ::RegisterClassW(&type);
        m_hwnd.reset(::CreateWindowExW(0, type.lpszClassName, L"key sink", WS_POPUP | WS_VISIBLE, 0, 0, 120, 80,
                                       nullptr, nullptr, type.hInstance, nullptr));
        TakeKeyboard();
    }
    HWND Handle() const { return m_hwnd.get(); }
    void TakeKeyboard() const
    {
        ::SetForegroundWindow(m_hwnd.get());
        ::SetFocus(m_hwnd.get());
        Pump();
    }
    static void Pump()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

private:
    afx::unique_hwnd m_hwnd;
};

// Virtual keys a user's keyboard sends that have no effect beyond the window that gets them:
// letters, digits, punctuation, function keys, editing and movement keys, the keypad and the
// plain modifiers. Left out: mouse buttons, toggles (Caps, Num, Scroll Lock), the Windows and
// application keys, IME keys, and the hotkey.
std::vector<WORD> OrdinaryKeys()
{
    std::vector<WORD> keys = {VK_BACK, VK_TAB, VK_RETURN, VK_SHIFT, VK_CONTROL, VK_MENU, VK_ESCAPE, VK_SPACE,
                              VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_INSERT,
                              VK_DELETE, VK_MULTIPLY, VK_ADD, VK_SUBTRACT, VK_DECIMAL, VK_DIVIDE};
    for (WORD vk = '0'; vk <= '9'; ++vk)
        keys.push_back(vk);
    for (WORD vk = 'A'; vk <= 'Z'; ++vk)
        keys.push_back(vk);
    for (WORD vk = VK_NUMPAD0; vk <= VK_NUMPAD9; ++vk)
        keys.push_back(vk);
    for (WORD vk = VK_F1; vk <= VK_F12; ++vk)
        keys.push_back(vk);
    for (WORD vk : {VK_OEM_1, VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_2, VK_OEM_3, VK_OEM_4,
                    VK_OEM_5, VK_OEM_6, VK_OEM_7})
        keys.push_back(vk);
    return keys;
}

// Types `count` random ordinary keys to the window in front, and checks that they all arrive, in
// order and unchanged.
void ExpectRandomKeysToArrive(int count, unsigned seed)
{
    const std::vector<WORD> keys = OrdinaryKeys();
    std::mt19937 random(seed);
    std::vector<KeyMessage> sent;
    g_received.clear();
    for (int i = 0; i < count; ++i) {
        // The arrows as the hook knows them half of the time, so the flags change too.
        const WORD vk = keys[random() % keys.size()];
        const bool arrowScan = (vk == VK_UP || vk == VK_DOWN) && random() % 2 == 0;
        const BYTE scan = arrowScan ? (vk == VK_UP ? 0x48 : 0x50) : static_cast<BYTE>(1 + random() % 0x7E);
        TypeKey(vk, scan, random() % 4 == 0);
        sent.push_back({vk, scan, false});
        sent.push_back({vk, scan, true});
        if (i % 20 == 0)
            KeySink::Pump();
    }
    WaitFor([&] {
        KeySink::Pump();
        return g_received.size() >= sent.size();
    });
    ASSERT_EQ(g_received.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        ASSERT_EQ(g_received[i], sent[i]) << "key message " << i << ": sent vk 0x" << std::hex << sent[i].vk
                                          << " scan 0x" << int(sent[i].scan) << (sent[i].up ? " up" : " down")
                                          << ", received vk 0x" << g_received[i].vk << " scan 0x"
                                          << int(g_received[i].scan);
    }
}

TEST(KeysReachForeground, RandomRealKeysAndTheHotkeyAllArriveUnchanged)
{
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    KeySink sink;
    ASSERT_EQ(::GetForegroundWindow(), sink.Handle());

    ASSERT_NO_FATAL_FAILURE(ExpectRandomKeysToArrive(300, 7919));

    // The hotkey brings up the panel, which takes the foreground and so gets the key itself (as
    // the brightness slider gets the keys after it). Pressed again with the panel up and another
    // window in front, it reaches that window like any key.
    TypeHotkey();
    EXPECT_TRUE(WaitFor([&] {
        KeySink::Pump();
        return program.PanelVisible() && program.AllPagesVisible();
    }));
    // The pages take the focus right after they show, in the same handler: let it return first.
    EXPECT_TRUE(Answers(program.Panel()));
    sink.TakeKeyboard();
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == sink.Handle(); }, 2000));
    g_received.clear();
    TypeHotkey();
    TypeKey(VK_DOWN, 0x50);
    WaitFor([&] {
        KeySink::Pump();
        return g_received.size() >= 4;
    });
    const std::vector<KeyMessage> expected = {{0xFF, 0x2C, false}, {0xFF, 0x2C, true}, {VK_DOWN, 0x50, false},
                                              {VK_DOWN, 0x50, true}};
    EXPECT_EQ(g_received, expected);
    EXPECT_TRUE(program.PanelVisible() && program.AllPagesVisible());
    EXPECT_EQ(program.Close(), 0u);
}

// Opens a manual-reset event for the scope: set, the fake libraries' calls pass it; reset, they
// wait for it. Set again when the scope ends, so nothing stays stuck.
class LibraryGate {
public:
    LibraryGate()
        : m_name(L"Local\\TabvisorTestGate." + std::to_wstring(::GetCurrentProcessId())),
          m_event(::CreateEventW(nullptr, TRUE, TRUE, m_name.c_str()))
    {
    }
    ~LibraryGate() { Open(); }
    LibraryGate(const LibraryGate&) = delete;
    LibraryGate& operator=(const LibraryGate&) = delete;
    const std::wstring& Name() const { return m_name; }
    void Shut() { ::ResetEvent(m_event.get()); }
    void Open() { ::SetEvent(m_event.get()); }

private:
    std::wstring m_name;
    afx::unique_handle m_event;
};

TEST(KeysReachForeground, WhileALibraryCallHangsKeysStillArriveAndThePanelGoesOnOnceItReturns)
{
    TestTablet tablet;
    LibraryGate gate;
    ScopedVariable gateVariable(fake_library::kGateVariable, gate.Name());
    ScopedVariable level(fake_library::kLevelVariable, L"4");
    ScopedVariable volume(fake_library::kVolumeVariable, L"0.5");
    ScopedVariable volumeRead(fake_library::kVolumeResultVariable, L"0");  // S_OK
    ProgramCopy program({LibraryFile::WinIo, LibraryFile::FakePm, LibraryFile::FakeCommon});
    struct OpenFirst {
        LibraryGate& gate;
        ~OpenFirst() { gate.Open(); }  // before the program is closed
    } openFirst{gate};
    ASSERT_TRUE(program.Started());
    TypeHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
    ASSERT_TRUE(Answers(program.Panel()));
    KeySink sink;
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == sink.Handle(); }, 2000));

    // The next poll's call does not return: the panel's thread answers nothing from now on.
    gate.Shut();
    ASSERT_TRUE(WaitFor([&] { return !Answers(program.Panel(), 100); }));
    ASSERT_NO_FATAL_FAILURE(ExpectRandomKeysToArrive(100, 104729));
    EXPECT_FALSE(Answers(program.Panel(), 100)) << "the call returned too early to show anything";

    // The call returns; the program goes on: the sliders show the libraries' answers, the close
    // mark hides everything and the key brings it back.
    gate.Open();
    EXPECT_TRUE(Answers(program.Panel()));
    EXPECT_EQ(SliderPosition(program.Control(IDC_BRIGHTNESS_SLIDER)), 4);
    EXPECT_EQ(SliderPosition(program.Control(IDC_VOLUME_SLIDER)), 50);
    ProgramUnderTest::ClickAt(CentreOf(::GetDlgItem(program.Panel(), IDC_PANEL_CLOSE)));
    EXPECT_TRUE(WaitFor([&] { return !program.PanelVisible() && !program.AnyPageVisible(); }));
    TypeHotkey();
    EXPECT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
    EXPECT_EQ(program.Close(), 0u);
}

} // namespace
