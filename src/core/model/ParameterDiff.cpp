#include "core/model/ParameterDiff.h"

#include "core/model/AudioData.h"
#include "core/model/ParameterText.h"

namespace ParameterDiff {

std::vector<ParameterDifference> Compare(const CAudio_Data& first, const CAudio_Data& second,
                                         int deviceType) {
    std::vector<ParameterDifference> differences;
    for (const ParameterRef& ref : ParameterText::Parameters(deviceType)) {
        if (ParameterText::IsAlias(ref.section, ref.field)) {
            continue;
        }
        std::string a = ParameterText::Value(first, ref);
        std::string b = ParameterText::Value(second, ref);
        if (!a.empty() && !b.empty() && a != b) {
            differences.push_back({ParameterText::Name(ref), std::move(a), std::move(b)});
        }
    }
    return differences;
}

std::string Line(const ParameterDifference& difference, int program) {
    const std::string prefix = program > 0 ? "P" + std::to_string(program) + " " : std::string();
    return prefix + difference.name + ": " + difference.first + " != " + difference.second;
}

} // namespace ParameterDiff
