// bench-id-scan: how long the ID search over 1..250 takes, with the default pacing (the
// search's own 30 ms tick, four ticks of waiting for an ID nobody answers) and fast (the next
// probe once the answer is in or the time it needs on the line has passed), on a line with
// devices of all three models, with prompt answers and with every answer 150 ms late.
//
// It measures wall time against the simulated processors inside this process (SimLinkLine),
// paced like a 9600 baud line by the same SimPacer that paces sonvex-sim: every byte in both
// directions takes its 1.04 ms and each answer its turnaround, so the times are the line's, and
// there is no pseudo-terminal or second process whose scheduling would blur them. For each run
// it also checks that every ID 1..250 was asked with one valid probe frame and which devices
// were found, and prints the line's own floor (the probes' and the answers' bytes alone).
//
//   bench-id-scan [--quick]    (--quick: the prompt line only)

#include "control/IdSearch.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProtocolCodes.h"
#include "sim/SimLine.h"
#include "simline/SimLinkLine.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

struct Device {
    int id;
    int type;
};

// Devices of every model, at the start, in the middle and at the end of the range.
const std::vector<Device> kDevices{{1, 1},   {3, 2},   {42, 3},  {120, 1},
                                   {121, 1}, {200, 2}, {249, 3}, {250, 1}};

struct Result {
    double seconds = 0;
    QVector<int> found;      // devices of the panel's model
    QMap<int, int> answered; // every device, with its model
    int probedIds = 0;       // IDs asked with a valid probe frame
    int extraProbes = 0;     // probe frames beyond one per ID
    long lineBytes = 0;      // bytes on the line, both directions
};

Result Run(bool fast, int lateMs) {
    SimLine devices;
    for (const Device& device : kDevices) {
        devices.Add(device.id, device.type);
    }
    SimLinkLine::Options options;
    options.fast = false; // paced at 9600 baud
    options.faults.lateMs = lateMs;
    std::vector<SimLinkFrame> frames;
    LinkSetup setup;
    setup.makeLine = [&]() -> std::unique_ptr<LinkLine> {
        auto line = std::make_unique<SimLinkLine>(devices, options);
        line->SetFrameObserver([&](const SimLinkFrame& frame) { frames.push_back(frame); });
        return line;
    };
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), std::move(setup));
    IdSearch search(link);
    search.SetFastTransfers(fast);
    Result result;
    QElapsedTimer timer;
    timer.start();
    if (!search.Start(QStringLiteral("sim-line")) || !search.WaitForEnd(5 * 60 * 1000)) {
        std::fprintf(stderr, "the search did not run to its end\n");
        return result;
    }
    result.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    result.found = link.FoundIds();
    result.answered = link.AnsweredDevices();
    std::set<int> probed;
    int probes = 0;
    for (const SimLinkFrame& frame : frames) {
        result.lineBytes +=
            static_cast<long>(frame.bytes.size()) + (frame.in ? Protocol::PreambleCount : 2);
        if (!frame.in) {
            continue;
        }
        const auto view = Protocol::ParseFrame(frame.bytes.data(), frame.bytes.size());
        if (view && view->header.group == Protocol::GroupSystem &&
            view->header.channel == Protocol::ItemDeviceId) {
            probed.insert(view->PayloadByte(0));
            ++probes;
        }
    }
    result.probedIds = static_cast<int>(probed.size());
    result.extraProbes = probes - result.probedIds;
    return result;
}

std::string Ids(const QVector<int>& ids) {
    std::string text;
    for (const int id : ids) {
        text += (text.empty() ? "" : ",") + std::to_string(id);
    }
    return text.empty() ? "-" : text;
}

std::string Models(const QMap<int, int>& answered) {
    std::string text;
    for (auto it = answered.begin(); it != answered.end(); ++it) {
        text +=
            (text.empty() ? "" : ",") + std::to_string(it.key()) + ":" + std::to_string(it.value());
    }
    return text.empty() ? "-" : text;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    QVector<int> expected;
    for (const Device& device : kDevices) {
        if (device.type == 1) {
            expected.append(device.id);
        }
    }
    std::printf("ID search 1..250 on a simulated 9600 baud line, devices (ID:type) %s\n",
                Models([] {
                    QMap<int, int> all;
                    for (const Device& device : kDevices) {
                        all.insert(device.id, device.type);
                    }
                    return all;
                }())
                    .c_str());
    // Every ID asked and answered once: the probe (3 + 12 bytes) and the answer (2 + 13 bytes).
    std::printf("line floor with every ID answering: %.2f s\n", 250 * 30 * 10.0 / 9600.0);
    std::printf("%-8s %6s %9s %9s %8s %6s  %s\n", "search", "late", "seconds", "wire s", "probed",
                "extra", "found (4x8) / answered (ID:type)");
    bool allFound = true;
    for (const int late : {0, 150}) {
        if (quick && late != 0) {
            continue;
        }
        double defaultSeconds = 0;
        for (const bool fast : {false, true}) {
            const Result r = Run(fast, late);
            const double floor = static_cast<double>(r.lineBytes) * 10.0 / 9600.0;
            std::printf("%-8s %4d ms %9.2f %9.2f %8d %6d  %s / %s\n", fast ? "fast" : "default",
                        late, r.seconds, floor, r.probedIds, r.extraProbes, Ids(r.found).c_str(),
                        Models(r.answered).c_str());
            // The default search may miss a late answer to its last probe; the fast one must
            // find every device.
            allFound = allFound && r.probedIds == 250 && r.extraProbes == 0 &&
                       (!fast || (r.found == expected &&
                                  r.answered.size() == static_cast<int>(kDevices.size())));
            if (!fast) {
                defaultSeconds = r.seconds;
            } else if (defaultSeconds > 0) {
                std::printf("%-8s %4d ms fast takes %.0f%% of the default search's time\n", "",
                            late, 100.0 * r.seconds / defaultSeconds);
            }
        }
    }
    std::printf(allFound ? "every search probed each ID once; the fast ones found every device\n"
                         : "AN ID WAS PROBED TWICE OR NOT AT ALL, OR A FAST SEARCH MISSED ONE\n");
    return allFound ? 0 : 1;
}
