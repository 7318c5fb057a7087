#include "control/LinkSession.h"

#include "control/SystemLinkClock.h"
#include "core/files/ZorvanDoc.h"
#include "core/protocol/ChangeScan.h"
#include "core/protocol/CommandListener.h"
#include "core/protocol/ProgramEncoder.h"
#include "line/PortLine.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

// The line from the factory; without a factory, or when it makes nothing, the line the port's
// name stands for (a local serial port or one on the network).
std::unique_ptr<LinkLine> MakeLine(const LineFactory& factory) {
    if (factory) {
        if (std::unique_ptr<LinkLine> line = factory()) {
            return line;
        }
    }
    return std::make_unique<PortLine>();
}

} // namespace

LinkSession::LinkSession(CZorvanDoc& document, QObject* parent, LinkSetup setup)
    : QObject(parent), m_document(document),
      m_clock(setup.clock != nullptr ? std::move(setup.clock)
                                     : std::make_unique<SystemLinkClock>()),
      m_line(MakeLine(setup.makeLine).release()), m_engine(std::unique_ptr<ISerialLine>(m_line)) {
    m_clock->SetTickInterval(m_tickIntervalMs);
    connect(m_clock.get(), &LinkClock::ticked, this, &LinkSession::ServiceTick);
    connect(m_line, &LinkLine::lineEvent, this, &LinkSession::OnLineEvent);
    connect(m_line, &LinkLine::lineLost, this, [this] { LoseLink(); });
    connect(m_line, &LinkLine::openFailed, this, [this] { FailOpen(); });
}

LinkSession::~LinkSession() {
    m_clock->StopTick();
    m_engine.SetSearchWindow(nullptr);
    m_engine.ClosePort();
}

void LinkSession::SetBusy(bool busy) {
    if (m_busy != busy) {
        m_busy = busy;
        emit busyChanged(busy);
    }
}

void LinkSession::SetConnected(bool connected) {
    if (m_connected != connected) {
        m_connected = connected;
        emit connectedChanged(connected);
        emit stepped();
    }
}

bool LinkSession::OpenLink(ICommandListener* owner) {
    if (!m_engine.OpenPort(m_portName.toStdString(), owner)) {
        return false;
    }
    SetConnected(true);
    SetBusy(false);
    return true;
}

bool LinkSession::CloseLink() {
    if (!m_connected) {
        return false;
    }
    // A port that went away underneath still ends the connection: otherwise the tick would
    // go on writing to nothing and repeat the time-out message at every tick.
    m_engine.ClosePort();
    m_engine.Clear();
    m_clock->StopTick();
    m_transferTotal = 0;
    SetConnected(false);
    SetBusy(false);
    return true;
}

void LinkSession::LoseLink() {
    // Whichever notices first (a failed write, the port's own report) closes the link and
    // tells the operator; the other then finds nothing to close and says nothing.
    const std::string reason = m_line->LostReason();
    if (CloseLink()) {
        QString text = QString::fromLatin1(kPortFailedText);
        if (!reason.empty()) {
            text += QLatin1Char('\n') + QString::fromStdString(reason);
        }
        emit messageShown(text);
    }
}

void LinkSession::FailOpen() {
    // A line that connects in the background could not: told as a port that did not open,
    // with the line's reason, and the link or search it was opened for ends.
    const QString text = QString::fromLatin1(EngineText::PortOpenFailed) + QLatin1Char('\n') +
                         QString::fromStdString(m_line->OpenFailureReason());
    if (m_searching) {
        EndSearch(true);
    } else if (!CloseLink()) {
        return;
    }
    emit messageShown(text);
}

void LinkSession::SetTickInterval(int ms) {
    m_tickIntervalMs = std::max(1, ms);
    if (!m_searching) {
        m_clock->SetTickInterval(m_tickIntervalMs);
    }
}

bool LinkSession::Transmit(bool retransmission) {
    const auto& data = m_engine.Head().GetData();
    const QByteArray frame(reinterpret_cast<const char*>(data.data()),
                           static_cast<int>(data.size()));
    if (!m_engine.TransmitHead()) {
        // The port itself failed (a vanished adapter): no answer can come, so the link closes
        // now instead of after the give-up time.
        LoseLink();
        return false;
    }
    if (!retransmission) {
        m_headSentMs = m_clock->NowMs();
        m_headRetransmitted = false;
    } else {
        m_headRetransmitted = true;
    }
    // The engine has marked the record transmitted before anyone hears of it: a slot may run
    // an event loop in which the answer removes the record or the next tick runs.
    emit recordTransmitted(frame, retransmission);
    return true;
}

void LinkSession::SetFastTransfers(bool fast) {
    m_fastTransfers = fast;
    SendIfIdle();
}

void LinkSession::ServiceTick() {
    if (m_searching) {
        SearchTick();
        return;
    }
    if (!m_connected) {
        return;
    }
    ++m_tickCount;
    if (m_engine.Count() < 2) {
        // The next pending edit; with nothing pending, or the edits held (HoldsEdits), the idle
        // line polls the meters.
        CAudio_Data& program = m_document.GetProgram();
        const bool hold = HoldsEdits();
        const std::optional<PendingChange> change =
            hold ? std::nullopt : ChangeScan(program).TakeNext();
        m_lastTickFoundNothing = !hold && !change.has_value();
        const ProgramEncoder encoder(program);
        m_engine.Enqueue(change ? encoder.ChangeRecord(*change) : encoder.ReadMeters());
    }
    if (m_engine.Count() == 0) {
        return;
    }
    const bool linked = m_engine.IsHeadPending() ? TransmitPendingHead() : SuperviseHead();
    if (!linked) {
        return;
    }
    EmitProgress();
    emit stepped();
}

bool LinkSession::HoldsEdits() const {
    // A recalled program replaces the panel's channels when its last channel has arrived, and
    // the progress window closes before that, as soon as the last read has gone out. An edit
    // made meanwhile waits: sent now, it would carry values the panel then loses and the device
    // keeps; held, its pending mark sends the panel's state once the program is in. A read of
    // stored programs into the bank holds edits the same way until its last record.
    return m_engine.AwaitsUpload();
}

bool LinkSession::TransmitPendingHead() {
    const bool last = m_engine.HeadEndsTransfer();
    if (!Transmit(false)) {
        return false;
    }
    if (last) {
        SetBusy(false);
    }
    return true;
}

bool LinkSession::SuperviseHead() {
    bool retransmit = false;
    bool giveUp = false;
    if (m_fastTransfers || m_answerWaitMs > 0) {
        // The same limits as the ticks count them (or the wait given), in time.
        const qint64 waited = m_clock->NowMs() - m_headSentMs;
        const qint64 tick = m_clock->TickInterval();
        const qint64 retransmitAfter =
            m_answerWaitMs > 0 ? qint64{m_answerWaitMs} : kRetransmitTicks * tick;
        const qint64 giveUpAfter =
            m_answerWaitMs > 0 ? 2 * qint64{m_answerWaitMs} : kGiveUpTicks * tick;
        retransmit = !m_headRetransmitted && waited >= retransmitAfter;
        giveUp = !retransmit && waited > giveUpAfter;
    } else {
        const int waited = m_engine.WaitOnHead();
        retransmit = waited == kRetransmitTicks;
        giveUp = waited > kGiveUpTicks;
    }
    if (retransmit) {
        return Transmit(true);
    }
    if (giveUp) {
        CloseLink();
        emit messageShown(QString::fromLatin1(kNoReplyText));
        return false;
    }
    return true;
}

void LinkSession::SendIfIdle() {
    if (!m_fastTransfers || !m_connected) {
        return;
    }
    const bool inFlight = m_engine.Count() > 0 && !m_engine.IsHeadPending();
    if (inFlight) {
        return;
    }
    if (m_engine.Count() < 2 && !HoldsEdits()) {
        // Only the tick asks for the meters, so an idle line is polled at the tick's pace.
        CAudio_Data& program = m_document.GetProgram();
        if (const std::optional<PendingChange> change = ChangeScan(program).TakeNext()) {
            m_engine.Enqueue(ProgramEncoder(program).ChangeRecord(*change));
        }
    }
    if (m_engine.IsHeadPending()) {
        TransmitPendingHead();
    }
}

void LinkSession::Enqueue(std::unique_ptr<SendData> record) {
    m_engine.Enqueue(std::move(record));
    SendIfIdle();
}

void LinkSession::Enqueue(Command::RecordList records) {
    m_engine.Enqueue(std::move(records));
    SendIfIdle();
}

void LinkSession::StartTransfer(Command::RecordList records) {
    const int added = static_cast<int>(std::count_if(
        records.begin(), records.end(), [](const auto& record) { return record->IsBulk(); }));
    m_transferTotal = GetTransferRemaining() + added;
    m_engine.Enqueue(std::move(records));
    SetBusy(true);
    EmitProgress();
    SendIfIdle();
}

void LinkSession::EmitProgress() {
    if (m_transferTotal == 0) {
        return;
    }
    const int remaining = GetTransferRemaining();
    emit transferProgress(remaining, m_transferTotal);
    if (remaining == 0 && !m_busy) {
        m_transferTotal = 0;
    }
}

void LinkSession::OnLineEvent(LineEvents events) {
    if (events.Has(LineEvent::Received)) {
        const long rejectedBefore = m_engine.GetRejectedFrameCount();
        m_engine.OnSerialData();
        emit lineRead();
        if (m_searching) {
            OnSearchRead(rejectedBefore);
        }
        // An answer that was taken leaves nothing in flight: the next record goes out now.
        SendIfIdle();
        EmitProgress();
        emit stepped();
    }
}

bool LinkSession::WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto finished = [&] { return !m_connected || done(); };
    if (!finished()) {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        const auto connection = connect(this, &LinkSession::stepped, &loop, [&] {
            if (finished()) {
                loop.quit();
            }
        });
        loop.exec();
        disconnect(connection);
    }
    return m_connected && done();
}

bool LinkSession::WaitForTransfer(int timeoutMs) {
    return WaitUntil([this] { return !m_busy && GetTransferRemaining() == 0; }, timeoutMs);
}

bool LinkSession::WaitUntilSettled(int timeoutMs) {
    // Only a tick after this point may tell that nothing is pending any more.
    m_lastTickFoundNothing = false;
    return WaitUntil(
        [this] { return m_lastTickFoundNothing && !m_busy && m_engine.OnlyMeterRequestsQueued(); },
        timeoutMs);
}
