#include "model/output_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

// Another process replacing files in the folder frees their inodes, and the
// file system hands them to new files. Moving a file stands for that here:
// its identity turns up under another name while the name it was taken
// from no longer has it. Only a file that is still what the guard saw is
// protected; a real overwrite of an input or of another input's output is
// still refused.
TEST(OutputGuard, ComparesOnlyFilesThatStillHaveTheIdentity) {
    TempFolder folder;
    const auto path = [&](const char* name) { return folder.path() / name; };
    std::ofstream(path("in0.txt")) << "block 0";
    std::ofstream(path("in1.txt")) << "block 1";
    OutputGuard guard({path("in0.txt").string(), path("in1.txt").string()});

    std::ofstream(path("out0.pdf")) << "report 0";
    guard.written(path("out0.pdf"), 0);
    EXPECT_NE(messageOf([&] { guard.check(path("out0.pdf"), 1); }), "");
    EXPECT_EQ(messageOf([&] { guard.check(path("out0.pdf"), 0); }), "");
    std::filesystem::rename(path("out0.pdf"), path("out1.pdf"));
    EXPECT_EQ(messageOf([&] { guard.check(path("out1.pdf"), 1); }), "");
    // The name written for input 0 stays input 0's, whatever file is there now.
    std::ofstream(path("out0.pdf")) << "another process's report";
    EXPECT_NE(messageOf([&] { guard.check(path("out0.pdf"), 1); }), "");

    std::filesystem::create_hard_link(path("in1.txt"), path("link.pdf"));
    EXPECT_NE(messageOf([&] { guard.check(path("link.pdf"), 0); }), "");
    std::filesystem::rename(path("in0.txt"), path("moved.pdf"));
    EXPECT_EQ(messageOf([&] { guard.check(path("moved.pdf"), 1); }), "");
}

} // namespace
