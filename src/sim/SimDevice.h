#pragma once

#include "sim/SimFrameReader.h"
#include "sim/SimMeters.h"
#include "sim/SimProgram.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One simulated processor on a serial line. It holds what a real one holds (the live program and
// 30 stored programs with their names, the device-wide settings, the info texts, the
// identification and level meters that move like music), takes the bytes arriving on the line in
// any pieces and returns the bytes it answers:
//   - an Ack (0x51) to every write it accepts, having stored what was written so that it reads
//     back exactly; a write it cannot accept (unknown block, wrong length, value out of range)
//     gets no answer, as a device that does not understand a frame stays silent;
//   - a DataReply (0x53) to every read of a channel (live, recall or archive) or system item;
//   - nothing to frames that fail the frame check or are addressed to another ID.
// Every reply is preceded by 0xFF bytes. Storing a program (a name write to slot 1..30) starts
// from a copy of the live program; the channel writes that follow overwrite it. Reading a
// stored program's channel without ArchiveFlag recalls it: the channel becomes live as well.
class SimDevice {
public:
    static constexpr int kPrograms = 31; // 0 = live, 1..30 stored
    static constexpr std::size_t kInfoLines = 9;
    static constexpr std::size_t kPreambleLength = 2;
    static constexpr const char* kDefaultIdentification = "ZQ_P_V1.0";

    // id 1..250 and type 1..3; values outside are brought into range.
    explicit SimDevice(int id = 1, int type = 1);

    int GetId() const { return m_id; }
    int GetType() const { return m_type; }
    int GetInputCount() const;
    int GetOutputCount() const;
    // Type code text of a variant: "Loxu", "Kefa", "Hoxa".
    static std::string TypeCodeFor(int type);

    // Line bytes in, answer bytes out (preamble and frame of every reply, in order).
    std::vector<std::uint8_t> Feed(const std::uint8_t* data, std::size_t count);
    std::vector<std::uint8_t> Feed(const std::vector<std::uint8_t>& bytes);
    // What becomes of an accepted write: kept, or answered as usual and then forgotten (a fault
    // of the line: the device acknowledges but keeps what it had).
    enum class Writes { Keep, Forget };
    // The answer frames (without preamble) to one received frame; empty when the frame is not
    // valid, not addressed to this device or not accepted.
    std::vector<std::vector<std::uint8_t>> HandleFrame(const std::vector<std::uint8_t>& frame,
                                                       Writes writes = Writes::Keep);
    bool IsAddressedBy(const std::vector<std::uint8_t>& frame) const;
    // Preamble followed by the frame, as it goes on the line.
    static std::vector<std::uint8_t> WithPreamble(const std::vector<std::uint8_t>& frame);

    // Programs 0..30 (a number outside is taken as 0).
    const SimProgram& GetProgram(int number) const;
    SimProgram& GetProgram(int number);

    int GetInputSource() const { return m_inputSource; }
    int GetBacklight() const { return m_backlight; }
    int GetTemperature() const { return m_temperature; }
    int GetStatusByte() const { return m_statusByte; }
    void SetStatusByte(int value);
    // Info text lines 0..8 (trimmed); lines 0..3 and 8 are the device's own texts, 4..7 are
    // written by the PC. SetInfoLine centres the text in its field.
    std::string GetInfoLine(int line) const;
    void SetInfoLine(int line, const std::string& text);

    const std::string& GetIdentification() const { return m_identification; }
    void SetIdentification(const std::string& text) { m_identification = text; }
    const std::string& GetTypeCode() const { return m_typeCode; }
    void SetTypeCode(const std::string& text) { m_typeCode = text; }

    // Also answer the first identity probe with the identification item 0x19.
    void SetSendIdentification(bool send) { m_sendIdentification = send; }
    // Device type reported in identity answers (normally the own type).
    void SetReportedType(int type) { m_reportedType = type; }

    // Set by every accepted write; the owner clears it after saving the state.
    bool IsDirty() const { return m_dirty; }
    void ClearDirty() { m_dirty = false; }

    // Everything a write can change, as text; LoadState takes back what SaveState gave and
    // returns false (changing nothing) for text it cannot read or for another device type.
    std::string SaveState() const;
    bool LoadState(const std::string& text);

private:
    using Frame = std::vector<std::uint8_t>;

    std::vector<Frame> HandleWrite(const std::uint8_t* frame, std::size_t length, Writes writes);
    std::vector<Frame> HandleRead(const std::uint8_t* frame);
    bool WriteChannel(int program, int group, int channel, int block, const std::uint8_t* payload,
                      std::size_t length);
    bool WriteSystem(int program, int item, const std::uint8_t* payload, std::size_t length);
    bool ReadSystem(int program, int item, std::vector<std::uint8_t>& payload);
    Frame Reply(std::uint8_t code, const std::uint8_t* request,
                const std::vector<std::uint8_t>& payload) const;
    std::vector<std::uint8_t> IdentificationPayload() const;

    int m_id;
    int m_type;
    int m_reportedType;
    std::array<SimProgram, kPrograms> m_programs;
    int m_inputSource = 0;
    int m_backlight = 0;
    int m_temperature = 25;
    int m_statusByte = 20;
    std::array<std::uint8_t, 80> m_infoTop{};       // lines 0..3
    std::array<std::uint8_t, 80> m_interfaceText{}; // lines 4..7
    std::array<std::uint8_t, 7> m_shortText{};      // line 8
    std::string m_identification = kDefaultIdentification;
    std::string m_typeCode;
    bool m_sendIdentification = false;
    bool m_identified = false;
    bool m_dirty = false;
    SimFrameReader m_reader;
    SimMeters m_meters;
};
