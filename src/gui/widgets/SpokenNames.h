#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

// The names a screen reader speaks for the controls of a channel: the channel as "In 1".."In 4"
// or "Out 1".."Out 8", then what the control sets ("Out 3 gain", "Out 3 mute",
// "In 2 EQ band 4 gain"). Every panel and editor names its channel controls through here, so
// one channel is called the same everywhere.
namespace SpokenNames {

// index is 0-based within the inputs or the outputs.
inline QString Channel(int index, bool output) {
    return (output ? QStringLiteral("Out %1") : QStringLiteral("In %1")).arg(index + 1);
}

inline QString Control(int index, bool output, const QString& what) {
    return Channel(index, output) + QLatin1Char(' ') + what;
}

// What a control of EQ band band (0-based) sets: "EQ band 4 gain".
inline QString Band(int band, const QString& what) {
    return QStringLiteral("EQ band %1 %2").arg(band + 1).arg(what);
}

// The editors are built before they know their channel: a control says what it sets with Say
// where it is built, and the editor names them all for its channel with NameFor once it has one.
inline constexpr const char* kWhatProperty = "spokenWhat";

inline void Say(QWidget* control, const QString& what) {
    control->setProperty(kWhatProperty, what);
    control->setAccessibleName(what);
}

inline void NameFor(QWidget* window, int index, bool output) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QString what = control->property(kWhatProperty).toString();
        if (!what.isEmpty()) {
            control->setAccessibleName(Control(index, output, what));
        }
    }
}

} // namespace SpokenNames
