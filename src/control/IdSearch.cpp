#include "control/IdSearch.h"

#include "core/protocol/TransferSequences.h"
#include "control/PanelLink.h"

#include <QEventLoop>

#include <algorithm>

IdSearch::IdSearch(PanelLink& panel, QObject* parent) : QObject(parent), m_panel(panel) {
    m_tick.setInterval(kTickIntervalMs);
    connect(&m_tick, &QTimer::timeout, this, &IdSearch::Tick);
    connect(&m_panel, &PanelLink::lineRead, this, &IdSearch::OnLineRead);
}

IdSearch::~IdSearch() {
    if (m_running) {
        m_tick.stop();
        Command& engine = m_panel.GetEngine();
        engine.ClosePort();
        engine.Clear();
        engine.SetSearchWindow(nullptr);
    }
}

bool IdSearch::Start(const QString& portName) {
    if (m_running || m_panel.IsConnected()) {
        return false;
    }
    Command& engine = m_panel.GetEngine();
    // The panel receives the line's events and lets the engine read them.
    if (!engine.OpenPort(portName.toStdString(), &m_panel)) {
        return false;
    }
    engine.Clear();
    engine.SetSearchWindow(this);
    // Only the devices that answer this search are listed afterwards; the panel enters each
    // answer as the engine reports it.
    m_panel.GetFoundIds().Clear();
    engine.Enqueue(TransferSequences::IdSearch(m_panel.GetProgram()));
    m_position = 0;
    m_running = true;
    emit progress(m_position);
    m_tick.start();
    return true;
}

void IdSearch::Cancel() {
    if (m_running) {
        End();
    }
}

void IdSearch::SetTickInterval(int ms) {
    m_tick.setInterval(std::max(1, ms));
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

void IdSearch::Tick() {
    Command& engine = m_panel.GetEngine();
    if (engine.Count() == 0) {
        End();
        return;
    }
    if (engine.IsHeadPending()) {
        SendProbe();
        return;
    }
    if (engine.WaitOnHead() <= kDropAfterTicks) {
        return;
    }
    if (engine.Head().GetProbeId() == kLastId) {
        m_panel.CloseLink();
        End();
    } else {
        engine.RemoveHead();
    }
}

void IdSearch::OnLineRead() {
    // An answered probe has left the queue; the next one is at the head, not yet sent.
    if (m_running && m_fastTransfers && m_panel.GetEngine().IsHeadPending()) {
        SendProbe();
    }
}

void IdSearch::SendProbe() {
    Command& engine = m_panel.GetEngine();
    const int probe = engine.Head().GetProbeId();
    if (!engine.TransmitHead()) {
        // The port failed: no probe can reach a device any more.
        ShowMessageBox(PanelLink::kPortFailedText);
        End();
        return;
    }
    m_position = probe;
    emit progress(m_position);
}

void IdSearch::End() {
    m_tick.stop();
    Command& engine = m_panel.GetEngine();
    engine.ClosePort();
    engine.Clear();
    engine.SetSearchWindow(nullptr);
    m_running = false;
    emit finished(m_panel.FoundIds());
}

void IdSearch::OnEngineMessage(EngineMessage message, int /*wParam*/) {
    if (message == EngineMessage::WM_ID_SEARCH_END && m_running) {
        End();
    }
}

void IdSearch::ShowMessageBox(const std::string& text) {
    m_panel.ShowMessageBox(text);
}
