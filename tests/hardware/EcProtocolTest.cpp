// The device-switch protocol against the simulated EC, with its port log as the oracle: the read,
// the set and clear sequences (each a fresh read, then the write), the acknowledgement wait and
// its time, a byte that could not be read never written, port calls that fail ending their
// operation, and port access that is refused or whose library is incomplete.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EcProtocol.h"
#include "PortFaultsSupport.h"
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

// A change of one bit on the wire: the read that finds `read`, then the write of `written`.
Lines ReadThenWrite(const char* read, const char* written)
{
    Lines lines = kReadSequence;
    lines.insert(lines.end(), {std::string("in 0x361 ") + read, "out 0x360 0x00", std::string("out 0x361 ") + written,
                               "out 0x6C 0x12", "in 0x68 0xFA"});
    return lines;
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

    // A read of the EC, bracketed as the page does.
    EcResult ReadOnce()
    {
        CEcPortAccess access;
        return ReadDeviceSwitches();
    }

    TestTablet m_tablet;
};

TEST_F(EcProtocolTest, ReadTakesTheByteAndFFIsNoByte)
{
    struct Case {
        uint8_t ec;
        EcResult result;
        uint8_t copy;
        const char* shown;
    };
    for (const Case& c : {Case{0xFF, EcResult::NoAnswer, 0x33, "0xFF"}, Case{0x00, EcResult::Done, 0x00, "0x00"},
                          Case{0x5A, EcResult::Done, 0x5A, "0x5A"}}) {
        m_tablet.SetSwitches(c.ec);
        m_tablet.ClearLog();
        g_deviceSwitches = 0x33;
        EXPECT_EQ(ReadOnce(), c.result) << c.shown;
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

TEST_F(EcProtocolTest, EachChangeReadsTheEcAfreshAndWritesBackWhatWasReadWithOneBitChanged)
{
    // What the copy held is not what is written: a change made elsewhere (0xF0) is kept.
    m_tablet.SetSwitches(0xF0);
    g_deviceSwitches = 0x01;
    EXPECT_EQ(SetDeviceSwitch(2), EcResult::Done);
    EXPECT_EQ(g_deviceSwitches, 0xF4);
    EXPECT_EQ(PortLog(m_tablet), ReadThenWrite("0xF0", "0xF4"));
    EXPECT_EQ(m_tablet.Field("switches"), "0xF4");
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 1);  // one access around the read and the write

    // Wi-Fi turned on elsewhere, then the camera turned off here: Wi-Fi stays on.
    m_tablet.SetSwitches(0x05);
    m_tablet.ClearLog();
    EXPECT_EQ(ClearDeviceSwitch(2), EcResult::Done);
    EXPECT_EQ(PortLog(m_tablet), ReadThenWrite("0x05", "0x01"));
    m_tablet.ClearLog();
    EXPECT_EQ(SetDeviceSwitch(3), EcResult::Done);
    EXPECT_EQ(ClearDeviceSwitch(0), EcResult::Done);
    Lines both = ReadThenWrite("0x01", "0x09");
    const Lines second = ReadThenWrite("0x09", "0x08");
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(PortLog(m_tablet), both);
    EXPECT_EQ(g_deviceSwitches, 0x08);

    // Already in the requested state: the full sequences all the same.
    m_tablet.ClearLog();
    SetDeviceSwitch(3);
    EXPECT_EQ(PortLog(m_tablet), ReadThenWrite("0x08", "0x08"));
    // A byte read as 0xFF is no byte (nothing on the bus): nothing goes back.
    m_tablet.SetSwitches(0xFF);
    m_tablet.ClearLog();
    EXPECT_EQ(SetDeviceSwitch(1), EcResult::NoAnswer);
    Lines readOnly = kReadSequence;
    readOnly.push_back("in 0x361 0xFF");
    EXPECT_EQ(PortLog(m_tablet), readOnly);
    EXPECT_EQ(g_deviceSwitches, 0x08);
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);

    // A bit number beyond the byte changes nothing; what was read is written back.
    m_tablet.SetSwitches(0x02);
    SetDeviceSwitch(8);
    ClearDeviceSwitch(200);
    EXPECT_EQ(g_deviceSwitches, 0x02);
    EXPECT_EQ(m_tablet.Number("ec_reads"), 8);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 7);
}

TEST_F(EcProtocolTest, UpperBitsAsReadAreCarriedThroughEveryWrite)
{
    m_tablet.SetSwitches(0x5A);
    m_tablet.ClearLog();
    SetDeviceSwitch(0);
    EXPECT_EQ(PortLog(m_tablet), ReadThenWrite("0x5A", "0x5B"));
    ClearDeviceSwitch(3);
    ClearDeviceSwitch(1);
    EXPECT_EQ(g_deviceSwitches, 0x51);
    EXPECT_EQ(m_tablet.Field("switches"), "0x51");
}

TEST_F(EcProtocolTest, WaitReadsUntilTheAcknowledgement)
{
    m_tablet.SetSwitches(0x02);
    m_tablet.SetAckNow();
    SetDeviceSwitch(0);
    EXPECT_EQ(AnswerReads(PortLog(m_tablet)), 2);  // one for the read command, one for the write

    m_tablet.SetAckAfterReads(3);
    m_tablet.ClearLog();
    EXPECT_EQ(ClearDeviceSwitch(0), EcResult::Done);
    EXPECT_EQ(PortLog(m_tablet), (Lines{"out 0x6C 0x11", "in 0x68 0x00", "in 0x68 0x00", "in 0x68 0xFA",
                                        "out 0x360 0x00", "in 0x361 0x03", "out 0x360 0x00", "out 0x361 0x02",
                                        "out 0x6C 0x12", "in 0x68 0x00", "in 0x68 0x00", "in 0x68 0xFA"}));
    EXPECT_EQ(m_tablet.Field("switches"), "0x02");
}

TEST_F(EcProtocolTest, AByteThatWasNotReadIsNeverWritten)
{
    m_tablet.SetSwitches(0x0F);
    m_tablet.SetAckNever();

    // The read goes unanswered: no write follows, and the copy keeps what it held. A wait of
    // 100 ms can outgrow the log's ring, so the log is checked for anything but the read command
    // and unanswered reads of the answer port, and the commands are counted.
    auto onlyTheUnansweredRead = [&] {
        const Lines log = PortLog(m_tablet);
        return !log.empty() && std::all_of(log.begin(), log.end(), [](const std::string& l) {
            return l == "out 0x6C 0x11" || l == "in 0x68 0x00";
        });
    };
    g_deviceSwitches = 0x01;
    long long reads = m_tablet.Number("ec_reads");
    for (EcResult (*change)(uint8_t) : {&SetDeviceSwitch, &ClearDeviceSwitch}) {
        m_tablet.ClearLog();
        EXPECT_EQ(change(1), EcResult::NoAnswer);
        EXPECT_EQ(g_deviceSwitches, 0x01);
        EXPECT_TRUE(onlyTheUnansweredRead());
        EXPECT_EQ(m_tablet.Number("ec_reads"), ++reads);
    }
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0F");
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);

    // A bare read keeps the previous copy and leaves the register window alone.
    m_tablet.ClearLog();
    EXPECT_EQ(ReadOnce(), EcResult::NoAnswer);
    EXPECT_EQ(g_deviceSwitches, 0x01);
    EXPECT_TRUE(onlyTheUnansweredRead());
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);

    // The EC answering again is heard at once.
    m_tablet.SetAckNow();
    EXPECT_EQ(ReadOnce(), EcResult::Done);
    EXPECT_EQ(g_deviceSwitches, 0x0F);
}

TEST_F(EcProtocolTest, AnUnacknowledgedWriteLeavesTheCopyAtTheByteRead)
{
    // The EC never acknowledges a write command.
    ScopedPortFaults faults;
    bool writeCommandSent = false;
    faults->refuseWrite = [&](WORD port, DWORD value) {
        if (port == ec::kCommandPort)
            writeCommandSent = value == ec::kWriteCommand;
        return false;
    };
    faults->answerRead = [&](WORD port) -> std::optional<DWORD> {
        if (port == ec::kAnswerPort && writeCommandSent)
            return 0x00;
        return std::nullopt;
    };
    m_tablet.SetSwitches(0x21);
    g_deviceSwitches = 0x00;
    EXPECT_EQ(SetDeviceSwitch(3), EcResult::NoAnswer);
    EXPECT_EQ(g_deviceSwitches, 0x21);
    // The answers that never came are the fake's own and reach no log.
    EXPECT_EQ(PortLog(m_tablet), (Lines{"out 0x6C 0x11", "in 0x68 0xFA", "out 0x360 0x00", "in 0x361 0x21",
                                        "out 0x360 0x00", "out 0x361 0x29", "out 0x6C 0x12"}));
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
}

TEST_F(EcProtocolTest, AWaitForADeadEcLastsItsWholeTimeHoweverFastTheReadsAre)
{
    // Reads that take no time, as a real port read (about a microsecond) nearly does.
    ScopedPortFaults faults;
    long long reads = 0;
    LARGE_INTEGER lastRead{};
    faults->answerRead = [&](WORD port) -> std::optional<DWORD> {
        if (port != ec::kAnswerPort)
            return std::nullopt;
        ++reads;
        ::QueryPerformanceCounter(&lastRead);
        return 0x00;
    };
    CEcPortAccess access;
    LARGE_INTEGER frequency{};
    LARGE_INTEGER start{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    EXPECT_FALSE(EcWaitForAcknowledge());
    EXPECT_GT(reads, 5000);
    EXPECT_GE((lastRead.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart, ec::kAckWaitMicroseconds)
        << "the last read comes only once the wait's time is up";
}

TEST_F(EcProtocolTest, AnEcAnsweringTensOfMillisecondsAfterEachCommandIsHeard)
{
    m_tablet.SetSwitches(0x01);
    m_tablet.SetAckDelay(40);
    EXPECT_EQ(SetDeviceSwitch(2), EcResult::Done);
    EXPECT_EQ(m_tablet.Field("switches"), "0x05");
    EXPECT_EQ(g_deviceSwitches, 0x05);
}

TEST_F(EcProtocolTest, AFailedPortCallEndsItsOperationThereAndNothingIsTakenForDone)
{
    struct Case {
        const char* name;
        WORD port;
        DWORD value;         // refused when written to `port`; 0x100 for any value
        Lines sent;          // what reached the EC
        uint8_t copy;        // g_deviceSwitches afterwards
    };
    const Lines readAndSelect = {"out 0x6C 0x11", "in 0x68 0xFA", "out 0x360 0x00", "in 0x361 0x21"};
    Lines upToCommand = readAndSelect;
    upToCommand.insert(upToCommand.end(), {"out 0x360 0x00", "out 0x361 0x29"});
    const Case cases[] = {
        {"read command", ec::kCommandPort, ec::kReadCommand, {}, 0x00},
        {"index before the read", ec::kIndexPort, 0x100, {"out 0x6C 0x11", "in 0x68 0xFA"}, 0x00},
        {"data", ec::kDataPort, 0x100, {readAndSelect.begin(), readAndSelect.end()}, 0x21},
        // The read command's 0xFA still stands on the answer port: it is no answer to this.
        {"write command", ec::kCommandPort, ec::kWriteCommand, upToCommand, 0x21},
    };
    m_tablet.SetSwitches(0x21);
    ScopedPortFaults faults;
    for (const Case& c : cases) {
        faults->refuseWrite = [&](WORD port, DWORD value) {
            return port == c.port && (c.value == 0x100 || value == c.value);
        };
        m_tablet.ClearLog();
        g_deviceSwitches = 0x00;
        EXPECT_EQ(SetDeviceSwitch(3), EcResult::NoAnswer) << c.name;
        Lines expected = c.sent;
        if (c.port == ec::kDataPort)
            expected.push_back("out 0x360 0x00");
        EXPECT_EQ(PortLog(m_tablet), expected) << c.name;
        EXPECT_EQ(g_deviceSwitches, c.copy) << c.name;
        EXPECT_EQ(m_tablet.Field("switches"), "0x21") << c.name;
    }
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);

    // A data port that reads nothing but the floating bus gives no byte.
    faults->refuseWrite = nullptr;
    faults->answerRead = [](WORD port) -> std::optional<DWORD> {
        return port == ec::kDataPort ? std::optional<DWORD>(0xFF) : std::nullopt;
    };
    EXPECT_EQ(ClearDeviceSwitch(0), EcResult::NoAnswer);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);

    // The ports working again, the same change goes through.
    faults->answerRead = nullptr;
    EXPECT_EQ(SetDeviceSwitch(3), EcResult::Done);
    EXPECT_EQ(m_tablet.Field("switches"), "0x29");
}

TEST_F(EcProtocolTest, RefusedAccessTouchesNoPortAndChangesNothing)
{
    m_tablet.SetSwitches(0x0C);
    m_tablet.SetWinio(false);
    g_deviceSwitches = 0x21;
    EXPECT_EQ(ReadOnce(), EcResult::NoPortAccess);
    EXPECT_EQ(SetDeviceSwitch(3), EcResult::NoPortAccess);
    EXPECT_EQ(ClearDeviceSwitch(0), EcResult::NoPortAccess);
    EXPECT_EQ(g_deviceSwitches, 0x21);

    EXPECT_TRUE(PortLog(m_tablet).empty());
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 3);  // asked each time, refused each time
    EXPECT_EQ(m_tablet.Field("switches"), "0x0C");

    // Without access the single operations do nothing either.
    EXPECT_FALSE(EcWriteCommand(ec::kWriteCommand));
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
        EXPECT_EQ(ReadOnce(), EcResult::NoPortAccess);
        EXPECT_EQ(SetDeviceSwitch(0), EcResult::NoPortAccess);
        EXPECT_EQ(ClearDeviceSwitch(3), EcResult::NoPortAccess);
        EXPECT_EQ(g_deviceSwitches, 0x08);
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
