#include "gui/session/EditRecorder.h"

#include "core/files/ZorvanDoc.h"
#include "core/model/ChannelState.h"
#include "core/model/Variant.h"
#include "gui/session/EditStep.h"
#include "gui/session/StepNames.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QUndoStack>

namespace {

// The kept channel takes the channel's values.
template <class Channel> void KeepChannel(Channel& kept, const Channel& channel) {
    kept.CopyFrom(channel);
    kept.SetEnabled(channel.IsEnabled());
}

bool IsRepeat(const QEvent* event) {
    return static_cast<const QKeyEvent*>(event)->isAutoRepeat();
}

} // namespace

EditRecorder::EditRecorder(CZorvanDoc& document, const Variant& variant, QUndoStack& history,
                           QObject* parent)
    : QObject(parent), m_document(document), m_variant(variant), m_history(history) {
    m_kept.SetDeviceType(variant.deviceType);
    Keep();
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(this);
    }
}

EditRecorder::~EditRecorder() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeEventFilter(this);
    }
}

void EditRecorder::Keep() {
    const CAudio_Data& program = m_document.GetProgram();
    for (int i = 0; i < m_variant.inputCount; ++i) {
        KeepChannel(*m_kept.GetInput(i), *program.GetInput(i));
    }
    for (int n = 0; n < m_variant.outputCount; ++n) {
        KeepChannel(*m_kept.GetOutput(n), *program.GetOutput(n));
    }
    m_keptSettings = DeviceSettings::Of(program);
    KeepTexts();
}

void EditRecorder::KeepTexts() {
    m_keptName = m_document.GetProgram().GetName();
    m_keptTitle = m_document.GetTitle();
}

void EditRecorder::Commit(const QString& name, Scope scope) {
    // A turn of the wheel whose step has not been taken yet still belongs to its gesture.
    const bool wheel =
        name.isEmpty() && scope == Scope::Channels && m_commitPosted && m_postedWheel;
    CommitNow(name, scope, wheel);
}

void EditRecorder::CommitNow(const QString& name, Scope scope, bool wheel) {
    CAudio_Data& program = m_document.GetProgram();
    QStringList labels;
    QStringList changes;
    auto step = std::make_unique<EditStep>(*this, QString(), EditStep::Gesture::None);
    // Only an edit of names alone is typing.
    bool namesOnly = name.isEmpty() && scope == Scope::Channels;
    const auto noteDifference = [&namesOnly](const ChannelDifference& d) {
        ChannelDifference others = d;
        others.name = false;
        namesOnly = namesOnly && !others.Any();
    };
    for (int i = 0; i < m_variant.inputCount; ++i) {
        CAudio_InData& kept = *m_kept.GetInput(i);
        const CAudio_InData& now = *program.GetInput(i);
        const ChannelDifference difference = ChannelState::Compare(kept, now);
        if (difference.Any()) {
            noteDifference(difference);
            labels << StepNames::ChannelLabel(i, false);
            changes << StepNames::Changes(difference, false);
            step->AddInput(i, ChannelState::Copy(kept), ChannelState::Copy(now));
            KeepChannel(kept, now);
        }
    }
    for (int n = 0; n < m_variant.outputCount; ++n) {
        CAudio_OutData& kept = *m_kept.GetOutput(n);
        const CAudio_OutData& now = *program.GetOutput(n);
        const ChannelDifference difference = ChannelState::Compare(kept, now);
        if (difference.Any()) {
            noteDifference(difference);
            labels << StepNames::ChannelLabel(n, true);
            changes << StepNames::Changes(difference, true);
            step->AddOutput(n, ChannelState::Copy(kept), ChannelState::Copy(now));
            KeepChannel(kept, now);
        }
    }
    const DeviceSettings settings = DeviceSettings::Of(program);
    const DeviceSettings::Difference settingsChanged =
        DeviceSettings::Compare(m_keptSettings, settings);
    if (settingsChanged.Any()) {
        step->SetSettings(m_keptSettings, settings);
        m_keptSettings = settings;
        namesOnly = false;
    }
    const bool wholeProgram = scope == Scope::WholeProgram;
    const bool named = scope == Scope::ProgramName && m_keptName != program.GetName();
    if (wholeProgram) {
        step->SetTexts({m_keptName, m_keptTitle}, {program.GetName(), m_document.GetTitle()});
        KeepTexts();
    } else if (named) {
        // Naming leaves the title as it is, on either side of the step.
        step->SetTexts({m_keptName, m_document.GetTitle()},
                       {program.GetName(), m_document.GetTitle()});
        KeepTexts();
    }
    if (labels.isEmpty() && !settingsChanged.Any() && !wholeProgram && !named) {
        return;
    }
    if (wheel) {
        step->SetGesture(EditStep::Gesture::Wheel);
    } else if (namesOnly) {
        step->SetGesture(EditStep::Gesture::Typing);
    }
    step->setText(!name.isEmpty() ? name
                                  : StepNames::Edit(labels, changes, settingsChanged.Names()));
    m_history.push(step.release());
}

void EditRecorder::Apply(const EditStep& step, bool after) {
    CAudio_Data& program = m_document.GetProgram();
    for (const auto& change : step.Inputs()) {
        CAudio_InData& channel = *program.GetInput(change.index);
        ChannelState::Restore(channel, after ? *change.after : *change.before);
        KeepChannel(*m_kept.GetInput(change.index), channel);
    }
    for (const auto& change : step.Outputs()) {
        CAudio_OutData& channel = *program.GetOutput(change.index);
        ChannelState::Restore(channel, after ? *change.after : *change.before);
        KeepChannel(*m_kept.GetOutput(change.index), channel);
    }
    if (step.HasTexts()) {
        const EditStep::Texts& texts = step.TextsOf(after);
        program.SetName(texts.name);
        emit titleRestored(QString::fromStdString(texts.title));
        KeepTexts();
    }
    if (step.HasSettings()) {
        const DeviceSettings& settings = step.SettingsOf(after);
        const DeviceSettings::Difference restored =
            DeviceSettings::Compare(DeviceSettings::Of(program), settings);
        settings.ApplyTo(program);
        m_keptSettings = settings;
        if (restored.Any()) {
            emit settingsRestored(restored.Items());
        }
    }
    emit restored();
}

void EditRecorder::CommitLater(bool wheel) {
    m_postedWheel = wheel;
    if (m_commitPosted) {
        return;
    }
    m_commitPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_commitPosted = false;
            CommitNow(QString(), Scope::Channels, m_postedWheel);
        },
        Qt::QueuedConnection);
}

bool EditRecorder::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        Commit();
        break;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (!IsRepeat(event)) {
            Commit();
        }
        break;
    case QEvent::Wheel:
        // Turns that come faster than the steps are taken still join the gesture.
        CommitNow(QString(), Scope::Channels, true);
        CommitLater(true);
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::FocusOut:
        CommitLater(false);
        break;
    case QEvent::KeyRelease:
        if (!IsRepeat(event)) {
            CommitLater(false);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
