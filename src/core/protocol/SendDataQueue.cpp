#include "core/protocol/SendDataQueue.h"

#include <cassert>

void SendDataQueue::Append(std::unique_ptr<SendData> record) {
    if (record) {
        m_records.push_back(std::move(record));
    }
}

void SendDataQueue::Append(std::vector<std::unique_ptr<SendData>> records) {
    for (auto& record : records) {
        Append(std::move(record));
    }
}

SendData& SendDataQueue::Head() {
    assert(!m_records.empty());
    return *m_records.front();
}

const SendData& SendDataQueue::Head() const {
    assert(!m_records.empty());
    return *m_records.front();
}

SendData& SendDataQueue::At(std::size_t index) {
    assert(index < m_records.size());
    return *m_records[index];
}

const SendData& SendDataQueue::At(std::size_t index) const {
    assert(index < m_records.size());
    return *m_records[index];
}

void SendDataQueue::RemoveHead() {
    if (!m_records.empty()) {
        m_records.pop_front();
    }
}

void SendDataQueue::Clear() {
    m_records.clear();
}
