#include "core/files/Archive.h"
#include "core/files/FileReplace.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/Variant.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ProgramBytes(CZorvanDoc& doc) {
    CArchive ar;
    doc.Serialize(ar);
    return ar.GetBuffer();
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

class FilesProgramFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("sonvex_files_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Files in the folder other than the given ones (e.g. a temporary left behind).
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

} // namespace

TEST(FilesProgramFileNames, ExtensionsPatternsAndTitlesPerVariant) {
    struct Case {
        int deviceType;
        const char* extension;
        const char* bankPattern;
        const char* prefix;
    };
    for (const Case& c :
         {Case{1, ".dia48", "*.dat48", "DSP48_"}, Case{2, ".dia36", "*.dat36", "DSP36_"},
          Case{3, ".dia24", "*.dat24", "DSP24_"}}) {
        SCOPED_TRACE(c.deviceType);
        EXPECT_EQ(ProgramFileExtension(c.deviceType), c.extension);
        EXPECT_EQ(ProgramFilePattern(c.deviceType), std::string("*") + c.extension);
        EXPECT_EQ(BankFilePattern(c.deviceType), c.bankPattern);
        EXPECT_EQ(ProgramTitle(c.deviceType, "Live"), std::string(c.prefix) + "Live");
    }
    EXPECT_THROW(ProgramFileExtension(4), std::invalid_argument);
}

TEST(FilesProgramFileNames, ExtensionIsAppendedOnlyWhenMissing) {
    EXPECT_EQ(ProgramFilePath("/pc/show", 3), "/pc/show.dia24");
    EXPECT_EQ(ProgramFilePath("/pc/show.dia24", 3), "/pc/show.dia24");
    EXPECT_EQ(ProgramFilePath("/pc/show.dia24", 1), "/pc/show.dia24.dia48");
    EXPECT_EQ(ProgramFilePath("/pc/show.dia48.old", 1), "/pc/show.dia48.old");
    EXPECT_EQ(ProgramFilePath("/pc/x.dia48/show", 1), "/pc/x.dia48/show.dia48");

    EXPECT_EQ(BankFilePath("/pc/bank"), "/pc/bank.dat");
    EXPECT_EQ(BankFilePath("/pc/bank.dat48"), "/pc/bank.dat48");
    EXPECT_EQ(BankFilePath("/pc/bank.dat"), "/pc/bank.dat");
    EXPECT_EQ(BankFilePath("/pc/old.dat/bank"), "/pc/old.dat/bank.dat");
}

// A file name's extension names the model and the kind of file; anything else names neither.
TEST(FilesProgramFileNames, ExtensionNamesTheModelAndTheKind) {
    struct Case {
        const char* path;
        int deviceType; // 0: no model
        bool bank;
    };
    for (const Case& c : {Case{"/pc/show.dia48", 1, false}, Case{"/pc/show.dat36", 2, true},
                          Case{"/pc/SHOW.DIA24", 3, false}, Case{"bank.Dat24", 3, true},
                          Case{"/pc/show.dia48.old", 0, false}, Case{"/pc/bank.dat", 0, false},
                          Case{"/pc/x.dia48/show", 0, false}, Case{".dia48", 0, false},
                          Case{"/pc/show", 0, false}}) {
        SCOPED_TRACE(c.path);
        const ProgramFileKind kind = ProgramFileKindOf(c.path);
        EXPECT_EQ(kind.variant != nullptr ? kind.variant->deviceType : 0, c.deviceType);
        EXPECT_EQ(kind.bank, c.bank);
    }
}

TEST_F(FilesProgramFile, StoreThenRecallGivesTheSameProgramAndTitle) {
    CZorvanDoc stored;
    stored.GetProgram().SetName("Chapel");
    stored.GetProgram().GetOutput(4)->SetGain(512);
    stored.GetProgram().GetInput(1)->GetFilter(3)->SetGainIndex(355);

    const FileResult saved = StoreProgramToPC(stored, 1, (dir_ / "chapel").string());
    ASSERT_TRUE(saved) << saved.error;
    EXPECT_EQ(saved.path, (dir_ / "chapel.dia48").string());
    EXPECT_EQ(stored.GetTitle(), "DSP48_Chapel");
    const Bytes expected = ProgramBytes(stored);
    EXPECT_EQ(ReadFile(saved.path), expected);
    EXPECT_EQ(Entries(), std::vector<std::string>{"chapel.dia48"});

    CZorvanDoc recalled;
    recalled.GetProgram().SetDeviceType(3);
    const FileResult read = RecallProgramFromPC(recalled, 3, saved.path);
    ASSERT_TRUE(read) << read.error;
    EXPECT_EQ(ProgramBytes(recalled), expected);
    EXPECT_EQ(recalled.GetTitle(), "DSP24_Chapel");
    EXPECT_EQ(recalled.GetProgram().GetOutput(4)->GetGain(), 512);
    EXPECT_EQ(recalled.GetProgram().GetDeviceType(), 3);
}

TEST_F(FilesProgramFile, StoringAgainReplacesTheOldFile) {
    CZorvanDoc doc;
    const std::string path = (dir_ / "a.dia36").string();
    ASSERT_TRUE(StoreProgramToPC(doc, 2, path));
    doc.GetProgram().SetName("Second");
    ASSERT_TRUE(StoreProgramToPC(doc, 2, path));
    EXPECT_EQ(ReadFile(path), ProgramBytes(doc));
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.dia36"});
}

TEST_F(FilesProgramFile, FileCutAtEveryLengthFailsAndLeavesTheProgram) {
    CZorvanDoc source;
    source.GetProgram().SetName("Source");
    source.GetProgram().GetOutput(7)->SetName("Sub");
    const Bytes full = ProgramBytes(source);

    CZorvanDoc target;
    target.GetProgram().SetName("Target");
    target.GetProgram().GetInput(2)->SetDelay(77);
    target.SetTitle("DSP48_Target");
    const Bytes before = ProgramBytes(target);

    const fs::path path = dir_ / "cut.dia48";
    WriteFile(path, full);
    for (std::size_t length = full.size(); length-- > 0;) {
        fs::resize_file(path, length);
        const FileResult result = RecallProgramFromPC(target, 1, path.string());
        ASSERT_FALSE(result) << length;
        ASSERT_EQ(result.error, "File read Error") << length;
        ASSERT_EQ(ProgramBytes(target), before) << length;
    }
    EXPECT_EQ(target.GetTitle(), "DSP48_Target");

    // The whole file, and a longer one, are read (bytes after the program are not looked at).
    Bytes longer = full;
    longer.push_back(0x55);
    WriteFile(path, longer);
    ASSERT_TRUE(RecallProgramFromPC(target, 1, path.string()));
    EXPECT_EQ(ProgramBytes(target), full);
    EXPECT_EQ(target.GetTitle(), "DSP48_Source");
}

TEST_F(FilesProgramFile, MissingFileReportsReadError) {
    CZorvanDoc doc;
    const Bytes before = ProgramBytes(doc);
    for (const fs::path& path : {dir_ / "absent.dia48", dir_}) {
        const FileResult result = RecallProgramFromPC(doc, 1, path.string());
        EXPECT_FALSE(result);
        EXPECT_EQ(result.error, "File read Error");
    }
    EXPECT_EQ(ProgramBytes(doc), before);
    EXPECT_EQ(doc.GetTitle(), "");
}

TEST_F(FilesProgramFile, FailedSaveKeepsTheOldFileAndReportsWriteError) {
    CZorvanDoc doc;
    doc.GetProgram().SetName("New");

    // Folder missing.
    FileResult result = StoreProgramToPC(doc, 1, (dir_ / "no" / "such").string());
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, "MusicFile Write Error");
    EXPECT_EQ(doc.GetTitle(), "");

    // An old file whose name leaves no room for a temporary beside it: the save fails
    // before anything is moved, and the old file keeps its bytes.
    const fs::path old = dir_ / (std::string(244, 'p') + ".dia48");
    const Bytes oldBytes{1, 2, 3, 4};
    WriteFile(old, oldBytes);
    result = StoreProgramToPC(doc, 1, old.string());
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, "MusicFile Write Error");
    EXPECT_EQ(ReadFile(old), oldBytes);

    // The target is a folder: it stays as it was.
    const fs::path folder = dir_ / "taken.dia48";
    fs::create_directory(folder);
    WriteFile(folder / "inside", oldBytes);
    result = StoreProgramToPC(doc, 1, folder.string());
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, "MusicFile Write Error");
    EXPECT_EQ(ReadFile(folder / "inside"), oldBytes);

    // No temporary is left behind by any of the failures.
    EXPECT_EQ(Entries(), (std::vector<std::string>{old.filename().string(), "taken.dia48"}));
}

TEST_F(FilesProgramFile, ReplaceWritesEmptyAndLargeContents) {
    const fs::path path = dir_ / "blob";
    ASSERT_TRUE(ReplaceFileContents(path, {}));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    Bytes big(1 << 20);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(ReplaceFileContents(path, big));
    EXPECT_EQ(ReadFile(path), big);
    EXPECT_FALSE(ReplaceFileContents(dir_ / "", big));
    EXPECT_EQ(Entries(), std::vector<std::string>{"blob"});
}
