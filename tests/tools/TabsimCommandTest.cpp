// tabsim's command line: every command, the values each takes, and what it refuses.
#include "TabsimCommand.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace tabvisor::tabsim;
using tabvisor::simulated::AckMode;

namespace {

template <class Expected>
Expected Parse(std::vector<std::wstring> arguments)
{
    const ParseResult result = ParseCommandLine(arguments);
    EXPECT_TRUE(result.parsed) << std::string(result.error.begin(), result.error.end());
    if (!result.parsed) return Expected{};
    const auto* command = std::get_if<Expected>(&result.parsed->command);
    EXPECT_NE(command, nullptr);
    return command ? *command : Expected{};
}

bool Refused(std::vector<std::wstring> arguments)
{
    const ParseResult result = ParseCommandLine(arguments);
    return !result.parsed && !result.error.empty();
}

TEST(TabsimCommand, SettingsTakeTheirValuesInEveryDocumentedForm)
{
    EXPECT_EQ(Parse<SetSwitches>({L"set", L"switches", L"0x09"}).value, 0x09);
    EXPECT_EQ(Parse<SetSwitches>({L"set", L"switches", L"0XfF"}).value, 0xFF);
    EXPECT_EQ(Parse<SetSwitches>({L"set", L"switches", L"90"}).value, 90);
    EXPECT_EQ(Parse<SetBrightness>({L"set", L"brightness", L"7"}).level, 7u);
    EXPECT_EQ(Parse<SetVolume>({L"set", L"volume", L"0.6"}).scalar, 0.6f);
    EXPECT_EQ(Parse<SetVolume>({L"set", L"volume", L"1"}).scalar, 1.0f);
    EXPECT_EQ(Parse<SetVolume>({L"set", L"volume", L".25"}).scalar, 0.25f);
    EXPECT_EQ(Parse<SetVolume>({L"set", L"volume", L"00.5"}).scalar, 0.5f);
    EXPECT_EQ(Parse<SetVolume>({L"set", L"volume", L"1.000"}).scalar, 1.0f);
    EXPECT_EQ(Parse<SetVolume>({L"set", L"volume", L"0."}).scalar, 0.0f);
    EXPECT_EQ(Parse<SetVolume>({L"set", L"volume", L"0.99999999999"}).scalar, 1.0f) << "below 1, nearest float 1";
    EXPECT_EQ(Parse<SetAck>({L"set", L"ack", L"now"}).mode, AckMode::Now);
    EXPECT_EQ(Parse<SetAck>({L"set", L"ack", L"never"}).mode, AckMode::Never);
    const SetAck afterThree = Parse<SetAck>({L"set", L"ack", L"3"});
    EXPECT_EQ(afterThree.mode, AckMode::AfterReads);
    EXPECT_EQ(afterThree.afterReads, 3u);
    EXPECT_EQ(Parse<SetAckDelay>({L"set", L"ack-delay", L"40"}).ms, 40u);
    EXPECT_EQ(Parse<SetAckDelay>({L"set", L"ack-delay", L"0"}).ms, 0u);
    EXPECT_EQ(Parse<SetAckDelay>({L"set", L"ack-delay", L"10000"}).ms, 10000u);
    EXPECT_TRUE(Parse<SetWinio>({L"set", L"winio", L"ok"}).granted);
    EXPECT_FALSE(Parse<SetWinio>({L"set", L"winio", L"fail"}).granted);
}

TEST(TabsimCommand, ValuesOutOfRangeOrMalformedAreRefused)
{
    for (const wchar_t* bad : {L"0x100", L"256", L"-1", L"0x", L"x9", L"9a", L""})
        EXPECT_TRUE(Refused({L"set", L"switches", bad})) << bad;
    EXPECT_TRUE(Refused({L"set", L"brightness", L"8"}));
    for (const wchar_t* bad : {L"1.5", L"-0.1", L"nan", L"inf", L"0.5x", L"1e9", L"1.00000001", L"1.0000000000000000001",
                               L"0x0.8", L"0X1", L"+0.5", L"5e-1", L" 0.5", L"0.5 ", L".", L"", L"0..5", L"10", L"01.5"})
        EXPECT_TRUE(Refused({L"set", L"volume", bad})) << bad;
    EXPECT_TRUE(Refused({L"set", L"ack", L"0"}));
    EXPECT_TRUE(Refused({L"set", L"ack", L"sometimes"}));
    EXPECT_TRUE(Refused({L"set", L"ack", L"99999999999"}));
    for (const wchar_t* bad : {L"10001", L"-1", L"40ms", L"never", L"", L"4294967336"})
        EXPECT_TRUE(Refused({L"set", L"ack-delay", bad})) << bad;
    EXPECT_TRUE(Refused({L"set", L"winio", L"yes"}));
    EXPECT_TRUE(Refused({L"set", L"colour", L"red"}));
    EXPECT_TRUE(Refused({L"set", L"brightness"}));
}

TEST(TabsimCommand, KeysCarryTheTabletsCodes)
{
    const KeyCommand hotkey = Parse<KeyCommand>({L"key", L"hotkey"});
    EXPECT_EQ(hotkey.virtualKey, 0xFF);
    EXPECT_EQ(hotkey.scanCode, 0x2C);
    EXPECT_FALSE(hotkey.extended);
    EXPECT_EQ(hotkey.action, KeyAction::Press);

    const KeyCommand up = Parse<KeyCommand>({L"key", L"up", L"down"});
    EXPECT_EQ(up.virtualKey, VK_UP);
    EXPECT_EQ(up.scanCode, 0x48);
    EXPECT_TRUE(up.extended);
    EXPECT_EQ(up.action, KeyAction::Down);

    const KeyCommand down = Parse<KeyCommand>({L"key", L"down", L"up"});
    EXPECT_EQ(down.virtualKey, VK_DOWN);
    EXPECT_EQ(down.scanCode, 0x50);
    EXPECT_EQ(down.action, KeyAction::Up);

    const KeyCommand letter = Parse<KeyCommand>({L"key", L"0x41", L"press"});
    EXPECT_EQ(letter.virtualKey, 0x41);
    EXPECT_EQ(letter.scanCode, 0) << "left to the system's keyboard layout";

    EXPECT_TRUE(Refused({L"key", L"0x100"}));
    EXPECT_TRUE(Refused({L"key", L"0"}));
    EXPECT_TRUE(Refused({L"key", L"hotkey", L"twice"}));
    EXPECT_TRUE(Refused({L"key"}));
}

TEST(TabsimCommand, FileOptionGoesAnywhereAndOtherCommandsParse)
{
    ParseResult result = ParseCommandLine({L"status", L"--file", L"Z:\\tmp\\a.tablet"});
    ASSERT_TRUE(result.parsed);
    EXPECT_EQ(result.parsed->file, L"Z:\\tmp\\a.tablet");
    EXPECT_TRUE(std::holds_alternative<StatusCommand>(result.parsed->command));

    result = ParseCommandLine({L"--file", L"b.tablet", L"log", L"--clear"});
    ASSERT_TRUE(result.parsed);
    EXPECT_EQ(result.parsed->file, L"b.tablet");
    EXPECT_TRUE(std::get<LogCommand>(result.parsed->command).clear);

    EXPECT_FALSE(Parse<LogCommand>({L"log"}).clear);
    Parse<ResetCommand>({L"reset"});
    Parse<HelpCommand>({L"help"});
    Parse<HelpCommand>({L"--help"});
    EXPECT_TRUE(Refused({L"help", L"extra"}));
    EXPECT_TRUE(Refused({L"--help", L"status"}));
    EXPECT_TRUE(Refused({}));
    EXPECT_TRUE(Refused({L"status", L"--file"}));
    EXPECT_TRUE(Refused({L"reset", L"now"}));
    EXPECT_TRUE(Refused({L"log", L"--all"}));
    EXPECT_TRUE(Refused({L"frobnicate"}));
}

TEST(TabsimCommand, OnlyKeyAndHelpWorkWithoutATablet)
{
    EXPECT_FALSE(NeedsTablet(KeyCommand{}));
    EXPECT_FALSE(NeedsTablet(HelpCommand{}));
    EXPECT_TRUE(NeedsTablet(StatusCommand{}));
    EXPECT_TRUE(NeedsTablet(SetVolume{0.5f}));
}

} // namespace
