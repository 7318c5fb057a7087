#include "files/ProgramFiles.h"

#include "files/Archive.h"
#include "files/FileReplace.h"
#include "files/ZorvanDoc.h"
#include "model/AudioData.h"
#include "model/Variant.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>

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

FileResult Failed(const char* message, const std::string& path) {
    return {false, message, path};
}

FileResult Succeeded(const std::string& path) {
    return {true, {}, path};
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

FileResult RecallProgramFromPC(CZorvanDoc& doc, int deviceType, const std::string& path) {
    const Variant& variant = VariantOf(deviceType);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Failed(kFileReadError, path);
    try {
        CArchive ar(file);
        doc.Serialize(ar);
    } catch (const CArchiveException&) {
        return Failed(kFileReadError, path);
    }
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

FileResult RecallAllFromPC(CZorvanDoc& doc, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Failed(kFileReadError, path);
    // The bank is taken over only when all thirty programs were read.
    auto bank = std::make_unique<CZorvanDoc::StoredPrograms>();
    ProgramImage working;
    try {
        CArchive ar(file);
        for (ProgramImage& slot : *bank) {
            working.Serialize(ar);
            slot = working;
        }
    } catch (const CArchiveException&) {
        return Failed(kFileReadError, path);
    }
    doc.GetStoredPrograms() = *bank;
    doc.GetWorkingImage() = working;
    return Succeeded(path);
}

std::unique_ptr<CAudio_Data> ProgramFromImage(const ProgramImage& image, int deviceType) {
    VariantOf(deviceType); // rejects an unknown type before anything is built
    auto program = std::make_unique<CAudio_Data>();
    program->SetDeviceType(deviceType);
    program->LoadFromImage(image);
    return program;
}
