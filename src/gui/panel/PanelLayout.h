#pragma once

#include <QString>

#include <vector>

struct Variant;

// Control ids of one group of strips (inputs or outputs): the id of each control of the
// group's first strip; strip k (0-based) carries id + k.
struct StripIds {
    int select;
    int polarity;
    int eq;
    int channel;
    int gainEdit;
    int fader;
    int meter;
    int mute;
    int dbLabel;
    int nameLabel;
};

// Control ids of a panel; 0 where the panel has no such control.
struct PanelIds {
    int connection;
    int program;
    int copy;
    int interface;
    int boxName;
    int esc;
    int device;
    int dataView;
    int deviceIdDisplay;
    int portDisplay;
    int linkDisplay;
    int lamp;
    int graph;
    int inputFrame;
    int outputFrame;
    int deviceIdLabel;
    int portLabel;
    int inputSourceLabel;
    int inputSourceDisplay;
    int firstInputScaleLabel;
    int firstOutputScaleLabel;
    StripIds input;
    StripIds output;
};

// The form of one model's panel: its control ids, the left edges of its strips in dialog units
// and the few ways its panel behaves on its own. Everything else of the form is the same for the
// three models (PanelGeometry).
struct PanelLayout {
    PanelIds ids;
    std::vector<int> inputX;
    std::vector<int> outputX;
    int formId; // dialog template of the panel
    // Only the 4-in/8-out panel writes "Link" / "Unlink" into its link display (the others keep
    // "Link/Unlink") and shows its Connection button inactive while the Connect dialog is open.
    bool showsLinkState;
    bool connectionInactiveWhileConnecting;

    // The layout of the variant's panel.
    static const PanelLayout& Of(const Variant& variant);
};

// Positions shared by the three panels, in dialog units (x, y, width, height).
namespace PanelGeometry {

struct UnitRect {
    int x;
    int y;
    int width;
    int height;
};

constexpr int kFormWidth = 678;
constexpr int kFormHeight = 449;

// Top line.
constexpr UnitRect kDeviceIdLabel{28, 8, 42, 8};
constexpr UnitRect kDeviceIdDisplay{71, 5, 50, 14};
constexpr UnitRect kPortLabel{131, 8, 52, 8};
constexpr UnitRect kPortDisplay{184, 5, 48, 14};
constexpr UnitRect kInputSourceLabel{237, 8, 66, 8};
constexpr UnitRect kInputSourceDisplay{305, 5, 56, 14};
constexpr UnitRect kLamp{367, 5, 12, 13};
constexpr UnitRect kLinkDisplay{383, 5, 50, 14};

constexpr UnitRect kGraph{11, 22, 602, 168};

// Right-hand column of buttons, top to bottom.
constexpr int kButtonColumnX = 619;
constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 15;
constexpr int kConnectionY = 37;
constexpr int kDataViewY = 56;
constexpr int kDeviceY = 75;
constexpr int kProgramY = 94;
constexpr int kCopyY = 113;
constexpr int kInterfaceY = 132;
constexpr int kBoxNameY = 151;
constexpr int kEscY = 170;

constexpr UnitRect kInputFrame{3, 198, 229, 243};
constexpr UnitRect kOutputFrame{243, 198, 422, 243};

// Rows of a strip: the y of each row; x inside the strip (whose left edge is the strip's x).
constexpr int kStripWidth = 44;
constexpr UnitRect kSelect{0, 213, 42, 12};
constexpr UnitRect kPolarity{0, 228, 42, 12};
constexpr UnitRect kEq{7, 243, 28, 13};
constexpr UnitRect kChannel{7, 258, 28, 13};
constexpr UnitRect kGainEdit{5, 274, 32, 12};
constexpr UnitRect kFader{3, 299, 18, 78};
constexpr UnitRect kMeter{24, 301, 7, 74};
constexpr UnitRect kMute{4, 380, 15, 15};
constexpr UnitRect kDbLabel{22, 387, 14, 8};
constexpr UnitRect kNameLabel{0, 412, 42, 12};

// Row captions at the left of each group, with the y of their row.
constexpr int kRowLabelX = 6;
constexpr int kRowLabelWidth = 28;
constexpr int kScaleLabelWidth = 30;

} // namespace PanelGeometry

// The fixed label of a channel: "Input A".."Input D", "Out 1".."Out 8" (0-based index).
QString ChannelLabel(int index, bool output);
