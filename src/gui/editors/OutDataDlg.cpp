// Showing the output channel and what the operator does in the dialog.
#include "gui/editors/OutDataDlg.h"

#include "core/model/AudioData.h"
#include "core/model/ChannelEdits.h"
#include "core/model/EditRules.h"
#include "core/model/ParameterValues.h"
#include "gui/editors/CrossoverGroup.h"
#include "gui/editors/FaderGroup.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/StateButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

// Release index shown while the timing is automatic ("16X").
constexpr int kAutomaticRelease = 4;

// Sets a crossover frequency and returns the frequency the output keeps: the high-pass never
// lies above the low-pass.
int SetCrossoverFrequency(CAudio_OutData& output, bool highPass, int hz) {
    return highPass ? ChannelEdits::SetHighPassFrequency(output, hz)
                    : ChannelEdits::SetLowPassFrequency(output, hz);
}

} // namespace

QString OutDataDlg::ChannelTitle(int index) const {
    return QStringLiteral("Out%1").arg(index + 1);
}

StateButton* OutDataDlg::SourceButton(int input) const {
    return input >= 0 && input < kSourceCount ? m_sources[static_cast<std::size_t>(input)]
                                              : nullptr;
}

CAudio_OutData* OutDataDlg::Output() const {
    return Program() != nullptr ? Program()->GetOutput(Channel()) : nullptr;
}

CAudio_Channel* OutDataDlg::ShownChannel() const {
    return Output();
}

void OutDataDlg::Redraw() {
    if (Graph() != nullptr) {
        Graph()->Redraw();
    }
}

void OutDataDlg::ShowOnGraph() {
    if (Graph() != nullptr) {
        Graph()->SelectOutput(Channel());
        Graph()->SetMode(CFStatic::OutputCrossover);
    }
}

// --- Showing the output ---

void OutDataDlg::ShowProgram() {
    const CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    ShowSources(output->GetSourceMask());
    Delay()->ShowDelay(output->GetDelay());
    ShowCrossover(true);
    ShowCrossover(false);
    m_threshold->Show(output->GetLimitThreshold());
    m_clipLimit->Show(output->GetClipLimit());
    m_ratio->Show(output->GetRatio());
    {
        const QSignalBlocker blocker(m_ratioList);
        m_ratioList->setCurrentIndex(output->GetRatio());
    }
    ShowManualTiming();

    // As the program has them: showing the program changes nothing in it.
    const bool compressor = output->GetCompressorMode() != 0;
    (compressor ? m_compressor : m_limit)->setChecked(true);
    // A limiter has no automatic timing: one that a file or a device left with it shows
    // "Manual", and keeps what it holds until the operator edits its dynamics.
    const bool automatic = output->GetAutoTiming() != 0 && EditRules::KeepsLimiterTiming(*output);
    SetTimingRadio(automatic);
    ShowModeEnabled(compressor);
    ShowTimingEnabled(automatic);
    if (automatic) {
        ShowAutomaticTiming();
    }
}

void OutDataDlg::ShowSources(int mask) {
    for (int k = 0; k < kSourceCount; ++k) {
        const bool on = (mask & (1 << k)) != 0;
        m_sources[static_cast<std::size_t>(k)]->setState(on ? 1 : 0);
        m_sourceChecks[static_cast<std::size_t>(k)]->setChecked(on);
    }
}

void OutDataDlg::ShowCrossover(bool highPass) {
    CAudio_OutData* output = Output();
    const CFilter* filter = highPass ? output->GetHighPass() : output->GetLowPass();
    CrossoverGroup* group = Crossover(highPass);
    group->ShowFrequency(filter->GetFrequency());
    group->ShowSlope(filter->GetSlope());
    group->ShowFamily(filter->GetCrossoverType());
}

void OutDataDlg::ShowManualTiming() {
    const CAudio_OutData* output = Output();
    m_attack->Show(output->GetAttack());
    m_release->Show(output->GetRelease());
    ShowReleaseText();
}

void OutDataDlg::ShowAutomaticTiming() {
    // Only shown: the channel keeps its own attack and release for the manual timing.
    m_attack->Show(Output()->GetHighPassClass());
    m_release->Show(kAutomaticRelease);
    ShowReleaseText();
}

void OutDataDlg::ShowReleaseText() {
    const int release = m_release->Edit()->value();
    m_release->Edit()->setText(
        QString::fromStdString(ReleaseTimeText(release, m_attack->Edit()->value())));
    const QSignalBlocker blocker(m_release->Fader());
    m_release->Fader()->setPosition(ReleaseRange.max - release);
}

void OutDataDlg::ShowModeEnabled(bool compressor) {
    m_clipLimit->SetControlsEnabled(compressor);
    m_ratio->SetControlsEnabled(compressor);
    m_manual->setEnabled(compressor);
    m_auto->setEnabled(compressor);
}

void OutDataDlg::ShowTimingEnabled(bool automatic) {
    m_attack->SetControlsEnabled(!automatic);
    m_release->SetControlsEnabled(!automatic);
}

void OutDataDlg::SetTimingRadio(bool automatic) {
    (automatic ? m_auto : m_manual)->setChecked(true);
}

void OutDataDlg::ReloadFilter(int filterIndex) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const int highPassIndex = output->GetFilterCount() - 2;
    const int lowPassIndex = output->GetFilterCount() - 1;
    if (filterIndex == highPassIndex) {
        m_highPass->ShowFrequency(output->GetHighPass()->GetFrequency());
        // The automatic attack follows the high-pass frequency.
        if (m_auto->isChecked()) {
            ShowAutomaticTiming();
        }
    } else if (filterIndex == lowPassIndex) {
        m_lowPass->ShowFrequency(output->GetLowPass()->GetFrequency());
    }
}

// --- What the operator does ---

void OutDataDlg::OnSource(int input, bool on) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const int bit = 1 << input;
    const int mask = on ? (output->GetSourceMask() | bit) : (output->GetSourceMask() & ~bit);
    // The smaller models keep at least one source on every output: a refused change shows the
    // sources as they were.
    ChannelEdits::SetSourceMask(*output, static_cast<std::uint8_t>(mask));
    ShowSources(output->GetSourceMask());
}

void OutDataDlg::CrossoverFrequencyChanged(bool highPass) {
    // The automatic attack follows the high-pass frequency.
    if (highPass && m_auto->isChecked()) {
        ShowAutomaticTiming();
    }
    Redraw();
}

void OutDataDlg::OnFrequencyEntered(bool highPass, int hz) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    Crossover(highPass)->ShowFrequency(SetCrossoverFrequency(*output, highPass, hz));
    CrossoverFrequencyChanged(highPass);
}

void OutDataDlg::OnFrequencyFader(bool highPass, int hz) {
    CAudio_OutData* output = Output();
    CrossoverGroup* group = Crossover(highPass);
    if (output == nullptr || hz == group->FrequencyEdit()->value()) {
        return;
    }
    // Like the low-pass, the high-pass fader stays where the operator put it unless it went
    // past the other filter: moving it to the frequency it reads would put it one step off
    // (30000 Hz shows at position 1), and its release would store that step.
    const int kept = SetCrossoverFrequency(*output, highPass, hz);
    if (kept != hz) {
        group->ShowFrequency(kept);
    } else {
        group->ShowFrequencyInField(hz);
    }
    CrossoverFrequencyChanged(highPass);
}

void OutDataDlg::OnSlope(bool highPass, int slope) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    (highPass ? output->GetHighPass() : output->GetLowPass())->SetSlope(slope);
    Crossover(highPass)->ShowSlope(slope);
    Redraw();
}

void OutDataDlg::OnFamily(bool highPass, int family) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    CFilter* filter = highPass ? output->GetHighPass() : output->GetLowPass();
    // A click on the selected family leaves it selected and changes nothing.
    if (filter->GetCrossoverType() != family) {
        filter->SetCrossoverType(family);
        Redraw();
    }
    Crossover(highPass)->ShowFamily(filter->GetCrossoverType());
}

void OutDataDlg::OnAttack(int attack) {
    if (CAudio_OutData* output = Output()) {
        ChannelEdits::SetAttack(*output, static_cast<std::uint8_t>(attack));
    }
    ShowReleaseText();
}

void OutDataDlg::OnRelease(int release) {
    if (CAudio_OutData* output = Output()) {
        ChannelEdits::SetRelease(*output, static_cast<std::uint8_t>(release));
    }
    ShowReleaseText();
}

void OutDataDlg::OnRatio(int ratio) {
    if (CAudio_OutData* output = Output()) {
        output->SetRatio(ratio);
    }
    const QSignalBlocker blocker(m_ratioList);
    m_ratioList->setCurrentIndex(ratio);
}

void OutDataDlg::OnModeRadio() {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const int mode = m_compressor->isChecked() ? 1 : 0;
    if (mode == output->GetCompressorMode()) {
        return;
    }
    const bool wasAutomatic = m_auto->isChecked();
    // A limiter has no automatic timing: "Limit" turns it to "Manual".
    ChannelEdits::SetCompressorMode(*output, mode);
    ShowModeEnabled(mode != 0);
    m_clipLimit->Show(output->GetClipLimit());
    if (wasAutomatic && output->GetAutoTiming() == 0) {
        // Back to the channel's own attack and release.
        SetTimingRadio(false);
        ShowTimingEnabled(false);
        ShowManualTiming();
    }
}

void OutDataDlg::OnTimingRadio() {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const bool automatic = m_auto->isChecked();
    if (automatic == (output->GetAutoTiming() != 0)) {
        return;
    }
    if (!ChannelEdits::SetAutoTiming(*output, automatic ? 1 : 0)) {
        SetTimingRadio(false);
        return;
    }
    ShowTimingEnabled(automatic);
    if (automatic) {
        ShowAutomaticTiming();
    } else {
        ShowManualTiming();
    }
}
