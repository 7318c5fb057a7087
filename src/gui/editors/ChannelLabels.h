#pragma once

#include <QString>

// How the naming and copy dialogs call the channels: "CHA".."CHD" for inputs, "CH1".."CH8"
// for outputs (index 0-based).
inline QString InputChannelLabel(int input) {
    return QStringLiteral("CH") + QChar(QLatin1Char('A').unicode() + input);
}

inline QString OutputChannelLabel(int output) {
    return QStringLiteral("CH%1").arg(output + 1);
}
