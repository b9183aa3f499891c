#include "model/files.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/error.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using ::testing::ElementsAre;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

TEST(FileErrors, MapErrnoToTheUsersWords) {
    const struct {
        int errorNumber;
        const char* message;
    } cases[] = {{ENOENT, "File not found"},    {EACCES, "File access denied"}, {EPERM, "File access denied"},
                 {EROFS, "File access denied"}, {ENOSPC, "Disk full"},          {EISDIR, "I/O error 21"},
                 {ENOTDIR, "I/O error 20"},     {EFBIG, "I/O error 27"}};
    for (const auto& c : cases) EXPECT_EQ(fileErrorMessage(c.errorNumber), c.message);
}

namespace {

// Runs the test body with unnamed temporaries (where the file system has
// them) and again with named ones.
class TemporaryKinds : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { useNamedTemporaryFiles(GetParam()); }
    void TearDown() override { useNamedTemporaryFiles(false); }
};

INSTANTIATE_TEST_SUITE_P(WriteFileAtomically, TemporaryKinds, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

mode_t modeOf(const std::filesystem::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

} // namespace

TEST_P(TemporaryKinds, ReplacesTheWholeFile) {
    TempFolder folder;
    const auto file = folder.path() / "a1.txt";
    writeFileAtomically(file, std::string(1000, 'x'));
    writeFileAtomically(file, "short\r\n");
    EXPECT_EQ(readFileBytes(file), "short\r\n");
    writeFileAtomically(file, "");
    EXPECT_EQ(readFileBytes(file), "");
    EXPECT_THAT(folder.entries(), ElementsAre("a1.txt"));
}

TEST_P(TemporaryKinds, KeepsTheModeAndTheOwnerOfTheReplacedFile) {
    TempFolder folder;
    const auto file = folder.path() / "report.txt";
    // A 0600 report once became 0644 on every analysis.
    for (const mode_t mode : {0600, 0640, 0604, 0751, 02750}) {
        writeFileAtomically(file, "old");
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        writeFileAtomically(file, "new");
        EXPECT_EQ(modeOf(file), mode) << std::oct << mode;
    }
    const mode_t defaultMode = 0666 & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    writeFileAtomically(folder.path() / "new.txt", "new");
    EXPECT_EQ(modeOf(folder.path() / "new.txt"), defaultMode);
    if (::geteuid() != 0) return; // only the superuser may give a file away
    ASSERT_EQ(::chown(file.c_str(), 4321, 8765), 0);
    writeFileAtomically(file, "newer");
    struct stat status {};
    ::stat(file.c_str(), &status);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 8765u);
    EXPECT_EQ(readFileBytes(file), "newer");
}

TEST_P(TemporaryKinds, NamesNearTheFileSystemsLimitWork) {
    // The temporary's name once grew with the file's, so a block name of
    // 240-251 bytes failed with "I/O error 36".
    TempFolder folder;
    for (const std::size_t length : {240u, 251u}) {
        const auto file = folder.path() / (std::string(length, 'w') + ".txt");
        writeFileAtomically(file, "a");
        writeFileAtomically(file, "b");
        EXPECT_EQ(readFileBytes(file), "b");
    }
    EXPECT_EQ(folder.entries().size(), 2u);
    EXPECT_EQ(messageOf([&] { writeFileAtomically(folder.path() / std::string(256, 'w'), ""); }), "I/O error 36");
}

TEST_P(TemporaryKinds, StopSignalsDuringABatchLeaveNoTemporary) {
    // A child writes files in a loop, as a batch does, and is stopped after
    // a while; only whole files may remain. Large files keep a temporary in
    // existence most of the time.
    const std::string bytes(1 << 19, 'x');
    int round = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (int i = 0; i < 6; ++i, ++round) {
            TempFolder folder;
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                try {
                    for (int n = 0;; ++n) writeFileAtomically(folder.path() / ("b" + std::to_string(n % 20)), bytes);
                } catch (...) {
                    ::_exit(1);
                }
            }
            ::usleep(3000 + 1700 * round);
            ::kill(child, signal);
            int status = 0;
            ::waitpid(child, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            for (const std::string& name : folder.entries()) {
                EXPECT_EQ(name[0], 'b') << "left behind: " << name;
                EXPECT_EQ(readFileBytes(folder.path() / name), bytes) << name;
            }
        }
    }
}

TEST_P(TemporaryKinds, FailureLeavesNoTemporaryAndNoDamage) {
    TempFolder folder;
    writeFileAtomically(folder.path() / "plain", "old");
    std::filesystem::create_directory(folder.path() / "sub");
    writeFileAtomically(folder.path() / "sub" / "inner", "kept");
    const struct {
        std::filesystem::path target;
        const char* message;
    } cases[] = {
        {folder.path() / "missing" / "x.txt", "File not found"},
        {folder.path() / "plain" / "x.txt", "I/O error 20"}, // the folder is a file
        {folder.path() / "sub", "I/O error 21"},             // the target is a folder
    };
    for (const auto& c : cases)
        EXPECT_EQ(messageOf([&] { writeFileAtomically(c.target, "new"); }), c.message) << c.target;
    EXPECT_THAT(folder.entries(), ElementsAre("plain", "sub"));
    EXPECT_EQ(readFileBytes(folder.path() / "plain"), "old");
    EXPECT_EQ(readFileBytes(folder.path() / "sub" / "inner"), "kept");
}

TEST_P(TemporaryKinds, WriteFailureKeepsTheOldFile) {
    TempFolder folder;
    const auto file = folder.path() / "block.txt";
    writeFileAtomically(file, "the old content");
    // A file-size limit makes write() fail part-way, like a full disk.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit small = oldLimit;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string message = messageOf([&] { writeFileAtomically(file, std::string(100000, 'n')); });
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "I/O error 27");
    EXPECT_EQ(readFileBytes(file), "the old content");
    EXPECT_THAT(folder.entries(), ElementsAre("block.txt"));
}

TEST(WriteFileAtomically, RespectsPermissions) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder folder;
    const auto protectedFile = folder.path() / "protected.txt";
    writeFileAtomically(protectedFile, "keep");
    std::filesystem::permissions(protectedFile, std::filesystem::perms::owner_read);
    EXPECT_EQ(messageOf([&] { writeFileAtomically(protectedFile, "new"); }), "File access denied");
    EXPECT_EQ(readFileBytes(protectedFile), "keep");
    const auto lockedFolder = folder.path() / "locked";
    std::filesystem::create_directory(lockedFolder);
    std::filesystem::permissions(lockedFolder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(messageOf([&] { writeFileAtomically(lockedFolder / "x.txt", "new"); }), "File access denied");
    EXPECT_TRUE(std::filesystem::is_empty(lockedFolder));
}

TEST(ReadFileBytes, MissingFileIsNotFound) {
    TempFolder folder;
    EXPECT_EQ(messageOf([&] { readFileBytes(folder.path() / "none.txt"); }), "File not found");
    EXPECT_EQ(messageOf([&] { readFileBytes(folder.path()); }), "I/O error 21");
}

TEST(TextFiles, StoreGb18030AndReadBackUtf8) {
    TempFolder folder;
    const auto file = folder.path() / "楔块.txt";
    const std::string text = "****************楔块a1稳定分析导出文件****************\r\nβ=\t😀\r\n";
    writeTextFile(file, text);
    const std::string bytes = readFileBytes(file);
    EXPECT_EQ(bytes.substr(0, 20), "****************\xD0\xA8\xBF\xE9");
    EXPECT_EQ(readTextFile(file), text);
}

TEST(TextFiles, InvalidBytesNameTheFile) {
    TempFolder folder;
    const auto file = folder.path() / "bad.txt";
    writeFileAtomically(file, "45,105\r\n\x80\r\n");
    EXPECT_EQ(messageOf([&] { readTextFile(file); }),
              "文件“" + file.string() + "”无法读取：文本含有无效的 GB18030 字节（第 9 字节）");
    EXPECT_EQ(messageOf([&] { writeTextFile(folder.path() / "out.txt", "\xFF"); }),
              "文本含有无效的 UTF-8 字节（第 1 字节）");
    EXPECT_THAT(folder.entries(), ElementsAre("bad.txt"));
}

TEST(CheckBlockName, RefusesNamesThatLeaveTheFolder) {
    const char* refused[] = {"/", "a/b", "\\", "..\\x", "../x", ".", "..", "/etc/passwd", "a\\"};
    for (const char* name : refused)
        EXPECT_EQ(messageOf([&] { checkBlockName(name); }),
                  "块体名称“" + std::string(name) + "”无效：不能含有“/”或“\\”，也不能是“.”或“..”");
    const char* accepted[] = {"", "a1", "楔块1", "...", ".hidden", "a..b", "W 1"};
    for (const char* name : accepted) EXPECT_NO_THROW(checkBlockName(name)) << name;
    // A NUL would cut the file's name short ("keep.dat\0.txt" is keep.dat),
    // a control character act on the terminal.
    const std::pair<std::string, const char*> controls[] = {{std::string("keep.dat\0", 9), "keep.dat\\x00"},
                                                            {"a\tb", "a\\tb"},
                                                            {"a\x7f", "a\\x7F"},
                                                            {"\x1b[2J", "\\x1B[2J"}};
    for (const auto& [name, shown] : controls)
        EXPECT_EQ(messageOf([&] { checkBlockName(name); }),
                  "块体名称“" + std::string(shown) + "”无效：不能含有控制字符");
}
