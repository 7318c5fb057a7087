#include "control/TransferCount.h"

#include "control/LinkSession.h"

#include <cstdint>
#include <vector>

TransferCount::TransferCount(LinkSession& link, QObject* parent) : QObject(parent), m_link(link) {
    connect(&m_link, &LinkSession::recordTransmitted, this, &TransferCount::OnTransmitted);
    connect(&m_link, &LinkSession::connectedChanged, this, [this](bool connected) {
        if (!connected) {
            m_total = 0;
            m_sent = 0;
        }
    });
}

void TransferCount::Start(int records) {
    m_total = m_link.GetEngine().CountUntransmittedRecords() + records;
    m_sent = 0;
    emit progress(Remaining(), m_total);
}

void TransferCount::OnTransmitted(const QByteArray& frame, bool retransmission) {
    if (retransmission || m_sent >= m_total) {
        return;
    }
    const std::vector<std::uint8_t> bytes(frame.begin(), frame.end());
    if (Command::IsMeterRequest(bytes)) {
        return;
    }
    ++m_sent;
    emit progress(Remaining(), m_total);
}
