#pragma once

#include "core/model/Variant.h"

// The main frame's commands that replace the current screen by another.
namespace ScreenCommand {
constexpr int kFourByEight = 32772; // the 4-in/8-out panel
constexpr int kThreeBySix = 32773;  // the 3-in/6-out panel
constexpr int kSelection = 32774;   // the model selection
constexpr int kTwoByFour = 32775;   // the 2-in/4-out panel

// The command that opens the panel of variant.
inline int PanelOf(const Variant& variant) {
    switch (variant.deviceType) {
    case 2:
        return kThreeBySix;
    case 3:
        return kTwoByFour;
    default:
        return kFourByEight;
    }
}
} // namespace ScreenCommand
