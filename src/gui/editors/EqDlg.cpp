#include "gui/editors/EqDlg.h"

#include "core/files/EqImport.h"
#include "core/files/EqText.h"
#include "core/files/FileReplace.h"
#include "core/files/ProgramFiles.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"
#include "gui/editors/EqImportDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/FileChooser.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/SpokenNames.h"
#include "gui/widgets/XPStyleButton.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor kChannelCaption(0, 0, 0);
// Filter lists are a few kilobytes; a file far larger is something else.
constexpr qint64 kMaxFilterListSize = 1 << 20;
const QStringList kFilterListPatterns{QStringLiteral("*.txt"), QStringLiteral("*.cfg")};

QColor ToQColor(COLORREF colour) {
    return QColor(static_cast<int>(GetRValue(colour)), static_cast<int>(GetGValue(colour)),
                  static_cast<int>(GetBValue(colour)));
}

} // namespace

const EqDlgDescription& EqDlgDescription::Input() {
    static const EqDlgDescription input{
        false,
        8,
        CFStatic::InputEq,
        "EQ>>CH ",
        "CH ",
        4,
        2290,
        {2170, 2180, 2230, 2630, 2190, 2240, 2640, 2360, 2380, 2280, 2210, 2200, 2250, 2650, 2620},
        FlatBandRefresh::ZeroGain,
        QSize(938, 280)};
    return input;
}

const EqDlgDescription& EqDlgDescription::Output() {
    static const EqDlgDescription output{
        true,
        6,
        CFStatic::OutputEq,
        "EQ>>OUT",
        "Out",
        8,
        2300,
        {1222, 2310, 2320, 2660, 1246, 2330, 2670, 2390, 2396, 1240, 1270, 1252, 1258, 2680, 2610},
        FlatBandRefresh::StoredGain,
        QSize()};
    return output;
}

EqDlg* EqDlg::InEQDlg(const Variant& variant, QWidget* parent) {
    return new EqDlg(EqDlgDescription::Input(), variant, parent);
}

EqDlg* EqDlg::OutEQDlg(const Variant& variant, QWidget* parent) {
    return new EqDlg(EqDlgDescription::Output(), variant, parent);
}

EqDlg::EqDlg(const EqDlgDescription& description, const Variant& variant, QWidget* parent)
    : EditorWindow(parent), m_description(description), m_variant(variant) {
    setObjectName(description.output ? QStringLiteral("outEqDlg") : QStringLiteral("inEqDlg"));
    Build(variant);
}

void EqDlg::Build(const Variant& variant) {
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (int k = 0; k < m_description.channelCount; ++k) {
        auto* button = WithControlId(
            new XPStyleButton(QLatin1String(m_description.buttonPrefix) + ChannelLabel(k), this),
            m_description.firstChannelButtonId + k, QStringLiteral("channel%1").arg(k + 1));
        button->setAutoDefault(false);
        button->setTextColors(kChannelCaption);
        // Hidden from the start: the editor's channel is chosen on the panel.
        button->hide();
        buttons->addWidget(button);
        m_channelButtons.push_back(button);
    }
    buttons->addStretch(1);
    m_import = new QPushButton(tr("Import…"), this);
    m_import->setObjectName(QStringLiteral("eqImport"));
    m_export = new QPushButton(tr("Export…"), this);
    m_export->setObjectName(QStringLiteral("eqExport"));
    for (QPushButton* button : {m_import, m_export}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    connect(m_import, &QPushButton::clicked, this, &EqDlg::ImportEq);
    connect(m_export, &QPushButton::clicked, this, &EqDlg::ExportEq);

    auto* bands = new QHBoxLayout;
    bands->setSpacing(4);
    for (int b = 0; b < m_description.bandCount; ++b) {
        auto* band = new EqBandWidget(
            b, m_description.firstBandIds.OfBand(b), variant.deviceType, m_description.flatRefresh,
            [this, b] { return Band(b); }, this);
        connect(band, &EqBandWidget::bandEdited, this, &EqDlg::Redraw);
        bands->addWidget(band);
        m_bands.push_back(band);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addLayout(bands);
    const bool compact = UsesCompactRules(variant.deviceType);
    setFixedSize(compact && !m_description.compactSize.isEmpty() ? m_description.compactSize
                                                                 : sizeHint());
}

EqBandWidget* EqDlg::BandWidget(int band) const {
    return band >= 0 && band < static_cast<int>(m_bands.size())
               ? m_bands[static_cast<std::size_t>(band)]
               : nullptr;
}

QString EqDlg::ChannelLabel(int index) const {
    return m_description.output ? QString::number(index + 1)
                                : QString(QChar(static_cast<char16_t>(u'A' + index)));
}

CAudio_Channel* EqDlg::ChannelAt(int index) const {
    CAudio_Data* program = Program();
    if (program == nullptr) {
        return nullptr;
    }
    if (m_description.output) {
        return program->GetOutput(index);
    }
    return program->GetInput(index);
}

CFilter* EqDlg::Band(int band) const {
    CAudio_Channel* channel = ChannelAt(m_channel);
    return channel != nullptr ? channel->GetFilter(band) : nullptr;
}

void EqDlg::SelectChannel(int index) {
    m_channel = index;
    setWindowTitle(QLatin1String(m_description.titlePrefix) + ChannelLabel(index));
    SpokenNames::NameFor(this, index, m_description.output);
    for (int k = 0; k < static_cast<int>(m_channelButtons.size()); ++k) {
        XPStyleButton* button = m_channelButtons[static_cast<std::size_t>(k)];
        if (const CAudio_Channel* channel = ChannelAt(k)) {
            const QColor colour = ToQColor(channel->GetColor());
            button->setColors(colour, colour.darker(130));
        }
        button->setSelected(k == index);
    }
    if (CFStatic* graph = Graph()) {
        if (m_description.output) {
            graph->SelectOutput(index);
        } else {
            graph->SelectInput(index);
        }
    }
    ShowProgram();
}

void EqDlg::ShowProgram() {
    for (EqBandWidget* band : m_bands) {
        band->ShowBand();
    }
}

void EqDlg::ReloadFilter(int filterIndex) {
    if (EqBandWidget* band = BandWidget(filterIndex)) {
        band->RefreshBand();
    }
}

void EqDlg::ShowOnGraph() {
    CFStatic* graph = Graph();
    if (graph == nullptr) {
        return;
    }
    graph->SetMode(m_description.graphMode);
    if (m_description.output) {
        graph->SelectOutput(m_channel);
    } else {
        graph->SelectInput(m_channel);
    }
}

void EqDlg::Redraw() {
    if (CAudio_Channel* channel = ChannelAt(m_channel)) {
        channel->UpdateCurve();
    }
    if (CFStatic* graph = Graph()) {
        graph->Redraw();
    }
}

int EqDlg::ModelBandCount() const {
    return m_description.output ? m_variant.outputEqBands : m_variant.inputEqBands;
}

void EqDlg::ImportEq() {
    CAudio_Channel* channel = ChannelAt(m_channel);
    if (channel == nullptr) {
        return;
    }
    const QString path = ChooseFile(this, {FileRequest::Open, kFilterListPatterns});
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFilterListSize) {
        ShowMessage(this, QString::fromLatin1(kFileReadError));
        return;
    }
    const EqText text = ReadEqText(file.readAll().toStdString());
    EqImportDlg preview(
        text, *channel, !m_description.output, m_variant.deviceType, ModelBandCount(),
        tr("Import %1 onto %2").arg(QFileInfo(path).fileName(), windowTitle()), this);
    if (preview.exec() != QDialog::Accepted) {
        return;
    }
    const int gainBefore = channel->GetGain();
    // Stored with the editors' own edits: every changed band goes out at the next ticks.
    ApplyEqImport(preview.Plan(), *channel);
    emit eqImported(m_channel, m_description.output);
    ShowProgram();
    Redraw();
    if (channel->GetGain() != gainBefore) {
        emit channelLevelsChanged(m_channel, m_description.output);
    }
}

void EqDlg::ExportEq() {
    const CAudio_Channel* channel = ChannelAt(m_channel);
    if (channel == nullptr) {
        return;
    }
    const QString path = ChooseFile(this, {FileRequest::Save, kFilterListPatterns});
    if (path.isEmpty()) {
        return;
    }
    const EqTextFormat format = path.endsWith(QLatin1String(".cfg"), Qt::CaseInsensitive)
                                    ? EqTextFormat::Apo
                                    : EqTextFormat::Rew;
    const std::string notes = "Sonvex " + std::string(m_variant.name) + " " +
                              windowTitle().toStdString() + " \"" + channel->GetName() + "\"";
    const std::string text =
        ExportEqText(*channel, m_variant.deviceType, ModelBandCount(), format, notes);
    if (!ReplaceFileContents(path.toStdString(),
                             std::vector<std::uint8_t>(text.begin(), text.end()))) {
        ShowMessage(this, QString::fromLatin1(kFileWriteError));
    }
}
