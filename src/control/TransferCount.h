#pragma once

#include <QByteArray>
#include <QObject>

class LinkSession;

// How far a whole-program transfer has gone, in the records the operator waits for: the
// transfer's own and every record queued before it that has not gone out yet (the reads of a
// connect go ahead of its program), level-meter requests aside. A record counts when it is
// first transmitted; a retransmission does not count again, and what is queued behind the
// transfer does not count at all. The count ends with the transfer's last record and is dropped
// when the link closes.
class TransferCount : public QObject {
    Q_OBJECT

public:
    explicit TransferCount(LinkSession& link, QObject* parent = nullptr);

    // A transfer of records records is about to be queued behind what is waiting now.
    void Start(int records);
    int Total() const { return m_total; }
    int Remaining() const { return m_total - m_sent; }

signals:
    void progress(int remaining, int total);

private:
    void OnTransmitted(const QByteArray& frame, bool retransmission);

    LinkSession& m_link;
    int m_total = 0;
    int m_sent = 0;
};
