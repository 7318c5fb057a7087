#include "gui/session/StepNames.h"

#include "core/model/ChannelState.h"

namespace {

// Filter sections of an output before its crossover pair; an input has eight EQ bands first.
constexpr int kOutputBands = CAudio_OutData::kFilterCount - 2;
constexpr int kInputBands = CAudio_InData::kFilterCount - 2;
constexpr int kMostChangesNamed = 3;
constexpr int kMostChannelsNamed = 3;

} // namespace

namespace StepNames {

QString ChannelLabel(int index, bool output) {
    return output ? QStringLiteral("Out %1").arg(index + 1)
                  : QStringLiteral("In %1").arg(QChar(QLatin1Char('A').unicode() + index));
}

QString Changes(const ChannelDifference& d, bool output) {
    QStringList parts;
    const auto add = [&parts](bool changed, const char* text) {
        if (changed) {
            parts << QString::fromLatin1(text);
        }
    };
    add(d.name, "name");
    add(d.on, "mute");
    add(d.polarity, "polarity");
    add(d.gain, "gain");
    add(d.delay, "delay");
    add(d.sources, "sources");
    add(d.auxFlag && !d.Levels(), "levels");
    add(d.gate, "noise gate");
    const int bands = output ? kOutputBands : kInputBands;
    QStringList changedBands;
    for (int band = 0; band < bands; ++band) {
        if (d.Section(band)) {
            changedBands << QStringLiteral("EQ band %1").arg(band + 1);
        }
    }
    if (changedBands.size() == 1) {
        parts << changedBands.front();
    } else if (!changedBands.isEmpty()) {
        parts << QStringLiteral("EQ");
    }
    add(d.Section(bands) || d.Section(bands + 1), "crossover");
    add(d.dynamics, "dynamics");
    add(d.enabled, "select");
    if (parts.size() > kMostChangesNamed) {
        return QStringLiteral("settings");
    }
    return parts.join(QStringLiteral(", "));
}

QString Step(const QStringList& labels, const QStringList& changes) {
    if (labels.size() == 1) {
        return labels.front() + QLatin1Char(' ') + changes.front();
    }
    const bool alike = changes.count(changes.front()) == changes.size();
    if (alike && labels.size() <= kMostChannelsNamed) {
        return labels.join(QStringLiteral(", ")) + QLatin1Char(' ') + changes.front();
    }
    if (alike) {
        return QStringLiteral("%1 channels %2").arg(labels.size()).arg(changes.front());
    }
    return QStringLiteral("Edit of %1 channels").arg(labels.size());
}

QString Edit(const QStringList& labels, const QStringList& changes, const QStringList& settings) {
    const QString named = settings.join(QStringLiteral(", "));
    if (labels.isEmpty()) {
        return named.left(1).toUpper() + named.mid(1);
    }
    const QString step = Step(labels, changes);
    return settings.isEmpty() ? step : step + QStringLiteral(", ") + named;
}

QString Copy(int from, int to, bool output) {
    return QStringLiteral("Copy %1 to %2")
        .arg(ChannelLabel(from, output), ChannelLabel(to, output));
}

QString OpenFile(const QString& fileName) {
    return QStringLiteral("Open file %1").arg(fileName);
}

QString ProgramName() {
    return QStringLiteral("Program name");
}

QString Recall(int program) {
    return program == 0 ? QStringLiteral("Recall live program")
                        : QStringLiteral("Recall program %1").arg(program);
}

} // namespace StepNames
