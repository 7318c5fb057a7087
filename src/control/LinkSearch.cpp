// The ID search of LinkSession: a mode of its one service tick.

#include "control/LinkSession.h"

#include <algorithm>

bool LinkSession::StartSearch(const QString& portName, ICommandListener* owner,
                              Command::RecordList probes) {
    if (m_searching || m_connected) {
        return false;
    }
    if (!m_engine.OpenPort(portName.toStdString(), owner)) {
        return false;
    }
    m_engine.Clear();
    m_engine.SetSearchWindow(&m_searchWindow);
    m_engine.Enqueue(std::move(probes));
    m_searchPosition = 0;
    m_searching = true;
    m_tickRanBeforeSearch = m_clock->IsTickRunning();
    m_clock->SetTickInterval(m_searchTickMs);
    m_clock->StartTick();
    return true;
}

void LinkSession::CancelSearch() {
    if (m_searching) {
        EndSearch(true);
    }
}

void LinkSession::AbandonSearch() {
    if (m_searching) {
        EndSearch(false);
    }
}

void LinkSession::SetSearchTickInterval(int ms) {
    m_searchTickMs = std::max(1, ms);
    if (m_searching) {
        m_clock->SetTickInterval(m_searchTickMs);
    }
}

void LinkSession::SearchTick() {
    if (m_engine.Count() == 0) {
        EndSearch(true);
        return;
    }
    if (m_engine.IsHeadPending()) {
        SendProbe();
        return;
    }
    if (m_engine.WaitOnHead() <= kSearchDropAfterTicks) {
        return;
    }
    if (m_engine.Head().GetProbeId() == kLastSearchId) {
        CloseLink();
        EndSearch(true);
    } else {
        m_engine.RemoveHead();
    }
}

void LinkSession::SendProbe() {
    const int probe = m_engine.Head().GetProbeId();
    if (!m_engine.TransmitHead()) {
        // The port failed: no probe can reach a device any more.
        emit messageShown(QString::fromLatin1(kPortFailedText));
        EndSearch(true);
        return;
    }
    m_searchPosition = probe;
    emit searchProgress(m_searchPosition);
}

void LinkSession::EndSearch(bool signal) {
    m_clock->StopTick();
    m_engine.ClosePort();
    m_engine.Clear();
    m_engine.SetSearchWindow(nullptr);
    m_searching = false;
    m_clock->SetTickInterval(m_tickIntervalMs);
    if (m_tickRanBeforeSearch) {
        m_clock->StartTick();
    }
    if (signal) {
        emit searchEnded();
    }
}

void LinkSession::SearchWindow::OnEngineMessage(EngineMessage message, int /*wParam*/) {
    if (message == EngineMessage::WM_ID_SEARCH_END && m_session.m_searching) {
        m_session.EndSearch(true);
    }
}

void LinkSession::SearchWindow::ShowMessageBox(const std::string& text) {
    emit m_session.messageShown(QString::fromStdString(text));
}
