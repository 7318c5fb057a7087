#include "control/FoundIdTable.h"

void FoundIdTable::MarkPresent(int id) {
    if (IsInRange(id)) {
        m_entries[Index(id)] = static_cast<std::uint16_t>(id);
    }
}

void FoundIdTable::MarkAbsent(int id) {
    if (IsInRange(id)) {
        m_entries[Index(id)] = 0;
    }
}

void FoundIdTable::Clear() {
    m_entries.fill(0);
    m_searched = true;
}

void FoundIdTable::Reset() {
    m_searched = false;
    for (int id = kFirstId; id <= kLastId; ++id) {
        MarkPresent(id);
    }
}

std::vector<int> FoundIdTable::Ids() const {
    std::vector<int> ids;
    for (int id = kFirstId; id <= kLastId; ++id) {
        if (IsPresent(id)) {
            ids.push_back(id);
        }
    }
    return ids;
}
