// The status and log formats other tools parse: field names, order, value formats and escaping.
#include "StatusReport.h"
#include "TabletOperations.h"
#include "TabletStateRules.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tabvisor::simulated;
using namespace tabvisor::tabsim;

namespace {

class StatusReport : public ::testing::Test {
protected:
    StatusReport() { MakeFreshTablet(state); }
    std::unique_ptr<TabletState> owner = std::make_unique<TabletState>();
    TabletState& state = *owner;
};

TEST_F(StatusReport, FreshTabletReportsEveryFieldInOrder)
{
    EXPECT_EQ(FormatStatus(state), "switches=0x00\n"
                                   "brightness=3\n"
                                   "brightness_queries=0\n"
                                   "brightness_sets=0\n"
                                   "volume=0.500000\n"
                                   "volume_reads=0\n"
                                   "volume_writes=0\n"
                                   "ec_ack=now\n"
                                   "ec_reads=0\n"
                                   "ec_writes=0\n"
                                   "winio=ok\n"
                                   "winio_open=0\n"
                                   "winio_opens=0\n"
                                   "task_calls=0\n"
                                   "task_kind=0\n"
                                   "task_name=\n"
                                   "task_program=\n"
                                   "task_author=\n"
                                   "task_description=\n"
                                   "port_denied=0\n"
                                   "ec_ack_delay_ms=0\n");
}

TEST_F(StatusReport, ValuesUseTheirDocumentedFormats)
{
    SetSwitchesElsewhere(state, 0x5A);
    const float volume = 29 * 0.01f;
    WriteVolume(state, &volume);
    SetAckMode(state, AckMode::AfterReads, 12);
    SetPortAccessGranted(state, true);
    OpenPortWindow(state, 42);
    const std::string text = FormatStatus(state);
    EXPECT_NE(text.find("switches=0x5A\n"), std::string::npos);
    EXPECT_NE(text.find("volume=0.290000\n"), std::string::npos);
    EXPECT_NE(text.find("volume_writes=1\n"), std::string::npos);
    EXPECT_NE(text.find("ec_ack=12\n"), std::string::npos);
    EXPECT_NE(text.find("winio_open=1\n"), std::string::npos);
    EXPECT_NE(text.find("winio_opens=1\n"), std::string::npos);

    SetAckDelay(state, 250);
    EXPECT_NE(FormatStatus(state).find("port_denied=0\nec_ack_delay_ms=250\n"), std::string::npos);

    SetAckMode(state, AckMode::Never, 1);
    SetPortAccessGranted(state, false);
    EXPECT_NE(FormatStatus(state).find("ec_ack=never\nec_reads=0\nec_writes=0\nwinio=fail\n"), std::string::npos);
}

TEST_F(StatusReport, TaskStringsAreEscapedOntoOneLineAsUtf8)
{
    const tabvisor::TaskRequest request{1, L"Tabvisor", L"C:\\Program Files\\Tabvisor\\Tabvisor.exe",
                                        L"\x5B8B\x4F53", L"one\ntwo\r\tthree\x01"};
    RegisterTask(state, &request);
    const std::string text = FormatStatus(state);
    EXPECT_NE(text.find("task_kind=1\ntask_name=Tabvisor\n"), std::string::npos);
    EXPECT_NE(text.find("task_program=C:\\Program Files\\Tabvisor\\Tabvisor.exe\n"), std::string::npos)
        << "backslashes are kept as they are";
    EXPECT_NE(text.find("task_author=\xE5\xAE\x8B\xE4\xBD\x93\n"), std::string::npos);
    EXPECT_NE(text.find("task_description=one\\ntwo\\r\\tthree\\x01\n"), std::string::npos);
}

TEST_F(StatusReport, UnterminatedStringsEndAtTheirCapacity)
{
    std::fill(std::begin(state.task.author), std::end(state.task.author), L'a');
    const std::string text = FormatStatus(state);
    EXPECT_NE(text.find("task_author=" + std::string(kTaskAuthorCapacity, 'a') + "\ntask_description="),
              std::string::npos);
}

TEST(LogLine, DirectionPortAndValueInHex)
{
    EXPECT_EQ(FormatLogLine({0x6C, 0x11, PortDirection::Out}), "out 0x6C 0x11\n");
    EXPECT_EQ(FormatLogLine({0x68, 0xFA, PortDirection::In}), "in 0x68 0xFA\n");
    EXPECT_EQ(FormatLogLine({0x360, 0x00, PortDirection::Out}), "out 0x360 0x00\n");
    EXPECT_EQ(FormatLogLine({0x361, 0x05, PortDirection::In}), "in 0x361 0x05\n");
}

} // namespace
