#include "core/files/ProgramFiles.h"

#include "core/files/Archive.h"
#include "core/files/FileReplace.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

// The variant of a device type; an unknown type is rejected.
const Variant& VariantOf(int deviceType) {
    const Variant* variant = Variant::ForDeviceType(deviceType);
    if (variant == nullptr) {
        throw std::invalid_argument("unknown device type " + std::to_string(deviceType));
    }
    return *variant;
}

// The extension rules look at the file name only, so that a folder called "x.dat" does not
// stand in for the file's own extension.
std::string WithExtension(const std::string& chosen, const std::string& extension) {
    const std::string name = std::filesystem::path(chosen).filename().string();
    if (name.find(extension) != std::string::npos)
        return chosen;
    return chosen + extension;
}

FileResult Failed(const char* message, const std::string& path, const std::string& reason = {}) {
    return {false, message, path, reason};
}

FileResult Succeeded(const std::string& path) {
    return {true, {}, path, {}};
}

// Every byte of the stream, up to limit + 1 (one more than allowed tells that it is too large).
// Read piece by piece, so that a small file does not cost a buffer of the largest size.
std::vector<std::uint8_t> ReadAll(std::istream& in, std::size_t limit) {
    std::vector<std::uint8_t> bytes;
    std::array<char, 64 * 1024> piece{};
    while (bytes.size() <= limit && in) {
        const std::size_t wanted = std::min(piece.size(), limit + 1 - bytes.size());
        in.read(piece.data(), static_cast<std::streamsize>(wanted));
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + in.gcount());
    }
    return bytes;
}

// Why a path cannot be read as a file, or nothing when it was opened.
std::string OpenForReading(const std::string& path, std::ifstream& file) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return "is a folder, not a file";
    errno = 0;
    file.open(path, std::ios::binary);
    if (!file)
        return std::string("cannot be opened (") + std::strerror(errno != 0 ? errno : EIO) + ")";
    return {};
}

// The block codes and channel indices every program this system writes carries in its records:
// a file whose records hold others is of another kind.
bool SameLayout(const CEQ& a, const CEQ& b) {
    if (a.GetFilterCount() != b.GetFilterCount())
        return false;
    for (int i = 0; i < a.GetFilterCount(); ++i) {
        if (a.GetFilter(i)->GetCode() != b.GetFilter(i)->GetCode())
            return false;
    }
    return true;
}

bool SameLayout(const CAudio_Channel& a, const CAudio_Channel& b) {
    return a.GetChannelIndex() == b.GetChannelIndex() && a.GetLevelCode() == b.GetLevelCode() &&
           SameLayout(a.GetEQ(), b.GetEQ());
}

bool HasProgramLayout(const CAudio_Data& program) {
    const CAudio_Data written;
    for (int i = 0; i < written.GetInputCount(); ++i) {
        if (!SameLayout(*program.GetInput(i), *written.GetInput(i)))
            return false;
    }
    for (int o = 0; o < written.GetOutputCount(); ++o) {
        const CAudio_OutData& output = *program.GetOutput(o);
        const CAudio_OutData& expected = *written.GetOutput(o);
        if (!SameLayout(output, expected) || output.GetNameCode() != expected.GetNameCode() ||
            output.GetDynamicsCode() != expected.GetDynamicsCode())
            return false;
    }
    return true;
}

} // namespace

std::string ProgramFileExtension(int deviceType) {
    return VariantOf(deviceType).programExtension;
}

std::string ProgramFilePattern(int deviceType) {
    return VariantOf(deviceType).ProgramFilePattern();
}

std::string BankFilePattern(int deviceType) {
    return VariantOf(deviceType).BankFilePattern();
}

std::string ProgramTitle(int deviceType, const std::string& programName) {
    return VariantOf(deviceType).ProgramTitle(programName);
}

std::string ProgramFilePath(const std::string& chosen, int deviceType) {
    return WithExtension(chosen, ProgramFileExtension(deviceType));
}

std::string BankFilePath(const std::string& chosen) {
    return WithExtension(chosen, ".dat");
}

ProgramFileKind ProgramFileKindOf(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto endsWith = [&name](const std::string& extension) {
        return name.size() > extension.size() &&
               name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
    };
    for (const Variant* variant : Variant::All()) {
        if (endsWith(variant->programExtension)) {
            return {variant, false};
        }
        if (endsWith(variant->bankExtension)) {
            return {variant, true};
        }
    }
    return {};
}

FileResult StoreProgramToPC(CZorvanDoc& doc, int deviceType, const std::string& chosenPath) {
    const std::string path = ProgramFilePath(chosenPath, deviceType);
    CArchive ar;
    doc.Serialize(ar);
    if (!ReplaceFileContents(path, ar.GetBuffer()))
        return Failed(kFileWriteError, path);
    doc.SetTitle(ProgramTitle(deviceType, doc.GetProgram().GetName()));
    return Succeeded(path);
}

std::string ReadProgram(std::istream& in, CZorvanDoc& doc) {
    const std::vector<std::uint8_t> bytes = ReadAll(in, kMaxProgramFileSize);
    if (bytes.empty())
        return "is empty";
    if (bytes.size() > kMaxProgramFileSize)
        return "is too large for a program file";
    // Tried on a program of its own first, so that a file of another kind changes nothing.
    CAudio_Data trial;
    trial.SetDeviceType(doc.GetProgram().GetDeviceType());
    CArchive tried(bytes);
    try {
        trial.Serialize(tried);
    } catch (const CArchiveException&) {
        return "ends before the program is complete";
    }
    // Bytes after the program are not looked at; the records themselves must be a program's.
    if (!HasProgramLayout(trial))
        return "is not a program file";
    CArchive ar(bytes);
    doc.Serialize(ar);
    return {};
}

FileResult RecallProgramFromPC(CZorvanDoc& doc, int deviceType, const std::string& path) {
    const Variant& variant = VariantOf(deviceType);
    std::ifstream file;
    std::string reason = OpenForReading(path, file);
    if (reason.empty())
        reason = ReadProgram(file, doc);
    if (!reason.empty())
        return Failed(kFileReadError, path, reason);
    doc.SetTitle(variant.ProgramTitle(doc.GetProgram().GetName()));
    return Succeeded(path);
}

FileResult StoreAllToPC(CZorvanDoc& doc, const std::string& chosenPath) {
    const std::string path = BankFilePath(chosenPath);
    CArchive ar;
    for (const ProgramImage& stored : doc.GetStoredPrograms()) {
        doc.GetWorkingImage() = stored;
        doc.GetWorkingImage().Serialize(ar);
    }
    if (!ReplaceFileContents(path, ar.GetBuffer()))
        return Failed(kFileWriteError, path);
    return Succeeded(path);
}

std::string ReadBank(std::istream& in, CZorvanDoc::StoredPrograms& bank) {
    const std::vector<std::uint8_t> bytes = ReadAll(in, kMaxBankFileSize);
    if (bytes.empty())
        return "is empty";
    if (bytes.size() > kMaxBankFileSize)
        return "is too large for a bank file";
    // The bank is taken over only when all thirty programs were read.
    auto loaded = std::make_unique<CZorvanDoc::StoredPrograms>();
    CArchive ar(bytes);
    try {
        for (ProgramImage& slot : *loaded)
            slot.Serialize(ar);
    } catch (const CArchiveException&) {
        return "ends before the thirtieth program is complete";
    }
    if (!ar.AtEnd())
        return "is not a bank file";
    bank = *loaded;
    return {};
}

FileResult RecallAllFromPC(CZorvanDoc& doc, const std::string& path) {
    std::ifstream file;
    std::string reason = OpenForReading(path, file);
    if (reason.empty())
        reason = ReadBank(file, doc.GetStoredPrograms());
    if (!reason.empty())
        return Failed(kFileReadError, path, reason);
    doc.GetWorkingImage() = doc.GetStoredPrograms().back();
    return Succeeded(path);
}

void TakeRecalledProgram(CZorvanDoc& doc, CZorvanDoc& recalled) {
    // Through the file format, so that exactly what a file holds is taken over.
    CArchive storing;
    recalled.Serialize(storing);
    CArchive loading(storing.GetBuffer());
    doc.Serialize(loading);
    doc.SetTitle(recalled.GetTitle());
}

void TakeRecalledBank(CZorvanDoc& doc, const CZorvanDoc& recalled) {
    doc.GetStoredPrograms() = recalled.GetStoredPrograms();
    doc.GetWorkingImage() = doc.GetStoredPrograms().back();
}

std::unique_ptr<CAudio_Data> ProgramFromImage(const ProgramImage& image, int deviceType) {
    VariantOf(deviceType); // rejects an unknown type before anything is built
    auto program = std::make_unique<CAudio_Data>();
    program->SetDeviceType(deviceType);
    program->LoadFromImage(image);
    return program;
}
