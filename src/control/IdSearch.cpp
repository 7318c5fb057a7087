#include "control/IdSearch.h"

#include "control/PanelLink.h"
#include "core/protocol/TransferSequences.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

IdSearch::IdSearch(PanelLink& panel, QObject* parent)
    : QObject(parent), m_panel(panel), m_session(panel.GetSession()) {
    connect(&m_session, &LinkSession::searchProgress, this, &IdSearch::OnProgress);
    connect(&m_session, &LinkSession::searchEnded, this, &IdSearch::OnEnded);
    connect(&m_session, &LinkSession::searchCollision, this, [this](int id) {
        if (m_running) {
            m_collisions.append(id);
            emit collision(id);
        }
    });
}

QString IdSearch::CollisionText(int id) {
    return QStringLiteral("ID %1: more than one device answers?").arg(id);
}

IdSearch::~IdSearch() {
    if (m_running) {
        m_session.AbandonSearch();
    }
}

bool IdSearch::Start(const QString& portName) {
    if (m_running) {
        return false;
    }
    m_session.SetSearchTickInterval(m_tickMs);
    m_session.SetFastSearch(m_fastTransfers);
    // The panel receives the line's events and enters each device found as the engine
    // reports it.
    if (!m_session.StartSearch(portName, &m_panel,
                               TransferSequences::IdSearch(m_panel.GetProgram()))) {
        return false;
    }
    // Only the devices that answer this search are listed afterwards; the first probe goes
    // out at the first tick, so no answer can have come yet.
    m_panel.GetFoundIds().Clear();
    m_panel.ClearAnsweredDevices();
    m_collisions.clear();
    m_position = 0;
    m_running = true;
    emit progress(m_position);
    return true;
}

void IdSearch::Cancel() {
    if (m_running) {
        m_session.CancelSearch();
    }
}

void IdSearch::SetTickInterval(int ms) {
    m_tickMs = std::max(1, ms);
    if (m_running) {
        m_session.SetSearchTickInterval(m_tickMs);
    }
}

void IdSearch::SetFastTransfers(bool fast) {
    m_fastTransfers = fast;
    if (m_running) {
        m_session.SetFastSearch(fast);
    }
}

bool IdSearch::WaitForEnd(int timeoutMs) {
    if (m_running) {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        connect(this, &IdSearch::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return !m_running;
}

void IdSearch::OnProgress(int position) {
    if (m_running) {
        m_position = position;
        emit progress(m_position);
    }
}

void IdSearch::OnEnded() {
    if (m_running) {
        m_running = false;
        emit finished(m_panel.FoundIds());
    }
}
