#include "link/protocol/FoundIdTable.h"

namespace {

constexpr std::array<std::uint16_t, FoundIdTableSize> AllPresent() {
    std::array<std::uint16_t, FoundIdTableSize> table{};
    for (int id = 1; id < FoundIdTableSize; ++id) {
        table[static_cast<std::size_t>(id)] = static_cast<std::uint16_t>(id);
    }
    return table;
}

} // namespace

std::array<std::uint16_t, FoundIdTableSize> FoundIdTable = AllPresent();

void ResetFoundIdTable() {
    FoundIdTable = AllPresent();
}
