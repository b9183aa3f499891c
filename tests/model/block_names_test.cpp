#include "model/block_names.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

void touch(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

} // namespace

// The lists show names lower-cased; the files keep their case.
TEST(BlockFilePath, ListedNameFindsItsFile) {
    const struct {
        std::vector<std::string> files;
        std::string block, found, message;
    } cases[] = {
        {{"W1.txt"}, "w1", "W1.txt", ""},
        {{"UP1.TXT"}, "up1", "UP1.TXT", ""},
        {{"岩块A.txt"}, "岩块a", "岩块A.txt", ""},
        {{"w1.txt", "W1.txt"}, "w1", "w1.txt", ""}, // the exact name first
        {{"sub/w1.txt"}, "w1", "w1.txt", ""},       // only the folder itself
        {{"w1.txt.bak"}, "w1", "w1.txt", ""},       // no file: opening it says so
        {{"W1.txt", "w1.TXT"},
         "w1",
         "",
         "数据文件夹中有多个文件与“w1.txt”只有字母大小写不同（W1.txt、w1.TXT），无法确定载入哪一个"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.front());
        TempFolder folder;
        for (const std::string& file : c.files) touch(folder.path() / file);
        std::filesystem::path found;
        EXPECT_EQ(messageOf([&] { found = blockFilePath(folder.path(), c.block); }), c.message);
        if (c.message.empty()) {
            EXPECT_EQ(found, folder.path() / c.found);
        }
    }
}
