#pragma once

#include <string>
#include <vector>

// The filter lists that room measurement and PC equaliser programs exchange as text: the filter
// settings file of Room EQ Wizard (equaliser "Generic", the filter names of both its
// generations) and the configuration lines of Equalizer APO. Lines are read by their words, not
// by columns, and numbers may carry a decimal point or a decimal comma.

enum class EqTextKind {
    Peaking,   // PK, PEQ
    LowShelf,  // LS, LS Q, LS 6dB, LS 12dB, LSC
    HighShelf, // HS, HS Q, HS 6dB, HS 12dB, HSC
    Other,     // a filter an EQ band cannot be: HP, LP, Notch, All pass, Modal, ...
    None,      // an unused filter slot
};

struct EqTextFilter {
    int line = 0;   // 1-based line of the text
    int number = 0; // the filter's own number; 0 when the line gives none
    bool on = true;
    std::string typeName; // as written, words joined by one blank ("LS 12dB")
    EqTextKind kind = EqTextKind::None;
    int shelfSlopeDb = 0; // 6 or 12 when the name gives the slope, else 0
    bool hasFrequency = false;
    double frequency = 0.0; // Hz
    bool hasGain = false;
    double gain = 0.0; // dB
    bool hasQ = false;
    double q = 0.0;
    bool hasOctaves = false;
    double octaves = 0.0; // bandwidth
};

struct EqText {
    std::vector<EqTextFilter> filters;
    bool hasPreamp = false;
    double preamp = 0.0; // dB, the sum of every preamp line
    // What the text held that is neither a filter nor a preamp nor a known heading, one line
    // each ("line 4: not read: Channel: L").
    std::vector<std::string> notRead;
};

EqText ReadEqText(const std::string& text);

// How a filter list is written: REW's filter settings file or Equalizer APO lines.
enum class EqTextFormat { Rew, Apo };

// One EQ band as a filter line writes it.
struct EqTextBand {
    int type = 0; // 0 peaking, 1 low shelf, 2 high shelf
    bool on = false;
    int frequency = 1000; // Hz
    double gain = 0.0;    // dB
    double q = 1.0;
    int shelfSlope = 0; // 0 = 6 dB, 1 = 12 dB
};

// The whole text of a filter list, one line per band in band order; notes go into the
// heading of a REW file and into comment lines of an APO file.
std::string WriteEqText(const std::vector<EqTextBand>& bands, EqTextFormat format,
                        const std::string& notes);
