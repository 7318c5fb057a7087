// Bank file reader: the first byte picks the panel's variant, the rest is the file. Every program
// of a bank that loads is turned into the temporary program that goes to the device, which must
// survive everything a program goes through (one per run, see below); the bank stores again to
// bytes that load back to the same bytes. A bank that does not load leaves the stored programs as
// they were.

#include "FuzzCheck.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"

#include <memory>
#include <sstream>

namespace {

std::vector<std::uint8_t> Store(const CZorvanDoc::StoredPrograms& bank) {
    CArchive ar;
    for (const ProgramImage& image : bank) {
        ProgramImage copy = image;
        copy.Serialize(ar);
    }
    return ar.GetBuffer();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const int deviceType = fuzz::DeviceTypeOf(input.Byte());
    auto doc = std::make_unique<CZorvanDoc>();
    const std::vector<std::uint8_t> before = Store(doc->GetStoredPrograms());

    std::istringstream file(input.Rest());
    if (!ReadBank(file, doc->GetStoredPrograms()).empty()) {
        FUZZ_CHECK(Store(doc->GetStoredPrograms()) == before);
        return 0;
    }
    // Every program becomes the one sent to the device; one of them, chosen by the input's
    // length, goes on through everything a panel does (all thirty would make each run slow).
    const auto& bank = doc->GetStoredPrograms();
    for (std::size_t slot = 0; slot < bank.size(); ++slot) {
        auto program = ProgramFromImage(bank[slot], deviceType);
        if (slot == size % bank.size()) {
            fuzz::UseProgram(*program, deviceType, fuzz::SlowChecksFor(data, size));
        }
    }
    const std::vector<std::uint8_t> stored = Store(doc->GetStoredPrograms());
    auto again = std::make_unique<CZorvanDoc>();
    std::istringstream reread(std::string(stored.begin(), stored.end()));
    FUZZ_CHECK(ReadBank(reread, again->GetStoredPrograms()).empty());
    FUZZ_CHECK(Store(again->GetStoredPrograms()) == stored);
    return 0;
}
