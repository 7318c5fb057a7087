// Saves that are killed half-way: a child process writes a one-program file or a bank file
// through the real save path and is killed with SIGKILL at chosen byte counts of the new file
// (a file size limit stops it there) and at random moments of a run of saves. The file on disk
// is always the previous one or the new one, whole, and the next save works.

#include "core/SimTestPrograms.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file of the temporary folder whose names start with a dot: what a save leaves beside the
// target while it writes.
std::vector<fs::path> Temporaries(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().front() == '.') {
            found.push_back(entry.path());
        }
    }
    return found;
}

// A document whose live program and thirty stored programs all depend on seed.
void Fill(CZorvanDoc& doc, unsigned seed) {
    simtest::FillVaried(doc.GetProgram(), 1, seed);
    for (std::size_t slot = 0; slot < doc.GetStoredPrograms().size(); ++slot) {
        ProgramImage& stored = doc.GetStoredPrograms()[slot];
        const auto value = static_cast<std::uint16_t>(seed * 31 + slot);
        stored.name = "P" + std::to_string(value);
        stored.inputs[slot % stored.inputs.size()].delay = value;
        stored.outputs[slot % stored.outputs.size()].gain = value;
    }
}

// Stopped by the file size limit: dies at once, as a kill would stop it.
extern "C" void KillSelf(int) {
    std::raise(SIGKILL);
}

// Runs save in a child process. With a limit, every write past limit bytes of a file stops the
// child with SIGKILL; true when the child was killed (or, without a limit, ended normally).
bool SaveInChild(const std::function<bool()>& save, long limit) {
    const pid_t child = fork();
    if (child == 0) {
        if (limit >= 0) {
            std::signal(SIGXFSZ, KillSelf);
            const rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            setrlimit(RLIMIT_FSIZE, &size);
        }
        _exit(save() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return false;
    }
    return limit >= 0 ? WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
                      : WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Kind {
    const char* name;
    std::function<FileResult(CZorvanDoc&, const std::string&)> store;
    std::function<FileResult(CZorvanDoc&, const std::string&)> recall;
};

const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kinds{
        {"program file",
         [](CZorvanDoc& doc, const std::string& path) { return StoreProgramToPC(doc, 1, path); },
         [](CZorvanDoc& doc, const std::string& path) {
             return RecallProgramFromPC(doc, 1, path);
         }},
        {"bank file",
         [](CZorvanDoc& doc, const std::string& path) { return StoreAllToPC(doc, path); },
         [](CZorvanDoc& doc, const std::string& path) { return RecallAllFromPC(doc, path); }},
    };
    return kinds;
}

class FilesSaveKillTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("sonvex-kill-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        Fill(previous, 3);
        Fill(next, 11);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Saves doc in this process; the bytes written.
    Bytes Save(const Kind& kind, CZorvanDoc& doc, const fs::path& target) {
        const FileResult saved = kind.store(doc, target.string());
        EXPECT_TRUE(saved.ok) << saved.reason;
        EXPECT_EQ(saved.path, target.string());
        return ReadFile(target);
    }

    fs::path folder;
    CZorvanDoc previous;
    CZorvanDoc next;
};

// Killed after 0, 1, 1000 bytes, half and all but one byte of the new file: the previous file
// stays whole, and the next save replaces it in spite of the temporaries left behind.
TEST_F(FilesSaveKillTest, KilledWhileWritingLeavesThePreviousFile) {
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        const fs::path target =
            folder / (std::string(kind.name) == "bank file" ? "show.dat" : "show.dia48");
        const Bytes before = Save(kind, previous, target);
        const fs::path scratch = folder / "scratch";
        fs::create_directories(scratch);
        const Bytes after = Save(kind, next, scratch / target.filename());
        ASSERT_NE(before, after);
        const long size = static_cast<long>(after.size());
        for (const long point : {0L, 1L, 1000L, size / 2, size - 1}) {
            SCOPED_TRACE("killed at byte " + std::to_string(point));
            ASSERT_TRUE(SaveInChild([&] { return kind.store(next, target.string()).ok; }, point));
            EXPECT_EQ(ReadFile(target), before);
            CZorvanDoc loaded;
            EXPECT_TRUE(kind.recall(loaded, target.string()).ok);
        }
        // What the killed saves left is only hidden temporaries beside the file, none of them
        // complete, and none in the way of the next save.
        for (const fs::path& temporary : Temporaries(folder)) {
            EXPECT_LT(fs::file_size(temporary), after.size()) << temporary;
        }
        EXPECT_EQ(Save(kind, next, target), after);
        fs::remove_all(scratch);
    }
}

// A run of saves, alternating between two documents, killed at random moments (also between the
// last byte and the move into place): the file is always one of the two, whole.
TEST_F(FilesSaveKillTest, KilledAtRandomMomentsLeavesAWholeFile) {
    std::mt19937 random(12345);
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        const fs::path target =
            folder / (std::string(kind.name) == "bank file" ? "run.dat" : "run.dia48");
        const fs::path scratch = folder / "scratch";
        fs::create_directories(scratch);
        const Bytes first = Save(kind, previous, scratch / target.filename());
        const Bytes second = Save(kind, next, target);
        fs::remove_all(scratch);
        int killed = 0;
        for (int round = 0; round < 15; ++round) {
            const pid_t child = fork();
            if (child == 0) {
                for (int i = 0;; ++i) {
                    kind.store(i % 2 == 0 ? previous : next, target.string());
                }
            }
            ASSERT_GT(child, 0);
            std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 20000));
            kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            killed += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? 1 : 0;
            const Bytes now = ReadFile(target);
            EXPECT_TRUE(now == first || now == second) << "round " << round;
        }
        EXPECT_EQ(killed, 15);
        EXPECT_EQ(Save(kind, previous, target), first);
    }
}

} // namespace
