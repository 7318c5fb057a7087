#include "core/model/MeasuredDrivers.h"

namespace {

bool IsOutput(int output) {
    return output >= 0 && output < MeasuredDrivers::kOutputCount;
}

} // namespace

bool MeasuredDrivers::Attach(int output, const MeasuredDriver& driver) {
    if (!IsOutput(output) || driver.hz.empty() || driver.levelDb.size() != driver.hz.size()) {
        return false;
    }
    m_entries[static_cast<std::size_t>(output)] = Entry{driver, DriverResponse(driver)};
    return true;
}

void MeasuredDrivers::Detach(int output) {
    if (IsOutput(output)) {
        m_entries[static_cast<std::size_t>(output)].reset();
    }
}

const MeasuredDriver* MeasuredDrivers::Measurement(int output) const {
    if (!IsOutput(output) || !m_entries[static_cast<std::size_t>(output)]) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(output)]->measured;
}

const DriverOnGrid* MeasuredDrivers::OnGrid(int output) const {
    if (!IsOutput(output) || !m_entries[static_cast<std::size_t>(output)]) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(output)]->grid;
}
