#pragma once

// Base of the device control tests against the simulated processor (sonvex-sim on a
// pseudo-terminal, or InProcessSim): the application and a connect that waits until the device is
// read back. Every PanelLink keeps its own found IDs.

#include "common/SimProcess.h"
#include "common/TestApplication.h"

#include "control/PanelLink.h"
#include "core/protocol/ProtocolCodes.h"

#include <gtest/gtest.h>

namespace controltest {

// The simulator answers at once, so the panel may tick much faster than on a real line.
constexpr int kFastTickMs = 5;

// A level-meter request as the simulator logged it.
inline bool IsMeterRead(const simtest::LoggedFrame& frame) {
    return frame.Code() == Protocol::ReadRequest && frame.Group() == Protocol::GroupSystem &&
           frame.Channel() == Protocol::ItemMeters;
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }

    // Connects on the fast tick (or tickMs) and waits (up to waitMs each) until the read-back
    // and the recall are through.
    static void ConnectAndSettle(PanelLink& link, const simtest::SimProcess& sim, int id,
                                 int waitMs, int tickMs = kFastTickMs) {
        ASSERT_TRUE(sim.Started());
        ConnectAndSettle(link, sim.Link(), id, waitMs, tickMs);
    }
    // The same on port (an in-process line).
    static void ConnectAndSettle(PanelLink& link, const QString& port, int id, int waitMs,
                                 int tickMs = kFastTickMs) {
        link.SetTickInterval(tickMs);
        ASSERT_TRUE(link.Connect(port, id));
        ASSERT_TRUE(link.WaitForTransfer(waitMs));
        ASSERT_TRUE(link.WaitUntilSettled(waitMs));
    }
};

} // namespace controltest
