// The names screen readers read for the running program's controls (a button's text, a
// trackbar's label just before it), in the user's interface language: Chinese for a Chinese one,
// English for any other. Wine takes a process's language from the Unix locale it was started in
// and hands it to the processes it starts, so ctest runs this suite once more in a Chinese and
// in a German locale (LC_ALL: this machine has no locale data but C's, and Wine then follows
// only LC_ALL), and the program started here runs in this test's language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramUnderTest.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[128] = {};
    ::GetWindowTextW(hwnd, text, 128);
    return text;
}

// The names, in the order: close mark, wireless, 3G, camera, Bluetooth, volume, brightness,
// on-screen keyboard, Task Manager.
std::vector<std::wstring> NamesOf(const ProgramUnderTest& program)
{
    const HWND volume = program.Control(program.VolumePage(), IDC_VOLUME_SLIDER);
    const HWND brightness = program.Control(program.BrightnessPage(), IDC_BRIGHTNESS_SLIDER);
    // A trackbar's name is the static text before it; its own text says the same for readers
    // that take that.
    EXPECT_EQ(TextOf(::GetWindow(volume, GW_HWNDPREV)), TextOf(volume));
    EXPECT_EQ(TextOf(::GetWindow(brightness, GW_HWNDPREV)), TextOf(brightness));
    return {TextOf(program.Control(program.Panel(), IDC_PANEL_CLOSE)),
            TextOf(program.Control(program.SwitchPage(), IDC_SWITCH_WIRELESS)),
            TextOf(program.Control(program.SwitchPage(), IDC_SWITCH_3G)),
            TextOf(program.Control(program.SwitchPage(), IDC_SWITCH_CAMERA)),
            TextOf(program.Control(program.SwitchPage(), IDC_SWITCH_BLUETOOTH)),
            TextOf(::GetWindow(volume, GW_HWNDPREV)),
            TextOf(::GetWindow(brightness, GW_HWNDPREV)),
            TextOf(program.Control(program.KeyboardPage(), IDC_KEYBOARD_LAUNCH)),
            TextOf(program.Control(program.TaskMgrPage(), IDC_TASKMGR_LAUNCH))};
}

const std::vector<std::wstring> kEnglish{L"Close",  L"Wireless network", L"3G",
                                         L"Camera", L"Bluetooth",        L"Volume",
                                         L"Brightness", L"On-screen keyboard", L"Task Manager"};
const std::vector<std::wstring> kChinese{L"关闭", L"无线网络", L"3G",       L"摄像头",    L"蓝牙",
                                         L"音量", L"亮度",     L"屏幕键盘", L"任务管理器"};

bool ChineseInterface() { return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_CHINESE; }

TEST(ControlNames, EveryControlThatDoesSomethingIsNamedInTheUsersLanguageEnglishForAnyOther)
{
    // The locale this run was meant for did reach Wine: otherwise both would be English.
    char locale[32] = {};
    ::GetEnvironmentVariableA("LC_ALL", locale, sizeof locale);
    ASSERT_EQ(ChineseInterface(), std::string(locale).rfind("zh", 0) == 0) << locale;

    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(NamesOf(program), ChineseInterface() ? kChinese : kEnglish);
    // The design's own texts stay as they are in every language.
    wchar_t title[32] = {};
    ::GetWindowTextW(program.Panel(), title, 32);
    EXPECT_STREQ(title, L"Tabvisor");
}

} // namespace
