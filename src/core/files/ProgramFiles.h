#pragma once

#include "core/files/ProgramImage.h"
#include "core/files/ZorvanDoc.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>

class CAudio_Data;
struct Variant;

// The four program file operations of a panel, without their file dialogs: the caller supplies
// the chosen path. A device type selects the variant: 1 = 4 in / 8 out, 2 = 3 in / 6 out,
// 3 = 2 in / 4 out (any other value is rejected with std::invalid_argument).

inline constexpr const char* kFileReadError = "File read Error";
inline constexpr const char* kFileWriteError = "MusicFile Write Error";

// ".dia48", ".dia36", ".dia24"
std::string ProgramFileExtension(int deviceType);
// "*.dia48", ... : the pattern offered by the file dialog for one-program files.
std::string ProgramFilePattern(int deviceType);
// "*.dat48", ... : the pattern offered for bank files.
std::string BankFilePattern(int deviceType);
// The document title after a program file was stored or recalled: "DSP48_" followed by the
// program name (the variant's program title).
std::string ProgramTitle(int deviceType, const std::string& programName);

// The path a one-program file is stored under: the variant's extension is appended when the
// file name does not contain it.
std::string ProgramFilePath(const std::string& chosen, int deviceType);
// The path a bank file is stored under: ".dat" is appended when the file name does not contain
// ".dat" (the variant digits are not added).
std::string BankFilePath(const std::string& chosen);

// What the extension of a file name names: a model's one-program file (".dia48", ...) or bank
// file (".dat48", ...), compared without regard to case; no variant for any other name.
struct ProgramFileKind {
    const Variant* variant = nullptr;
    bool bank = false;
};
ProgramFileKind ProgramFileKindOf(const std::string& path);

struct FileResult {
    bool ok = false;
    std::string error;  // kFileReadError or kFileWriteError when the operation failed
    std::string path;   // the path that was read or written
    std::string reason; // what was wrong with the file or the folder, for the operator

    explicit operator bool() const { return ok; }
};

// Writes the document's program as a one-program file and sets the document title.
FileResult StoreProgramToPC(CZorvanDoc& doc, int deviceType, const std::string& chosenPath);
// Replaces the document's program from a one-program file and sets the document title. A file
// that cannot be opened or ends early leaves the program as it was.
FileResult RecallProgramFromPC(CZorvanDoc& doc, int deviceType, const std::string& path);
// Writes the thirty stored programs as a bank file.
FileResult StoreAllToPC(CZorvanDoc& doc, const std::string& chosenPath);
// Replaces the thirty stored programs from a bank file. A file that cannot be opened or ends
// early leaves them as they were.
FileResult RecallAllFromPC(CZorvanDoc& doc, const std::string& path);

// A file can be recalled into a document of its own first (its program given the device type),
// so that it is known to read before anything is replaced; these then put what was read into
// doc as the recall into doc would have: the program and title, or the thirty stored programs.
void TakeRecalledProgram(CZorvanDoc& doc, CZorvanDoc& recalled);
void TakeRecalledBank(CZorvanDoc& doc, const CZorvanDoc& recalled);

// Files larger than these are no program or bank file of any panel and are not read.
inline constexpr std::size_t kMaxProgramFileSize = 1u << 20;
inline constexpr std::size_t kMaxBankFileSize = 30u << 20;

// The file readers behind the recall operations, from a stream. Each returns an empty text when
// the file was taken, otherwise why it was not ("is empty", "ends before ...", "is not a ...");
// what it would have replaced is then left as it was. A one-program file must start with a
// program in the record layout this system writes (block codes and channel indices); a bank file
// must hold exactly thirty programs.
// A program's values are limited to the ranges of the document program's model while they are
// read; a bank's images are kept as read and limited to the ranges of the model they go to when
// they become a program (ProgramFromImage, CAudio_Data::LoadFromImage).
std::string ReadProgram(std::istream& in, CZorvanDoc& doc);
std::string ReadBank(std::istream& in, CZorvanDoc::StoredPrograms& bank);

// A temporary program of the given device type loaded from a stored program image, as it is sent
// to the device after a bank file was recalled; every value is limited to that model's ranges.
std::unique_ptr<CAudio_Data> ProgramFromImage(const ProgramImage& image, int deviceType);
