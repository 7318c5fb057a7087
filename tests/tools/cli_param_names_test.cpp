// The PARAM names of "sonvex-cli set" that the shell completion offers, against the parser:
// of every name that can be formed around the model's channels, bands, groups and fields (and
// one past each end), the list holds exactly those the parser takes.

#include "ParamAssignment.h"

#include "core/model/Variant.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

bool Listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

TEST(CliParamNamesTest, TheListHoldsExactlyTheNamesTheParserTakes) {
    const std::vector<std::string> fields{
        "gain",   "mute",    "polarity", "delay", "name", "gate",   "source",
        "type",   "freq",    "q",        "bw",    "on",   "slope",  "threshold",
        "attack", "release", "clip",     "ratio", "mode", "timing", "bogus"};
    std::vector<std::string> groups{"", "hpf.", "lpf.", "limiter.", "xover."};
    for (int band = 0; band <= 10; ++band) {
        groups.push_back("eq" + std::to_string(band) + ".");
    }
    for (const Variant* variant : Variant::All()) {
        const int type = variant->deviceType;
        const std::vector<std::string> listed = ParameterNames(type);
        const std::set<std::string> names(listed.begin(), listed.end());
        EXPECT_EQ(names.size(), listed.size()) << variant->name << ": a name listed twice";
        std::size_t taken = 0;
        for (const std::string kind : {"in", "out"}) {
            for (int channel = 0; channel <= 9; ++channel) {
                for (const std::string& group : groups) {
                    for (const std::string& field : fields) {
                        const std::string name =
                            kind + std::to_string(channel) + "." + group + field;
                        ParamAssignment parsed;
                        std::string error;
                        if (ParseAssignment(name + "=1", type, parsed, error)) {
                            ++taken;
                            EXPECT_EQ(names.count(name), 1u)
                                << variant->name << ": " << name << " is taken but not listed";
                        }
                    }
                }
            }
        }
        EXPECT_EQ(taken, names.size()) << variant->name << ": listed names the parser refuses";
    }

    // What that means on the 4-in/8-out model.
    const std::vector<std::string> large = ParameterNames(Variant::FourByEight().deviceType);
    for (const char* name : {"in4.gate", "in1.eq8.freq", "out8.source", "out1.eq6.q",
                             "out1.hpf.slope", "out8.limiter.ratio"}) {
        EXPECT_TRUE(Listed(large, name)) << name;
    }
    for (const char* name : {"in5.gain", "out9.gain", "in1.eq9.freq", "out1.eq7.q", "out1.gate",
                             "in1.source", "in1.limiter.ratio", "out1.hpf.q"}) {
        EXPECT_FALSE(Listed(large, name)) << name;
    }
}
