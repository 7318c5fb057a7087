#pragma once

#include "core/files/EqText.h"

#include <string>
#include <vector>

class CAudio_Channel;

// Taking a filter list from an equaliser program onto the EQ bands of one channel, and giving a
// channel's bands back as such a list. The filters go, in order, onto the bands the model has:
// peaking filters onto "PEQ" bands at the nearest bandwidth step, shelves onto "LoShelf" and
// "HiShelf" with the slope their name gives (else the nearest the model has), unused or
// switched-off filters onto bands that are off, frequencies to whole Hz and gains to 0.1 dB
// within the band's ranges and the editing rules. Every approximation and everything that could
// not be taken is one line of the report; nothing is left out without a line.

// What one band holds, in the model's indices.
struct EqBandSetting {
    int type = 0; // 0 peaking, 1 low shelf, 2 high shelf
    int frequency = 1000;
    int gainIndex = 300;
    int bandwidthIndex = 0;
    int slope = 0; // shelf slope: 0 = 6 dB, 1 = 12 dB
    bool on = false;

    bool operator==(const EqBandSetting& other) const;
    bool operator!=(const EqBandSetting& other) const { return !(*this == other); }
};

struct EqImportPlan {
    bool input = true;
    int deviceType = 1;
    std::vector<EqBandSetting> before; // the channel's bands as they are
    std::vector<EqBandSetting> after;  // and as the import leaves them
    int gainBefore = 0;                // channel gain index
    int gainAfter = 0;
    int taken = 0; // filters that became a band
    std::vector<std::string> report;
};

// The import of text onto the first bandCount bands of channel (a channel of the model of
// deviceType). A preamp of the text goes into the channel gain only when applyPreamp is set.
EqImportPlan PlanEqImport(const EqText& text, const CAudio_Channel& channel, bool input,
                          int deviceType, int bandCount, bool applyPreamp);
// Stores the plan's bands and gain into channel with the editors' own edits, so that every
// changed band and the levels go to a connected device.
void ApplyEqImport(const EqImportPlan& plan, CAudio_Channel& channel);

// The first bandCount bands of channel.
std::vector<EqBandSetting> BandSettings(const CAudio_Channel& channel, int bandCount);
// "PEQ 1000 Hz -3.0 dB 1.00 oct", "LoShelf 100 Hz +3.0 dB 12 dB", with "(off)" for a band
// that is off: how the report and the preview show a band.
std::string BandSettingText(const EqBandSetting& band, int deviceType);

// The first bandCount bands of channel as a filter list of format.
std::string ExportEqText(const CAudio_Channel& channel, int deviceType, int bandCount,
                         EqTextFormat format, const std::string& notes);
