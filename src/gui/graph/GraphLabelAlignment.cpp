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

namespace {

bool Overlap(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void MoveBy(CRect& r, int dx) {
    r.left += dx;
    r.right += dx;
}

// Shifts r sideways so that it lies inside plot as far as its width allows.
void KeepInside(CRect& r, const CRect& plot) {
    if (r.right > plot.right) {
        MoveBy(r, plot.right - r.right);
    }
    if (r.left < plot.left) {
        MoveBy(r, plot.left - r.left);
    }
}

} // namespace

std::vector<CRect> SpreadLabels(const std::vector<CRect>& wanted, const CRect& plot) {
    std::vector<CRect> placed;
    placed.reserve(wanted.size());
    const int middle = (plot.left + plot.right) / 2;
    for (CRect r : wanted) {
        KeepInside(r, plot);
        // Towards the middle: a pile at the low end spreads to the right, one at the high end
        // to the left.
        const bool rightwards = r.CenterPoint().x <= middle;
        // Every pass clears at least one placed caption for good, so placed.size() passes do.
        for (std::size_t pass = 0; pass <= placed.size(); ++pass) {
            const CRect* covered = nullptr;
            for (const CRect& other : placed) {
                if (Overlap(r, other)) {
                    covered = &other;
                    break;
                }
            }
            if (covered == nullptr) {
                break;
            }
            MoveBy(r, rightwards ? covered->right + kLabelSpreadGap - r.left
                                 : covered->left - kLabelSpreadGap - r.right);
        }
        placed.push_back(r);
    }
    return placed;
}
