#pragma once

// What a sonvex-sim device held when it stopped, read from the state file it leaves in its
// --state folder, with its programs as the panel would read them from it: every channel record
// decoded as a channel reply, so that the parameter compare can set a device program beside
// the panel's.

#include "core/model/AudioData.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/ReplyDecoders.h"
#include "sim/SimDevice.h"

#include <QFile>
#include <QString>

#include <memory>
#include <optional>

namespace simtest {

// The device of id and type as its state file folder/device-ID.state holds it; nothing when the
// file is missing or not a state of that type.
inline std::optional<SimDevice> LoadDeviceMemory(const QString& folder, int id, int type) {
    QFile file(QStringLiteral("%1/device-%2.state").arg(folder).arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    SimDevice device(id, type);
    if (!device.LoadState(file.readAll().toStdString())) {
        return std::nullopt;
    }
    return device;
}

// Program number (0 = live, 1..30 stored) of device, decoded channel by channel.
inline std::unique_ptr<CAudio_Data> DeviceProgram(const SimDevice& device, int number) {
    auto program = std::make_unique<CAudio_Data>();
    program->SetDeviceType(device.GetType());
    const SimProgram& held = device.GetProgram(number);
    const auto decode = [&](auto& records, std::uint8_t group, auto decoder) {
        for (std::size_t channel = 0; channel < records.size(); ++channel) {
            Protocol::FrameView reply;
            reply.header = {Protocol::DataReply,
                            static_cast<std::uint8_t>(device.GetId()),
                            0,
                            group,
                            static_cast<std::uint8_t>(channel),
                            0};
            reply.length = records[channel].size();
            reply.payload = records[channel].data();
            decoder(reply, device.GetType(), *program);
        }
    };
    decode(held.inputs, Protocol::GroupInput, DecodeInputChannel);
    decode(held.outputs, Protocol::GroupOutput, DecodeOutputChannel);
    return program;
}

} // namespace simtest
