// The hook's decisions, apart from any real hook: which events count, which one is the hotkey,
// and how the arrow flags follow the last examined key.
#include <gtest/gtest.h>

#include "KeyEventRules.h"

namespace {

TEST(KeyEventRules, HotkeyNeedsBothItsVirtualKeyAndScanCode)
{
    EXPECT_TRUE(JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, 0xFF, 0x2C).panelRequested);
    const KeyVerdict wrongScan = JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, 0xFF, 0x2D);
    const KeyVerdict wrongKey = JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, 0xFE, 0x2C);
    for (const KeyVerdict& v : {wrongScan, wrongKey}) {
        EXPECT_TRUE(v.examined);  // still counts as "another key": both arrow flags drop
        EXPECT_FALSE(v.panelRequested);
        EXPECT_FALSE(v.upKeyDown);
        EXPECT_FALSE(v.downKeyDown);
    }
}

TEST(KeyEventRules, OnlyKeyDownsAndSystemKeyUpsAreExamined)
{
    EXPECT_TRUE(JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, 0xFF, 0x2C).examined);
    EXPECT_TRUE(JudgeKeyEvent(HC_ACTION, WM_SYSKEYDOWN, 0xFF, 0x2C).panelRequested);
    EXPECT_TRUE(JudgeKeyEvent(HC_ACTION, WM_SYSKEYUP, 0xFF, 0x2C).panelRequested);
    const KeyVerdict keyUp = JudgeKeyEvent(HC_ACTION, WM_KEYUP, 0xFF, 0x2C);
    EXPECT_FALSE(keyUp.examined);
    EXPECT_FALSE(keyUp.panelRequested);
    EXPECT_FALSE(JudgeKeyEvent(HC_ACTION, WM_KEYUP, VK_UP, 0x48).examined);
    // Anything but HC_ACTION is passed on untouched.
    EXPECT_FALSE(JudgeKeyEvent(1, WM_KEYDOWN, 0xFF, 0x2C).examined);
    EXPECT_FALSE(JudgeKeyEvent(-1, WM_KEYDOWN, VK_UP, 0x48).examined);
}

TEST(KeyEventRules, ArrowFlagsNameTheLastExaminedArrowAndAnyOtherKeyClearsThem)
{
    const KeyVerdict up = JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, VK_UP, 0x48);
    EXPECT_TRUE(up.upKeyDown);
    EXPECT_FALSE(up.downKeyDown);
    const KeyVerdict down = JudgeKeyEvent(HC_ACTION, WM_SYSKEYDOWN, VK_DOWN, 0x50);
    EXPECT_FALSE(down.upKeyDown);
    EXPECT_TRUE(down.downKeyDown);
    // The hotkey and any other key clear both; an arrow with another scan code is another key.
    for (const KeyVerdict& v : {JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, 0xFF, 0x2C),
                                JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, 'A', 0x1E),
                                JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, VK_UP, 0x49),
                                JudgeKeyEvent(HC_ACTION, WM_KEYDOWN, VK_DOWN, 0x48)}) {
        EXPECT_TRUE(v.examined);
        EXPECT_FALSE(v.upKeyDown);
        EXPECT_FALSE(v.downKeyDown);
    }
}

} // namespace
