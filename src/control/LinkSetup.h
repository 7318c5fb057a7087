#pragma once

#include "control/LinkClock.h"
#include "line/LinkLine.h"

#include <functional>
#include <memory>

// What a link is built on: the line it talks through and the clock that paces it. The defaults
// (both empty) are the serial port and the system clock, which the panels and sonvex-cli use;
// tests put a simulated line or a clock of their own in.
using LineFactory = std::function<std::unique_ptr<LinkLine>()>;

struct LinkSetup {
    LineFactory makeLine;             // called once, when the session is made
    std::unique_ptr<LinkClock> clock; // the session owns it
};
