#include "sim/SimLine.h"

#include "core/protocol/Frame.h"
#include "core/protocol/ProtocolCodes.h"

SimDevice& SimLine::Add(int id, int type) {
    m_devices.push_back(std::make_unique<SimDevice>(id, type));
    return *m_devices.back();
}

SimDevice* SimLine::FindById(int id) {
    for (const auto& device : m_devices) {
        if (device->GetId() == id) {
            return device.get();
        }
    }
    return nullptr;
}

std::vector<SimExchange> SimLine::Feed(const std::uint8_t* data, std::size_t count) {
    return Answer(m_reader.Feed(data, count));
}

std::vector<SimExchange> SimLine::Expire() {
    return Answer(m_reader.Expire());
}

std::vector<std::uint8_t> SimLine::Collide(const std::vector<std::uint8_t>& first,
                                           const std::vector<std::uint8_t>& second) {
    std::vector<std::uint8_t> line = first;
    if (line.size() <= Protocol::OffsetPayload + 2) {
        return line;
    }
    const std::size_t checksumAt = line.size() - 2;
    constexpr int kSkewBits = 3;
    for (std::size_t i = Protocol::OffsetPayload; i <= checksumAt; ++i) {
        const unsigned now = i < second.size() ? second[i] : 0xFFU;
        const unsigned before = i - 1 < second.size() ? second[i - 1] : 0xFFU;
        // Bits go out least significant first: the second answer's byte i is late by a few
        // bits, so the top bits of its byte i - 1 are still on the line.
        const auto skewed =
            static_cast<std::uint8_t>((now << kSkewBits) | (before >> (8 - kSkewBits)));
        line[i] = static_cast<std::uint8_t>(line[i] & skewed);
    }
    const std::uint8_t sum = Protocol::Checksum(line.data() + 1, checksumAt - 1);
    if (line[checksumAt] == sum) {
        line[checksumAt] = static_cast<std::uint8_t>(sum ^ 0x5A);
    }
    return line;
}

std::vector<SimExchange> SimLine::Answer(std::vector<SimFrameReader::Frame> frames) {
    std::vector<SimExchange> exchanges;
    for (SimFrameReader::Frame& frame : frames) {
        SimExchange exchange;
        exchange.valid = frame.valid;
        exchange.request = std::move(frame.bytes);
        if (exchange.valid) {
            const int id = exchange.request[Protocol::OffsetDeviceId];
            bool counted = false;
            for (const auto& device : m_devices) {
                if (device->GetId() != id) {
                    continue;
                }
                if (!counted && exchange.request[Protocol::OffsetCode] == Protocol::WriteRequest) {
                    ++m_writes;
                    exchange.forgotten = m_forgetEvery > 0 && m_writes % m_forgetEvery == 0;
                }
                counted = true;
                std::vector<std::vector<std::uint8_t>> replies = device->HandleFrame(
                    exchange.request,
                    exchange.forgotten ? SimDevice::Writes::Forget : SimDevice::Writes::Keep);
                if (exchange.responderId == 0) {
                    exchange.responderId = device->GetId();
                    exchange.replies = std::move(replies);
                } else if (!replies.empty() && !exchange.replies.empty()) {
                    exchange.replies.front() = Collide(exchange.replies.front(), replies.front());
                    exchange.collided = true;
                } else if (!replies.empty()) {
                    exchange.replies = std::move(replies);
                }
            }
        }
        exchanges.push_back(std::move(exchange));
    }
    return exchanges;
}
