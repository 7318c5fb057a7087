#pragma once

#include "core/protocol/SendData.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

// The ordered queue of command records of one engine. It owns the records it holds; the head
// (index 0) is the record in flight.
class SendDataQueue {
public:
    // Adds at the tail and takes ownership. A null record is ignored.
    void Append(std::unique_ptr<SendData> record);
    // Appends a whole transfer sequence in its order.
    void Append(std::vector<std::unique_ptr<SendData>> records);

    // The record at index 0; the queue must not be empty.
    SendData& Head();
    const SendData& Head() const;
    // Record at position index (0 = head); index must be below Count().
    SendData& At(std::size_t index);
    const SendData& At(std::size_t index) const;

    int Count() const { return static_cast<int>(m_records.size()); }
    bool IsEmpty() const { return m_records.empty(); }

    // Destroys the head and closes the gap; nothing happens on an empty queue.
    void RemoveHead();
    // Destroys every record.
    void Clear();

private:
    std::deque<std::unique_ptr<SendData>> m_records;
};
