// The command-line tool's parameter parser: the first byte picks the variant, the rest is read as
// lines of PARAM=VALUE, each parsed and applied as "sonvex-cli set" does. A rejected assignment
// comes with a message and changes nothing; whatever is accepted leaves a program that survives
// everything a panel does with it.

#include "FuzzCheck.h"
#include "ParamAssignment.h"

#include <sstream>

namespace {

std::vector<std::uint8_t> Archived(CAudio_Data& program) {
    CArchive ar;
    program.Serialize(ar);
    return ar.GetBuffer();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const int deviceType = fuzz::DeviceTypeOf(input.Byte());
    CAudio_Data program;
    program.SetDeviceType(deviceType);
    std::istringstream lines(input.Rest());
    std::string line;
    while (std::getline(lines, line)) {
        ParamAssignment assignment;
        std::string error;
        if (!ParseAssignment(line, deviceType, assignment, error)) {
            FUZZ_CHECK(!error.empty());
            continue;
        }
        const std::vector<std::uint8_t> before = Archived(program);
        if (!ApplyAssignment(assignment, program, error)) {
            FUZZ_CHECK(!error.empty());
            FUZZ_CHECK(Archived(program) == before);
        }
    }
    fuzz::UseProgram(program, deviceType, fuzz::SlowChecksFor(data, size));
    return 0;
}
