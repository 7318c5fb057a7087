#include "gui/graph/GraphLabelAlignment.h"

#include "core/model/ValueTables.h"
#include "core/plot/Handles.h"

namespace {

// A crossover handle this close to 30 kHz reaches the right end of the plot.
constexpr int kCrossoverRightEndHz = 28000;

} // namespace

Qt::Alignment BandLabelAlignment(const CRect& handle, int frequency, int plotRight) {
    // A band handle is moved left so that it ends half a handle past the plot's right end.
    if (handle.right >= plotRight + BandHandleSize / 2) {
        return Qt::AlignLeft;
    }
    return frequency > MinFrequency ? Qt::AlignHCenter : Qt::AlignRight;
}

Qt::Alignment CrossoverLabelAlignment(int frequency) {
    if (frequency <= MinFrequency) {
        return Qt::AlignRight;
    }
    return frequency < kCrossoverRightEndHz ? Qt::AlignHCenter : Qt::AlignLeft;
}
