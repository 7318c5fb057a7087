#pragma once

#include "core/model/Filter.h"
#include "core/model/ValueTables.h"
#include "core/plot/Geometry.h"

#include <array>
#include <memory>
#include <vector>

class CArchive;

// The ordered filter sections of one channel: the EQ bands, then the crossover
// high-pass, then the crossover low-pass; plus the summed curve of the sections in
// graph pixels.
class CEQ {
public:
    CEQ() = default;
    CEQ(const CEQ&) = delete;
    CEQ& operator=(const CEQ&) = delete;

    // Builds count sections (count - 2 EQ bands and the two crossover filters). Inputs use
    // (true, 10), outputs (false, 8). Replaces any sections made before.
    void Create(bool forInput, int count);

    int GetFilterCount() const { return static_cast<int>(m_filters.size()); }
    // Section index, or nullptr outside 0..count-1.
    CFilter* GetFilter(int index) const;
    CFilter* GetHighPass() const; // section count - 2
    CFilter* GetLowPass() const;  // section count - 1

    void SetCurveRect(const CRect& rect);
    // Sums the responses of the EQ bands only / of every section into the curve points.
    void SumBands();
    void SumAll();
    // Summed curve point, (0, 0) outside 0..240.
    CPoint GetCurvePoint(int index) const;
    int GetGraphWidth() const { return m_width; }
    int GetGraphHeight() const { return m_height; }

    // Copies the user parameters of every section from the same section of other.
    void CopyFrom(const CEQ& other);
    // Stores or loads every section in order (no count).
    void Serialize(CArchive& ar);

    // A section number kept for the editors; the model does not read it.
    int selected = 0;

private:
    void SumSections(int count);

    std::vector<std::unique_ptr<CFilter>> m_filters;
    std::array<CPoint, PlotPointCount> m_points{};
    int m_height = 0;
    int m_width = 0;
};
