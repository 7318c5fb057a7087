#pragma once

// Records what a PanelLink tells its view, for the device control tests.

#include "control/PanelLink.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

#include <vector>

namespace controltest {

struct Transmission {
    QByteArray frame;
    bool retransmission;
    int tick; // the panel's tick count when it went out
};

struct LinkRecorder {
    explicit LinkRecorder(PanelLink& link) {
        QObject::connect(&link, &PanelLink::messageShown,
                         [this](const QString& text) { messages.push_back(text); });
        QObject::connect(&link, &PanelLink::recordTransmitted,
                         [this, &link](const QByteArray& frame, bool again) {
                             transmissions.push_back({frame, again, link.GetTickCount()});
                         });
        QObject::connect(&link, &PanelLink::connectedChanged, [this, &link](bool connected) {
            if (!connected) {
                disconnectTick = link.GetTickCount();
            }
        });
        QObject::connect(&link, &PanelLink::levelsReceived,
                         [this](const QVector<int>& in, const QVector<int>& out) {
                             levels.push_back(in + out);
                         });
        QObject::connect(&link, &PanelLink::bankCompleted, [this] { ++bankCompleted; });
    }

    std::vector<QString> messages;
    std::vector<Transmission> transmissions;
    std::vector<QVector<int>> levels;
    int disconnectTick = -1;
    int bankCompleted = 0;
};

} // namespace controltest
