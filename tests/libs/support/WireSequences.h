// The program's two conversations with the embedded controller, written once against any pair of
// port functions, so tests can run them on the bare model and through WINIO.dll alike.
#pragma once
#include <cstdint>
#include <optional>

namespace tabvisor::testing {

inline constexpr uint8_t kAck = 0xFA;

struct WireResult {
    bool acknowledged = false;
    int answerReads = 0;
    std::optional<uint8_t> value; // the byte read from the data port, for the read sequence
};

// Reads the answer port until 0xFA or `maxReads` reads.
template <class ReadPort>
void AwaitAck(ReadPort read, int maxReads, WireResult& result)
{
    while (result.answerReads < maxReads) {
        ++result.answerReads;
        if (read(0x68) == kAck) {
            result.acknowledged = true;
            return;
        }
    }
}

// 0x6C <- 0x11; reads of 0x68 until 0xFA; 0x360 <- 0; read 0x361.
template <class ReadPort, class WritePort>
WireResult ReadSwitchesOnWire(ReadPort read, WritePort write, int maxReads = 100)
{
    WireResult result;
    write(0x6C, 0x11);
    AwaitAck(read, maxReads, result);
    write(0x360, 0x00);
    result.value = read(0x361);
    return result;
}

// 0x360 <- 0; 0x361 <- byte; 0x6C <- 0x12; reads of 0x68 until 0xFA.
template <class ReadPort, class WritePort>
WireResult WriteSwitchesOnWire(ReadPort read, WritePort write, uint8_t byte, int maxReads = 100)
{
    WireResult result;
    write(0x360, 0x00);
    write(0x361, byte);
    write(0x6C, 0x12);
    AwaitAck(read, maxReads, result);
    return result;
}

} // namespace tabvisor::testing
