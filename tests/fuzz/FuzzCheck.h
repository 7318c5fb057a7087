#pragma once

// Shared pieces of the fuzz targets: a check that stops the run loudly (libFuzzer keeps the input
// that did it), a reader that takes the input apart, and a walk over everything the application
// derives from a program.

#include "core/files/Archive.h"
#include "core/files/DataTable.h"
#include "core/protocol/TransferSequences.h"
#include "core/model/AudioData.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

// Takes the fuzz input apart front to back; past the end every read gives 0 / nothing.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool AtEnd() const { return m_at >= m_size; }
    std::size_t Remaining() const { return m_size - m_at; }
    std::uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    // Up to count bytes (fewer at the end of the input).
    std::string Bytes(std::size_t count) {
        const std::size_t taken = count < Remaining() ? count : Remaining();
        std::string bytes(reinterpret_cast<const char*>(m_data + m_at), taken);
        m_at += taken;
        return bytes;
    }
    std::string Rest() { return Bytes(Remaining()); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// 1, 2 or 3 from any byte.
inline int DeviceTypeOf(std::uint8_t byte) {
    return 1 + byte % 3;
}

// The slow checks (response curves, the simulator's state text) run for about one input in four:
// they take most of a run's time and explore little, so every run paying for them would cut the
// runs a target gets through to a fraction. The length decides, together with the first byte
// (its remainder by 3 picks the variant, the rest is free), so that every seed is made to take
// them when replayed while the fuzzer's inputs, whose lengths change all the time, mostly skip
// them.
inline bool SlowChecksFor(const std::uint8_t* data, std::size_t size) {
    return size == 0 || (size + data[0] / 3) % 4 == 0;
}

// Everything a panel, the data view, a file save and a transfer take from a program: every text
// of the parameter table, the archive bytes, the records of a whole-program download and, with
// curves, the response curves. Whatever a reader or decoder let into the program must survive
// all of it.
inline void UseProgram(CAudio_Data& program, int deviceType, bool curves) {
    const DataTable table(program, deviceType);
    FUZZ_CHECK(table.GetRowCount() > 0);
    CArchive ar;
    program.Serialize(ar);
    FUZZ_CHECK(!ar.GetBuffer().empty());
    const auto records = TransferSequences::DownloadProgram(program, 0);
    FUZZ_CHECK(!records.empty());
    if (curves) {
        program.SetCurveRect(CRect{0, 0, 240, 120});
    }
}

} // namespace fuzz
