#include "core/files/ProgramCompare.h"

#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterDiff.h"

namespace ProgramCompare {

std::unique_ptr<CAudio_Data> FromImage(const ProgramImage& image, int deviceType) {
    auto program = std::make_unique<CAudio_Data>();
    program->SetDeviceType(deviceType);
    program->LoadFromImage(image);
    return program;
}

std::vector<std::string> Lines(const CAudio_Data& first, const CAudio_Data& second, int deviceType,
                               int program) {
    std::vector<std::string> lines;
    for (const ParameterDifference& difference :
         ParameterDiff::Compare(first, second, deviceType)) {
        lines.push_back(ParameterDiff::Line(difference, program));
    }
    return lines;
}

std::vector<std::string> BankLines(const CZorvanDoc::StoredPrograms& first,
                                   const CZorvanDoc::StoredPrograms& second, int deviceType) {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < first.size(); ++k) {
        const std::vector<std::string> slot =
            Lines(*FromImage(first[k], deviceType), *FromImage(second[k], deviceType), deviceType,
                  static_cast<int>(k) + 1);
        lines.insert(lines.end(), slot.begin(), slot.end());
    }
    return lines;
}

} // namespace ProgramCompare
