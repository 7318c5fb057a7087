// One-program file reader: the first byte picks the panel's variant, the rest is the file. A
// program that loads must survive everything the panel does with a program and store again to bytes
// that load back to the same bytes; a file that does not load must leave the program as it was.

#include "FuzzCheck.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const int deviceType = fuzz::DeviceTypeOf(input.Byte());
    CZorvanDoc doc;
    doc.GetProgram().SetDeviceType(deviceType);
    CArchive before;
    doc.Serialize(before);

    std::istringstream file(input.Rest());
    const bool loaded = ReadProgram(file, doc).empty();
    CArchive stored;
    doc.Serialize(stored);
    if (!loaded) {
        FUZZ_CHECK(stored.GetBuffer() == before.GetBuffer());
        return 0;
    }
    fuzz::UseProgram(doc.GetProgram(), deviceType, fuzz::SlowChecksFor(data, size));

    CZorvanDoc again;
    again.GetProgram().SetDeviceType(deviceType);
    CArchive reload(stored.GetBuffer());
    again.Serialize(reload);
    CArchive storedAgain;
    again.Serialize(storedAgain);
    FUZZ_CHECK(storedAgain.GetBuffer() == stored.GetBuffer());
    return 0;
}
