#include "simline/SimLinkLine.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>

namespace {

using Clock = SimPacer::Clock;

// Arrivals only, as a serial port starts.
constexpr LineEvents kDefaultEventMask = LineEvent::Received;

int CeilMs(Clock::duration d) {
    if (d <= Clock::duration::zero()) {
        return 0;
    }
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(d).count());
}

} // namespace

SimLinkLine::SimLinkLine(SimLine& devices, const Options& options, QObject* parent)
    : LinkLine(parent), m_devices(devices), m_pacer(options.fast, options.faults) {
    m_output.setSingleShot(true);
    m_output.setTimerType(Qt::PreciseTimer);
    connect(&m_output, &QTimer::timeout, this, &SimLinkLine::SendDue);
    m_frameGap.setSingleShot(true);
    connect(&m_frameGap, &QTimer::timeout, this, &SimLinkLine::ExpirePartialFrame);
}

SimLinkLine::~SimLinkLine() = default;

LineStatus SimLinkLine::Open(const std::string& device) {
    if (m_open) {
        return LineStatus::AlreadyOpen;
    }
    if (!m_plugged || device.empty()) {
        return LineStatus::NoSuchDevice;
    }
    m_name = device;
    m_open = true;
    m_lost = false;
    m_eventMask = kDefaultEventMask;
    m_pendingBits = LineEvents::None();
    m_received.clear();
    return LineStatus::Success;
}

LineStatus SimLinkLine::Setup(int baudRate, int dataBits, Parity /*parity*/, int stopBits) {
    if (!m_open) {
        return LineStatus::NotOpen;
    }
    const bool valid =
        baudRate > 0 && dataBits >= 5 && dataBits <= 8 && (stopBits == 1 || stopBits == 2);
    return valid ? LineStatus::Success : LineStatus::InvalidArgument;
}

LineStatus SimLinkLine::SetupHandshakingOff() {
    return m_open ? LineStatus::Success : LineStatus::NotOpen;
}

LineStatus SimLinkLine::SetMask(LineEvents eventMask) {
    if (!m_open) {
        return LineStatus::NotOpen;
    }
    m_eventMask = eventMask;
    return LineStatus::Success;
}

LineStatus SimLinkLine::Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                       int /*timeoutMs*/) {
    written = 0;
    if (!m_open) {
        return LineStatus::NotOpen;
    }
    if (!m_plugged) {
        return LineStatus::DeviceGone;
    }
    if (length == 0) {
        return LineStatus::Success;
    }
    if (data == nullptr) {
        return LineStatus::InvalidArgument;
    }
    written = length;
    m_pacer.Received(length, Clock::now());
    Answer(m_devices.Feed(data, length));
    if (m_devices.HasPartialFrame()) {
        m_frameGap.start(CeilMs(SimPacer::kFrameGap));
    }
    return LineStatus::Success;
}

LineStatus SimLinkLine::Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                      int /*timeoutMs*/) {
    received = 0;
    if (!m_open) {
        return LineStatus::NotOpen;
    }
    if (length == 0) {
        return LineStatus::Success;
    }
    if (buffer == nullptr) {
        return LineStatus::InvalidArgument;
    }
    while (received < length && !m_received.empty()) {
        buffer[received++] = m_received.front();
        m_received.pop_front();
    }
    if (!m_received.empty()) {
        Notify(LineEvent::Received);
    }
    return LineStatus::Success;
}

LineStatus SimLinkLine::Close() {
    m_open = false;
    m_lost = false;
    m_pendingBits = LineEvents::None();
    m_received.clear();
    return LineStatus::Success;
}

void SimLinkLine::Unplug() {
    m_plugged = false;
    if (m_open && !m_lost) {
        m_lost = true;
        QMetaObject::invokeMethod(this, &SimLinkLine::DeliverLost, Qt::QueuedConnection);
    }
}

void SimLinkLine::Answer(const std::vector<SimExchange>& exchanges) {
    const auto now = Clock::now();
    for (const SimExchange& exchange : exchanges) {
        Log(true, exchange.request);
        for (std::size_t i = 0; i < exchange.replies.size(); ++i) {
            // A further message after the answer (the identification) comes a moment later.
            const Clock::duration delay =
                i == 0 ? Clock::duration::zero() : Clock::duration(SimPacer::kFollowUpGap);
            m_pacer.Schedule(exchange.replies[i], delay, now);
        }
    }
    SendDue();
}

void SimLinkLine::SendDue() {
    bool arrived = false;
    while (m_pacer.HasOutput()) {
        const SimPacer::Outgoing& head = m_pacer.Head();
        const auto now = Clock::now();
        if (now < head.start) {
            break;
        }
        const std::size_t due = m_pacer.DueBytes(now);
        if (!m_pacer.IsFast() && due == 0) {
            break;
        }
        if (head.sent == 0 && !head.frame.empty()) {
            Log(false, head.frame);
        }
        if (m_open) {
            const auto from = head.bytes.begin() + static_cast<long>(head.sent);
            m_received.insert(m_received.end(), from, from + static_cast<long>(due));
            arrived = arrived || due > 0;
        }
        m_pacer.Sent(due);
    }
    if (arrived) {
        Notify(LineEvent::Received);
    }
    if (m_pacer.HasOutput()) {
        m_output.start(CeilMs(m_pacer.NextDue() - Clock::now()));
    }
}

void SimLinkLine::ExpirePartialFrame() {
    if (!m_devices.HasPartialFrame()) {
        return;
    }
    const auto now = Clock::now();
    if (!m_pacer.FrameGapPassed(now)) {
        m_frameGap.start(CeilMs(m_pacer.LastReceived() + SimPacer::kFrameGap - now));
        return;
    }
    Answer(m_devices.Expire());
}

void SimLinkLine::Notify(LineEvents events) {
    events = events & m_eventMask;
    if (events.IsEmpty() || !m_open) {
        return;
    }
    m_pendingBits |= events;
    if (m_deliveryQueued) {
        return;
    }
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(this, &SimLinkLine::DeliverEvents, Qt::QueuedConnection);
}

void SimLinkLine::DeliverEvents() {
    m_deliveryQueued = false;
    const LineEvents events = m_pendingBits;
    m_pendingBits = LineEvents::None();
    if (!events.IsEmpty() && m_open) {
        emit lineEvent(events);
    }
}

void SimLinkLine::DeliverLost() {
    if (!m_lost || !m_open) {
        return;
    }
    Close();
    emit lineLost();
}

void SimLinkLine::Log(bool in, const std::vector<std::uint8_t>& frame) {
    if (m_observer) {
        m_observer(SimLinkFrame{in, frame});
    }
}
