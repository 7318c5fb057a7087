#pragma once

// A panel connected to a simulated device of its own model, for the tests of what the panel
// and its dialogs send, and the frames of one kind the device received.

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"

#include <QStringList>

#include <vector>

namespace simtest {

class ConnectedPanel {
public:
    static constexpr int kDeviceId = 3;
    // The simulator answers at once: the panel may tick faster than on a real line.
    static constexpr int kFastTickMs = 5;

    // moreSimArguments: further simulator options, e.g. {"--forget-every", "5"}.
    explicit ConnectedPanel(const Variant& variant = Variant::FourByEight(),
                            const QStringList& moreSimArguments = {})
        : sim(QStringList{"--fast", "--device",
                          QStringLiteral("%1:%2").arg(kDeviceId).arg(variant.deviceType)} +
              moreSimArguments),
          session(variant), panel(session) {
        UseFastTick(panel.Session().Link(), kFastTickMs);
    }

    // Connects (the progress window runs while the live program is read) and waits until the
    // link is idle. False when the simulator did not start or the panel did not get there.
    bool Connect(int timeoutMs) {
        if (!sim.Started()) {
            qWarning("%s", qPrintable(sim.Error()));
            return false;
        }
        return panel.ConnectTo(sim.Link(), kDeviceId) &&
               panel.Session().Link().WaitUntilSettled(timeoutMs);
    }

    SimProcess sim;
    PanelSession session; // outlives the panel that shows it
    PanelView panel;
};

// The writes of a system item (program name, interface text, ...) the device received from
// frame from on.
inline std::vector<LoggedFrame> SystemWrites(const SimProcess& sim, int item, std::size_t from) {
    std::vector<LoggedFrame> writes;
    for (const LoggedFrame& frame : sim.Received(from)) {
        if (frame.Code() == Protocol::WriteRequest && frame.Group() == Protocol::GroupSystem &&
            frame.Channel() == item) {
            writes.push_back(frame);
        }
    }
    return writes;
}

} // namespace simtest
