#pragma once

// The simulator answers at once, so a panel connected to it may tick much faster than on a real
// line. The waits for an answer keep a real length all the same: under a loaded machine the
// simulator or the test may not run for a moment, and 20 or 40 ticks of a few milliseconds
// would take that moment for a device that does not answer (a record sent twice, a link given
// up). Tests of those waits themselves set only the tick.

#include "control/PanelLink.h"

namespace simtest {

constexpr int kAnswerWaitMs = 1000;

inline void UseFastTick(PanelLink& link, int tickMs) {
    link.SetTickInterval(tickMs);
    link.SetAnswerWait(kAnswerWaitMs);
}

} // namespace simtest
