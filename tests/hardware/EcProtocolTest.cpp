// The device-switch protocol against the simulated EC, with its port log as the oracle: the read,
// the set and clear sequences, the acknowledgement wait and its bound, and port access that is
// refused or whose library is incomplete.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EcProtocol.h"
#include "TestTablet.h"

namespace {

using Lines = std::vector<std::string>;

Lines PortLog(TestTablet& tablet)
{
    Lines lines = tablet.Log();
    for (std::string& line : lines)
        line.erase(std::remove(line.begin(), line.end(), '\n'), line.end());
    return lines;
}

const Lines kReadSequence = {"out 0x6C 0x11", "in 0x68 0xFA", "out 0x360 0x00"};

Lines WriteSequence(const char* byte)
{
    return {"out 0x360 0x00", std::string("out 0x361 ") + byte, "out 0x6C 0x12", "in 0x68 0xFA"};
}

long long AnswerReads(const Lines& log)
{
    return std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("in 0x68 ", 0) == 0; });
}

class EcProtocolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEcPortLibrary(nullptr);
        g_deviceSwitches = 0;
    }
    void TearDown() override { SetEcPortLibrary(nullptr); }

    // The page's one read of the EC, bracketed as it does.
    void ReadOnce()
    {
        CEcPortAccess access;
        ReadDeviceSwitches();
    }

    TestTablet m_tablet;
};

TEST_F(EcProtocolTest, ReadTakesTheByteAndFFMeansAllOff)
{
    struct Case {
        uint8_t ec;
        uint8_t copy;
        const char* shown;
    };
    for (const Case& c : {Case{0xFF, 0x00, "0xFF"}, Case{0x00, 0x00, "0x00"}, Case{0x5A, 0x5A, "0x5A"}}) {
        m_tablet.SetSwitches(c.ec);
        m_tablet.ClearLog();
        g_deviceSwitches = 0x33;
        ReadOnce();
        EXPECT_EQ(g_deviceSwitches, c.copy) << c.shown;
        Lines expected = kReadSequence;
        expected.push_back(std::string("in 0x361 ") + c.shown);
        EXPECT_EQ(PortLog(m_tablet), expected);
        EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    }
    EXPECT_EQ(m_tablet.Number("ec_reads"), 3);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 3);
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);
}

TEST_F(EcProtocolTest, SetAndClearSendTheWholeByteFromTheCopyEvenWhenUnchanged)
{
    // The copy rules, not the EC: a change made elsewhere is overwritten with the copy's bits.
    m_tablet.SetSwitches(0xF0);
    g_deviceSwitches = 0x01;
    SetDeviceSwitch(2);
    EXPECT_EQ(g_deviceSwitches, 0x05);
    EXPECT_EQ(PortLog(m_tablet), WriteSequence("0x05"));
    EXPECT_EQ(m_tablet.Field("switches"), "0x05");
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 1);

    m_tablet.ClearLog();
    ClearDeviceSwitch(0);
    EXPECT_EQ(g_deviceSwitches, 0x04);
    EXPECT_EQ(PortLog(m_tablet), WriteSequence("0x04"));

    // Already in the requested state: the full sequence all the same.
    m_tablet.ClearLog();
    SetDeviceSwitch(2);
    ClearDeviceSwitch(0);
    Lines twice = WriteSequence("0x04");
    const Lines again = WriteSequence("0x04");
    twice.insert(twice.end(), again.begin(), again.end());
    EXPECT_EQ(PortLog(m_tablet), twice);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4);
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);

    // A bit number beyond the byte changes nothing but is still written.
    m_tablet.ClearLog();
    SetDeviceSwitch(8);
    SetDeviceSwitch(200);
    EXPECT_EQ(g_deviceSwitches, 0x04);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 6);
}

TEST_F(EcProtocolTest, UpperBitsAsReadAreCarriedThroughEveryWrite)
{
    m_tablet.SetSwitches(0x5A);
    ReadOnce();
    m_tablet.ClearLog();
    SetDeviceSwitch(0);
    EXPECT_EQ(PortLog(m_tablet), WriteSequence("0x5B"));
    ClearDeviceSwitch(3);
    ClearDeviceSwitch(1);
    EXPECT_EQ(g_deviceSwitches, 0x51);
    EXPECT_EQ(m_tablet.Field("switches"), "0x51");
}

TEST_F(EcProtocolTest, WaitReadsUntilTheAcknowledgement)
{
    g_deviceSwitches = 0x02;
    m_tablet.SetAckNow();
    SetDeviceSwitch(0);
    EXPECT_EQ(AnswerReads(PortLog(m_tablet)), 1);

    m_tablet.SetAckAfterReads(3);
    m_tablet.ClearLog();
    ClearDeviceSwitch(0);
    EXPECT_EQ(PortLog(m_tablet), (Lines{"out 0x360 0x00", "out 0x361 0x02", "out 0x6C 0x12", "in 0x68 0x00",
                                        "in 0x68 0x00", "in 0x68 0xFA"}));
    EXPECT_EQ(m_tablet.Field("switches"), "0x02");

    m_tablet.SetSwitches(0x44);
    m_tablet.ClearLog();
    ReadOnce();
    EXPECT_EQ(PortLog(m_tablet), (Lines{"out 0x6C 0x11", "in 0x68 0x00", "in 0x68 0x00", "in 0x68 0xFA",
                                        "out 0x360 0x00", "in 0x361 0x44"}));
    EXPECT_EQ(g_deviceSwitches, 0x44);
}

TEST_F(EcProtocolTest, AnEcThatNeverAnswersEndsAtTheBoundAndAccessIsClosed)
{
    m_tablet.SetSwitches(0x0F);
    m_tablet.SetAckNever();

    // A write keeps the new byte in the copy; the EC never carried it out.
    g_deviceSwitches = 0x01;
    SetDeviceSwitch(1);
    EXPECT_EQ(g_deviceSwitches, 0x03);
    Lines log = PortLog(m_tablet);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(Lines(log.begin(), log.begin() + 3), (Lines{"out 0x360 0x00", "out 0x361 0x03", "out 0x6C 0x12"}));
    const long long writeReads = AnswerReads(log);
    EXPECT_EQ(writeReads, static_cast<long long>(log.size()) - 3);  // nothing but answer reads after
    EXPECT_GE(writeReads, 2);
    EXPECT_LE(writeReads, ec::kAckWaitMaxReads);
    EXPECT_EQ(std::count(log.begin(), log.end(), "in 0x68 0xFA"), 0);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0F");
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);

    // A read keeps the previous copy and leaves the register window alone.
    m_tablet.ClearLog();
    ReadOnce();
    EXPECT_EQ(g_deviceSwitches, 0x03);
    log = PortLog(m_tablet);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front(), "out 0x6C 0x11");
    EXPECT_EQ(AnswerReads(log), static_cast<long long>(log.size()) - 1);
    EXPECT_LE(AnswerReads(log), ec::kAckWaitMaxReads);
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);

    // The EC answering again is heard at once.
    m_tablet.SetAckNow();
    m_tablet.ClearLog();
    ReadOnce();
    EXPECT_EQ(g_deviceSwitches, 0x0F);
}

TEST_F(EcProtocolTest, RefusedAccessTouchesNoPortAndTheCopyStillChanges)
{
    m_tablet.SetSwitches(0x0C);
    m_tablet.SetWinio(false);
    g_deviceSwitches = 0x21;
    ReadOnce();
    EXPECT_EQ(g_deviceSwitches, 0x21);
    SetDeviceSwitch(3);
    EXPECT_EQ(g_deviceSwitches, 0x29);
    ClearDeviceSwitch(0);
    EXPECT_EQ(g_deviceSwitches, 0x28);

    EXPECT_TRUE(PortLog(m_tablet).empty());
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 3);  // asked each time, refused each time
    EXPECT_EQ(m_tablet.Field("switches"), "0x0C");

    // Without access the single operations do nothing either.
    EcWriteCommand(ec::kWriteCommand);
    EXPECT_EQ(EcReadStatus(), ec::kFloatingBus);
    EXPECT_FALSE(EcWaitForAcknowledge());
    EXPECT_TRUE(PortLog(m_tablet).empty());
}

TEST_F(EcProtocolTest, AnIncompleteOrMissingPortLibraryIsNeverCalled)
{
    const WinIoLibrary& real = WinIo();
    ASSERT_TRUE(real.Complete());
    WinIoLibrary missing;
    WinIoLibrary partial = real;
    partial.getPortVal = nullptr;  // could open access, could not wait for the EC

    for (const WinIoLibrary* library : {&missing, &partial}) {
        SetEcPortLibrary(library);
        g_deviceSwitches = 0x08;
        ReadOnce();
        SetDeviceSwitch(0);
        ClearDeviceSwitch(3);
        EXPECT_EQ(g_deviceSwitches, 0x01);
    }
    EXPECT_EQ(m_tablet.Number("winio_opens"), 0);
    EXPECT_TRUE(PortLog(m_tablet).empty());
}

TEST_F(EcProtocolTest, NestedAccessIsClosedOnlyByTheOuterScope)
{
    {
        CEcPortAccess outer;
        ASSERT_TRUE(outer.IsOpen());
        SetDeviceSwitch(0);  // opens its own scope inside
        EXPECT_EQ(m_tablet.Number("winio_open"), 1);
        EXPECT_EQ(EcReadStatus(), ec::kAcknowledge);
    }
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 1);
}

} // namespace
