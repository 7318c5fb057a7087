#pragma once

#include <QString>
#include <QStringList>

struct ChannelDifference;

// How the undo history names its steps, in the panel's words: a channel as "In A".."In D" or
// "Out 1".."Out 8", followed by what changed in it ("Out 3 gain", "In B EQ band 2",
// "Out 2 crossover"); several channels by their labels or their count. The Edit menu puts
// "Undo" or "Redo" in front.
namespace StepNames {

QString ChannelLabel(int index, bool output);
// What changed in one channel, in the order the channel dialog shows it: "name", "mute",
// "polarity", "gain", "delay", "sources", "noise gate", "EQ band N" (or "EQ" for several bands),
// "crossover", "dynamics", "select". More than three of them read "settings".
QString Changes(const ChannelDifference& difference, bool output);
// One step over the channels labels, each with its changes: "Out 3 gain" for one channel,
// "In A, In B name" when all changed alike, "Edit of 4 channels" otherwise.
QString Step(const QStringList& labels, const QStringList& changes);
// A step over the channels labels and the device settings named settings ("input source",
// "backlight", ...): the settings alone read "Input source" or "Backlight, temperature", else
// the channels' step is followed by them ("In A delay, input source").
QString Edit(const QStringList& labels, const QStringList& changes, const QStringList& settings);

QString Copy(int from, int to, bool output);
QString OpenFile(const QString& fileName);
// The program's own name given to it.
QString ProgramName();
// Program 0 is the live program.
QString Recall(int program);

} // namespace StepNames
