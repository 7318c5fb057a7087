#pragma once

#include "core/curves/MeasuredDriver.h"

#include <array>
#include <optional>

// The measured drivers attached to the outputs of a program, each kept as measured and as
// carried onto the plot frequencies (done once, when it is attached).
class MeasuredDrivers {
public:
    static constexpr int kOutputCount = 8;

    // False, and nothing attached, for an output outside 0..7 or a measurement without points.
    bool Attach(int output, const MeasuredDriver& driver);
    void Detach(int output);
    // nullptr when the output has no measured driver.
    const MeasuredDriver* Measurement(int output) const;
    const DriverOnGrid* OnGrid(int output) const;

private:
    struct Entry {
        MeasuredDriver measured;
        DriverOnGrid grid;
    };
    std::array<std::optional<Entry>, kOutputCount> m_entries;
};
