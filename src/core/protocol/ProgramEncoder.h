#pragma once

#include "core/protocol/ChangeScan.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/SendData.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAudio_Channel;
class CAudio_Data;
class CAudio_InData;
class CAudio_OutData;
class CFilter;

// Turns the parameters of one program into command records. The program supplies the device ID
// (frame byte 2) and the device type (type-dependent encodings); every record carries the model
// values of the moment it is built. Records come back with their frame set and every send flag
// at its initial value. A channel or section argument outside the program gives no record
// (nullptr), which the queue ignores. Encoding never changes the program.
class ProgramEncoder {
public:
    explicit ProgramEncoder(const CAudio_Data& program) : m_program(program) {}

    // System items.
    std::unique_ptr<SendData> WriteProgramName(int slot) const;
    std::unique_ptr<SendData> WriteInputSource(int source) const;
    std::unique_ptr<SendData> WriteInterfaceText() const;
    std::unique_ptr<SendData> WriteBacklight() const;
    std::unique_ptr<SendData> WriteTemperature() const;
    // Read request addressed to probedId, carrying probedId and the own device type.
    std::unique_ptr<SendData> IdentifyDevice(int probedId) const;
    // Addressed to the program's (still old) ID, carrying the new ID and the own device type.
    std::unique_ptr<SendData> WriteDeviceId(int newId) const;
    std::unique_ptr<SendData> ReadSystemItem(int item, int slot) const;
    std::unique_ptr<SendData> ReadMeters() const;

    // Whole channels (block 0) for program slot 0..30.
    std::unique_ptr<SendData> WriteInputChannel(int slot, int channel) const;
    std::unique_ptr<SendData> WriteOutputChannel(int slot, int channel) const;

    // Single blocks of the live program; section is the position in the channel's filter set.
    std::unique_ptr<SendData> WriteInputEqBand(int channel, int section) const;
    std::unique_ptr<SendData> WriteOutputEqBand(int channel, int section) const;
    std::unique_ptr<SendData> WriteInputLevels(int channel) const;
    std::unique_ptr<SendData> WriteOutputLevels(int channel) const;
    std::unique_ptr<SendData> WriteInputGate(int channel) const;
    std::unique_ptr<SendData> WriteOutputCrossover(int channel) const;
    std::unique_ptr<SendData> WriteOutputDynamics(int channel) const;
    std::unique_ptr<SendData> WriteInputName(int channel) const;
    std::unique_ptr<SendData> WriteOutputName(int channel) const;

    // Read request for a channel of program slot; block is 0 or ArchiveFlag.
    std::unique_ptr<SendData> ReadChannel(int slot, int group, int channel, int block) const;

    // The record that carries a change taken by the change scan: the single block of that
    // group with the program's values of now (a crossover with its sent frequencies).
    std::unique_ptr<SendData> ChangeRecord(const PendingChange& change) const;

    // Wire values of the program's device type.
    int GainCode(int gainIndex) const;
    static int EqGainCode(const CFilter& section);
    int BandwidthCode(const CFilter& section) const;

    // Text layouts: a program name in its 15-byte field, and one info text line centred in its
    // 20-byte field. Longer texts are cut to the field.
    static std::vector<std::uint8_t> ProgramNameField(const std::string& name);
    static std::vector<std::uint8_t> InfoLineField(const std::string& line, int deviceType);

private:
    std::unique_ptr<SendData> Record(std::uint8_t code, int program, std::uint8_t group,
                                     int channel, int block,
                                     const std::vector<std::uint8_t>& payload, int deviceId) const;
    std::unique_ptr<SendData> Record(std::uint8_t code, int program, std::uint8_t group,
                                     int channel, int block,
                                     const std::vector<std::uint8_t>& payload) const;

    using Payload = std::vector<std::uint8_t>;
    // The whole-channel records; the single blocks are pieces of them.
    Payload InputPayload(const CAudio_InData& input) const;
    Payload OutputPayload(const CAudio_OutData& output) const;
    void PutBand(Payload& out, std::size_t at, const CFilter& section) const;
    static void PutCrossover(Payload& out, std::size_t at, const CFilter& section, int frequency);
    static void PutName(Payload& out, std::size_t at, const std::string& name);
    void PutLevels(Payload& out, std::size_t on, const CAudio_Channel& channel) const;

    const CAudio_Data& m_program;
};
