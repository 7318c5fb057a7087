#include "sim/SimLine.h"

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

std::vector<SimExchange> SimLine::Answer(std::vector<SimFrameReader::Frame> frames) {
    std::vector<SimExchange> exchanges;
    for (SimFrameReader::Frame& frame : frames) {
        SimExchange exchange;
        exchange.valid = frame.valid;
        exchange.request = std::move(frame.bytes);
        if (exchange.valid) {
            if (SimDevice* device = FindById(exchange.request[Protocol::OffsetDeviceId])) {
                exchange.responderId = device->GetId();
                if (exchange.request[Protocol::OffsetCode] == Protocol::WriteRequest) {
                    ++m_writes;
                    exchange.forgotten = m_forgetEvery > 0 && m_writes % m_forgetEvery == 0;
                }
                exchange.replies = device->HandleFrame(
                    exchange.request,
                    exchange.forgotten ? SimDevice::Writes::Forget : SimDevice::Writes::Keep);
            }
        }
        exchanges.push_back(std::move(exchange));
    }
    return exchanges;
}
