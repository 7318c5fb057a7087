#pragma once

#include "core/plot/Geometry.h"
#include "core/plot/PlotGrid.h"

#include <array>
#include <memory>
#include <string>

class CArchive;
struct BandImage;
struct CrossoverImage;

// One filter section of a channel: a parametric EQ band (peaking, low shelf, high shelf)
// or one of the two crossover filters (high-pass, low-pass). Keeps the user parameters,
// what the command engine needs to send it, and for drawing its magnitude response at the
// plot frequencies and the positions of its drag handles in the response graph.
class CFilter {
public:
    enum Type { Peaking = 0, LowShelf = 1, HighShelf = 2, HighPass = 3, LowPass = 4 };
    enum CrossoverType { LinkwitzRiley = 0, Bessel = 1, Butterworth = 2 };

    // The bandwidth handle a drag holds.
    enum BandwidthSide { NoSide = 0, LeftSide = 1, RightSide = 2 };

    CFilter() = default;
    CFilter(const CFilter&) = delete;
    CFilter& operator=(const CFilter&) = delete;

    // Setters: store, mark the response to be worked out again and the section changed.
    void SetType(int type);
    void SetFrequency(int hz);
    void SetGain(double dB);
    void SetGainIndex(int index);
    void SetFlat(int flat);
    void SetBandwidth(double octaves);
    void SetBandwidthIndex(int index);
    void SetCrossoverType(int type);
    void SetSlope(int slope);
    // Bookkeeping setters: no response, no flag.
    void SetCode(int code);
    void SetBandMode(int bandMode);
    void SetDeviceType(int deviceType);
    // The frequency last given to the device, as a program file keeps it.
    void SetSentFrequency(int hz);
    // Graph size: recomputes the handles and marks the response to be worked out again, no flag.
    void SetCurveRect(const CRect& rect);

    int GetType() const { return m_type; }
    int GetFrequency() const { return m_frequency; }
    int GetSentFrequency() const { return m_sentFrequency; }
    double GetGain() const { return m_gain; }
    int GetGainIndex() const;
    int IsFlat() const { return m_flat; }
    double GetBandwidth() const { return m_bandwidth; }
    int GetBandwidthIndex() const;
    double GetQ() const;
    int GetCrossoverType() const { return m_crossoverType; }
    int GetSlope() const { return m_slope; }
    int GetCode() const { return m_code; }
    int GetBandMode() const { return m_bandMode; }
    int IsChanged() const { return m_changed; }
    // Marks the section to be sent again as it is (a value put back from a kept state).
    void MarkChanged() { m_changed = 1; }
    int GetDeviceType() const { return m_deviceType; }
    int GetGraphWidth() const { return m_width; }
    int GetGraphHeight() const { return m_height; }
    // Response in dB at PlotFrequencies[i]; 0.0 outside 0..240.
    double GetResponse(int i) const;
    const std::array<double, PlotPointCount>& GetResponses() const;
    const CRect& GetBandHandle() const { return m_bandHandle; }
    void GetBandwidthHandles(CRect& left, CRect& right) const;
    const CRect& GetLeftBandwidthHandle() const { return m_leftHandle; }
    const CRect& GetRightBandwidthHandle() const { return m_rightHandle; }

    std::string GetFrequencyText() const;
    std::string GetGainText() const;
    std::string GetBandwidthText() const;
    std::string GetQText() const;
    std::string GetTypeText() const;
    std::string GetShelfSlopeText() const;
    std::string GetCrossoverTypeText() const;
    std::string GetSlopeText() const;

    // Moves the sent frequency at most one octave towards the set frequency; the changed
    // flag takes value once both agree (and always for an EQ band).
    void StepSentFrequency(int value);
    // Recomputes the response from the current parameters.
    // The response is worked out when it is next read: a section kept only for its values (an
    // undo step's copy of a channel, a program kept for comparison) never holds one.
    void ForgetResponse() { m_responseStale = true; }
    void ComputeResponse() const;
    // Takes the user parameters of other; block code, band mode, device type and changed
    // flag stay.
    void CopyFrom(const CFilter& other);
    // EQ band: takes type, frequency, gain index, bandwidth index and shelf slope of a band
    // record of a program image, through the setters.
    void LoadFromImage(const BandImage& band);
    // Crossover section: takes frequency, crossover type and slope from the high-pass or the
    // low-pass fields by its own type; the response is not recomputed.
    void LoadFromImage(const CrossoverImage& highPass, const CrossoverImage& lowPass);
    // Stores or loads the nine archived fields; loading marks the response to be worked out again.
    void Serialize(CArchive& ar);

    // Graph editing. Points are in graph control pixels (margins included). The section keeps
    // no drag state: the graph keeps what a drag holds and hands it back on every step.
    // Offset of point from the band (or crossover) handle centre, which a handle drag keeps.
    CPoint BeginDrag(CPoint point) const;
    // Moves the band to where the handle centre lands with the pointer at point; true when the
    // frequency or the gain index changed.
    bool DragTo(CPoint point, CPoint grabOffset);
    // Offset of x from the inner edge of the held bandwidth handle (0 when none is held).
    int BeginBandwidthDrag(int x, BandwidthSide side) const;
    // Sets the bandwidth from the band centre to the pointer's x on the held side, in the
    // device type's steps; nothing happens when no side is held. Always reports a change.
    bool DragBandwidth(int x, BandwidthSide side);
    // Moves a crossover section with its handle, never past limit, the other section's
    // frequency; true when the frequency changed.
    bool DragCrossoverTo(CPoint point, CPoint grabOffset, int limit);

private:
    void UpdateHandles();
    void UpdateBandHandle();
    void UpdateBandwidthHandles();

    mutable std::unique_ptr<std::array<double, PlotPointCount>> m_response;
    mutable bool m_responseStale = true;
    CRect m_bandHandle;
    CRect m_leftHandle;
    CRect m_rightHandle;
    int m_type = Peaking;
    int m_frequency = 10;
    int m_sentFrequency = 10;
    double m_gain = 0.0;
    int m_flat = 1;
    double m_bandwidth = 0.05;
    int m_crossoverType = Butterworth;
    int m_slope = 0;
    int m_code = 0;
    int m_width = 0;
    int m_height = 0;
    int m_bandMode = 1;
    int m_changed = 0;
    int m_deviceType = 1;
};
