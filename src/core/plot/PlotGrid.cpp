#include "core/plot/PlotGrid.h"

#include "core/plot/Truncation.h"

#include <cmath>

// 10 Hz * 1.0337844951^i rounded to 0.1 Hz for i = 0..239; the last point is 30 kHz.
const std::array<double, PlotPointCount> PlotFrequencies = {
    10.0,    10.3,    10.7,    11.0,    11.4,    11.8,    12.2,    12.6,    13.0,    13.5,
    13.9,    14.4,    14.9,    15.4,    15.9,    16.5,    17.0,    17.6,    18.2,    18.8,
    19.4,    20.1,    20.8,    21.5,    22.2,    22.9,    23.7,    24.5,    25.4,    26.2,
    27.1,    28.0,    29.0,    29.9,    30.9,    32.0,    33.1,    34.2,    35.3,    36.5,
    37.8,    39.1,    40.4,    41.7,    43.1,    44.6,    46.1,    47.7,    49.3,    50.9,
    52.7,    54.4,    56.3,    58.2,    60.1,    62.2,    64.3,    66.5,    68.7,    71.0,
    73.4,    75.9,    78.5,    81.1,    83.9,    86.7,    89.6,    92.6,    95.8,    99.0,
    102.4,   105.8,   109.4,   113.1,   116.9,   120.9,   124.9,   129.2,   133.5,   138.0,
    142.7,   147.5,   152.5,   157.6,   163.0,   168.5,   174.2,   180.1,   186.1,   192.4,
    198.9,   205.7,   212.6,   219.8,   227.2,   234.9,   242.8,   251.0,   259.5,   268.3,
    277.3,   286.7,   296.4,   306.4,   316.8,   327.5,   338.5,   350.0,   361.8,   374.0,
    386.6,   399.7,   413.2,   427.2,   441.6,   456.5,   471.9,   487.9,   504.4,   521.4,
    539.0,   557.2,   576.1,   595.5,   615.6,   636.4,   657.9,   680.2,   703.1,   726.9,
    751.5,   776.8,   803.1,   830.2,   858.3,   887.3,   917.2,   948.2,   980.3,   1013.4,
    1047.6,  1083.0,  1119.6,  1157.4,  1196.5,  1236.9,  1278.7,  1321.9,  1366.6,  1412.8,
    1460.5,  1509.8,  1560.9,  1613.6,  1668.1,  1724.5,  1782.7,  1842.9,  1905.2,  1969.6,
    2036.1,  2104.9,  2176.0,  2249.5,  2325.5,  2404.1,  2485.3,  2569.3,  2656.1,  2745.8,
    2838.6,  2934.5,  3033.6,  3136.1,  3242.1,  3351.6,  3464.8,  3581.9,  3702.9,  3828.0,
    3957.3,  4091.0,  4229.2,  4372.1,  4519.8,  4672.5,  4830.4,  4993.6,  5162.3,  5336.7,
    5517.0,  5703.4,  5896.1,  6095.3,  6301.2,  6514.1,  6734.2,  6961.7,  7196.9,  7440.0,
    7691.4,  7951.2,  8219.8,  8497.5,  8784.6,  9081.4,  9388.2,  9705.4,  10033.3, 10372.3,
    10722.7, 11084.9, 11459.4, 11846.6, 12246.8, 12660.6, 13088.3, 13530.5, 13987.6, 14460.2,
    14948.7, 15453.7, 15975.8, 16515.6, 17073.5, 17650.3, 18246.7, 18863.1, 19500.4, 20159.2,
    20840.3, 21544.3, 22272.2, 23024.7, 23802.5, 24606.7, 25438.0, 26297.4, 27185.9, 28104.3,
    30000.0};

namespace {

// Decades between 10 Hz and 30 kHz.
double LogSpan() {
    return std::log10(30000.0) - 1.0;
}

} // namespace

int FreqToX(double frequency, int width) {
    // Frequencies below 1 Hz (only a corrupt value can be one) are drawn at 1 Hz so the
    // logarithm stays finite.
    if (!(frequency >= 1.0)) {
        frequency = 1.0;
    }
    // The ratio is taken first so that 30 kHz lands exactly on width.
    return TruncToInt((std::log10(frequency) - 1.0) / LogSpan() * width);
}

int XToFreq(int x, int width) {
    if (width <= 0) {
        return PlotLowestFrequency;
    }
    return TruncToInt(std::pow(10.0, static_cast<double>(x) / width * LogSpan() + 1.0));
}

int DbToY(double dB, int height) {
    // Keep absurd levels far outside the graph but away from the int limits, so callers
    // can still add margins.
    if (dB > 1e6) {
        dB = 1e6;
    } else if (dB < -1e6) {
        dB = -1e6;
    }
    return TruncToInt((20.0 - dB) * height / 60.0 + 0.5);
}

double YToDb(int y, int height) {
    if (height <= 0) {
        return 20.5;
    }
    const double v = 20.0 - static_cast<double>(y) * 60.0 / height;
    return v > 0 ? v + 0.5 : v - 0.5;
}
