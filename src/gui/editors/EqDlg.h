#pragma once

#include "gui/editors/EditorWindow.h"
#include "gui/editors/EqBandWidget.h"

#include <QSize>
#include <QString>

#include <vector>

class CAudio_Channel;
class CFilter;
class QPushButton;
class XPStyleButton;
struct Variant;

// What tells the input EQ editor from the output EQ editor: which channels it edits, how many
// bands, their control ids, the graph mode, the titles and what a drag of a switched-off band
// shows.
struct EqDlgDescription {
    bool output;
    int bandCount;
    int graphMode;            // CFStatic::InputEq or CFStatic::OutputEq
    const char* titlePrefix;  // "EQ>>CH " + "A".., "EQ>>OUT" + "1"..
    const char* buttonPrefix; // channel buttons: "CH " + "A".., "Out" + "1"..
    int channelCount;         // channel buttons
    int firstChannelButtonId;
    EqBandIds firstBandIds; // band b has these ids + b
    FlatBandRefresh flatRefresh;
    // The window size on the 3-in/6-out and 2-in/4-out models; empty: the size of its controls.
    QSize compactSize;

    static const EqDlgDescription& Input();
    static const EqDlgDescription& Output();
};

// The modeless EQ editor of one channel: its bands side by side (EqBandWidget), titled after the
// channel. Every change goes into the model and redraws the graph; the panel's service tick sends
// the changed bands. While the editor is the one the operator works in, the graph shows its
// channel in its EQ mode, and bands dragged there are shown again through ReloadFilter.
class EqDlg : public EditorWindow {
    Q_OBJECT

public:
    // The editor of an input's eight bands ("EQ>>CH A"..) and of an output's six ("EQ>>OUT1"..).
    static EqDlg* InEQDlg(const Variant& variant, QWidget* parent = nullptr);
    static EqDlg* OutEQDlg(const Variant& variant, QWidget* parent = nullptr);

    EqDlg(const EqDlgDescription& description, const Variant& variant, QWidget* parent = nullptr);

    const EqDlgDescription& Description() const { return m_description; }
    int Channel() const { return m_channel; }
    EqBandWidget* BandWidget(int band) const;

    void SelectChannel(int index) override;
    void ShowProgram() override;
    void ReloadFilter(int filterIndex) override;
    void ShowOnGraph() override;

    // "Import…": a REW or Equalizer APO filter list onto the channel's bands, after a preview
    // of the bands before and after with every line of the report; "Export…": the bands as
    // such a list (Equalizer APO lines for a ".cfg" file, else a REW filter settings file).
    QPushButton* ImportButton() const { return m_import; }
    QPushButton* ExportButton() const { return m_export; }
    void ImportEq();
    void ExportEq();

signals:
    // An import changed the channel's levels (the preamp went into its gain).
    void channelLevelsChanged(int channel, bool output);
    // An import was applied to the channel.
    void eqImported(int channel, bool output);

private:
    void Build(const Variant& variant);
    // Channel index of the program (input or output), fetched from the program; nullptr without
    // one.
    CAudio_Channel* ChannelAt(int index) const;
    // The band of the shown channel; nullptr without one.
    CFilter* Band(int band) const;
    QString ChannelLabel(int index) const;
    // The channel's curve follows the edit, and the graph shows it.
    void Redraw();

    // EQ bands the model has on the channel (the editor may show more).
    int ModelBandCount() const;

    const EqDlgDescription& m_description;
    const Variant& m_variant;
    int m_channel = 0;
    QPushButton* m_import = nullptr;
    QPushButton* m_export = nullptr;
    std::vector<EqBandWidget*> m_bands;
    std::vector<XPStyleButton*> m_channelButtons;
};
