#include "gui/panel/PanelLayout.h"

#include "core/model/Variant.h"

namespace {

// The three forms, one table each. Output ids are given for output 1 (index 0).
const PanelLayout kFourByEight{
    PanelIds{1087,
             1383,
             1088,
             1392,
             1396,
             1086,
             1803,
             1807,
             1585,
             1584,
             1582,
             1009,
             1361,
             1010,
             1011,
             1004,
             1006,
             1137,
             1583,
             1590,
             1596,
             StripIds{2001, 2010, 2020, 2030, 2090, 1031, 1438, 2110, 1294, 2340},
             StripIds{2040, 2050, 2060, 2070, 2080, 2100, 1442, 2120, 1298, 2344}},
    {38, 86, 134, 182},
    {280, 329, 376, 424, 472, 520, 568, 616},
    101,
    true,
    true};

const PanelLayout kThreeBySix{
    PanelIds{1451,
             1452,
             1453,
             1454,
             1455,
             1456,
             1805,
             1808,
             1086,
             1689,
             1690,
             1461,
             1462,
             1463,
             1499,
             1457,
             1459,
             0,
             0,
             1691,
             1698,
             StripIds{2500, 2503, 2506, 2509, 2520, 2532, 2523, 2526, 2535, 2529},
             StripIds{2540, 2546, 2552, 2558, 2564, 2594, 2570, 2576, 2582, 2588}},
    {38, 109, 180},
    {280, 346, 412, 478, 544, 610},
    102,
    false,
    false};

const PanelLayout kTwoByFour{
    PanelIds{1712,
             1713,
             1714,
             1715,
             1716,
             1717,
             1086,
             1809,
             1707,
             1709,
             1711,
             1710,
             1802,
             1800,
             1801,
             1706,
             1708,
             0,
             0,
             2704,
             2715,
             StripIds{1740, 1746, 1752, 1758, 1764, 1770, 1776, 1788, 1782, 1794},
             StripIds{1742, 1748, 1754, 1760, 1766, 1772, 1778, 1790, 1784, 1796}},
    {40, 112},
    {282, 348, 414, 480},
    165,
    false,
    false};

} // namespace

const PanelLayout& PanelLayout::Of(const Variant& variant) {
    switch (variant.deviceType) {
    case 2:
        return kThreeBySix;
    case 3:
        return kTwoByFour;
    default:
        return kFourByEight;
    }
}

QString ChannelLabel(int index, bool output) {
    if (output) {
        return QStringLiteral("Out %1").arg(index + 1);
    }
    return QStringLiteral("Input %1").arg(QChar('A' + index));
}
