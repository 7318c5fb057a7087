// The ID search of LinkSession: a mode of its one service tick.

#include "control/LinkSession.h"

#include "core/protocol/ProtocolCodes.h"

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
    m_searchTail = false;
    m_collisions.clear();
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

int LinkSession::FastProbeWaitMs(int probeBytes) {
    // 10 bits a byte at 9600 baud; the answer is the identity reply with its preamble.
    constexpr int kAnswerBytes = static_cast<int>(Protocol::DeviceIdLength) + 11 + 2;
    const int lineBits = (std::max(0, probeBytes) + kAnswerBytes) * 10;
    return (lineBits * 1000 + 9599) / 9600 + kFastProbeMarginMs;
}

void LinkSession::SearchTick() {
    if (m_searchTail) {
        // The line has been quiet for the whole tail: no late answer is on its way any more.
        EndSearch(true);
        return;
    }
    if (m_engine.Count() == 0) {
        m_fastSearch ? StartTail() : EndSearch(true);
        return;
    }
    if (m_engine.IsHeadPending()) {
        SendProbe();
        return;
    }
    // A fast search's tick was started over at the probe's transmission with the time its
    // answer needs, so this tick is the moment to give it up.
    if (!m_fastSearch && m_engine.WaitOnHead() <= kSearchDropAfterTicks) {
        return;
    }
    DropProbe();
}

void LinkSession::DropProbe() {
    const bool last = m_engine.Head().GetProbeId() == kLastSearchId;
    m_engine.RemoveHead();
    if (m_fastSearch) {
        if (m_engine.IsHeadPending()) {
            SendProbe();
        } else {
            StartTail();
        }
    } else if (last) {
        CloseLink();
        EndSearch(true);
    }
}

void LinkSession::SendProbe() {
    const int probe = m_engine.Head().GetProbeId();
    const int probeBytes =
        static_cast<int>(m_engine.Head().GetData().size()) + Protocol::PreambleCount;
    if (!m_engine.TransmitHead()) {
        // The port failed: no probe can reach a device any more.
        emit messageShown(QString::fromLatin1(kPortFailedText));
        EndSearch(true);
        return;
    }
    if (m_fastSearch) {
        // Starts the tick over: it comes when the answer should be in.
        m_clock->SetTickInterval(FastProbeWaitMs(probeBytes));
        m_clock->StartTick();
    }
    m_searchPosition = probe;
    emit searchProgress(m_searchPosition);
}

void LinkSession::OnSearchRead(long rejectedBefore) {
    if (!m_searching) {
        return; // the read ended the search (device 250 answered)
    }
    if (m_searchTail) {
        // Something came: listen a whole tail again from now.
        m_clock->StartTick();
        return;
    }
    const bool inFlight = m_engine.Count() > 0 && !m_engine.IsHeadPending();
    if (inFlight && m_engine.GetRejectedFrameCount() > rejectedBefore) {
        // A frame failing the check where the answer to this probe is due: two devices with
        // one ID answer on top of each other. Nobody can be entered from it.
        const int id = m_engine.Head().GetProbeId();
        if (std::find(m_collisions.begin(), m_collisions.end(), id) == m_collisions.end()) {
            m_collisions.push_back(id);
            emit searchCollision(id);
        }
        if (m_fastSearch) {
            DropProbe();
        }
        return;
    }
    // An answered probe has left the queue; the next one is at the head, not yet sent.
    if (m_fastSearch) {
        if (m_engine.IsHeadPending()) {
            SendProbe();
        } else if (m_engine.Count() == 0) {
            StartTail();
        }
    }
}

void LinkSession::StartTail() {
    m_searchTail = true;
    m_clock->SetTickInterval(kLateAnswerTailMs);
    m_clock->StartTick();
}

void LinkSession::EndSearch(bool signal) {
    m_clock->StopTick();
    m_engine.ClosePort();
    m_engine.Clear();
    m_engine.SetSearchWindow(nullptr);
    m_searching = false;
    m_searchTail = false;
    m_clock->SetTickInterval(m_tickIntervalMs);
    if (m_tickRanBeforeSearch) {
        m_clock->StartTick();
    }
    if (signal) {
        emit searchEnded();
    }
}

void LinkSession::SearchWindow::OnEngineMessage(EngineMessage message, int /*wParam*/) {
    if (message != EngineMessage::WM_ID_SEARCH_END || !m_session.m_searching) {
        return;
    }
    // A fast search may still have late answers to earlier probes on their way.
    if (m_session.m_fastSearch) {
        if (!m_session.m_searchTail) {
            m_session.StartTail();
        }
    } else {
        m_session.EndSearch(true);
    }
}

void LinkSession::SearchWindow::ShowMessageBox(const std::string& text) {
    emit m_session.messageShown(QString::fromStdString(text));
}
