#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The device IDs 1..250 found on the line by the last ID search of a session. The session that
// runs the search keeps it; the dialogs that offer device IDs and the command-line search read
// it from there. Entry n is n while device n counts as present and 0 when it does not; entry 0
// is unused. A new table counts every device as present: nothing has been searched yet.
class FoundIdTable {
public:
    static constexpr int kFirstId = 1;
    static constexpr int kLastId = 250;

    FoundIdTable() { Reset(); }

    // Entry id: id while the device counts as present, 0 otherwise (also for IDs out of range).
    std::uint16_t operator[](int id) const { return IsInRange(id) ? m_entries[Index(id)] : 0; }
    bool IsPresent(int id) const { return (*this)[id] != 0; }
    // IDs out of 1..250 are ignored.
    void MarkPresent(int id);
    void MarkAbsent(int id);
    // Every ID absent, as a search starts.
    void Clear();
    // Every ID present, as at start.
    void Reset();
    // Whether a search has filled the table since it was made or last reset: only then are the
    // IDs present the devices actually found on the line.
    bool Searched() const { return m_searched; }
    // The IDs present, ascending.
    std::vector<int> Ids() const;

private:
    static bool IsInRange(int id) { return id >= kFirstId && id <= kLastId; }
    static std::size_t Index(int id) { return static_cast<std::size_t>(id); }

    std::array<std::uint16_t, kLastId + 1> m_entries{};
    bool m_searched = false;
};
